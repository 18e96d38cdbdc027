#include "app/Startup.h"

#include <QApplication>

int main(int argc, char **argv) {
    ChooseQtPlatform();
    QApplication app(argc, argv);
    return RunTarnwick(app, app.arguments().mid(1));
}
