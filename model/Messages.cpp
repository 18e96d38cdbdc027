#include "model/Messages.h"

#include "platform/MessageBox.h"

std::array<QString, 3> LastSteps = {QStringLiteral(" Unknown"), QStringLiteral(" Unknown"),
                                    QStringLiteral(" Unknown")};

QString ErrorText(int code) {
    switch (code) {
    case 1:
        return QStringLiteral("Load Error - file probably in use!");
    case 2:
        return QStringLiteral("Load Error - this is not a Tarnwick file!");
    case 3:
        return QStringLiteral("Save Error - file in use, no write rights or invalid filename!");
    case 4:
        return QStringLiteral("Rename Error - file not found or in use!");
    case 5:
        return QStringLiteral("MakeDir Error - directory probably already exists!");
    case 6:
        return QStringLiteral("Delete Error - at least one file could not be deleted!");
    case 7:
        return QStringLiteral("Process not found or access denied!");
    case 8:
        return QStringLiteral("Velloran installation not found! Please set path in settings menu.");
    case 9:
        return QStringLiteral(
            "Error during instance reading, path and color count does not match!");
    default:
        return QString();
    }
}

QString InfoText(int code) {
    return code == 1 ? QStringLiteral("twk file type association has been created!") : QString();
}

void ShowErrorMessage(int code) { MessageBoxService().show(AppTitle, ErrorText(code), MsgIcon::Error); }

void ShowInfoMessage(int code) {
    MessageBoxService().show(AppTitle, InfoText(code), MsgIcon::Information);
}

void ShowPlainMessage(const QString &text) { MessageBoxService().show(AppTitle, text, MsgIcon::None); }

void ShowErrorText(const QString &text) { MessageBoxService().show(AppTitle, text, MsgIcon::Error); }

void TraceStep(const QString &name) {
    if (name == LastSteps[0])
        return;
    LastSteps[2] = LastSteps[1];
    LastSteps[1] = LastSteps[0];
    LastSteps[0] = name;
}

void ResetTrace() { LastSteps.fill(QStringLiteral(" Unknown")); }
