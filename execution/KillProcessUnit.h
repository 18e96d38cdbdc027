#pragma once

#include "platform/ProcessList.h"

#include <QString>
#include <QVector>

// Ending and killing a running program named by its executable's file name. Both act on
// the first process in ascending pid order whose name matches and that can be reached:
// the part of its name after the last "/", upper-cased (a to z only), equals the wanted
// name upper-cased the same way. A wanted name that holds a folder therefore matches
// nothing.

// The running processes, read from the system.
class TProcesses {
public:
    struct TProcessEntry {
        QString Name; // with its folder where the system tells it
        quint32 ProcessId = 0;
    };

    // Empties the list and fills it with the running processes. An error while reading is
    // shown in an error box captioned "TProcesses.GetProcesses"; the list then holds what
    // was read.
    void GetProcesses();
    int ProcessCount() const { return Entries.size(); }
    const TProcessEntry &Process(int index) const { return Entries.at(index); }

private:
    QVector<TProcessEntry> Entries;
};

// True when name (an entry of TProcesses) matches the wanted name by the rule above.
bool ProcessNameMatches(const QString &processName, const QString &wanted);

// Sends SIGKILL to the first matching process that accepts it (one refused with EPERM or
// ESRCH is passed over). True when one was killed.
bool KillProcessByName(const QString &name);

// Sends a close request to the main window (GetProcessWindow) of the first matching
// process that has one, and returns without waiting for the process to end. False without
// an X display or when no matching process has a main window.
bool EndProcessByName(const QString &name);

// Replaceable primitives, so that code which could end or kill widely can be exercised
// with recorders. nullptr restores the real ones.
using ProcessKillFunction = int (*)(quint32 pid);     // 0 or the errno
using WindowCloseFunction = bool (*)(quint32 window); // true: request sent
using ProcessListFunction = bool (*)(QVector<ProcessEntry> *list, QString *error);
void SetProcessKillFunction(ProcessKillFunction function);
void SetWindowCloseFunction(WindowCloseFunction function);
void SetProcessListFunction(ProcessListFunction function);
