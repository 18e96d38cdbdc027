#pragma once

#include <QString>

// Keywords that end the companion's command line.
inline const QString VelloranRunKeywords = QStringLiteral("tarnwickrun winloc");
inline const QString VelloranEditKeywords = QStringLiteral("loadonly tarnwickedit winloc");

// The configured executable when a file is there, else the discovered one when
// a file is there, else empty.
QString VelloranExecutable();

// [scenario] [instance] keywords: the scenario in double quotes unless it
// already begins with one, the instance always in double quotes, each left out
// when empty.
QString VelloranArguments(const QString &scenario, const QString &instancePath,
                          const QString &keywords);
