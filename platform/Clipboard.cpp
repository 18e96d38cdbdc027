#include "platform/Clipboard.h"

#include "platform/Process.h"

#include <QStringList>

namespace {
constexpr int ToolTimeoutMs = 5000;
}

bool TClipboardAccess::SetText(const QString &text, QString *error) {
    QString program;
    QStringList arguments;
    if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY") &&
        !FindOnPath(QStringLiteral("wl-copy")).isEmpty()) {
        program = FindOnPath(QStringLiteral("wl-copy"));
        // wl-copy with no input would wait for it; --clear is its own way of emptying.
        if (text.isEmpty())
            arguments << QStringLiteral("--clear");
    } else if (qEnvironmentVariableIsSet("DISPLAY")) {
        program = FindOnPath(QStringLiteral("xclip"));
        if (program.isEmpty()) {
            if (error)
                *error = QStringLiteral("Clipboard not available: xclip is not installed");
            return false;
        }
        arguments << QStringLiteral("-selection") << QStringLiteral("clipboard")
                  << QStringLiteral("-in");
    } else if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY")) {
        if (error)
            *error = QStringLiteral("Clipboard not available: wl-copy is not installed");
        return false;
    } else {
        if (error)
            *error = QStringLiteral("Clipboard not available: no display");
        return false;
    }
    int code = 0;
    QString toolError;
    QString startError;
    if (!RunTool(program, arguments, text.toUtf8(), ToolTimeoutMs, &code, &toolError,
                 &startError)) {
        if (error)
            *error = QStringLiteral("Clipboard not available: %1").arg(startError);
        return false;
    }
    if (code != 0) {
        if (error)
            *error =
                QStringLiteral("Clipboard not available: %1")
                    .arg(toolError.isEmpty()
                             ? QStringLiteral("%1 failed with exit code %2").arg(program).arg(code)
                             : toolError);
        return false;
    }
    return true;
}
