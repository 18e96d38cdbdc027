#include "execution/KillProcessUnit.h"

#include "execution/WindowUtils.h"
#include "model/Messages.h"
#include "platform/MessageBox.h"
#include "platform/X11Windows.h"

#include <cerrno>
#include <memory>

namespace {

ProcessKillFunction g_kill = nullptr;
WindowCloseFunction g_close = nullptr;
ProcessListFunction g_list = nullptr;

// Upper-cases a to z only, as the names of processes have always been compared.
QString upperAscii(QString text) {
    for (QChar &c : text)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return text;
}

} // namespace

void SetProcessKillFunction(ProcessKillFunction function) {
    g_kill = function;
}
void SetWindowCloseFunction(WindowCloseFunction function) {
    g_close = function;
}
void SetProcessListFunction(ProcessListFunction function) {
    g_list = function;
}

void TProcesses::GetProcesses() {
    Entries.clear();
    QVector<ProcessEntry> list;
    QString error;
    const bool ok = g_list ? g_list(&list, &error) : ListProcesses(&list, &error);
    Entries.reserve(list.size());
    for (const ProcessEntry &e : list)
        Entries.append(TProcessEntry{e.name, e.pid});
    if (!ok)
        MessageBoxService().show(QStringLiteral("TProcesses.GetProcesses"), error, MsgIcon::Error);
}

bool ProcessNameMatches(const QString &processName, const QString &wanted) {
    if (wanted.isEmpty())
        return false;
    const QString base = processName.mid(processName.lastIndexOf(QLatin1Char('/')) + 1);
    return upperAscii(base) == upperAscii(wanted);
}

bool KillProcessByName(const QString &name) {
    TraceStep(QStringLiteral("KillProcessByName: ") + name);
    TProcesses processes;
    processes.GetProcesses();
    for (int i = 0; i < processes.ProcessCount(); ++i) {
        const TProcesses::TProcessEntry &p = processes.Process(i);
        if (!ProcessNameMatches(p.Name, name))
            continue;
        const int error = g_kill ? g_kill(p.ProcessId) : KillProcess(p.ProcessId);
        if (error == 0)
            return true;
        // EPERM: another user's process; ESRCH: it ended meanwhile. Either way the next.
    }
    return false;
}

bool EndProcessByName(const QString &name) {
    TraceStep(QStringLiteral("EndProcessByName: ") + name);
    TProcesses processes;
    processes.GetProcesses();
    // One snapshot of the windows serves every candidate.
    std::unique_ptr<TWindowList> windows;
    for (int i = 0; i < processes.ProcessCount(); ++i) {
        const TProcesses::TProcessEntry &p = processes.Process(i);
        if (!ProcessNameMatches(p.Name, name))
            continue;
        if (!windows)
            windows = std::make_unique<TWindowList>();
        bool found = false;
        const quint32 window = GetProcessWindow(p.ProcessId, &found, windows.get());
        if (!found)
            continue;
        if (g_close ? g_close(window) : X11CloseWindow(window))
            return true;
        // The window went away meanwhile: the next candidate.
    }
    return false;
}
