#include "app/Startup.h"

#include "execution/Runner.h"
#include "execution/WorkObjects.h"
#include "model/BatchFile.h"
#include "model/Globals.h"
#include "model/Helpers.h"
#include "model/Messages.h"
#include "model/Placeholders.h"
#include "platform/Folders.h"
#include "settings/FileAssociation.h"
#include "settings/RegistryUnit.h"
#include "settings/VelloranDiscovery.h"
#include "ui/MainWindow.h"
#include "ui/ProgressFormUnit.h"
#include "ui/QtMessageBox.h"

#include <QApplication>
#include <QFileInfo>
#include <QTableView>
#include <cstdio>

namespace {

bool isExistingFile(const QString &path) {
    const QFileInfo fi(path);
    return !path.isEmpty() && fi.exists() && !fi.isDir();
}

void resolveFolders() {
    TraceStep(QStringLiteral("Getting dirs"));
    DocumentsDir = AddBackslash(SpecialFolderPath(FolderDocuments));
    DataDir = DocumentsDir + QStringLiteral("TarnwickData/");
    if (!QFileInfo(DataDir).isDir())
        CreateDirPath(DataDir);
    LogDir = DataDir + QStringLiteral("LogFiles/");
    if (!QFileInfo(LogDir).isDir())
        CreateDirPath(LogDir);
    DesktopDir = SpecialFolderPath(FolderDesktop);
    const QString allUsers = ExpandPath(QStringLiteral("%ALLUSERSPROFILE%"));
    if (QFileInfo(allUsers).isDir())
        SettingsDir = AddBackslash(allUsers) + QStringLiteral("VelloranTarnwick/");
    else
        SettingsDir = DataDir;
}

int executeRoad(TTarnwickF &mainForm) {
    TraceStep(QStringLiteral("StartupExecute: ") + StartupBatchFile);
    mainForm.HideForExecute();
    TraceStep(QStringLiteral("Executing"));
    const RunOutcome outcome = Execute(*mainForm.batch(), StartupBatchFile, false);
    TraceStep(QStringLiteral("Executing done."));
    QuitAfterRun = true;
    TraceStep(QStringLiteral("Quitting Tarnwick..."));
    if (!outcome.loaded)
        return ExitNotRun;
    return outcome.finished && outcome.allSucceeded && !outcome.logFailed ? ExitSuccess : ExitJobFailed;
}

void editRoad(TTarnwickF &mainForm) {
    TraceStep(QStringLiteral("StartupLoad: ") + StartupBatchFile);
    TBatch *batch = mainForm.batch();
    batch->setFileName(StartupBatchFile);
    LoadBatchFile(*batch);
    mainForm.UpdateFormCaption();
}

TFormState formStateOf(TTarnwickF &mainForm) {
    TFormState s;
    s.maximized = mainForm.isMaximized();
    const QRect frame = mainForm.frameGeometry();
    s.left = frame.left();
    s.top = frame.top();
    s.width = mainForm.width();
    s.height = mainForm.height();
    if (QTableView *list = mainForm.jobList())
        for (int c = 0; c < TBatch::ColumnCount; ++c)
            s.columnWidths.append(list->columnWidth(c));
    return s;
}

} // namespace

CommandLineRequest ParseCommandLine(const QStringList &args) {
    CommandLineRequest r;
    if (args.isEmpty())
        return r;
    const QString first = args.at(0);
    const QString second = args.size() > 1 ? args.at(1) : QString();
    if (isExistingFile(first)) {
        r.executeMode = true;
        r.batchFile = first;
    }
    if (first.toUpper() == QLatin1String("-EXECUTE")) {
        r.executeMode = true;
        if (isExistingFile(second))
            r.batchFile = second;
        else
            r.batchNotFound = true;
    }
    if (first.toUpper() == QLatin1String("-EDIT")) {
        if (isExistingFile(second)) {
            r.editMode = true;
            r.batchFile = second;
        } else {
            r.batchNotFound = true;
        }
    }
    return r;
}

void ChooseQtPlatform() {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

int RunTarnwick(QApplication &app, const QStringList &args) {
    app.setApplicationName(AppTitle);
    app.setApplicationDisplayName(AppTitle);
    app.setQuitOnLastWindowClosed(true);
    InstallMessageBoxService();
    InstallProgressForm();
    CommandLineArgs = args;

    // For installers and users: create the file type association and end.
    if (!args.isEmpty() && args.at(0).toUpper() == QLatin1String("-REGISTER"))
        return settings_registerClick() ? ExitSuccess : ExitJobFailed;

    resolveFolders();
    // The settings store opens here, then the companion is located and checked.
    Reg_init();
    if (!Reg_FindVelloran())
        return ExitNotRun;

    if (!data_GetMem())
        return ExitNotRun;
    // All settings are read here.
    Reg_LoadConfig();

    TraceStep(QStringLiteral("--- look for params ---"));
    const CommandLineRequest request = ParseCommandLine(args);
    ExecuteMode = request.executeMode;
    EditMode = request.editMode;
    StartupBatchFile = request.batchFile;
    if (request.batchNotFound) {
        if (request.executeMode)
            TraceStep(QStringLiteral("-execute"));
        else
            TraceStep(QStringLiteral("-edit"));
        ShowPlainMessage(QStringLiteral("Batchfile not found!"));
        if (request.executeMode) {
            data_FreeMem();
            return ExitNotRun;
        }
    }

    if (!ExecuteMode && RunningOffscreen()) {
        std::fputs("Tarnwick: the editor needs a display; use -execute to run a batch without one.\n",
                   stderr);
        data_FreeMem();
        return ExitNotRun;
    }

    TraceStep(QStringLiteral("--- createform ---"));
    TTarnwickF mainForm;
    TraceStep(QStringLiteral("--- aftercreate ---"));
    mainForm.closeHooks.saveSettings = [] { Reg_SaveConfig(); };
    mainForm.closeHooks.closeStore = [] { Reg_Close(); };
    SetFormStateProvider([&mainForm] { return formStateOf(mainForm); });

    int status = ExitSuccess;
    if (ExecuteMode) {
        status = executeRoad(mainForm);
    } else {
        if (EditMode)
            editRoad(mainForm);
        mainForm.show();
    }

    StartingUp = false;
    TraceStep(QStringLiteral("--- run --- "));
    if (QuitAfterRun) {
        SetFormStateProvider(nullptr);
        data_FreeMem();
        return status;
    }
    app.exec();
    TraceStep(QStringLiteral("--- after run ---"));
    SetFormStateProvider(nullptr);
    data_FreeMem();
    return ExitSuccess;
}
