#pragma once

#include "instances/ColorText.h"

#include <QString>
#include <QStringList>
#include <optional>

// The instance list lives in the program-wide InstancePaths and InstanceColors
// (model/Globals.h): "name=value" lines aligned by position.

inline const QString DefaultInstanceName = QStringLiteral("Velloran as last logged in");
inline const QString DefaultInstancePath = QStringLiteral("default");
inline const QString DefaultInstanceColor = QStringLiteral("clWhite");
// The line that fills up a colour list shorter than its path list.
inline const QString FillerColorLine = QStringLiteral("Name=clWhite");

// A line split at its first "=": the name before it, the value after it (the
// whole line is the name when there is no "=").
QString InstanceLineName(const QString &line);
QString InstanceLineValue(const QString &line);

// What loading does after reading both sections: returns false when their
// lengths differed (the caller reports error 9), pads the colours with
// FillerColorLine, and puts in the default entry when there are no paths.
bool CompleteInstanceLists(QStringList &paths, QStringList &colors);

// The path to hand to the companion for a job naming this instance: empty for
// the default entry's exact name, an empty name, or a name not in the list;
// else the path of the first line with that name, letter case ignored.
QString InstancePathOf(const QString &name);

// The colour of a job's instance cell: clWindow for an empty name or the default
// entry's exact name; the colour of the first entry of that name (letter case
// ignored); nothing when the name is not in the list. A colour text that cannot
// be read also gives nothing, with the reason in *error.
std::optional<TColor> InstanceColorOf(const QString &name, QString *error = nullptr);
