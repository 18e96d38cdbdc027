#include "platform/FileCopyKernel.h"

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool g_kernelCopy = true;
constexpr size_t BufferSize = 524288;
constexpr int MaxLinkDepth = 40;

class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    void reset(int fd) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes now; false when the close reports an error (data not stored).
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 || errno == EINTR;
    }

private:
    int m_fd;
};

FileCopyResult copyData(int in, int out) {
    if (g_kernelCopy) {
        // Any error here (unsupported pair of files, full disk, ...) leaves the offsets
        // after the bytes already copied; the loop below carries on from there and
        // tells a read error from a write error.
        for (;;) {
            const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, size_t(1) << 30, 0);
            if (n > 0)
                continue;
            if (n < 0 && errno == EINTR)
                continue;
            break;
        }
    }
    std::unique_ptr<char[]> buffer(new char[BufferSize]);
    for (;;) {
        const ssize_t got = ::read(in, buffer.get(), BufferSize);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return FileCopyResult::ReadFailed;
        }
        if (got == 0)
            return FileCopyResult::Copied;
        ssize_t done = 0;
        while (done < got) {
            const ssize_t put = ::write(out, buffer.get() + done, size_t(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                return FileCopyResult::WriteFailed;
            done += put;
        }
    }
}

// The path a target names once symbolic links are followed (the link's own path when
// the chain is too long; opening it then fails like any unusable target).
QByteArray followLinks(const QByteArray &path) {
    QByteArray current = path;
    for (int depth = 0; depth < MaxLinkDepth; ++depth) {
        struct stat st {};
        if (::lstat(current.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        QByteArray link(4096, '\0');
        const ssize_t n = ::readlink(current.constData(), link.data(), size_t(link.size()));
        if (n <= 0 || n >= link.size())
            return current;
        link.truncate(n);
        if (!link.startsWith('/')) {
            const int slash = current.lastIndexOf('/');
            link = (slash >= 0 ? current.left(slash + 1) : QByteArray()) + link;
        }
        current = link;
    }
    return current;
}

QByteArray temporaryNameBeside(const QByteArray &target) {
    const int slash = target.lastIndexOf('/');
    const QByteArray folder = slash >= 0 ? target.left(slash + 1) : QByteArray();
    // Short enough to stay within a file name's length limit whatever the target's.
    const QByteArray base = target.mid(slash + 1).left(96);
    const quint64 tag = QRandomGenerator::global()->generate64();
    return folder + '.' + base + ".tw-" + QByteArray::number(tag, 36) + ".part";
}

FileCopyResult copyInPlace(int in, const QByteArray &target) {
    Fd out(::open(target.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY));
    if (!out.valid())
        return FileCopyResult::TargetNotCreated;
    const FileCopyResult r = copyData(in, out.get());
    if (!out.close() && r == FileCopyResult::Copied)
        return FileCopyResult::WriteFailed;
    return r;
}

FileCopyResult copyThroughTemporary(int in, const QByteArray &target, const struct stat *old) {
    if (old && ::access(target.constData(), W_OK) != 0)
        return FileCopyResult::TargetNotCreated;
    QByteArray temp;
    Fd out;
    for (int attempt = 0; attempt < 8 && !out.valid(); ++attempt) {
        temp = temporaryNameBeside(target);
        out.reset(
            ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666));
        if (!out.valid() && errno != EEXIST)
            break;
    }
    if (!out.valid())
        return FileCopyResult::TargetNotCreated;
    if (old) {
        // What overwriting the file in place would have kept.
        if (::fchown(out.get(), old->st_uid, old->st_gid) != 0) {
            // Only the superuser may give a file away; the copy is still ours then.
        }
        ::fchmod(out.get(), old->st_mode & 07777);
    }
    FileCopyResult r = copyData(in, out.get());
    if (!out.close() && r == FileCopyResult::Copied)
        r = FileCopyResult::WriteFailed;
    if (r == FileCopyResult::Copied && ::rename(temp.constData(), target.constData()) != 0)
        r = FileCopyResult::TargetNotCreated;
    if (r != FileCopyResult::Copied)
        ::unlink(temp.constData());
    return r;
}

} // namespace

FileCopyResult CopyFileContents(const QString &source, const QString &target) {
    // Non-blocking, so that a pipe met as source cannot hang the run before it is refused.
    Fd in(::open(QFile::encodeName(source).constData(),
                 O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!in.valid())
        return FileCopyResult::SourceUnreadable;
    struct stat srcStat {};
    if (::fstat(in.get(), &srcStat) != 0 || !S_ISREG(srcStat.st_mode))
        return FileCopyResult::SourceUnreadable;
    const int flags = ::fcntl(in.get(), F_GETFL);
    if (flags >= 0)
        ::fcntl(in.get(), F_SETFL, flags & ~O_NONBLOCK);

    const QByteArray named = QFile::encodeName(target);
    if (named.isEmpty() || named.endsWith('/'))
        return FileCopyResult::TargetNotCreated;
    const QByteArray resolved = followLinks(named);
    struct stat st {};
    if (::stat(resolved.constData(), &st) != 0) {
        if (errno != ENOENT)
            return FileCopyResult::TargetNotCreated;
        return copyThroughTemporary(in.get(), resolved, nullptr);
    }
    if (S_ISDIR(st.st_mode))
        return FileCopyResult::TargetNotCreated;
    if (!S_ISREG(st.st_mode))
        return copyInPlace(in.get(), resolved);
    return copyThroughTemporary(in.get(), resolved, &st);
}

void SetKernelCopyEnabled(bool enabled) {
    g_kernelCopy = enabled;
}

bool KernelCopyEnabled() {
    return g_kernelCopy;
}
