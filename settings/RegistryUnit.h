#pragma once

#include "settings/IniFile.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class TIniFile;

// Roots of the read-only registry (platform/RegistryFiles.h).
enum class TRegRoot { ClassesRoot, CurrentUser, LocalMachine, Users };

inline const QString SettingsFileName = QStringLiteral("Tarnwick.ini");
// Written as Information/VersionNumber.
constexpr int SettingsVersionNumber = 430;
inline const QString GetTarnwickAt = QStringLiteral("https://tarnwick.example.org/download");

// What the settings file keeps of the main window, asked for at each save.
struct TFormState {
    bool maximized = false;
    int left = 0, top = 0, width = 0, height = 0;
    QList<int> columnWidths; // Column0, Column1, ... in job-list order
    QStringList recentFiles; // menu order, the most recent first
};
using TFormStateProvider = std::function<TFormState()>;
// Installed by whoever owns the main window; without one the bounds come from
// Config and no column widths or recent files are written.
void SetFormStateProvider(TFormStateProvider provider);

// Opens the store: ProgramFilesDir from the registry (else "/opt/"), SettingsDir
// created when missing, the settings file SettingsDir + "Tarnwick.ini" (it need not exist).
void Reg_init();
// Fills Config and the instance lists; needs Reg_init and data_GetMem first.
void Reg_LoadConfig();
// Writes every persisted setting in one locked rewrite of the file. Does nothing
// in execute mode or when the store is not open.
void Reg_SaveConfig();
void Reg_Close();

// A text value of the registry; empty when the key or value is missing or not text.
// The key path is given from the root with a leading backslash.
QString Reg_ReadValue(TRegRoot root, const QString &key, const QString &name);
// Folder 5: documents, 16: desktop; empty when it cannot be resolved.
QString Reg_GetSpecialFolder(int folder);

// The open settings file, or nullptr when the store is closed.
TIniFile *SettingsFile();
// SettingsDir + "Tarnwick.ini".
QString SettingsFilePath();

// Read by the main window when it is shown: the widths of Column0..ColumnN-1,
// each defaulting to the design width given.
QList<int> Reg_ReadColumnWidths(const QList<int> &designWidths);
// The recent files to offer: the values of keys "8" down to "0" that name
// existing files, in that order (adding each to the top leaves "0" first).
QStringList Reg_ReadRecentFiles();

// Today's day number (days since 30 December 1899).
int TodayDayNumber();
