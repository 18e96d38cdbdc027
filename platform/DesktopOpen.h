#pragma once

#include "platform/Process.h"

#include <QString>

// Opens an existing document with the desktop's default application for its MIME type,
// in workingDir when not empty. The application runs in a session of its own. *child gets
// the started process when one was started directly (not reaped yet: wait for it or hand
// it to ReapInBackground); pid -1 when the application was reached another way, such as
// D-Bus activation. False with the reason in *error when there is no default application
// or the launch fails.
bool OpenWithDefaultApplication(const QString &path, const QString &workingDir, ChildProcess *child,
                                QString *error);
