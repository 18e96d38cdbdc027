#include "common/FakeProgress.h"
#include "common/TestSupport.h"
#include "execution/Dispatcher.h"
#include "execution/RunLog.h"
#include "execution/WorkObjects.h"
#include "model/Globals.h"
#include "settings/Config.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

bool dispatch(TJobCommand c, const QString &file, const QString &param = QString(),
         const QString &wd = QString(), bool wait = true, const QString &instance = QString()) {
    return io_launchitem(c, file, wd, param, NormalPriority, false, false, wait, instance);
}

void touch(const QString &path, const QByteArray &bytes = "x") {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QString readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString("<missing>");
}

} // namespace

class TestDispatcher : public QObject {
    Q_OBJECT
    QTemporaryDir *m_dir = nullptr;
    FakeProgressInstall *m_fake = nullptr;
    QStringList m_deleted;

    QString path(const QString &name) const { return m_dir->path() + "/" + name; }
    QStringList statuses() const { return m_fake->form.messages(); }

private slots:
    void init() {
        ResetGlobals();
        Config = TConfig();
        QVERIFY(data_GetMem());
        m_dir = new QTemporaryDir(TestTempDir() + "/dispatch-XXXXXX");
        m_fake = new FakeProgressInstall;
        CreateProgressForm();
        m_deleted.clear();
        // Nothing here may really delete outside the test's folder: record instead.
        dispatcherDeletes().deleteFiles = [this](const QString &p) {
            m_deleted << "files:" + p;
            return true;
        };
        dispatcherDeletes().deleteTree = [this](const QString &p) {
            m_deleted << "tree:" + p;
            return true;
        };
    }
    void cleanup() {
        ResetDispatcherDeletes();
        delete m_fake;
        delete m_dir;
        data_FreeMem();
    }

    void refusedDeletes_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("refused");
        QTest::newRow("/*") << "/*" << true;
        QTest::newRow("/*.*") << "/*.*" << true;
        QTest::newRow("//*") << "//*" << true;
        QTest::newRow("/./*.*") << "/./*.*" << true;
        QTest::newRow("/tmp/../*") << "/tmp/../*" << true;
        QTest::newRow("/ alone") << "/" << true;
        QTest::newRow("second mask is every file") << "/*.tmp;*" << true;
        QTest::newRow("/**") << "/**" << true;
        QTest::newRow("/?*") << "/?*" << true;
        QTest::newRow("/.") << "/." << true;
        QTest::newRow("folder in root") << "/tmpx/*.*" << false;
        QTest::newRow("one file in root") << "/x.txt" << false;
        QTest::newRow("mask in root") << "/*.tmp" << false;
    }
    void refusedDeletes() {
        QFETCH(QString, file);
        QFETCH(bool, refused);
        const bool ok = dispatch(TJobCommand::Delete, file);
        QCOMPARE(statuses().first(), "Deleting file(s) " + file + "...");
        if (refused) {
            QVERIFY(!ok);
            QVERIFY(m_deleted.isEmpty());
            QCOMPARE(statuses().size(), 1);
        } else {
            QVERIFY(ok);
            QCOMPARE(m_deleted, QStringList{"files:" + file});
        }
    }

    void refusedDelTree_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("deleted");
        QTest::newRow("/") << "/" << "";
        QTest::newRow("//") << "//" << "";
        QTest::newRow("/.") << "/." << "";
        QTest::newRow("/tmp/..") << "/tmp/.." << "";
        QTest::newRow("/tmp/../") << "/tmp/../" << "";
        QTest::newRow("/./././") << "/./././" << "";
        QTest::newRow("link to the root") << "@link" << "";
        QTest::newRow("folder with final slash") << "@old/" << "tree:@old";
        QTest::newRow("folder") << "@old" << "tree:@old";
    }
    void refusedDelTree() {
        QFETCH(QString, file);
        QFETCH(QString, deleted);
        QFile::link("/", path("rootlink"));
        file.replace("@link", path("rootlink")).replace("@old", path("old"));
        deleted.replace("@old", path("old"));
        const bool ok = dispatch(TJobCommand::DelTree, file);
        QCOMPARE(statuses().first(), "Deleting directory " + file + "...");
        QCOMPARE(ok, !deleted.isEmpty());
        QCOMPARE(m_deleted, deleted.isEmpty() ? QStringList() : QStringList{deleted});
        if (deleted.isEmpty())
            QCOMPARE(statuses().size(), 1);
    }

    void delTreeFailureMessage() {
        dispatcherDeletes().deleteTree = [](const QString &) { return false; };
        QVERIFY(!dispatch(TJobCommand::DelTree, path("gone")));
        QCOMPARE(statuses().last(), QString("Delete Error - at least one file could not be deleted!"));
    }

    void realDeleteReportsWorkList() {
        ResetDispatcherDeletes();
        touch(path("a.tmp"));
        touch(path("b.log"));
        touch(path("c.txt"));
        QVERIFY(dispatch(TJobCommand::Delete, path("*.tmp;*.LOG")));
        QVERIFY(!QFileInfo::exists(path("a.tmp")));
        QVERIFY(!QFileInfo::exists(path("b.log")));
        QVERIFY(QFileInfo::exists(path("c.txt")));
        QCOMPARE(statuses().size(), 2); // the work list as one message
    }

    void remarkAndUnknownCommand() {
        QVERIFY(dispatch(TJobCommand::Remark, "", "note %TW_DISPATCH_VAR%"));
        QCOMPARE(statuses(), QStringList{"Passing Remark note %TW_DISPATCH_VAR%..."});
        qputenv("TW_DISPATCH_VAR", "v");
        QVERIFY(dispatch(TJobCommand::Remark, "", "  note %TW_DISPATCH_VAR%  "));
        QCOMPARE(statuses().last(), QString("Passing Remark note v..."));
        QVERIFY(!io_launchitem(TJobCommand(99), "x", "", "", "", false, false, false, ""));
        QCOMPARE(statuses().size(), 2);
    }

    void rename() {
        touch(path("a.txt"), "A");
        touch(path("taken.txt"), "T");
        QVERIFY(!dispatch(TJobCommand::Rename, path("a.txt"), path("taken.txt")));
        QCOMPARE(statuses().last(), QString("Rename error!"));
        QCOMPARE(readAll(path("taken.txt")), QString("T"));
        QVERIFY(dispatch(TJobCommand::Rename, path("a.txt"), path("b.txt")));
        QCOMPARE(readAll(path("b.txt")), QString("A"));
        QVERIFY(!dispatch(TJobCommand::Rename, path("a.txt"), path("c.txt")));
        QDir().mkpath(path("dir1/sub"));
        QVERIFY(dispatch(TJobCommand::Rename, path("dir1"), path("dir2")));
        QVERIFY(QFileInfo(path("dir2/sub")).isDir());
        QCOMPARE(statuses().first(), "Renaming " + path("a.txt") + " to " + path("taken.txt") + "...");
    }

    void makeDir_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("ok");
        QTest::newRow("new nested") << "@/n1/n2/" << true;
        QTest::newRow("existing") << "@" << true;
        QTest::newRow("inside a regular file") << "@/plain/sub" << false;
    }
    void makeDir() {
        QFETCH(QString, folder);
        QFETCH(bool, ok);
        touch(path("plain"));
        folder.replace("@", m_dir->path());
        QCOMPARE(dispatch(TJobCommand::MakeDir, folder), ok);
        QCOMPARE(statuses().first(), "Creating Directory " + folder + "...");
        if (!ok)
            QCOMPARE(statuses().last(), QString("MakeDir error!"));
    }

    void copy() {
        touch(path("one.csv"), "1");
        touch(path("two.csv"), "2");
        QDir().mkpath(path("out"));
        // A pattern into an existing folder named without its final slash.
        QVERIFY(dispatch(TJobCommand::Copy, path("*.csv"), path("out")));
        QCOMPARE(readAll(path("out/one.csv")), QString("1"));
        QCOMPARE(readAll(path("out/two.csv")), QString("2"));
        QCOMPARE(statuses().first(), "Copying " + path("*.csv") + " to " + path("out") + "...");
        // A single file needs a file path as its target.
        QVERIFY(!dispatch(TJobCommand::Copy, path("one.csv"), path("out")));
        QVERIFY(WorkList->join("\n").contains("failed"));
    }

    void processNames_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name");
        QTest::newRow("bare name") << "app.bin" << "app.bin";
        QTest::newRow("existing folder") << "/usr/bin/app.bin" << "app.bin";
        QTest::newRow("missing folder") << "/no/such/dir/app.bin" << "/no/such/dir/app.bin";
        QTest::newRow("root folder") << "/app.bin" << "app.bin";
    }
    void processNames() {
        QFETCH(QString, file);
        QFETCH(QString, name);
        QCOMPARE(ProcessNameOf(file), name);
    }

    void processNotFound_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("first");
        QTest::newRow("end") << int(TJobCommand::EndProcess) << "Ending Process ";
        QTest::newRow("kill") << int(TJobCommand::KillProcess) << "Killing Process ";
    }
    void processNotFound() {
        QFETCH(int, command);
        QFETCH(QString, first);
        const QString name = "tw-no-such-process-" + QString::number(QCoreApplication::applicationPid());
        QVERIFY(!dispatch(TJobCommand(command), name));
        QCOMPARE(statuses(), (QStringList{first + name + "...", "Process not found or access denied!"}));
    }

    void runJob_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("ok");
        QTest::newRow("exits 3 is still success") << "/bin/sh" << true;
        QTest::newRow("missing program") << "/no/such/program" << false;
        QTest::newRow("empty name") << "" << false;
    }
    void runJob() {
        QFETCH(QString, file);
        QFETCH(bool, ok);
        QCOMPARE(dispatch(TJobCommand::Run, file, "-c \"exit 3\"", m_dir->path()), ok);
        QCOMPARE(statuses().first(), "Running " + file + "...");
        if (!ok)
            QCOMPARE(statuses().last(), QString("Run Error!"));
    }

    // The four status forms, and the companion's arguments as it received them.
    void runVelloran_data() {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("instance");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("args");
        QTest::newRow("nothing") << "" << "" << "Running @E..." << "[tarnwickrun] [winloc]";
        QTest::newRow("instance") << "" << "/i/Prod EU.reg" << "Running @E with instance \"/i/Prod EU.reg\"..."
                                  << "[/i/Prod EU.reg] [tarnwickrun] [winloc]";
        QTest::newRow("scenario") << "/s/De dupe.xml" << "" << "Running @E with param /s/De dupe.xml as last logged in..."
                                  << "[/s/De dupe.xml] [tarnwickrun] [winloc]";
        QTest::newRow("both") << "/s/a.xml" << "/i/b.reg"
                              << "Running @E with param /s/a.xml and instance \"/i/b.reg\"..."
                              << "[/s/a.xml] [/i/b.reg] [tarnwickrun] [winloc]";
        QTest::newRow("already quoted") << "\"/s/q x.xml\"" << ""
                                        << "Running @E with param \"/s/q x.xml\" as last logged in..."
                                        << "[/s/q x.xml] [tarnwickrun] [winloc]";
    }
    void runVelloran() {
        QFETCH(QString, scenario);
        QFETCH(QString, instance);
        QFETCH(QString, status);
        QFETCH(QString, args);
        const QString exe = path("Velloran.exe");
        const QString record = path("calls.txt");
        touch(exe, QString("#!/bin/sh\ncd_=$(pwd)\nfor a in \"$@\"; do printf '[%s] ' \"$a\"; done > '" +
                           record + "'\n").toUtf8());
        QFile(exe).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        Config.VelloranExeLocation = exe;
        QVERIFY(io_launchitem(TJobCommand::RunVelloran, "Velloran", "Set by Velloran", scenario,
                              NormalPriority, false, false, true, instance));
        QCOMPARE(statuses(), QStringList{QString(status).replace("@E", exe)});
        QCOMPARE(readAll(record).trimmed(), args);
    }

    void velloranMissing() {
        Config.VelloranExeLocation = m_dir->path(); // a folder is not the executable
        VelloranExePath = path("nothing-here");
        QVERIFY(!dispatch(TJobCommand::RunVelloran, "Velloran", "/s.xml"));
        QCOMPARE(statuses(), QStringList{"Velloran executable not found! Please set path in settings menu."});
    }

    void clipboardWithoutDisplayFailsWithReason() {
        if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            QSKIP("a display is reachable here; the clipboard tests cover that case");
        QVERIFY(!dispatch(TJobCommand::TextToClipboard, "hello"));
        QCOMPARE(statuses().first(), QString("Copying text \"hello\" to Clipboard..."));
        QCOMPARE(statuses().size(), 2);
        QVERIFY(!statuses().last().isEmpty());
    }
};

QTEST_MAIN(TestDispatcher)
#include "tst_dispatcher.moc"
