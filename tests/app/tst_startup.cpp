#include "app/Startup.h"
#include "common/E2E.h"
#include "common/TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

class TestStartup : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir{TestTempDir() + "/startup-XXXXXX"};
    QString m_batch, m_foreign, m_folder;
    QProcessEnvironment m_env;

    static void write(const QString &path, const QByteArray &bytes) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private slots:
    void initTestCase() {
        m_batch = m_dir.filePath("good batch.twk");
        write(m_batch, "Tarnwick 3.0\r\nRemark\r\n\r\nhello\r\n\r\n\r\n\r\n\r\n0\r\n");
        m_foreign = m_dir.filePath("foreign.twk");
        write(m_foreign, "not a batch\r\n");
        m_folder = m_dir.filePath("folder.twk");
        QDir().mkpath(m_folder);
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.remove("DISPLAY");
        m_env.remove("WAYLAND_DISPLAY");
        m_env.remove("QT_QPA_PLATFORM");
        m_env.insert("TARNWICK_REGISTRY_DIR",
                     WriteRegistryFolder(m_dir.filePath("registry"), "2.60.71", m_dir.filePath("velloran")));
    }

    void parse_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("execute");
        QTest::addColumn<bool>("edit");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("notFound");
        QTest::newRow("none") << QStringList{} << false << false << "" << false;
        QTest::newRow("bare file") << QStringList{"@B"} << true << false << "@B" << false;
        QTest::newRow("bare file with more") << QStringList{"@B", "x"} << true << false << "@B" << false;
        QTest::newRow("bare missing file") << QStringList{"/no/such.twk"} << false << false << "" << false;
        QTest::newRow("bare folder") << QStringList{"@D"} << false << false << "" << false;
        QTest::newRow("-execute") << QStringList{"-execute", "@B"} << true << false << "@B" << false;
        QTest::newRow("-EXECUTE") << QStringList{"-EXECUTE", "@B", "a"} << true << false << "@B" << false;
        QTest::newRow("-eXeCuTe missing") << QStringList{"-eXeCuTe", "/no"} << true << false << "" << true;
        QTest::newRow("-execute folder") << QStringList{"-execute", "@D"} << true << false << "" << true;
        QTest::newRow("-execute alone") << QStringList{"-execute"} << true << false << "" << true;
        QTest::newRow("/execute is a file name") << QStringList{"/execute", "@B"} << false << false << ""
                                                 << false;
        QTest::newRow("-Edit") << QStringList{"-Edit", "@B"} << false << true << "@B" << false;
        QTest::newRow("-edit missing") << QStringList{"-edit", "/no"} << false << false << "" << true;
    }
    void parse() {
        QFETCH(QStringList, args);
        QFETCH(bool, execute);
        QFETCH(bool, edit);
        QFETCH(QString, file);
        QFETCH(bool, notFound);
        for (QString &a : args)
            a.replace("@B", m_batch).replace("@D", m_folder);
        file.replace("@B", m_batch);
        const CommandLineRequest r = ParseCommandLine(args);
        QCOMPARE(r.executeMode, execute);
        QCOMPARE(r.editMode, edit);
        QCOMPARE(r.batchFile, file);
        QCOMPARE(r.batchNotFound, notFound);
    }

    // The real program, without any display: the command-line forms and their exit statuses.
    void program_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("execute") << QStringList{"-execute", "@B", "x"} << 0 << "";
        QTest::newRow("bare file") << QStringList{"@B"} << 0 << "";
        QTest::newRow("execute missing") << QStringList{"-Execute", "/no/such.twk"} << 2
                                         << "Tarnwick: Batchfile not found!";
        QTest::newRow("execute folder") << QStringList{"-execute", "@D"} << 2
                                        << "Tarnwick: Batchfile not found!";
        QTest::newRow("execute foreign file") << QStringList{"-execute", "@F"} << 2
                                              << "Tarnwick: Load Error - this is not a Tarnwick file!";
        QTest::newRow("editor needs a display") << QStringList{} << 2 << "the editor needs a display";
        QTest::newRow("edit missing then no display") << QStringList{"-edit", "/no"} << 2
                                                      << "Tarnwick: Batchfile not found!";
        QTest::newRow("slash switch is a file name") << QStringList{"/execute", "@B"} << 2
                                                     << "the editor needs a display";
    }
    void program() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        for (QString &a : args)
            a.replace("@B", m_batch).replace("@D", m_folder).replace("@F", m_foreign);
        const TarnwickRun r = RunTarnwick(args, m_env);
        QVERIFY2(r.finished, "the program did not end");
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(r.exitCode, status);
        // The data folders exist after any start that got that far.
        QVERIFY(QFileInfo(QDir::homePath() + "/Documents/TarnwickData/LogFiles").isDir());
    }

    void editorOnOffscreenRefuses() {
        QProcessEnvironment env = m_env;
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("DISPLAY", ":99999");
        const TarnwickRun r = RunTarnwick({"-edit", m_batch}, env);
        QVERIFY(r.finished);
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("the editor needs a display"));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
