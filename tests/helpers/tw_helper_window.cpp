// A Qt program with one ordinary window with an icon; it ends when the window is closed.
// Argument "--hidden": the window is created but never shown.
#include "tw_helper_common.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QWidget>
#include <cstring>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::darkCyan);
    QApplication::setWindowIcon(QIcon(pixmap));
    QWidget window;
    window.setWindowTitle(QStringLiteral("Tarnwick test helper"));
    window.resize(240, 120);
    const bool hidden = argc > 1 && std::strcmp(argv[1], "--hidden") == 0;
    if (hidden)
        window.winId(); // the native window exists, unmapped
    else
        window.show();
    writeHelperReport(argc, argv);
    return app.exec();
}
