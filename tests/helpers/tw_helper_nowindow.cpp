// A Qt program without any window: runs its event loop until it is ended.
#include "tw_helper_common.h"

#include <QCoreApplication>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    writeHelperReport(argc, argv);
    return app.exec();
}
