#include "execution/Launcher.h"

#include "model/Globals.h"
#include "model/Messages.h"
#include "platform/DesktopOpen.h"
#include "platform/Process.h"
#include "platform/X11Windows.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QSocketNotifier>
#include <QTimer>

#include <memory>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr int StillActive = 259;

bool waitBroken() {
    return BatchCancelled || AppClosing;
}

ProcessPriority priorityOf(const QString &text) {
    if (text == QLatin1String("Idle"))
        return ProcessPriority::Idle;
    if (text == QLatin1String("High"))
        return ProcessPriority::High;
    if (text == QLatin1String("RealTime"))
        return ProcessPriority::RealTime;
    return ProcessPriority::Normal;
}

// Blanks and control characters at both ends, as a command line is cleaned.
QString trimmedText(const QString &text) {
    int start = 0;
    int end = text.size();
    while (start < end && text.at(start).unicode() <= 0x20)
        ++start;
    while (end > start && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(start, end - start);
}

// Sleeps until the child ends or the event loop has handled something, which may be the
// click that sets BatchCancelled. No polling: the pidfd wakes the loop when the child ends.
class ChildWaiter {
public:
    explicit ChildWaiter(const ChildProcess &child) : child_(child) {
        if (!QCoreApplication::instance())
            return;
        loop_ = std::make_unique<QEventLoop>();
        if (child.pidfd >= 0) {
            notifier_ = std::make_unique<QSocketNotifier>(child.pidfd, QSocketNotifier::Read);
            QObject::connect(notifier_.get(), &QSocketNotifier::activated, loop_.get(),
                             [this] { notifier_->setEnabled(false); });
        } else {
            // No pidfd from this kernel: look now and then instead.
            timer_ = std::make_unique<QTimer>();
            timer_->start(50);
        }
    }
    // Returns true once the child has ended (and is reaped).
    bool step() {
        if (ended_ || (ended_ = TryReapChild(child_, &code_)))
            return true;
        if (loop_) {
            loop_->processEvents(QEventLoop::WaitForMoreEvents);
        } else {
            // No event loop to keep alive: sleep on the pidfd, looking at the flags now and
            // then in case a signal handler sets them.
            pollfd p{child_.pidfd, POLLIN, 0};
            if (child_.pidfd >= 0)
                ::poll(&p, 1, 250);
            else
                ::usleep(50000);
        }
        ended_ = TryReapChild(child_, &code_);
        return ended_;
    }
    // Looks without waiting.
    bool check() { return ended_ || (ended_ = TryReapChild(child_, &code_)); }
    bool ended() const { return ended_; }
    int exitCode() const { return code_; }

private:
    ChildProcess child_;
    std::unique_ptr<QEventLoop> loop_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::unique_ptr<QTimer> timer_;
    bool ended_ = false;
    int code_ = StillActive;
};

// Closes the pidfd of a child whose end was read, or hands the child to the reaper.
void release(const ChildProcess &child, bool ended) {
    if (!ended) {
        ReapInBackground(child);
        return;
    }
    if (child.pidfd >= 0)
        ::close(child.pidfd);
}

int runExecutable(const QString &program, const QString &workingDir, const QString &parameter,
                  const QString &priority, bool maximised, bool minimised, bool wait) {
    ChildProcess child;
    QString error;
    if (!SpawnProgram(program, QProcess::splitCommand(parameter), workingDir, priorityOf(priority),
                      &child, &error)) {
        TraceStep(QStringLiteral("io_RunFile start failed: ") + error);
        return -1;
    }
    X11ApplyWindowStateLater(quint32(child.pid), maximised, minimised);
    if (!wait) {
        release(child, false);
        return StillActive;
    }
    ChildWaiter waiter(child);
    if (!waitBroken()) {
        for (;;) {
            TraceStep(QStringLiteral("~~~ wait object ~~~"));
            const int r = waiter.step() ? 0 : 1;
            TraceStep(QStringLiteral("got response:%1 expected: 0").arg(r));
            if (waitBroken()) {
                TraceStep(QStringLiteral("user break"));
                break;
            }
            if (r != 0) {
                TraceStep(QStringLiteral("peekmessage"));
                TraceStep(QStringLiteral("peekmessage done"));
            }
            TraceStep(QStringLiteral("____ until _____"));
            if (r == 0)
                break;
        }
    } else {
        TraceStep(QStringLiteral("user break"));
    }
    // A child that ended in the same moment as the break still tells its result.
    const bool ended = waiter.check();
    release(child, ended);
    return ended ? waiter.exitCode() : StillActive;
}

int openDocument(const QString &path, const QString &workingDir, bool maximised, bool minimised,
                 bool wait) {
    ChildProcess child;
    QString error;
    if (!OpenWithDefaultApplication(path, workingDir, &child, &error)) {
        TraceStep(QStringLiteral("io_RunFile open failed: ") + error);
        return -1;
    }
    if (child.pid <= 0)
        return StillActive; // reached without a process of ours (D-Bus activation)
    X11ApplyWindowStateLater(quint32(child.pid), maximised, minimised);
    if (!wait) {
        release(child, false);
        return StillActive;
    }
    TraceStep(QStringLiteral("WAIT"));
    ChildWaiter waiter(child);
    for (;;) {
        if (waitBroken()) {
            release(child, false);
            return -1;
        }
        if (waiter.ended()) {
            TraceStep(QStringLiteral("CODE:%1").arg(waiter.exitCode()));
            TraceStep(QStringLiteral("AFTER_WAIT"));
            release(child, true);
            return waiter.exitCode();
        }
        TraceStep(QStringLiteral("CODE:%1").arg(StillActive));
        TraceStep(QStringLiteral("sleeping"));
        waiter.step();
    }
}

} // namespace

int io_RunFile(const QString &fileName, const QString &workingDir, const QString &parameter,
               const QString &priority, bool maximised, bool minimised, bool wait) {
    const QString name = trimmedText(fileName);
    TraceStep(QStringLiteral("io_RunFile: ") + name);
    if (name.isEmpty())
        return -1;
    const QString program = name.contains(QLatin1Char('/'))
                                ? (IsExecutableFile(name) ? name : QString())
                                : FindOnPath(name);
    if (!program.isEmpty())
        return runExecutable(program, workingDir, trimmedText(parameter), priority, maximised,
                             minimised, wait);
    // Never hand a missing file to an application: it would report an error of its own,
    // or open an empty document, while the job counts as a success.
    const QFileInfo document(name);
    if (!document.exists())
        return -1;
    return openDocument(name, workingDir, maximised, minimised, wait);
}
