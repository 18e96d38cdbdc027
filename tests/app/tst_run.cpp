#include "common/E2E.h"
#include "common/TestSupport.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/wait.h>

namespace {

void write(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QString read(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString("<missing %1>").arg(path);
}

// A batch file from (line 1, working dir, parameter, line 8) records; flags empty, delay 0.
QByteArray batch(const QList<QStringList> &jobs) {
    QStringList lines{"Tarnwick 3.0"};
    for (const QStringList &j : jobs)
        lines << j[0] << j.value(1) << j.value(2) << "0" << "" << "" << j.value(4) << j.value(3, "Normal");
    return (lines.join("\r\n") + "\r\n").toUtf8();
}

QString logDir() { return QDir::homePath() + "/Documents/TarnwickData/LogFiles/"; }

QStringList logsOf(const QString &stem) {
    return QDir(logDir()).entryList({stem + "Log_*.txt"}, QDir::Files, QDir::Time);
}

// Log lines without their "date time: " stamps (the first line has none).
QStringList logMessages(const QString &file) {
    QStringList out;
    const QStringList lines = read(file).split("\r\n");
    for (int i = 0; i < lines.size(); ++i) {
        const qsizetype at = lines[i].indexOf(": ");
        out << (i == 0 || at < 0 ? lines[i] : lines[i].mid(at + 2));
    }
    if (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}

} // namespace

class TestRun : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir{TestTempDir() + "/run-XXXXXX"};
    QProcessEnvironment m_env;
    QString m_calls;

private slots:
    void initTestCase() {
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.remove("DISPLAY");
        m_env.remove("WAYLAND_DISPLAY");
        m_env.remove("QT_QPA_PLATFORM");
        m_env.insert("LANG", "C");
        m_env.insert("LC_ALL", "C");
        m_env.insert("TARNWICK_REGISTRY_DIR",
                     WriteRegistryFolder(m_dir.filePath("registry"), "2.60.71",
                                         qEnvironmentVariable("TW_SOURCE_DIR") + "/examples/companion",
                                         false));
        m_calls = m_dir.filePath("velloran-calls.txt");
        m_env.insert("VELLORAN_STANDIN_LOG", m_calls);
        // The instance the companion job names, with a blank in its name and path.
        write(QDir::homePath() + "/Documents/TarnwickData/Tarnwick.ini",
              "[InstancePaths]\r\nProd EU=" + m_dir.filePath("inst/Prod EU.reg").toUtf8() +
                  "\r\n[InstanceColors]\r\nProd EU=clWhite\r\n");
    }

    // One batch with every command that works without a display, run for real.
    void everyCommandOnDisk() {
        const QString sb = m_dir.filePath("sand box");
        QDir().mkpath(sb + "/in");
        QDir().mkpath(sb + "/tree/ro/sub");
        write(sb + "/tree/ro/sub/f.txt", "f");
        QFile::setPermissions(sb + "/tree/ro", QFile::ReadOwner | QFile::ExeOwner);
        write(sb + "/outside.txt", "keep");
        QFile::link(sb + "/outside.txt", sb + "/tree/link-out");

        // A helper under a name unique to this run, for the Kill Process job.
        const QString unique = QString("tw-sleeper-%1").arg(QRandomGenerator::global()->generate(), 8, 16, QChar('0'));
        const QString helper = m_dir.filePath(unique);
        QVERIFY(QFile::copy("/bin/sleep", helper));
        QFile::setPermissions(helper, QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner);
        QProcess sleeper;
        sleeper.start(helper, {"300"});
        QVERIFY(sleeper.waitForStarted());

        const QString file = m_dir.filePath("all jobs.twk");
        write(file, batch({
            {"Remark", "", "start %1% %TW_RUN_VAR%", "0"},
            {"MakeDir %1%/made/deep/", "", ""},
            {"/bin/sh", "%1%/in", "-c \"printf north > a.csv; printf south > b.csv; printf n > c.txt\"", "Normal", "X"},
            {"Copy %1%/in/*.csv", "", "%1%/out/"},
            {"Rename %1%/in/c.txt", "", "%1%/in/renamed.txt"},
            {"RunVelloran", "Set by Velloran", "%1%/scen/De dupe.xml", "Prod EU", "X"},
            {"Delete %1%/in/*.CSV", "", ""},
            {"DelTree %1%/tree/", "", ""},
            {"Kill Process " + unique, "", ""},
            {";Kill Process never-runs", "", ""},
        }));
        QProcessEnvironment env = m_env;
        env.insert("TW_RUN_VAR", "from-env");
        const TarnwickRun r = RunTarnwick({"-execute", file, sb}, env);
        QVERIFY2(r.finished, "the run did not end");

        const bool killed = sleeper.waitForFinished(5000);
        if (!killed)
            sleeper.kill();
        QCOMPARE(r.exitCode, 0);
        QVERIFY(killed);
        QVERIFY(QFileInfo(sb + "/made/deep").isDir());
        QCOMPARE(read(sb + "/out/a.csv"), QString("north"));
        QCOMPARE(read(sb + "/out/b.csv"), QString("south"));
        QVERIFY(QFileInfo::exists(sb + "/in/renamed.txt"));
        QVERIFY(!QFileInfo::exists(sb + "/in/a.csv"));
        QVERIFY(!QFileInfo::exists(sb + "/tree"));
        QCOMPARE(read(sb + "/outside.txt"), QString("keep"));

        // Scenario and instance path with blanks arrive as single arguments.
        const QString calls = read(m_calls);
        QVERIFY2(calls.contains("[" + sb + "/scen/De dupe.xml] [" + m_dir.filePath("inst/Prod EU.reg") +
                                "] [tarnwickrun] [winloc]"),
                 qPrintable(calls));

        const QStringList logs = logsOf("all jobs");
        QCOMPARE(logs.size(), 1);
        const QStringList msgs = logMessages(logDir() + logs[0]);
        QCOMPARE(msgs.first(), "Tarnwick log for file " + file);
        QCOMPARE(msgs.at(1), QString("Batch Job Commenced"));
        QCOMPARE(msgs.at(2), "Passing Remark start " + sb + " from-env...");
        QVERIFY(msgs.contains("Killing Process " + unique + "..."));
        QVERIFY(!msgs.contains("Killing Process never-runs..."));
        QVERIFY(msgs.contains("Tarnwick results have been logged to " + logDir() + logs[0]));
        QCOMPARE(msgs.last(), QString("Please check the Velloran log files for the results of Velloran jobs."));
        QVERIFY(!msgs.join("\n").contains("error", Qt::CaseInsensitive));
    }

    void failedJobGivesStatusOne() {
        const QString file = m_dir.filePath("failing.twk");
        write(file, batch({{"Rename " + m_dir.filePath("no-such-file"), "", m_dir.filePath("x")},
                           {"Remark", "", "still runs", "0"}}));
        const TarnwickRun r = RunTarnwick({file}, m_env);
        QVERIFY(r.finished);
        QCOMPARE(r.exitCode, 1);
        const QStringList msgs = logMessages(logDir() + logsOf("failing").value(0));
        QVERIFY(msgs.contains("Rename error!"));
        QVERIFY(msgs.contains("Passing Remark still runs..."));
    }

    void unwritableLogIsReported() {
        const QString logs = logDir();
        QVERIFY(QDir(logs).removeRecursively());
        write(logs.chopped(1), "a file where the log folder belongs");
        const QString file = m_dir.filePath("nolog.twk");
        const QString made = m_dir.filePath("must-not-exist");
        write(file, batch({{"MakeDir " + made, "", ""}}));
        const TarnwickRun r = RunTarnwick({"-execute", file}, m_env);
        QFile::remove(logs.chopped(1));
        QDir().mkpath(logs);
        QVERIFY(r.finished);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("Tarnwick: The execution log " + logs + "nologLog_"), qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(made));
    }
};

QTEST_GUILESS_MAIN(TestRun)
#include "tst_run.moc"
