#include "platform/FileTree.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

EntryKind kindOfMode(mode_t mode) {
    if (S_ISLNK(mode))
        return EntryKind::Link;
    if (S_ISDIR(mode))
        return EntryKind::Folder;
    if (S_ISREG(mode))
        return EntryKind::File;
    return EntryKind::Other;
}

EntryKind kindOfDirent(int dirFd, const dirent *e) {
    switch (e->d_type) {
    case DT_REG:
        return EntryKind::File;
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
        return EntryKind::Link;
    case DT_UNKNOWN:
        break;
    default:
        return EntryKind::Other;
    }
    struct stat st {};
    if (::fstatat(dirFd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return EntryKind::Missing;
    return kindOfMode(st.st_mode);
}

SystemFileRemoval g_systemRemoval;
IFileRemoval *g_removal = nullptr;

} // namespace

EntryKind EntryKindOf(const QString &path) {
    struct stat st {};
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return EntryKind::Missing;
    return kindOfMode(st.st_mode);
}

bool ListFolder(const QString &folder, QList<FolderEntry> *entries, ListOptions options) {
    entries->clear();
    const QByteArray path = QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
    int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    if (!options.followLink)
        flags |= O_NOFOLLOW;
    int fd = ::open(path.constData(), flags);
    if (fd < 0 && options.makeWritable && errno == EACCES) {
        // A folder its owner may not read: its mode can still be changed.
        struct stat st {};
        if (::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
            ::chmod(path.constData(), (st.st_mode & 07777) | S_IRWXU) == 0)
            fd = ::open(path.constData(), flags);
    }
    if (fd < 0)
        return false;
    if (options.makeWritable) {
        struct stat st {};
        if (::fstat(fd, &st) == 0 && (st.st_mode & S_IRWXU) != S_IRWXU)
            ::fchmod(fd, (st.st_mode & 07777) | S_IRWXU);
    }
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    bool ok = true;
    for (;;) {
        errno = 0;
        const dirent *e = ::readdir(dir);
        if (!e) {
            ok = errno == 0;
            break;
        }
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
            continue;
        entries->append({QFile::decodeName(e->d_name), kindOfDirent(::dirfd(dir), e)});
    }
    ::closedir(dir);
    return ok;
}

bool SystemFileRemoval::removeFile(const QString &path) {
    return ::unlink(QFile::encodeName(path).constData()) == 0;
}

bool SystemFileRemoval::removeFolder(const QString &path) {
    return ::rmdir(QFile::encodeName(path).constData()) == 0;
}

IFileRemoval &FileRemoval() {
    return g_removal ? *g_removal : g_systemRemoval;
}

void SetFileRemoval(IFileRemoval *removal) {
    g_removal = removal;
}
