#include "model/Globals.h"

QString DocumentsDir;
QString DataDir;
QString LogDir;
QString DesktopDir;
QString SettingsDir;
QString ProgramFilesDir;

QString VelloranDataDir;
QString VelloranExePath;
QString VelloranVersion;

QString StartupBatchFile;
QStringList CommandLineArgs;

bool ExecuteMode = false;
bool EditMode = false;
bool StartingUp = true;
bool QuitAfterRun = false;
bool AppClosing = false;
bool CloseQueryBusy = false;
bool BatchCancelled = false;

uint32_t SplashShownAt = 0;

QStringList *WorkList = nullptr;
QStringList *InstancePaths = nullptr;
QStringList *InstanceColors = nullptr;

void ResetGlobals() {
    DocumentsDir.clear();
    DataDir.clear();
    LogDir.clear();
    DesktopDir.clear();
    SettingsDir.clear();
    ProgramFilesDir.clear();
    VelloranDataDir.clear();
    VelloranExePath.clear();
    VelloranVersion.clear();
    StartupBatchFile.clear();
    CommandLineArgs.clear();
    ExecuteMode = false;
    EditMode = false;
    StartingUp = true;
    QuitAfterRun = false;
    AppClosing = false;
    CloseQueryBusy = false;
    BatchCancelled = false;
    SplashShownAt = 0;
}
