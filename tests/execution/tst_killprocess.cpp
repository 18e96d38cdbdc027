#include "common/TestSupport.h"
#include "execution/KillProcessUnit.h"
#include "execution/Launcher.h"
#include "execution/WindowUtils.h"
#include "helpers/HelperProcesses.h"
#include "platform/MessageBox.h"
#include "platform/X11Windows.h"

#include <QtTest>

#include <cerrno>
#include <unistd.h>

using namespace helpers;

namespace {

QList<quint32> g_killCalls;
int g_refuseFirst = 0; // how many calls to answer with EPERM
int recordKill(quint32 pid) {
    g_killCalls.append(pid);
    return g_killCalls.size() <= g_refuseFirst ? EPERM : 0;
}
QList<quint32> g_closeCalls;
bool recordClose(quint32 window) {
    g_closeCalls.append(window);
    return true;
}
bool brokenList(QVector<ProcessEntry> *list, QString *error) {
    list->append({101, "/usr/bin/first"});
    list->append({205, "/usr/bin/second"});
    *error = "Cannot read the process list: Input/output error";
    return false;
}

TWindowObject win(quint32 id, quint32 pid, bool visible, bool tool, bool icon) {
    TWindowObject w;
    w.Window = id;
    w.ProcessId = pid;
    w.Visible = visible;
    w.ToolWindow = tool;
    w.HasIcon = icon;
    return w;
}

} // namespace

class TestKillProcess : public QObject {
    Q_OBJECT
    QList<qint64> started;

    // Starts a copy of a helper under the given file name; returns its pid.
    qint64 start(const QString &program, const QStringList &args = {}) {
        const QString report = testTmp() + "/" + uniqueName("report-");
        qputenv("TW_HELPER_OUT", report.toLocal8Bit());
        io_RunFile(program, "", args.join(' '), "Normal", false, false, false);
        qunsetenv("TW_HELPER_OUT");
        const qint64 pid = readReport(report).value(0).toLongLong();
        if (pid > 0)
            started.append(pid);
        return pid;
    }

private slots:
    void cleanup() {
        SetProcessKillFunction(nullptr);
        SetWindowCloseFunction(nullptr);
        SetProcessListFunction(nullptr);
        SetMessageBoxService(nullptr);
        g_killCalls.clear();
        g_closeCalls.clear();
        g_refuseFirst = 0;
        for (qint64 pid : started)
            killOwn(pid);
        started.clear();
    }

    void matching_data() {
        QTest::addColumn<QString>("processName");
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<bool>("matches");
        QTest::newRow("same") << "/usr/bin/gedit"
                              << "gedit" << true;
        QTest::newRow("capitals") << "/usr/bin/gedit"
                                  << "GEDIT" << true;
        QTest::newRow("mixed both sides") << "/opt/x/Viewer.Bin"
                                          << "vIEWER.bIN" << true;
        QTest::newRow("no folder in the list") << "gedit"
                                               << "Gedit" << true;
        QTest::newRow("wanted with folder") << "/usr/bin/gedit"
                                            << "/usr/bin/gedit" << false;
        QTest::newRow("part of the name") << "/usr/bin/gedit"
                                          << "edit" << false;
        QTest::newRow("only a to z are folded") << "/x/\u00e4pp"
                                                << "\u00c4PP" << false;
        QTest::newRow("others compare as they are") << "/x/\u00e4pp"
                                                    << "\u00e4PP" << true;
        QTest::newRow("empty wanted") << "/usr/bin/gedit"
                                      << "" << false;
    }
    void matching() {
        QFETCH(QString, processName);
        QFETCH(QString, wanted);
        QFETCH(bool, matches);
        QCOMPARE(ProcessNameMatches(processName, wanted), matches);
    }

    void processList() {
        const qint64 pid = start(copyHelper("tw_helper_sleep"), {"30"});
        TProcesses list;
        list.GetProcesses();
        QVERIFY(list.ProcessCount() > 1);
        bool sawSelf = false, sawHelper = false;
        for (int i = 0; i < list.ProcessCount(); ++i) {
            const auto &p = list.Process(i);
            if (i > 0)
                QVERIFY(list.Process(i - 1).ProcessId < p.ProcessId);
            QVERIFY(!p.Name.isEmpty());
            QVERIFY(p.ProcessId != 0);
            if (p.ProcessId == quint32(getpid())) {
                sawSelf = true;
                QCOMPARE(p.Name, QCoreApplication::applicationFilePath());
            }
            sawHelper |= p.ProcessId == quint32(pid);
        }
        QVERIFY(sawSelf);
        QVERIFY(sawHelper);
    }

    void listErrorShowsBoxAndKeepsWhatWasRead() {
        MessageRecorder boxes;
        SetProcessListFunction(brokenList);
        TProcesses list;
        list.GetProcesses();
        QCOMPARE(list.ProcessCount(), 2);
        QCOMPARE(list.Process(1).Name, QString("/usr/bin/second"));
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes[0].caption, QString("TProcesses.GetProcesses"));
        QVERIFY(boxes.boxes[0].text.contains("Input/output error"));
        QCOMPARE(int(boxes.boxes[0].icon), int(MsgIcon::Error));
    }

    void killsOnlyTheFirstOfTwo() {
        const QString name = uniqueName();
        const QString a = copyHelper("tw_helper_sleep", testTmp() + "/a", name);
        const QString b = copyHelper("tw_helper_sleep", testTmp() + "/b", name);
        const qint64 pa = start(a, {"30"});
        const qint64 pb = start(b, {"30"});
        QVERIFY(processRuns(pa) && processRuns(pb));
        const qint64 first = qMin(pa, pb), second = qMax(pa, pb);
        QVERIFY(KillProcessByName(name.toUpper()));
        QTRY_VERIFY(!processRuns(first));
        QTest::qWait(200);
        QVERIFY(processRuns(second));
        QVERIFY(KillProcessByName(name));
        QTRY_VERIFY(!processRuns(second));
        QVERIFY(!KillProcessByName(name)); // none left
    }

    void killPassesOverRefused_data() {
        QTest::addColumn<int>("refused");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("calls");
        QTest::newRow("first refused") << 1 << true << 2;
        QTest::newRow("both refused") << 2 << false << 2;
        QTest::newRow("none refused") << 0 << true << 1;
    }
    void killPassesOverRefused() {
        QFETCH(int, refused);
        QFETCH(bool, result);
        QFETCH(int, calls);
        const QString name = uniqueName();
        const qint64 pa = start(copyHelper("tw_helper_sleep", testTmp() + "/a", name), {"30"});
        const qint64 pb = start(copyHelper("tw_helper_sleep", testTmp() + "/b", name), {"30"});
        g_refuseFirst = refused;
        SetProcessKillFunction(recordKill);
        QCOMPARE(KillProcessByName(name), result);
        QCOMPARE(g_killCalls.size(), calls);
        QCOMPARE(qint64(g_killCalls[0]), qMin(pa, pb));
        if (calls > 1)
            QCOMPARE(qint64(g_killCalls[1]), qMax(pa, pb));
    }

    void nameWithFolderMatchesNothing() {
        const QString program = copyHelper("tw_helper_sleep");
        const qint64 pid = start(program, {"30"});
        SetProcessKillFunction(recordKill);
        QVERIFY(!KillProcessByName(program));
        QVERIFY(!EndProcessByName(program));
        QVERIFY(g_killCalls.isEmpty());
        QVERIFY(processRuns(pid));
    }

    void processWindowRounds_data() {
        QTest::addColumn<QVector<TWindowObject>>("windows");
        QTest::addColumn<bool>("found");
        QTest::addColumn<quint32>("window");
        const quint32 pid = 77;
        QTest::newRow("visible ordinary with icon")
            << QVector<TWindowObject>{win(1, pid, true, false, true)} << true << 1u;
        QTest::newRow("other processes skipped")
            << QVector<TWindowObject>{win(1, 78, true, false, true), win(2, pid, true, false, true)}
            << true << 2u;
        QTest::newRow("first round beats an earlier fallback")
            << QVector<TWindowObject>{win(1, pid, false, false, true),
                                      win(2, pid, true, false, true)}
            << true << 2u;
        QTest::newRow("hidden window with icon as fallback")
            << QVector<TWindowObject>{win(1, pid, false, false, true)} << true << 1u;
        QTest::newRow("visible tool window only as fallback")
            << QVector<TWindowObject>{win(1, pid, true, true, true)} << true << 1u;
        QTest::newRow("first fallback kept")
            << QVector<TWindowObject>{win(1, pid, true, true, true),
                                      win(2, pid, false, false, true)}
            << true << 1u;
        QTest::newRow("no icon: not found")
            << QVector<TWindowObject>{win(1, pid, true, false, false)} << false << 0u;
        QTest::newRow("no window") << QVector<TWindowObject>{} << false << 0u;
    }
    void processWindowRounds() {
        QFETCH(QVector<TWindowObject>, windows);
        QFETCH(bool, found);
        QFETCH(quint32, window);
        const TWindowList list(windows);
        bool f = !found;
        QCOMPARE(GetProcessWindow(77, &f, &list), window);
        QCOMPARE(f, found);
    }

    void endProcessWithoutDisplay() {
        const QString program = copyHelper("tw_helper_sleep");
        start(program, {"30"});
        const QByteArray display = qgetenv("DISPLAY");
        qunsetenv("DISPLAY");
        SetWindowCloseFunction(recordClose);
        const bool ended = EndProcessByName(QFileInfo(program).fileName());
        if (!display.isEmpty())
            qputenv("DISPLAY", display);
        QVERIFY(!ended);
        QVERIFY(g_closeCalls.isEmpty());
    }

    void endProcess_data() {
        QTest::addColumn<QString>("helper");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("ends");
        QTest::newRow("windowed") << "tw_helper_window" << QStringList{} << true;
        QTest::newRow("windowless") << "tw_helper_nowindow" << QStringList{} << false;
    }
    void endProcess() {
        QFETCH(QString, helper);
        QFETCH(QStringList, args);
        QFETCH(bool, ends);
        if (!displayAvailable())
            QSKIP("needs an X display (DISPLAY is unset or cannot be opened)");
        qputenv("QT_QPA_PLATFORM", "xcb");
        const QString program = copyHelper(helper);
        const qint64 pid = start(program, args);
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QVERIFY(pid > 0);
        if (ends) {
            bool found = false;
            QTRY_VERIFY_WITH_TIMEOUT((GetProcessWindow(quint32(pid), &found), found), 10000);
        } else {
            QTest::qWait(500); // time to make a window, if it were going to
        }
        QCOMPARE(EndProcessByName(QFileInfo(program).fileName().toUpper()), ends);
        if (ends) {
            QTRY_VERIFY_WITH_TIMEOUT(!processRuns(pid), 10000);
        } else {
            QVERIFY(processRuns(pid));
        }
    }

    void endProcessFindsHiddenWindow() {
        if (!displayAvailable())
            QSKIP("needs an X display (DISPLAY is unset or cannot be opened)");
        qputenv("QT_QPA_PLATFORM", "xcb");
        const QString program = copyHelper("tw_helper_window");
        const qint64 pid = start(program, {"--hidden"});
        qputenv("QT_QPA_PLATFORM", "offscreen");
        bool found = false;
        quint32 window = 0;
        QTRY_VERIFY_WITH_TIMEOUT((window = GetProcessWindow(quint32(pid), &found), found), 10000);
        const TWindowList list;
        for (const TWindowObject &w : list.Items())
            if (w.Window == window)
                QVERIFY(!w.Visible);
        SetWindowCloseFunction(recordClose);
        QVERIFY(EndProcessByName(QFileInfo(program).fileName()));
        QCOMPARE(g_closeCalls, QList<quint32>{window});
    }

private:
    static bool displayAvailable() {
        return qEnvironmentVariableIsSet("DISPLAY") && X11DisplayAvailable();
    }
};

QTEST_GUILESS_MAIN(TestKillProcess)
#include "tst_killprocess.moc"
