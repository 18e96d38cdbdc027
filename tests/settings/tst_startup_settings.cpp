#include "common/E2E.h"
#include "common/TestSupport.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestStartupSettings : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir{TestTempDir() + "/startup-settings-XXXXXX"};
    QString m_batch;
    int m_case = 0;

    QProcessEnvironment baseEnv() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        return env;
    }
    static QString settingsFile() {
        return QDir::homePath() + "/Documents/TarnwickData/Tarnwick.ini";
    }
    static QStringList logFiles() {
        return QDir(QDir::homePath() + "/Documents/TarnwickData/LogFiles").entryList(QDir::Files);
    }

private slots:
    void initTestCase() {
        m_batch = m_dir.filePath("one remark.twk");
        QFile f(m_batch);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Tarnwick 3.0\r\nRemark\r\n\r\nhello\r\n\r\n\r\n\r\n\r\n0\r\n");
    }

    void versionCheckAtStartup_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("status");
        QTest::newRow("too old") << "2.60.70" << 2;
        QTest::newRow("missing") << QString() << 2;
        QTest::newRow("least") << "2.60.71" << 0;
        QTest::newRow("two-digit major") << "10.0" << 0;
    }
    void versionCheckAtStartup() {
        QFETCH(QString, version);
        QFETCH(int, status);
        const QString base = m_dir.filePath(QString("case%1").arg(++m_case));
        const QString registry = WriteRegistryFolder(
            base + "/registry", version.isNull() ? "x" : version, base + "/velloran");
        if (version.isNull()) { // no version value at all
            QFile reg(registry + "/velloran.reg");
            QVERIFY(reg.open(QIODevice::WriteOnly | QIODevice::Truncate));
            reg.write("Windows Registry Editor Version 5.00\r\n");
        }
        QProcessEnvironment env = baseEnv();
        env.insert("TARNWICK_REGISTRY_DIR", registry);
        QFile::remove(settingsFile());
        const QStringList logsBefore = logFiles();

        const TarnwickRun r = RunTarnwick({"-execute", m_batch}, env);
        QVERIFY(r.finished);
        QCOMPARE(r.exitCode, status);
        const bool refused = status == 2;
        QCOMPARE(r.err.contains("You need at least Velloran version 2.60.71 to run Tarnwick!"),
                 refused);
        QVERIFY2(!QFile::exists(settingsFile()), "execute mode writes no settings");
        if (refused)
            QCOMPARE(logFiles(), logsBefore); // nothing ran
    }

    void registerSwitch() {
        const QString base = m_dir.filePath("register");
        QProcessEnvironment env = baseEnv();
        env.insert("XDG_DATA_HOME", base + "/data");
        env.insert("XDG_CONFIG_HOME", base + "/config");
        // No registry at all: making the association needs no companion.
        env.insert("TARNWICK_REGISTRY_DIR", base + "/no-registry");
        TarnwickRun r = RunTarnwick({"-REGISTER"}, env);
        QVERIFY(r.finished);
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.err.contains("twk file type association has been created!"));

        const QString xdgMime = QStandardPaths::findExecutable("xdg-mime");
        if (xdgMime.isEmpty())
            QSKIP("xdg-mime is not installed (package xdg-utils): association not read back");
        // Read back the way the desktop does, with no desktop environment guessed.
        for (const char *v : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                              "GNOME_DESKTOP_SESSION_ID", "DE"})
            env.remove(v);
        if (QStandardPaths::findExecutable("mimetype").isEmpty()) {
            if (QStandardPaths::findExecutable("gio").isEmpty())
                QSKIP("neither mimetype nor gio is installed: xdg-mime cannot find file types");
            env.insert("XDG_CURRENT_DESKTOP", "GNOME");
        }
        const QString twk = base + "/some batch.twk";
        QFile f(twk);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Tarnwick 3.0\r\n");
        f.close();
        QProcess q;
        q.setProcessEnvironment(env);
        q.start(xdgMime, {"query", "filetype", twk});
        QVERIFY(q.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(q.readAllStandardOutput()).trimmed(),
                 QString("application/x-tarnwick-script"));
        q.start(xdgMime, {"query", "default", "application/x-tarnwick-script"});
        QVERIFY(q.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(q.readAllStandardOutput()).trimmed(),
                 QString("tarnwick.desktop"));

        // A failure ends with status 1 and names the file.
        QVERIFY(QFile::remove(base + "/data/applications/tarnwick.desktop"));
        QVERIFY(QDir(base + "/data/applications").removeRecursively());
        QFile blocker(base + "/data/applications");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        r = RunTarnwick({"-register"}, env);
        QCOMPARE(r.exitCode, 1);
        QVERIFY(
            r.err.contains("Failed to create key " + base + "/data/applications/tarnwick.desktop"));
    }
};

QTEST_GUILESS_MAIN(TestStartupSettings)
#include "tst_startup_settings.moc"
