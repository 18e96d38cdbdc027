#include "platform/Process.h"

#include <QByteArray>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QVector>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

// Everything the child needs, prepared before the clone: the child shares our memory
// while we are suspended, so it must not allocate or take locks.
struct SpawnPlan {
    const char *path = nullptr;
    char *const *argv = nullptr;
    const char *workingDir = nullptr; // null: inherit
    ProcessPriority priority = ProcessPriority::Normal;
    int stdinFd = -1; // -1: inherit
    int stdoutFd = -1;
    int stderrFd = -1;
    sigset_t childMask;
    volatile int childErrno = 0; // set by the child when it cannot exec
};

void applyPriority(ProcessPriority priority) {
    switch (priority) {
    case ProcessPriority::Normal:
        break;
    case ProcessPriority::Idle: {
        sched_param param{};
        param.sched_priority = 0;
        if (sched_setscheduler(0, SCHED_IDLE, &param) != 0)
            setpriority(PRIO_PROCESS, 0, 19);
        break;
    }
    case ProcessPriority::High:
        setpriority(PRIO_PROCESS, 0, -10); // refused without the right: stays normal
        break;
    case ProcessPriority::RealTime:
        setpriority(PRIO_PROCESS, 0, -20);
        break;
    }
}

// The new program gets standard input, output and error only: descriptors of ours
// (log files, sockets, a test runner's pipes) must not stay open as long as it runs.
void keepOnlyStandardFds() {
#if defined(SYS_close_range)
    if (syscall(SYS_close_range, 3u, ~0u, 4u /* CLOSE_RANGE_CLOEXEC */) == 0)
        return;
#endif
    const long max = sysconf(_SC_OPEN_MAX);
    const int limit = max > 0 && max < 65536 ? int(max) : 65536;
    for (int fd = 3; fd < limit; ++fd)
        fcntl(fd, F_SETFD, FD_CLOEXEC);
}

int childMain(void *arg) {
    SpawnPlan *plan = static_cast<SpawnPlan *>(arg);
    // Handlers of ours mean nothing in the new program, and an ignored SIGPIPE or SIGCHLD
    // would be inherited across exec: give it the defaults.
    struct sigaction dfl;
    std::memset(&dfl, 0, sizeof dfl);
    dfl.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig) {
        if (sig != SIGKILL && sig != SIGSTOP)
            sigaction(sig, &dfl, nullptr);
    }
    setsid();
    if (plan->stdinFd >= 0)
        dup2(plan->stdinFd, 0);
    if (plan->stdoutFd >= 0)
        dup2(plan->stdoutFd, 1);
    if (plan->stderrFd >= 0)
        dup2(plan->stderrFd, 2);
    keepOnlyStandardFds();
    if (plan->workingDir && chdir(plan->workingDir) != 0) {
        plan->childErrno = errno ? errno : ENOENT;
        _exit(127);
    }
    applyPriority(plan->priority);
    sigprocmask(SIG_SETMASK, &plan->childMask, nullptr);
    execve(plan->path, plan->argv, environ);
    plan->childErrno = errno ? errno : ENOEXEC;
    _exit(127);
}

int openPidfd(int pid) {
#ifdef SYS_pidfd_open
    return int(syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    errno = ENOSYS;
    return -1;
#endif
}

int decodeStatus(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return 259;
}

// Children handed to the background reaper that have not ended yet.
struct Orphan {
    ChildProcess child;
    QSocketNotifier *notifier = nullptr;
};
QVector<Orphan> &orphans() {
    static QVector<Orphan> list;
    return list;
}

void reapFinishedOrphans() {
    auto &list = orphans();
    for (int i = list.size() - 1; i >= 0; --i) {
        int code = 0;
        if (TryReapChild(list[i].child, &code)) {
            if (list[i].notifier) {
                list[i].notifier->setEnabled(false);
                list[i].notifier->deleteLater();
            }
            if (list[i].child.pidfd >= 0)
                ::close(list[i].child.pidfd);
            list.removeAt(i);
        }
    }
}

bool spawnWithPlan(SpawnPlan &plan, ChildProcess *child, QString *error) {
    // The child gets a clean signal mask; ours is blocked until it has exec'ed, so that no
    // handler of ours runs on its borrowed stack.
    sigemptyset(&plan.childMask);
    sigset_t all, saved;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &saved);

    const size_t stackSize = 64 * 1024;
    void *stack = mmap(nullptr, stackSize, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (stack == MAP_FAILED) {
        const int e = errno;
        pthread_sigmask(SIG_SETMASK, &saved, nullptr);
        if (error)
            *error = QString::fromLocal8Bit(strerror(e));
        return false;
    }
    // CLONE_VFORK: we resume only once the child has exec'ed or exited, so an exec
    // failure is known here, at once.
    const int pid = clone(childMain, static_cast<char *>(stack) + stackSize,
                          CLONE_VM | CLONE_VFORK | SIGCHLD, &plan);
    const int cloneErrno = errno;
    munmap(stack, stackSize);
    pthread_sigmask(SIG_SETMASK, &saved, nullptr);

    if (pid < 0) {
        if (error)
            *error = QString::fromLocal8Bit(strerror(cloneErrno));
        return false;
    }
    if (plan.childErrno != 0) {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        if (error)
            *error = QString::fromLocal8Bit(strerror(plan.childErrno));
        return false;
    }
    child->pid = pid;
    child->pidfd = openPidfd(pid);
    return true;
}

struct ArgvStore {
    QVector<QByteArray> bytes;
    QVector<char *> argv;
    ArgvStore(const QByteArray &argv0, const QStringList &arguments) {
        bytes.reserve(arguments.size() + 1);
        bytes.append(argv0);
        for (const QString &a : arguments)
            bytes.append(a.toLocal8Bit());
        for (QByteArray &b : bytes)
            argv.append(b.data());
        argv.append(nullptr);
    }
};

} // namespace

QString FindOnPath(const QString &name) {
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        return QString();
    QByteArray path = qgetenv("PATH");
    if (path.isNull())
        path = "/bin:/usr/bin"; // what execvp uses without PATH
    for (const QByteArray &dir : path.split(':')) {
        const QString folder = dir.isEmpty() ? QStringLiteral(".") : QString::fromLocal8Bit(dir);
        const QString candidate = folder + QLatin1Char('/') + name;
        if (IsExecutableFile(candidate))
            return candidate;
    }
    return QString();
}

bool IsExecutableFile(const QString &path) {
    if (path.isEmpty())
        return false;
    const QByteArray p = QFile::encodeName(path);
    struct stat st;
    return ::stat(p.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
           access(p.constData(), X_OK) == 0;
}

bool SpawnProgram(const QString &program, const QStringList &arguments, const QString &workingDir,
                  ProcessPriority priority, ChildProcess *child, QString *error) {
    reapFinishedOrphans();
    if (program.isEmpty()) {
        if (error)
            *error = QStringLiteral("No program given");
        return false;
    }
    // Resolved here, not after the child's change of folder, so that the file that was
    // judged to be a program is the one that runs.
    const QByteArray path = QFile::encodeName(QFileInfo(program).absoluteFilePath());
    const QByteArray dir = QFile::encodeName(workingDir);
    ArgvStore args(QFile::encodeName(program), arguments);
    SpawnPlan plan;
    plan.path = path.constData();
    plan.argv = args.argv.data();
    plan.workingDir = workingDir.isEmpty() ? nullptr : dir.constData();
    plan.priority = priority;
    return spawnWithPlan(plan, child, error);
}

ChildProcess AdoptChild(int pid) {
    ChildProcess child;
    child.pid = pid;
    child.pidfd = pid > 0 ? openPidfd(pid) : -1;
    return child;
}

bool TryReapChild(const ChildProcess &child, int *exitCode) {
    if (child.pid <= 0)
        return false;
    int status = 0;
    pid_t r;
    do {
        r = waitpid(child.pid, &status, WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == child.pid) {
        if (exitCode)
            *exitCode = decodeStatus(status);
        return true;
    }
    if (r < 0 && errno == ECHILD) {
        // Reaped elsewhere: it has ended, with a result nobody can tell any more.
        if (exitCode)
            *exitCode = 259;
        return true;
    }
    return false;
}

void ReapInBackground(const ChildProcess &child) {
    if (child.pid <= 0)
        return;
    int code = 0;
    if (TryReapChild(child, &code)) {
        if (child.pidfd >= 0)
            ::close(child.pidfd);
        return;
    }
    Orphan orphan;
    orphan.child = child;
    if (child.pidfd >= 0) {
        orphan.notifier = new QSocketNotifier(child.pidfd, QSocketNotifier::Read);
        QObject::connect(orphan.notifier, &QSocketNotifier::activated,
                         [](QSocketDescriptor, QSocketNotifier::Type) { reapFinishedOrphans(); });
    }
    orphans().append(orphan);
}

bool RunTool(const QString &program, const QStringList &arguments, const QByteArray &input,
             int timeoutMs, int *exitCode, QString *errorOutput, QString *error) {
    reapFinishedOrphans();
    // In-memory files rather than pipes: the tool's background copy keeps them open long
    // after we are gone, and may still write to them without getting SIGPIPE.
    const int in = memfd_create("tw-tool-in", MFD_CLOEXEC);
    const int err = memfd_create("tw-tool-err", MFD_CLOEXEC);
    const int devnull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    auto closeAll = [&] {
        for (int fd : {in, err, devnull})
            if (fd >= 0)
                ::close(fd);
    };
    if (in < 0 || err < 0 || devnull < 0) {
        if (error)
            *error = QString::fromLocal8Bit(strerror(errno));
        closeAll();
        return false;
    }
    qint64 done = 0;
    while (done < input.size()) {
        const ssize_t n = ::write(in, input.constData() + done, size_t(input.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (error)
                *error = QString::fromLocal8Bit(strerror(errno));
            closeAll();
            return false;
        }
        done += n;
    }
    lseek(in, 0, SEEK_SET);

    const QByteArray path = QFile::encodeName(program);
    ArgvStore args(path, arguments);
    SpawnPlan plan;
    plan.path = path.constData();
    plan.argv = args.argv.data();
    plan.stdinFd = in;
    plan.stdoutFd = devnull;
    plan.stderrFd = err;
    ChildProcess child;
    const bool started = spawnWithPlan(plan, &child, error);
    if (!started) {
        closeAll();
        return false;
    }
    int code = 0;
    bool ended = TryReapChild(child, &code);
    if (!ended && child.pidfd >= 0) {
        pollfd p{child.pidfd, POLLIN, 0};
        int r;
        do {
            r = ::poll(&p, 1, timeoutMs);
        } while (r < 0 && errno == EINTR);
        ended = TryReapChild(child, &code);
    } else if (!ended) {
        for (int waited = 0; !ended && waited < timeoutMs; waited += 10) {
            usleep(10000);
            ended = TryReapChild(child, &code);
        }
    }
    if (!ended) {
        ReapInBackground(child);
        if (error)
            *error = QStringLiteral("%1 did not finish within %2 ms").arg(program).arg(timeoutMs);
        closeAll();
        return false;
    }
    if (child.pidfd >= 0)
        ::close(child.pidfd);
    if (exitCode)
        *exitCode = code;
    if (errorOutput) {
        char buf[2048];
        const ssize_t n = pread(err, buf, sizeof buf, 0);
        *errorOutput = n > 0 ? QString::fromLocal8Bit(buf, int(n)).trimmed() : QString();
    }
    closeAll();
    return true;
}
