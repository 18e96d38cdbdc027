#include "execution/Dispatcher.h"

#include "execution/CopyUnit.h"
#include "execution/FileOps.h"
#include "execution/KillProcessUnit.h"
#include "execution/Launcher.h"
#include "execution/RunLog.h"
#include "execution/WorkObjects.h"
#include "model/Globals.h"
#include "model/Helpers.h"
#include "model/Messages.h"
#include "model/Placeholders.h"
#include "platform/Clipboard.h"
#include "settings/VelloranCommandLine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString RunError = QStringLiteral("Run Error!");
const QString ProcessNotFound = QStringLiteral("Process not found or access denied!");

bool runItem(const QString &fileName, const QString &workingDir, const QString &parameter,
             const QString &priority, bool maximised, bool minimised, bool wait) {
    ShowStatus(QStringLiteral("Running ") + fileName + QStringLiteral("..."));
    TraceStep(QStringLiteral("p:") + parameter + QStringLiteral("; w:") + workingDir);
    if (io_RunFile(fileName, workingDir, parameter, priority, maximised, minimised, wait) == -1) {
        TraceStep(QStringLiteral("Run error"));
        ShowStatus(RunError);
        return false;
    }
    TraceStep(QStringLiteral("SUCCESS!"));
    return true;
}

bool runVelloran(const QString &workingDir, const QString &parameter, const QString &priority,
                 bool maximised, bool minimised, bool wait, const QString &instance) {
    const QString exe = VelloranExecutable();
    if (exe.isEmpty()) {
        ShowStatus(QStringLiteral("Velloran executable not found! Please set path in settings menu."));
        return false;
    }
    const QString quotedInstance = QLatin1Char('"') + instance + QLatin1Char('"');
    QString status = QStringLiteral("Running ") + exe;
    if (parameter.isEmpty() && instance.isEmpty())
        status += QStringLiteral("...");
    else if (parameter.isEmpty())
        status += QStringLiteral(" with instance ") + quotedInstance + QStringLiteral("...");
    else if (instance.isEmpty())
        status += QStringLiteral(" with param ") + parameter + QStringLiteral(" as last logged in...");
    else
        status += QStringLiteral(" with param ") + parameter + QStringLiteral(" and instance ") +
                  quotedInstance + QStringLiteral("...");
    ShowStatus(status);
    const QString args = VelloranArguments(parameter, instance, VelloranRunKeywords);
    if (io_RunFile(exe, workingDir, args, priority, maximised, minimised, wait) == -1) {
        ShowStatus(RunError);
        return false;
    }
    return true;
}

bool copyItem(const QString &fileName, const QString &parameter) {
    ShowStatus(QStringLiteral("Copying ") + fileName + QStringLiteral(" to ") + parameter +
               QStringLiteral("..."));
    QString target = parameter;
    if (QFileInfo(target).isDir())
        target = AddBackslash(target);
    io_CopyFile(fileName, target, true);
    const bool ok = !(WorkList ? WorkList->join(QLatin1Char('\n')) : QString())
                         .contains(QLatin1String("failed"));
    if (!ok)
        TraceStep(QStringLiteral("Error!"));
    return ok;
}

bool renameItem(const QString &fileName, const QString &parameter) {
    ShowStatus(QStringLiteral("Renaming ") + fileName + QStringLiteral(" to ") + parameter +
               QStringLiteral("..."));
    // rename(2) would replace an existing target; the job must fail instead.
    const QFileInfo target(parameter);
    bool ok = !parameter.isEmpty() && !target.exists() && !target.isSymLink() &&
              (QFileInfo(fileName).exists() || QFileInfo(fileName).isSymLink());
    if (ok)
        ok = QFileInfo(fileName).isDir() && !QFileInfo(fileName).isSymLink()
                 ? QDir().rename(fileName, parameter)
                 : QFile::rename(fileName, parameter);
    if (!ok)
        ShowStatus(QStringLiteral("Rename error!"));
    return ok;
}

bool makeDirItem(const QString &fileName) {
    ShowStatus(QStringLiteral("Creating Directory ") + fileName + QStringLiteral("..."));
    CreateDirPath(fileName);
    QString folder = fileName;
    if (folder.endsWith(QLatin1Char('/')) && folder.size() > 1)
        folder.chop(1);
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return true;
    ShowStatus(QStringLiteral("MakeDir error!"));
    return false;
}

bool deleteItem(const QString &fileName) {
    ShowStatus(QStringLiteral("Deleting file(s) ") + fileName + QStringLiteral("..."));
    if (IsRootFilePattern(fileName))
        return false;
    const bool ok = dispatcherDeletes().deleteFiles(fileName);
    ShowStatus(WorkList ? WorkList->join(QStringLiteral("\r\n")) : QString());
    return ok;
}

bool delTreeItem(const QString &fileName) {
    ShowStatus(QStringLiteral("Deleting directory ") + fileName + QStringLiteral("..."));
    if (NamesRootFolder(fileName))
        return false;
    QString folder = fileName;
    if (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    if (!dispatcherDeletes().deleteTree(folder)) {
        ShowStatus(ErrorText(6));
        return false;
    }
    return true;
}

} // namespace

DispatcherDeletes &dispatcherDeletes() {
    static DispatcherDeletes d{io_DeleteFiles, DeleteDirectoryTree};
    return d;
}

void ResetDispatcherDeletes() { dispatcherDeletes() = DispatcherDeletes{io_DeleteFiles, DeleteDirectoryTree}; }

bool IsRootFilePattern(const QString &path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0 || !NamesRootFolder(path.left(slash + 1)))
        return false;
    // Any mask that every name matches: "*", "*.*", "**", "?*", or none at all.
    const QStringList masks = path.mid(slash + 1).split(QLatin1Char(';'));
    for (const QString &mask : masks) {
        QString m = mask.trimmed();
        m.remove(QLatin1Char('.'));
        bool wide = true;
        for (const QChar c : m)
            wide = wide && (c == QLatin1Char('*') || c == QLatin1Char('?'));
        if (wide)
            return true;
    }
    return false;
}

bool NamesRootFolder(const QString &path) {
    if (path.isEmpty())
        return false;
    if (QDir::cleanPath(QFileInfo(path).absoluteFilePath()) == QLatin1String("/"))
        return true;
    // A link to the root, or a path through one, still names it.
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical == QLatin1String("/");
}

QString ProcessNameOf(const QString &fileName) {
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return fileName;
    const QString folder = fileName.left(slash);
    if (QFileInfo(folder.isEmpty() ? QStringLiteral("/") : folder).isDir())
        return fileName.mid(slash + 1);
    return fileName;
}

bool io_launchitem(TJobCommand command, const QString &fileNameIn, const QString &workingDirIn,
                   const QString &parameterIn, const QString &priority, bool maximised,
                   bool minimised, bool wait, const QString &instance) {
    TraceStep(QStringLiteral("io_launchitem: ") + CommandName(command) + QLatin1Char(';') + fileNameIn);
    const QString fileName = ExpandPath(fileNameIn);
    const QString workingDir = ExpandPath(workingDirIn == SetByVelloran ? QString() : workingDirIn);
    const QString parameter = ExpandPath(parameterIn);

    switch (command) {
    case TJobCommand::Remark:
        ShowStatus(QStringLiteral("Passing Remark ") + parameter + QStringLiteral("..."));
        return true;
    case TJobCommand::RunVelloran:
        return runVelloran(workingDir, parameter, priority, maximised, minimised, wait, instance);
    case TJobCommand::Run:
        return runItem(fileName, workingDir, parameter, priority, maximised, minimised, wait);
    case TJobCommand::Copy:
        return copyItem(fileName, parameter);
    case TJobCommand::Rename:
        return renameItem(fileName, parameter);
    case TJobCommand::MakeDir:
        return makeDirItem(fileName);
    case TJobCommand::Delete:
        return deleteItem(fileName);
    case TJobCommand::DelTree:
        return delTreeItem(fileName);
    default:
        break;
    }

    bool ok = false;
    switch (command) {
    case TJobCommand::EndProcess:
        ShowStatus(QStringLiteral("Ending Process ") + fileName + QStringLiteral("..."));
        ok = EndProcessByName(ProcessNameOf(fileName));
        if (!ok)
            ShowStatus(ProcessNotFound);
        break;
    case TJobCommand::KillProcess:
        ShowStatus(QStringLiteral("Killing Process ") + fileName + QStringLiteral("..."));
        ok = KillProcessByName(ProcessNameOf(fileName));
        if (!ok)
            ShowStatus(ProcessNotFound);
        break;
    case TJobCommand::TextToClipboard: {
        ShowStatus(QStringLiteral("Copying text \"") + fileName + QStringLiteral("\" to Clipboard..."));
        QString error;
        ok = ClipboardAccess && ClipboardAccess->SetText(fileName, &error);
        if (!ok)
            ShowStatus(error.isEmpty() ? QStringLiteral("The clipboard cannot be reached.") : error);
        break;
    }
    default:
        break;
    }
    TraceStep(QStringLiteral("io_Launchitem end"));
    return ok;
}

