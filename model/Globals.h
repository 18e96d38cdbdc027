#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

// Program-wide state: one of each for the whole run. Folder texts end with "/"
// unless noted. Tests reset it with ResetGlobals().

extern QString DocumentsDir;    // user's documents folder + "/", empty if unresolved
extern QString DataDir;         // DocumentsDir + "TarnwickData/"
extern QString LogDir;          // DataDir + "LogFiles/"
extern QString DesktopDir;      // desktop folder, as resolved (no "/" added)
extern QString SettingsDir;     // folder of Tarnwick.ini
extern QString ProgramFilesDir; // set by the settings store

extern QString VelloranDataDir;
extern QString VelloranExePath;
extern QString VelloranVersion;

extern QString StartupBatchFile;
extern QStringList CommandLineArgs; // arguments after the program name

extern bool ExecuteMode;
extern bool EditMode;
extern bool StartingUp;
extern bool QuitAfterRun;
extern bool AppClosing;
extern bool CloseQueryBusy;
extern bool BatchCancelled;

extern uint32_t SplashShownAt;

// Work objects created by data_GetMem: a shared line buffer used in turn by
// operations that never overlap, and the instance list as name=value lines.
extern QStringList *WorkList;
extern QStringList *InstancePaths;
extern QStringList *InstanceColors;

void ResetGlobals();
