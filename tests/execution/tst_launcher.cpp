#include "execution/Launcher.h"
#include "execution/WindowUtils.h"
#include "helpers/HelperProcesses.h"
#include "model/Globals.h"
#include "platform/X11Windows.h"

#include <QtTest>

#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using namespace helpers;

namespace {

// Sets an environment variable for the lifetime of the object.
class EnvGuard {
public:
    EnvGuard(const char *name, const QByteArray &value) : name_(name) {
        had_ = qEnvironmentVariableIsSet(name);
        old_ = qgetenv(name);
        qputenv(name, value);
    }
    ~EnvGuard() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char *name_;
    bool had_;
    QByteArray old_;
};

// Every helper whose pid a test has read; cleanup() kills them, so a failed check
// never leaves one running (it would hold the test runner's output open).
QList<qint64> g_started;

qint64 reportedPid(const QStringList &report) {
    const qint64 pid = report.isEmpty() ? -1 : report[0].toLongLong();
    if (pid > 1)
        g_started.append(pid);
    return pid;
}

} // namespace

class TestLauncher : public QObject {
    Q_OBJECT
    QString exitHelper;
    QString sleepHelper;
    QString outFile;
    QProcess openbox; // started here only when the display has no window manager

private slots:
    void initTestCase() {
        exitHelper = builtHelper("tw_helper_exit");
        sleepHelper = copyHelper("tw_helper_sleep");
        QVERIFY2(QFile::exists(exitHelper), qPrintable(exitHelper));
        QVERIFY(!sleepHelper.isEmpty());
    }
    void init() {
        BatchCancelled = false;
        AppClosing = false;
        outFile = testTmp() + "/" + uniqueName("report-");
        qputenv("TW_HELPER_OUT", outFile.toLocal8Bit());
    }
    void cleanup() {
        for (qint64 pid : g_started) {
            const QString exe = QFileInfo(QString("/proc/%1/exe").arg(pid)).symLinkTarget();
            if (exe.contains("/twh-") || exe.contains("/tw_helper_"))
                killOwn(pid);
        }
        g_started.clear();
        BatchCancelled = false;
        AppClosing = false;
        qunsetenv("TW_HELPER_OUT");
        qunsetenv("TW_HELPER_EXIT");
        qunsetenv("TW_HELPER_SIGNAL");
    }
    void cleanupTestCase() {
        if (openbox.state() != QProcess::NotRunning) {
            openbox.kill();
            openbox.waitForFinished(3000);
        }
    }

    void waitedResult_data() {
        QTest::addColumn<QByteArray>("exitCode");
        QTest::addColumn<QByteArray>("signal");
        QTest::addColumn<int>("expected");
        QTest::newRow("exit 0") << QByteArray("0") << QByteArray() << 0;
        QTest::newRow("exit 3") << QByteArray("3") << QByteArray() << 3;
        QTest::newRow("exit 255") << QByteArray("255") << QByteArray() << 255;
        QTest::newRow("SIGTERM") << QByteArray() << QByteArray("15") << 128 + 15;
        QTest::newRow("SIGKILL") << QByteArray() << QByteArray("9") << 128 + 9;
    }
    void waitedResult() {
        QFETCH(QByteArray, exitCode);
        QFETCH(QByteArray, signal);
        QFETCH(int, expected);
        if (!exitCode.isEmpty())
            qputenv("TW_HELPER_EXIT", exitCode);
        if (!signal.isEmpty())
            qputenv("TW_HELPER_SIGNAL", signal);
        QCOMPARE(io_RunFile(exitHelper, "", "", "Normal", false, false, true), expected);
        // Reaped by the wait itself: no zombie is left behind.
        QCOMPARE(processState(reportedPid(readReport(outFile))), char(0));
    }

    void notStarted_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("workingDir");
        const QString garbage = testTmp() + "/not-a-program";
        QFile f(garbage);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\x01\x02\x03 no interpreter here");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QTest::newRow("empty name") << ""
                                    << "";
        QTest::newRow("blanks only") << "   "
                                     << "";
        QTest::newRow("missing path") << testTmp() + "/no/such/program"
                                      << "";
        QTest::newRow("missing on PATH") << uniqueName("tw-no-such-program-") << "";
        QTest::newRow("arguments typed into the name") << builtHelper("tw_helper_exit") + " 3"
                                                       << "";
        QTest::newRow("exec error") << garbage << "";
        QTest::newRow("missing working folder")
            << builtHelper("tw_helper_exit") << testTmp() + "/no/such/folder";
    }
    void notStarted() {
        QFETCH(QString, fileName);
        QFETCH(QString, workingDir);
        QCOMPARE(io_RunFile(fileName, workingDir, "", "Normal", false, false, true), -1);
        QCOMPARE(io_RunFile(fileName, workingDir, "", "Normal", false, false, false), -1);
        QVERIFY(!QFile::exists(outFile)); // nothing ran
    }

    // The child belongs to the user: it outlives the process that started it.
    void unwaitedLivesOn() {
        QProcess starter;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        starter.setProcessEnvironment(env);
        starter.start(QCoreApplication::applicationFilePath(),
                      {"--run-unwaited", sleepHelper, "30"});
        QVERIFY(starter.waitForFinished(10000));
        QCOMPARE(starter.exitCode(), 0); // io_RunFile answered 259 there
        const QStringList report = readReport(outFile);
        QCOMPARE(report.size(), 4);
        const qint64 pid = reportedPid(report);
        QVERIFY(processRuns(pid));
        QCOMPARE(report[2].toLongLong(), pid); // a session of its own
        QCOMPARE(report[3], QString("30"));
        killOwn(pid);
    }

    // A started program keeps only standard input, output and error of ours.
    void noInheritedDescriptors() {
        const QString listing = testTmp() + "/" + uniqueName("fds-");
        const int fd = ::open("/dev/null", O_RDONLY); // deliberately without O_CLOEXEC
        QVERIFY(fd > 2);
        const int code = io_RunFile("/bin/sh", "", "-c \"ls /proc/$$/fd > '" + listing + "'\"",
                                    "Normal", false, false, true);
        ::close(fd);
        QCOMPARE(code, 0);
        QFile f(listing);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList fds = QString::fromLatin1(f.readAll()).split('\n', Qt::SkipEmptyParts);
        QVERIFY2(!fds.contains(QString::number(fd)), qPrintable(fds.join(' ')));
    }

    void brokenWait_data() {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("BatchCancelled") << true;
        QTest::newRow("AppClosing") << false;
    }
    void brokenWait() {
        QFETCH(bool, cancel);
        QTimer::singleShot(300, [cancel] { (cancel ? BatchCancelled : AppClosing) = true; });
        QElapsedTimer t;
        t.start();
        QCOMPARE(io_RunFile(sleepHelper, "", "30", "Normal", false, false, true), 259);
        QVERIFY2(t.elapsed() < 5000, "the wait did not end on the flag");
        const qint64 pid = reportedPid(readReport(outFile));
        QVERIFY(processRuns(pid));
        killOwn(pid);
        // Reaped in the background once it has ended: no zombie remains.
        QTRY_COMPARE_WITH_TIMEOUT(processState(pid), char(0), 5000);
    }

    void flagSetBeforeTheWait() {
        BatchCancelled = true;
        QCOMPARE(io_RunFile(sleepHelper, "", "30", "Normal", false, false, true), 259);
        const qint64 pid = reportedPid(readReport(outFile));
        QVERIFY(processRuns(pid));
        killOwn(pid);
    }

    void pathLookup() {
        const QString early = testTmp() + "/" + uniqueName("bin-");
        const QString late = testTmp() + "/" + uniqueName("bin-");
        const QString name = uniqueName();
        copyHelper("tw_helper_exit", late, name);
        // A file of the same name without execute permission comes first and is passed over.
        QDir().mkpath(early);
        QFile plain(early + "/" + name);
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        EnvGuard path("PATH", (early + ":" + late + ":" + qgetenv("PATH")).toLocal8Bit());
        qputenv("TW_HELPER_EXIT", "4");
        QCOMPARE(io_RunFile(name, "", "", "Normal", false, false, true), 4);
    }

    void fileNameWithBlanks() {
        const QString program = copyHelper("tw_helper_exit", testTmp() + "/folder with blanks",
                                           "my helper " + uniqueName());
        qputenv("TW_HELPER_EXIT", "6");
        QCOMPARE(io_RunFile(program, "", "", "Normal", false, false, true), 6);
    }

    void argumentsAndFolder_data() {
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("quoted path") << "\"C:/S/a b.xml\" tarnwickrun winloc"
                                     << QStringList{"C:/S/a b.xml", "tarnwickrun", "winloc"};
        QTest::newRow("none") << "" << QStringList{};
        QTest::newRow("extra blanks") << "   a    b  " << QStringList{"a", "b"};
        QTest::newRow("quote inside word") << "x\"y z\"w" << QStringList{"xy zw"};
        QTest::newRow("tripled quotes") << "say \"\"\"hi\"\"\"" << QStringList{"say", "\"hi\""};
    }
    void argumentsAndFolder() {
        QFETCH(QString, parameter);
        QFETCH(QStringList, arguments);
        const QString folder = testTmp() + "/" + uniqueName("work ");
        QDir().mkpath(folder);
        QCOMPARE(io_RunFile(exitHelper, folder, parameter, "Normal", false, false, true), 0);
        const QStringList report = readReport(outFile);
        QVERIFY(report.size() >= 3);
        QCOMPARE(report[1], folder);
        QCOMPARE(report.mid(3), arguments);
    }

    void inheritsFolderWhenEmpty() {
        QCOMPARE(io_RunFile(exitHelper, "", "", "Normal", false, false, true), 0);
        QCOMPARE(readReport(outFile).value(1), QDir::currentPath());
    }

    void priority_data() {
        QTest::addColumn<QString>("priority");
        QTest::addColumn<int>("nice"); // expected when allowed; -100: the inherited one
        QTest::addColumn<bool>("idle");
        QTest::newRow("Normal") << "Normal" << -100 << false;
        QTest::newRow("idle in lower case is Normal") << "idle" << -100 << false;
        QTest::newRow("unknown text") << "Fast" << -100 << false;
        QTest::newRow("Idle") << "Idle" << -100 << true;
        QTest::newRow("High") << "High" << -10 << false;
        QTest::newRow("RealTime") << "RealTime" << -20 << false;
    }
    void priority() {
        QFETCH(QString, priority);
        QFETCH(int, nice);
        QFETCH(bool, idle);
        QCOMPARE(io_RunFile(sleepHelper, "", "30", priority, false, false, false), 259);
        const qint64 pid = reportedPid(readReport(outFile));
        const QList<QByteArray> fields = statFields(pid);
        killOwn(pid);
        QVERIFY(fields.size() > 38);
        const int childNice = fields[16].toInt();
        const int policy = fields[38].toInt();
        const int ownNice = statFields(getpid()).value(16).toInt();
        if (idle) {
            QVERIFY2(policy == 5 /* SCHED_IDLE */ || childNice == 19,
                     qPrintable(QString("policy %1 nice %2").arg(policy).arg(childNice)));
        } else if (nice == -100) {
            QCOMPARE(childNice, ownNice);
            QCOMPARE(policy, 0);
        } else if (geteuid() == 0) {
            QCOMPARE(childNice, nice);
        } else {
            QCOMPARE(childNice, ownNice); // not allowed to raise: started at normal priority
        }
    }

    void documents_data() {
        QTest::addColumn<bool>("wait");
        QTest::addColumn<int>("expected");
        QTest::newRow("waited") << true << 7;
        QTest::newRow("not waited") << false << 259;
    }
    void documents() {
        QFETCH(bool, wait);
        QFETCH(int, expected);
        installFakeDefaultApplication();
        const QString doc = testTmp() + "/" + uniqueName("notes ") + ".txt";
        QFile f(doc);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("plain text\n");
        f.close();
        const QString folder = testTmp() + "/" + uniqueName("docwork-");
        QDir().mkpath(folder);
        qputenv("TW_HELPER_EXIT", "7");
        QCOMPARE(io_RunFile(doc, folder, "--not-for-documents", "High", false, false, wait),
                 expected);
        const QStringList report = readReport(outFile);
        QVERIFY(report.size() >= 4);
        QCOMPARE(report[1], folder);
        QCOMPARE(report.mid(3), QStringList{doc}); // the parameter is not passed
    }

    void documentFailures_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("missing document") << "/no/such/notes.txt" << QByteArray();
        QTest::newRow("no default application")
            << testTmp() + "/blob.twbin" << QByteArray("\x7f\x01\x02\x00\xff", 5);
    }
    void documentFailures() {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        installFakeDefaultApplication();
        if (!content.isEmpty()) {
            QFile f(fileName);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        QCOMPARE(io_RunFile(fileName, "", "", "Normal", false, false, true), -1);
        QVERIFY(!QFile::exists(outFile));
    }

    void windowState_data() {
        QTest::addColumn<bool>("maximised");
        QTest::addColumn<bool>("minimised");
        QTest::newRow("maximised") << true << false;
        QTest::newRow("minimised") << false << true;
        QTest::newRow("both: maximised wins") << true << true;
        QTest::newRow("neither") << false << false;
    }
    void windowState() {
        QFETCH(bool, maximised);
        QFETCH(bool, minimised);
        const QString missing = startWindowManager();
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing));
        EnvGuard qpa("QT_QPA_PLATFORM", "xcb");
        const QString program = copyHelper("tw_helper_window");
        QCOMPARE(io_RunFile(program, "", "", "Normal", maximised, minimised, false), 259);
        const qint64 pid = reportedPid(readReport(outFile));
        X11WindowInfo found;
        auto state = [&] {
            QVector<X11WindowInfo> windows;
            X11TopLevelWindows(&windows, nullptr);
            for (const X11WindowInfo &w : windows)
                if (w.pid == quint32(pid) && !w.toolWindow) {
                    found = w;
                    return maximised ? w.maximised : minimised ? w.iconic : true;
                }
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(state(), 8000);
        if (!maximised && !minimised) {
            QTest::qWait(500);
            QVERIFY(state());
            QVERIFY(!found.maximised && !found.iconic); // the window keeps its own state
        }
        if (maximised)
            QVERIFY(!found.iconic);
        killOwn(pid);
    }

private:
    void installFakeDefaultApplication() {
        const QString apps = qEnvironmentVariable("XDG_DATA_HOME") + "/applications";
        QDir().mkpath(apps);
        QFile desktop(apps + "/tw-fake-viewer.desktop");
        if (desktop.exists())
            return;
        QVERIFY(desktop.open(QIODevice::WriteOnly));
        desktop.write("[Desktop Entry]\nType=Application\nName=Fake viewer\nExec=" +
                      exitHelper.toLocal8Bit() + " %f\nMimeType=text/plain;\n");
        desktop.close();
        QFile mimeapps(qEnvironmentVariable("XDG_CONFIG_HOME") + "/mimeapps.list");
        QVERIFY(mimeapps.open(QIODevice::WriteOnly));
        mimeapps.write("[Default Applications]\ntext/plain=tw-fake-viewer.desktop\n");
    }

    // Empty when a window manager runs or has been started; else why the test must skip.
    QString startWindowManager() {
        if (!qEnvironmentVariableIsSet("DISPLAY") || !X11DisplayAvailable())
            return "needs an X display (DISPLAY is unset or cannot be opened)";
        if (X11WindowManagerRuns())
            return QString();
        const QString exe = QStandardPaths::findExecutable("openbox");
        if (exe.isEmpty())
            return "needs a window manager: openbox is not installed";
        // Xvfb resets when its last client leaves and turns clients away meanwhile: try again.
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (openbox.state() == QProcess::NotRunning) {
                openbox.setProcessChannelMode(QProcess::ForwardedChannels);
                openbox.start(exe, {"--sm-disable"});
                openbox.waitForStarted(5000);
            }
            QElapsedTimer t;
            t.start();
            while (t.elapsed() < 5000 && openbox.state() != QProcess::NotRunning) {
                if (X11WindowManagerRuns())
                    return QString();
                QTest::qWait(50);
            }
        }
        return "needs a window manager: openbox did not start";
    }
};

int main(int argc, char **argv) {
    // Used by unwaitedLivesOn: a process of its own that starts a program and ends.
    if (argc == 4 && std::strcmp(argv[1], "--run-unwaited") == 0) {
        QCoreApplication app(argc, argv);
        const int r = io_RunFile(QString::fromLocal8Bit(argv[2]), QString(),
                                 QString::fromLocal8Bit(argv[3]), "Normal", false, false, false);
        return r == 259 ? 0 : 1;
    }
    QCoreApplication app(argc, argv);
    TestLauncher test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_launcher.moc"
