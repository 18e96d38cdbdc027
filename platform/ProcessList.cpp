#include "platform/ProcessList.h"

#include <QByteArray>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Reads a small /proc file whole; false when it cannot be opened (the process is gone or
// not ours to look at).
bool readProcFile(const QByteArray &path, QByteArray *out) {
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    out->clear();
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        out->append(buf, int(n));
    }
    ::close(fd);
    return true;
}

constexpr unsigned long KernelThreadFlag = 0x00200000; // PF_KTHREAD

// From /proc/<pid>/stat: the state letter and the flags, past the name in parentheses
// (which may itself hold blanks and parentheses).
bool readStat(const QByteArray &dir, char *state, unsigned long *flags) {
    QByteArray stat;
    if (!readProcFile(dir + "/stat", &stat))
        return false;
    const int close = stat.lastIndexOf(')');
    if (close < 0)
        return false;
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    // state ppid pgrp session tty_nr tpgid flags
    if (fields.size() < 7 || fields[0].isEmpty())
        return false;
    *state = fields[0].at(0);
    *flags = fields[6].toULong();
    return true;
}

QString processName(const QByteArray &dir) {
    char target[4096];
    const ssize_t n = readlink((dir + "/exe").constData(), target, sizeof target - 1);
    if (n > 0) {
        QString exe = QFile::decodeName(QByteArray(target, int(n)));
        const QString deleted = QStringLiteral(" (deleted)");
        if (exe.endsWith(deleted))
            exe.chop(deleted.size());
        return exe;
    }
    QByteArray cmdline;
    if (readProcFile(dir + "/cmdline", &cmdline)) {
        const QByteArray argv0 = cmdline.left(cmdline.indexOf('\0'));
        if (!argv0.isEmpty())
            return QFile::decodeName(argv0);
    }
    QByteArray comm;
    if (readProcFile(dir + "/comm", &comm)) {
        comm = comm.trimmed();
        if (!comm.isEmpty())
            return QFile::decodeName(comm);
    }
    return QString();
}

} // namespace

bool ListProcesses(QVector<ProcessEntry> *list, QString *error) {
    list->clear();
    DIR *proc = opendir("/proc");
    if (!proc) {
        if (error)
            *error = QStringLiteral("Cannot read the process list: %1")
                         .arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    bool ok = true;
    for (;;) {
        errno = 0;
        const dirent *entry = readdir(proc);
        if (!entry) {
            if (errno != 0) {
                ok = false;
                if (error)
                    *error = QStringLiteral("Cannot read the process list: %1")
                                 .arg(QString::fromLocal8Bit(strerror(errno)));
            }
            break;
        }
        char *end = nullptr;
        const unsigned long pid = std::strtoul(entry->d_name, &end, 10);
        if (!end || *end != '\0' || pid == 0 || entry->d_name[0] == '\0')
            continue;
        const QByteArray dir = QByteArray("/proc/") + entry->d_name;
        char state = 0;
        unsigned long flags = 0;
        if (!readStat(dir, &state, &flags))
            continue; // vanished
        if ((flags & KernelThreadFlag) || state == 'Z' || state == 'X')
            continue;
        const QString name = processName(dir);
        if (name.isEmpty())
            continue;
        list->append(ProcessEntry{quint32(pid), name});
    }
    closedir(proc);
    std::sort(list->begin(), list->end(),
              [](const ProcessEntry &a, const ProcessEntry &b) { return a.pid < b.pid; });
    return ok;
}

int KillProcess(quint32 pid) {
    // pid 0 and values that turn negative would address whole process groups.
    if (pid == 0 || pid > quint32(INT32_MAX))
        return ESRCH;
    return ::kill(pid_t(pid), SIGKILL) == 0 ? 0 : errno;
}
