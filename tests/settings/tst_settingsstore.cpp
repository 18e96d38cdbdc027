#include "common/TestSupport.h"
#include "model/Globals.h"
#include "model/Messages.h"
#include "model/TextFile.h"
#include "platform/Clock.h"
#include "settings/Config.h"
#include "settings/RegistryUnit.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
QDateTime fixedNow() {
    return QDateTime(QDate(2024, 3, 1), QTime(12, 0, 0));
}
} // namespace

class TestSettingsStore : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir{TestTempDir() + "/store-XXXXXX"};
    QStringList m_paths, m_colors;
    int m_case = 0;

    QString iniPath() const { return SettingsDir + "Tarnwick.ini"; }

    void writeIni(const QByteArray &text) {
        QFile f(iniPath());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    QStringList iniLines() {
        QStringList lines;
        ReadTextLines(iniPath(), lines);
        return lines;
    }

private slots:
    void init() {
        ResetGlobals();
        ResetTrace();
        Config = TConfig();
        Config.ShowSplash = false; // show that loading sets every field
        Config.Left = 1;
        m_paths.clear();
        m_colors.clear();
        InstancePaths = &m_paths;
        InstanceColors = &m_colors;
        SetDateTimeSource(fixedNow);
        SetFormStateProvider(nullptr);
        qputenv("TARNWICK_REGISTRY_DIR", m_dir.filePath("no-registry").toUtf8());
        SettingsDir = m_dir.filePath(QString("case%1/VelloranTarnwick/").arg(++m_case));
        VelloranDataDir = "/home/u/Documents/VelloranData";
        Reg_init();
    }
    void cleanup() {
        Reg_Close();
        InstancePaths = InstanceColors = nullptr;
        SetDateTimeSource(nullptr);
        SetFormStateProvider(nullptr);
    }

    void firstStartWithoutFile() {
        QVERIFY(QFileInfo(SettingsDir).isDir()); // Reg_init made it
        MessageRecorder boxes;
        Reg_LoadConfig();
        QVERIFY(boxes.boxes.isEmpty());
        QCOMPARE(LastSteps[0], "Reg_LoadConfig: " + iniPath());
        const TConfig &c = Config;
        QVERIFY(c.ShowSplash && c.ShowProgress && c.ShowMess && c.Small && c.FirstRun);
        QVERIFY(!c.Maximized);
        QCOMPARE(c.Left, 60);
        QCOMPARE(c.Top, 60);
        QCOMPARE(c.Width, 1119);
        QCOMPARE(c.Height, 698);
        QCOMPARE(c.ProgressLeft, -1);
        QCOMPARE(c.ProgressTop, -1);
        QCOMPARE(c.VersionNumber, 400);
        QCOMPARE(c.Count, 0);
        QCOMPARE(c.InstallDate, 45352); // 1 March 2024
        QCOMPARE(c.ScheduleKind, 1);
        QCOMPARE(c.ScheduleMinutes, 60);
        QCOMPARE(c.DefaultWorkingDir, VelloranDataDir);
        QCOMPARE(m_paths, QStringList{"Velloran as last logged in=default"});
        QCOMPARE(m_colors, QStringList{"Velloran as last logged in=clWhite"});
        QVERIFY(!QFile::exists(iniPath())); // reading creates nothing
    }

    void newFileHasTheKeysInWriteOrder() {
        Reg_LoadConfig();
        Config.Count = 7;
        Reg_SaveConfig();
        QCOMPARE(LastSteps[0], QString("Reg_SaveConfig end"));
        const QStringList expected = {"[Information]",
                                      "Version=Tarnwick 1.5 - 1.5.0.9",
                                      "VersionNumber=430",
                                      "GetTarnwickAt=https://tarnwick.example.org/download",
                                      "Time=*",
                                      "Count=7",
                                      "",
                                      "[Options]",
                                      "ShowSplash=1",
                                      "ShowProgress=1",
                                      "ShowMess=1",
                                      "Small=1",
                                      "FirstRun=0",
                                      "InstallDate=45352",
                                      "Schedule_TypeLastUsed=1",
                                      "Schedule_MinutesLastUsed=60",
                                      "",
                                      "[Paths]",
                                      "VelloranExeLocation=",
                                      "DefaultWorkingDir=/home/u/Documents/VelloranData",
                                      "",
                                      "[Form]",
                                      "Left=60",
                                      "Top=60",
                                      "Width=1119",
                                      "Height=698",
                                      "Maximized=0",
                                      "ProgressLeft=-1",
                                      "ProgressTop=-1",
                                      "",
                                      "[InstancePaths]",
                                      "Velloran as last logged in=default",
                                      "",
                                      "[InstanceColors]",
                                      "Velloran as last logged in=clWhite"};
        QStringList lines = iniLines();
        QVERIFY(lines.size() > 4 && lines[4].startsWith("Time=") && lines[4].size() > 10);
        lines[4] = "Time=*";
        QCOMPARE(lines, expected);
        // CR LF on disk.
        QFile f(iniPath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().startsWith("[Information]\r\nVersion=Tarnwick 1.5 - 1.5.0.9\r\n"));
    }

    void saveAndLoadRoundTrip() {
        Reg_LoadConfig();
        Config.ShowSplash = false;
        Config.Small = false;
        Config.VelloranExeLocation = "/opt/velloran/Velloran.exe";
        Config.ScheduleKindLastUsed = 3;
        Config.ScheduleMinutesLastUsed = 15;
        Config.InstallDate = 40000;
        m_paths = {"Prod=/i/prod.reg", "Velloran as last logged in=default"};
        m_colors = {"Prod=$00CCFFCC", "Velloran as last logged in=clWhite"};
        SetFormStateProvider([] {
            TFormState s;
            s.left = 5;
            s.top = 6;
            s.width = 700;
            s.height = 500;
            s.columnWidths = {10, 20, 30};
            s.recentFiles = {"/b/one.twk", "/b/two.twk"};
            return s;
        });
        Reg_SaveConfig();
        Config = TConfig();
        m_paths.clear();
        m_colors.clear();
        Reg_LoadConfig();
        QVERIFY(!Config.ShowSplash && !Config.Small && !Config.FirstRun);
        QCOMPARE(Config.VelloranExeLocation, QString("/opt/velloran/Velloran.exe"));
        QCOMPARE(Config.ScheduleKind, 3);
        QCOMPARE(Config.ScheduleKindLastUsed, 3);
        QCOMPARE(Config.ScheduleMinutes, 15);
        QCOMPARE(Config.InstallDate, 40000);
        QCOMPARE(Config.Left, 5);
        QCOMPARE(Config.Height, 500);
        QCOMPARE(m_paths, (QStringList{"Prod=/i/prod.reg", "Velloran as last logged in=default"}));
        QCOMPARE(m_colors, (QStringList{"Prod=$00CCFFCC", "Velloran as last logged in=clWhite"}));
        QCOMPARE(Reg_ReadColumnWidths({1, 2, 3, 4}), (QList<int>{10, 20, 30, 4}));
    }

    void maximizedKeepsTheSavedBounds() {
        writeIni("[Form]\r\nLeft=11\r\nTop=12\r\nWidth=900\r\nHeight=600\r\nMaximized=0\r\n");
        Reg_LoadConfig();
        SetFormStateProvider([] {
            TFormState s;
            s.maximized = true;
            s.left = s.top = 0;
            s.width = 1920;
            s.height = 1080;
            return s;
        });
        Reg_SaveConfig();
        const QStringList lines = iniLines();
        QVERIFY(lines.contains("Left=11") && lines.contains("Width=900"));
        QVERIFY(lines.contains("Maximized=1"));
        QVERIFY(!lines.contains("Width=1920"));
    }

    void recentFilesOfALongerListStay() {
        QByteArray text = "[Recent Files]\r\n";
        for (int i = 0; i <= 8; ++i)
            text += QByteArray::number(i) + "=" +
                    m_dir.filePath(QString("old%1.twk").arg(i)).toUtf8() + "\r\n";
        writeIni(text);
        for (int i : {0, 4, 7}) { // only some of the old files still exist
            QFile f(m_dir.filePath(QString("old%1.twk").arg(i)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QFile n(m_dir.filePath("new.twk"));
        QVERIFY(n.open(QIODevice::WriteOnly));
        Reg_LoadConfig();
        const QString fresh = n.fileName();
        SetFormStateProvider([fresh, this] {
            TFormState s;
            s.width = 800;
            s.height = 600;
            s.recentFiles = {fresh, m_dir.filePath("old0.twk"), m_dir.filePath("gone.twk")};
            return s;
        });
        Reg_SaveConfig();
        QCOMPARE(SettingsFile()->ReadString("Recent Files", "0", ""), fresh);
        QCOMPARE(SettingsFile()->ReadString("Recent Files", "2", ""), m_dir.filePath("gone.twk"));
        QCOMPARE(SettingsFile()->ReadString("Recent Files", "3", ""), m_dir.filePath("old3.twk"));
        QCOMPARE(SettingsFile()->ReadString("Recent Files", "8", ""), m_dir.filePath("old8.twk"));
        // Offered again: keys "8" down to "0" that still name files.
        QCOMPARE(Reg_ReadRecentFiles(),
                 (QStringList{m_dir.filePath("old7.twk"), m_dir.filePath("old4.twk"),
                              m_dir.filePath("old0.twk"), fresh}));
    }

    void instanceCountsDiffer_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QStringList>("colors");
        QTest::addColumn<int>("savedColors");
        QTest::newRow("three paths, one colour")
            << QByteArray("[InstancePaths]\r\nA=/a.reg\r\nB=/b.reg\r\nC=\r\n"
                          "[InstanceColors]\r\nA=clRed\r\n")
            << QStringList{"A=/a.reg", "B=/b.reg", "C="}
            << QStringList{"A=clRed", "Name=clWhite", "Name=clWhite"} << 2; // both "Name"
        QTest::newRow("more colours than paths")
            << QByteArray("[InstancePaths]\r\nA=/a.reg\r\n"
                          "[InstanceColors]\r\nA=clRed\r\nB=clBlue\r\n")
            << QStringList{"A=/a.reg"} << QStringList{"A=clRed", "B=clBlue"} << 1;
        QTest::newRow("colours without paths")
            << QByteArray("[InstanceColors]\r\nA=clRed\r\n")
            << QStringList{"Velloran as last logged in=default"}
            << QStringList{"Velloran as last logged in=clWhite"} << 1;
    }
    void instanceCountsDiffer() {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, paths);
        QFETCH(QStringList, colors);
        QFETCH(int, savedColors);
        writeIni(text);
        MessageRecorder boxes;
        Reg_LoadConfig();
        QCOMPARE(
            boxes.texts(),
            QStringList{"Error during instance reading, path and color count does not match!"});
        QCOMPARE(boxes.boxes.first().icon, MsgIcon::Error);
        QCOMPARE(m_paths, paths);
        QCOMPARE(m_colors, colors);
        // The next save writes pairs only, so surplus colours are gone.
        Reg_SaveConfig();
        QCOMPARE(SettingsFile()->ReadSectionValues("InstanceColors").size(), savedColors);
    }

    void badNumbersReadAsDefaults() {
        writeIni("[form]\r\nwidth=wide\r\nHeight=\r\nLEFT=-20\r\n[OPTIONS]\r\nshowsplash=2\r\n"
                 "Small=0\r\n[Paths]\r\nDefaultWorkingDir=\r\n");
        Reg_LoadConfig();
        QCOMPARE(Config.Width, 1119);
        QCOMPARE(Config.Height, 698);
        QCOMPARE(Config.Left, -20);
        QVERIFY(Config.ShowSplash); // any value but 0 is on
        QVERIFY(!Config.Small);
        QCOMPARE(Config.DefaultWorkingDir, VelloranDataDir);
    }

    void neverWrittenInExecuteMode() {
        Reg_LoadConfig();
        ExecuteMode = true;
        Reg_SaveConfig();
        QVERIFY(!QFile::exists(iniPath()));
    }

    void otherInstancesKeysSurviveASave() {
        // What another program instance wrote since our load stays, key by key.
        Reg_LoadConfig();
        writeIni("[Information]\r\nCount=99\r\n[Custom]\r\nMine=yes\r\n");
        Reg_SaveConfig();
        QCOMPARE(SettingsFile()->ReadString("Custom", "Mine", ""), QString("yes"));
        QCOMPARE(SettingsFile()->ReadInteger("Information", "Count", -1), 0); // ours is written
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
