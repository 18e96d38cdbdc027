#pragma once

// Support for tests that start, end and kill the helper programs. Only copies made here,
// under names unique to the run, are ever ended or killed by a test.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QStringList>
#include <QtTest>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

namespace helpers {

inline QString testTmp() {
    return qEnvironmentVariable("TW_TEST_TMP", QDir::tempPath());
}

inline QString builtHelper(const QString &name) {
    return qEnvironmentVariable("TW_BINARY_DIR") + QStringLiteral("/tests/helpers/") + name;
}

// A fresh random name, such as "twh-3f9a0c1d2e7b".
inline QString uniqueName(const QString &prefix = QStringLiteral("twh-")) {
    return prefix + QString::number(QRandomGenerator::global()->generate64(), 16);
}

// Copies the built helper into folder (the test folder by default) under a unique name.
inline QString copyHelper(const QString &name, const QString &folder = QString(),
                          const QString &fileName = QString()) {
    const QString dir = folder.isEmpty() ? testTmp() : folder;
    QDir().mkpath(dir);
    const QString target = dir + QLatin1Char('/') + (fileName.isEmpty() ? uniqueName() : fileName);
    if (!QFile::copy(builtHelper(name), target))
        return QString();
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                      QFile::ReadGroup | QFile::ExeGroup);
    return target;
}

// The lines of a helper's report (pid, folder, session, arguments), waiting up to
// timeoutMs for it to appear.
inline QStringList readReport(const QString &file, int timeoutMs = 10000) {
    QElapsedTimer t;
    t.start();
    while (!QFile::exists(file) && t.elapsed() < timeoutMs)
        QTest::qWait(20);
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromLocal8Bit(f.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The state letter of /proc/<pid>/stat, or 0 when there is no such process.
inline char processState(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray stat = f.readAll();
    const int close = stat.lastIndexOf(')');
    return close >= 0 && close + 2 < stat.size() ? stat.at(close + 2) : 0;
}

// Running (not ended, not a zombie).
inline bool processRuns(qint64 pid) {
    const char s = processState(pid);
    return s != 0 && s != 'Z' && s != 'X';
}

// The blank-separated fields of /proc/<pid>/stat after the name, from the state on
// (index 0 is field 3 of proc(5)).
inline QList<QByteArray> statFields(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray stat = f.readAll();
    return stat.mid(stat.lastIndexOf(')') + 2).trimmed().split(' ');
}

// Kills a helper this test started (by its pid, never by a name).
inline void killOwn(qint64 pid) {
    if (pid > 1)
        ::kill(pid_t(pid), SIGKILL);
}

} // namespace helpers
