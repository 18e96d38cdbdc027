#pragma once

#include <QString>

// Where the companion and its installer leave their facts (registry keys from the root).
inline const QString VelloranGlobalsKey =
    QStringLiteral("\\Software\\VB and VBA Program Settings\\Velloran\\Globals");
inline const QString VelloranVersionValue = QStringLiteral("previousToolVersion");
inline const QString VelloranUninstallKey1 =
    QStringLiteral("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                   "{7A1D3E52-0C9B-4F6E-B2A8-5D4E61C3F907}");
inline const QString VelloranUninstallKey2 =
    QStringLiteral("\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                   "{2E8B4D17-9A3C-4B05-8F61-C7D2A0E94B36}");
inline const QString VelloranInstallLocationValue = QStringLiteral("InstallLocation");
inline const QString VelloranExeName = QStringLiteral("Velloran.exe");

// The recorded version must be greater than this one.
inline const QString VelloranVersionBelowMinimum = QStringLiteral("2.60.70");
inline const QString VelloranTooOldMessage =
    QStringLiteral("You need at least Velloran version 2.60.71 to run Tarnwick!");

// Compares dot-separated numbers part by part as numbers, a missing part
// counting 0. Returns false when either text is not of that form (empty,
// blanks, letters, empty parts); otherwise *result is <0, 0 or >0.
bool CompareVersions(const QString &a, const QString &b, int *result);
// True when the version is well formed and greater than 2.60.70.
bool VelloranVersionAcceptable(const QString &version);

// Sets VelloranVersion, VelloranDataDir and VelloranExePath from the registry.
// When the version is missing or too old it shows VelloranTooOldMessage and
// returns false: the caller then ends the program before anything runs or is written.
bool Reg_FindVelloran();
