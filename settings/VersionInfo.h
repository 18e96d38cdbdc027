#pragma once

#include <QString>

// The program's own version facts, as the settings file and the about box show them.
struct TVersionInfo {
    int Major = 1;
    int Minor = 5;
    int Release = 0;
    int Build = 9;
    QString ProductName = QStringLiteral("Tarnwick");
    QString ProductVersion = QStringLiteral("1.5");
    QString FileVersion = QStringLiteral("1.5.0.9");
    bool Valid = true;
};

inline const TVersionInfo VersionInfo;
