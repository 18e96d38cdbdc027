#pragma once

#include <QString>
#include <QStringList>

// Starting programs that belong to the user rather than to Tarnwick: each runs in a
// session of its own, so it outlives a broken-off wait and Tarnwick itself, and
// nothing here ever ends it.

enum class ProcessPriority { Normal, Idle, High, RealTime };

// A started child, with a pidfd (close-on-exec) that becomes readable when it ends.
// pidfd is -1 when the kernel offers none; the wait helpers then fall back to polling.
struct ChildProcess {
    int pid = -1;
    int pidfd = -1;
};

// The path execvp would run for a name without "/": the first regular, executable file
// of that name in the PATH folders (an empty entry means the current folder). Empty when
// there is none.
QString FindOnPath(const QString &name);
// True for an existing regular file with execute permission for this user.
bool IsExecutableFile(const QString &path);

// Starts program (a path, used whole) with arguments, in workingDir when not empty, with
// this process's environment. Normal inherits the priority; Idle runs at SCHED_IDLE (nice
// 19 where that is refused); High at nice -10, RealTime at nice -20, each silently left at
// the inherited level where raising is not allowed. A program that cannot be executed is
// reported at once: false with the reason in *error, and no child remains.
bool SpawnProgram(const QString &program, const QStringList &arguments, const QString &workingDir,
                  ProcessPriority priority, ChildProcess *child, QString *error);

// Wraps a child of ours started by other means (not reaped yet) with its pidfd.
ChildProcess AdoptChild(int pid);

// Collects the child's end without waiting. Returns true when it has ended and has been
// reaped, with the result in *exitCode: the exit status, or 128 + n for signal n.
// The pidfd stays open.
bool TryReapChild(const ChildProcess &child, int *exitCode);

// Takes over a child nobody waits for any more: it is reaped as soon as it ends (while an
// event loop runs, and at the latest on the next start), and its pidfd is closed then.
void ReapInBackground(const ChildProcess &child);

// Runs a short-lived tool to its end, feeding it input on standard input, with standard
// output discarded. Meant for tools that hand their work to a background copy of
// themselves and return at once. Returns false when it cannot be started or does not end
// within timeoutMs (it is then left running); otherwise true with *exitCode and the start
// of what it wrote to standard error in *errorOutput.
bool RunTool(const QString &program, const QStringList &arguments, const QByteArray &input,
             int timeoutMs, int *exitCode, QString *errorOutput, QString *error);
