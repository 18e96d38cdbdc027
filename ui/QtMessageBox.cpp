#include "ui/QtMessageBox.h"

#include <QGuiApplication>
#include <QMessageBox>

void QtMessageBox::show(const QString &caption, const QString &text, MsgIcon icon) {
    QMessageBox box(icon == MsgIcon::Error         ? QMessageBox::Critical
                    : icon == MsgIcon::Information ? QMessageBox::Information
                                                   : QMessageBox::NoIcon,
                    caption, text, QMessageBox::Ok);
    box.exec();
}

bool RunningOffscreen() {
    return QGuiApplication::platformName() == QLatin1String("offscreen") ||
           QGuiApplication::platformName() == QLatin1String("minimal");
}

void InstallMessageBoxService() {
    static QtMessageBox qtBox;
    SetMessageBoxService(RunningOffscreen() ? nullptr : &qtBox);
}
