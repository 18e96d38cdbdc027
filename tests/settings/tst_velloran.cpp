#include "common/TestSupport.h"
#include "model/Globals.h"
#include "settings/Config.h"
#include "settings/VelloranCommandLine.h"
#include "settings/VelloranDiscovery.h"

#include <QTemporaryDir>
#include <QtTest>

class TestVelloran : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir{TestTempDir() + "/velloran-XXXXXX"};
    QString m_registry;

    // A registry folder with the given version and install locations (empty: left out).
    void writeRegistry(const QString &version, const QString &location1, const QString &location2) {
        QString text = "Windows Registry Editor Version 5.00\r\n\r\n";
        if (!version.isNull())
            text +=
                "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Velloran\\Globals]\r\n"
                "\"previousToolVersion\"=\"" +
                version + "\"\r\n\r\n";
        if (!location1.isNull())
            text += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                    "{7A1D3E52-0C9B-4F6E-B2A8-5D4E61C3F907}]\r\n\"InstallLocation\"=\"" +
                    location1 + "\"\r\n";
        if (!location2.isNull())
            text +=
                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\"
                "Uninstall\\{2E8B4D17-9A3C-4B05-8F61-C7D2A0E94B36}]\r\n\"InstallLocation\"=\"" +
                location2 + "\"\r\n";
        QFile f(m_registry + "/velloran.reg");
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
    }

    QString makeExe(const QString &folder) {
        QDir().mkpath(folder);
        QFile f(folder + "/Velloran.exe");
        f.open(QIODevice::WriteOnly);
        f.write("#!/bin/sh\n");
        return f.fileName();
    }

private slots:
    void initTestCase() {
        m_registry = m_dir.filePath("registry");
        QDir().mkpath(m_registry);
        qputenv("TARNWICK_REGISTRY_DIR", m_registry.toUtf8());
    }
    void init() {
        ResetGlobals();
        Config = TConfig();
    }

    void versionRule_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("passes");
        QTest::newRow("2.60.71") << "2.60.71" << true;
        QTest::newRow("2.60.700") << "2.60.700" << true;
        QTest::newRow("2.60.8") << "2.60.8" << false; // 8 < 70 as numbers
        QTest::newRow("2.60.70.1") << "2.60.70.1" << true;
        QTest::newRow("2.61") << "2.61" << true;
        QTest::newRow("3.0") << "3.0" << true;
        QTest::newRow("10.0 (refused by a byte-wise compare)") << "10.0" << true;
        QTest::newRow("2.7") << "2.7" << false;
        QTest::newRow("2.60.70") << "2.60.70" << false;
        QTest::newRow("2.60.70.0") << "2.60.70.0" << false;
        QTest::newRow("2.60.7") << "2.60.7" << false;
        QTest::newRow("2.59.99") << "2.59.99" << false;
        QTest::newRow("leading zeros") << "002.060.071" << true;
        QTest::newRow("huge part") << "2.99999999999999999999" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("leading blank") << " 2.60.71" << false;
        QTest::newRow("trailing blank") << "2.60.71 " << false;
        QTest::newRow("letters") << "2.60.71b" << false;
        QTest::newRow("empty part") << "2..71" << false;
        QTest::newRow("trailing dot") << "2.60.71." << false;
    }
    void versionRule() {
        QFETCH(QString, version);
        QFETCH(bool, passes);
        QCOMPARE(VelloranVersionAcceptable(version), passes);
    }

    void failedCheckShowsTheMessageAndLeavesTheRestUnset_data() {
        QTest::addColumn<QString>("version");
        QTest::newRow("too old") << "2.60.70";
        QTest::newRow("never run") << QString();
        QTest::newRow("empty text") << "";
    }
    void failedCheckShowsTheMessageAndLeavesTheRestUnset() {
        QFETCH(QString, version);
        writeRegistry(version, makeExe(m_dir.filePath("one")).chopped(12), QString());
        MessageRecorder boxes;
        QVERIFY(!Reg_FindVelloran());
        QCOMPARE(boxes.texts(),
                 QStringList{"You need at least Velloran version 2.60.71 to run Tarnwick!"});
        QCOMPARE(boxes.boxes.first().icon, MsgIcon::None);
        QVERIFY(VelloranExePath.isEmpty());
    }

    void discovery_data() {
        QTest::addColumn<QString>("location1");
        QTest::addColumn<QString>("location2");
        QTest::addColumn<QString>("expected");
        const QString one = m_dir.filePath("one/"), two = m_dir.filePath("two/");
        QTest::newRow("both: the first wins") << one << two << one + "Velloran.exe";
        QTest::newRow("only the second") << QString() << two << two + "Velloran.exe";
        QTest::newRow("first without trailing separator")
            << m_dir.filePath("one") << two << two + "Velloran.exe";
        QTest::newRow("first names no executable")
            << m_dir.filePath("empty/") << two << two + "Velloran.exe";
        QTest::newRow("a folder named Velloran.exe is no file")
            << m_dir.filePath("folder/") << QString() << QString();
        QTest::newRow("neither") << QString() << QString() << QString();
    }
    void discovery() {
        QFETCH(QString, location1);
        QFETCH(QString, location2);
        QFETCH(QString, expected);
        makeExe(m_dir.filePath("one"));
        makeExe(m_dir.filePath("two"));
        QDir().mkpath(m_dir.filePath("empty"));
        QDir().mkpath(m_dir.filePath("folder/Velloran.exe"));
        writeRegistry("2.60.71", location1, location2);
        MessageRecorder boxes;
        QVERIFY(Reg_FindVelloran());
        QVERIFY(boxes.boxes.isEmpty());
        QCOMPARE(VelloranVersion, QString("2.60.71"));
        QCOMPARE(VelloranExePath, expected);
        QCOMPARE(VelloranDataDir,
                 QDir::homePath() + "/Documents/VelloranData"); // set by the test runner
    }

    void executablePreference() {
        const QString configured = makeExe(m_dir.filePath("configured"));
        const QString found = makeExe(m_dir.filePath("found"));
        Config.VelloranExeLocation = configured;
        VelloranExePath = found;
        QCOMPARE(VelloranExecutable(), configured);
        Config.VelloranExeLocation = m_dir.filePath("gone/Velloran.exe");
        QCOMPARE(VelloranExecutable(), found);
        Config.VelloranExeLocation = m_dir.filePath("configured"); // a folder
        QCOMPARE(VelloranExecutable(), found);
        VelloranExePath = m_dir.filePath("gone/Velloran.exe");
        QCOMPARE(VelloranExecutable(), QString());
    }

    void arguments_data() {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("instance");
        QTest::addColumn<QString>("keywords");
        QTest::addColumn<QString>("expected");
        const QString run = VelloranRunKeywords, edit = VelloranEditKeywords;
        QTest::newRow("nothing") << ""
                                 << "" << run << "tarnwickrun winloc";
        QTest::newRow("instance only")
            << ""
            << "/i/prod.reg" << run << "\"/i/prod.reg\" tarnwickrun winloc";
        QTest::newRow("scenario only")
            << "/s/a b.xml"
            << "" << edit << "\"/s/a b.xml\" loadonly tarnwickedit winloc";
        QTest::newRow("both") << "/s/a.xml"
                              << "/i/p.reg" << run
                              << "\"/s/a.xml\" \"/i/p.reg\" tarnwickrun winloc";
        QTest::newRow("scenario already quoted")
            << "\"/s/a.xml\" -x"
            << "" << run << "\"/s/a.xml\" -x tarnwickrun winloc";
    }
    void arguments() {
        QFETCH(QString, scenario);
        QFETCH(QString, instance);
        QFETCH(QString, keywords);
        QFETCH(QString, expected);
        QCOMPARE(VelloranArguments(scenario, instance, keywords), expected);
    }
};

QTEST_GUILESS_MAIN(TestVelloran)
#include "tst_velloran.moc"
