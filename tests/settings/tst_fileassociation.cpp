#include "common/TestSupport.h"
#include "model/Messages.h"
#include "model/TextFile.h"
#include "settings/FileAssociation.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestFileAssociation : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir{TestTempDir() + "/assoc-XXXXXX"};
    QString m_data, m_config;
    int m_case = 0;

    static QByteArray read(const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QString desktopFile() const { return m_data + "/applications/tarnwick.desktop"; }
    QString mimeFile() const { return m_data + "/mime/packages/tarnwick.xml"; }
    QString mimeApps() const { return m_config + "/mimeapps.list"; }

private slots:
    void init() {
        const QString top = m_dir.filePath(QString("case%1").arg(++m_case));
        m_data = top + "/data";
        m_config = top + "/config";
        QDir().mkpath(m_config);
        qputenv("XDG_DATA_HOME", m_data.toUtf8());
        qputenv("XDG_CONFIG_HOME", m_config.toUtf8());
    }

    void execArguments_data() {
        QTest::addColumn<QString>("arg");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << "/usr/bin/tarnwick"
                               << "\"/usr/bin/tarnwick\"";
        QTest::newRow("blanks") << "/opt/my apps/tarnwick"
                                << "\"/opt/my apps/tarnwick\"";
        QTest::newRow("quote and dollar") << "/a\"b$c"
                                          << "\"/a\\\\\"b\\\\$c\"";
        QTest::newRow("backslash") << "/a\\b"
                                   << "\"/a\\\\\\\\b\"";
        QTest::newRow("percent") << "/100%/t"
                                 << "\"/100%%/t\"";
    }
    void execArguments() {
        QFETCH(QString, arg);
        QFETCH(QString, exec);
        QCOMPARE(DesktopExecArgument(arg), exec);
    }

    void writesTheThreeFilesAndAgainTheSame() {
        // Someone else's default and group must survive.
        QFile list(mimeApps());
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("[Default Applications]\ntext/plain=editor.desktop\n\n[Added Associations]\n"
                   "image/png=viewer.desktop;\n");
        list.close();

        const QString program = m_dir.filePath("my apps/tarnwick");
        QString error;
        QVERIFY2(RegisterFileAssociation(program, &error), qPrintable(error));
        const QByteArray desktop = read(desktopFile());
        QVERIFY(desktop.contains("\nExec=\"" + program.toUtf8() + "\" -execute %f\n"));
        QVERIFY(desktop.contains("\n[Desktop Action Edit]\n"));
        QVERIFY(desktop.contains("\nExec=\"" + program.toUtf8() + "\" -edit %f\n"));
        QVERIFY(desktop.contains("\nMimeType=application/x-tarnwick-script;\n"));
        QVERIFY(desktop.contains("\nActions=Edit;\n"));
        QVERIFY(desktop.contains("\nIcon="));
        const QByteArray mime = read(mimeFile());
        QVERIFY(mime.contains("<mime-type type=\"application/x-tarnwick-script\">"));
        QVERIFY(mime.contains("<comment>Tarnwick Script</comment>"));
        QVERIFY(mime.contains("<glob pattern=\"*.twk\"/>"));
        QCOMPARE(read(mimeApps()), QByteArray("[Default Applications]\ntext/plain=editor.desktop\n"
                                              "application/x-tarnwick-script=tarnwick.desktop\n\n"
                                              "[Added Associations]\nimage/png=viewer.desktop;\n"));
        if (!QStandardPaths::findExecutable("update-mime-database").isEmpty())
            QVERIFY(read(m_data + "/mime/globs2").contains("application/x-tarnwick-script:*.twk"));

        const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
        if (!validator.isEmpty()) {
            QProcess v;
            v.start(validator, {desktopFile()});
            QVERIFY(v.waitForFinished(30000));
            QVERIFY2(v.exitCode() == 0, v.readAllStandardOutput().constData());
        }

        // Again, after something else changed our files: the same as once.
        QFile extra(desktopFile());
        QVERIFY(extra.open(QIODevice::Append));
        extra.write("X-Other=added\n");
        extra.close();
        const QByteArray firstMime = mime, firstList = read(mimeApps());
        QVERIFY(RegisterFileAssociation(program, &error));
        QCOMPARE(read(desktopFile()), desktop);
        QCOMPARE(read(mimeFile()), firstMime);
        QCOMPARE(read(mimeApps()), firstList);
    }

    void movedProgramIsPointedAtAnew() {
        QString error;
        QVERIFY(RegisterFileAssociation("/old/place/tarnwick", &error));
        QVERIFY(RegisterFileAssociation("/new/place/tarnwick", &error));
        const QByteArray desktop = read(desktopFile());
        QVERIFY(!desktop.contains("/old/place"));
        QCOMPARE(desktop.count("\"/new/place/tarnwick\""), 2);
    }

    void failureNamesTheFileAndStopsTheRest() {
        QDir().mkpath(m_data);
        QFile blocker(m_data + "/applications"); // a file where the folder must go
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QString error;
        QVERIFY(!RegisterFileAssociation("/usr/bin/tarnwick", &error));
        QCOMPARE(error, "Failed to create key " + desktopFile());
        QVERIFY(!QFile::exists(mimeApps())); // later steps skipped
        QVERIFY(QFile::exists(mimeFile()));  // earlier ones stay

        MessageRecorder boxes;
        QVERIFY(!settings_registerClick());
        QCOMPARE(boxes.texts(), QStringList{error});
        QCOMPARE(boxes.boxes.first().icon, MsgIcon::Error);
        QCOMPARE(LastSteps[0], QString("file_registerClick"));
    }

    void handlerReportsSuccess() {
        MessageRecorder boxes;
        QVERIFY(settings_registerClick());
        QCOMPARE(boxes.texts(), QStringList{"twk file type association has been created!"});
        QCOMPARE(boxes.boxes.first().icon, MsgIcon::Information);
        QVERIFY(read(desktopFile()).contains(QCoreApplication::applicationFilePath().toUtf8()));
    }
};

QTEST_GUILESS_MAIN(TestFileAssociation)
#include "tst_fileassociation.moc"
