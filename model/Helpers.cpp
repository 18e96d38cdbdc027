#include "model/Helpers.h"

#include "model/Globals.h"
#include "platform/Clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString AddBackslash(const QString &path) {
    if (path.isEmpty())
        return path;
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

void CreateDirPath(const QString &path) {
    QString p = path;
    if (p.endsWith(QLatin1Char('/')))
        p.chop(1);
    // "/" alone and very short texts are roots or nothing to create.
    if (p.size() < 1 || QFileInfo(p).isDir())
        return;
    const qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
    if (slash > 0)
        CreateDirPath(p.left(slash + 1));
    QDir().mkdir(p);
}

void ProcessMessages() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void WaitWithMessages(int ms) {
    const uint32_t start = TickCount();
    for (;;) {
        if (BatchCancelled)
            return;
        SleepMs(10);
        ProcessMessages();
        if (uint32_t(TickCount() - start) > uint32_t(ms))
            return;
    }
}
