#pragma once

#include <QString>

inline const QString TarnwickMimeType = QStringLiteral("application/x-tarnwick-script");
inline const QString TarnwickDesktopFile = QStringLiteral("tarnwick.desktop");

// The desktop-entry Exec form of one argument: always double-quoted, with the
// characters the quoting reserves escaped, "%" doubled, backslashes escaped again
// for the file's string syntax.
QString DesktopExecArgument(const QString &arg);

// Ties "*.twk" files to the program at programPath in the user's folders:
// the MIME package $XDG_DATA_HOME/mime/packages/tarnwick.xml, the desktop entry
// $XDG_DATA_HOME/applications/tarnwick.desktop (open: -execute, action Edit: -edit),
// the default application in $XDG_CONFIG_HOME/mimeapps.list; then the MIME and
// desktop databases are rebuilt where their tools are installed. Earlier files
// are removed first, so running it again gives the same result. On failure the
// remaining steps are skipped and *error names the file.
bool RegisterFileAssociation(const QString &programPath, QString *error);

// The menu handler: registers the running program file and reports the outcome
// in a box. Returns whether it succeeded.
bool settings_registerClick();
