#pragma once

#include <QString>
#include <QVector>

// The running processes as /proc shows them.

struct ProcessEntry {
    quint32 pid = 0;
    // The executable with its folder where /proc/<pid>/exe can be read, else the program
    // named in the command line, else the kernel's short name of the process.
    QString name;
};

// Fills *list with the running processes in ascending pid order. Kernel threads and
// processes that have ended but are not reaped yet are left out, and so are processes
// whose name cannot be determined or that vanish while the list is read. Returns false
// with the reason in *error when /proc cannot be read; *list then holds what was read.
bool ListProcesses(QVector<ProcessEntry> *list, QString *error);

// Sends SIGKILL. Returns 0, or the errno of the refusal (EPERM, ESRCH).
int KillProcess(quint32 pid);
