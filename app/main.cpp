#include "app/Startup.h"

#include <QApplication>

namespace {

QtMessageHandler g_previousHandler = nullptr;

// The offscreen platform reports every window request it cannot honour; for a
// run without a display those lines are noise around the program's own messages.
void quietOffscreen(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    g_previousHandler(type, context, message);
}

} // namespace

int main(int argc, char **argv) {
    ChooseQtPlatform();
    g_previousHandler = qInstallMessageHandler(quietOffscreen);
    QApplication app(argc, argv);
    return RunTarnwick(app, app.arguments().mid(1));
}
