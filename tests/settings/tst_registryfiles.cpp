#include "common/TestSupport.h"
#include "model/Globals.h"
#include "platform/RegistryFiles.h"
#include "settings/RegistryUnit.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const char *Header = "Windows Registry Editor Version 5.00\r\n\r\n";

void writeFile(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestRegistryFiles : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir{TestTempDir() + "/reg-XXXXXX"};

private slots:
    void cleanup() { qunsetenv("TARNWICK_REGISTRY_DIR"); }

    void values_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("value");
        const QString k = "HKEY_LOCAL_MACHINE\\Software\\Maker\\Tool";
        QTest::newRow("plain") << k << "Plain" << true << "text";
        QTest::newRow("escapes") << k << "Escaped" << true << "C:\\dir\\ \"quoted\"";
        QTest::newRow("default value by @") << k << "@" << true << "the default";
        QTest::newRow("default value by empty name") << k << "" << true << "the default";
        QTest::newRow("empty text") << k << "Empty" << true << "";
        QTest::newRow("dword is not text") << k << "Number" << false << "";
        QTest::newRow("hex is not text") << k << "Binary" << false << "";
        QTest::newRow("hex(2) over lines is not text") << k << "Expand" << false << "";
        QTest::newRow("name in other case") << k << "pLAIN" << true << "text";
        QTest::newRow("key in other case") << "hkey_local_machine\\SOFTWARE\\maker\\TOOL"
                                           << "Plain" << true << "text";
        QTest::newRow("leading backslash and doubled ones")
            << "\\HKEY_LOCAL_MACHINE\\\\Software\\Maker\\Tool\\"
            << "Plain" << true << "text";
        QTest::newRow("missing value") << k << "Nothing" << false << "";
        QTest::newRow("missing key") << k + "\\Sub"
                                     << "Plain" << false << "";
        QTest::newRow("blank around =") << k << "Spaced" << true << "x";
    }
    void values() {
        QFETCH(QString, key);
        QFETCH(QString, name);
        QFETCH(bool, found);
        QFETCH(QString, value);
        TRegistryData data;
        QString error;
        QVERIFY2(data.mergeText("Windows Registry Editor Version 5.00\n"
                                "; a comment\n"
                                "[HKEY_LOCAL_MACHINE\\Software\\Maker\\Tool]\n"
                                "\"Plain\"=\"text\"\n"
                                "\"Escaped\"=\"C:\\\\dir\\\\ \\\"quoted\\\"\"\n"
                                "@=\"the default\"\n"
                                "\"Empty\"=\"\"\n"
                                "\"Number\"=dword:00000010\n"
                                "\"Binary\"=hex:00,00,00,00\n"
                                "\"Expand\"=hex(2):25,00,41,00,\\\n"
                                "  00,00\n"
                                "\"Spaced\" = \"x\"\n",
                                &error),
                 qPrintable(error));
        QString got = "unchanged";
        QCOMPARE(data.readText(key, name, &got), found);
        if (found)
            QCOMPARE(got, value);
    }

    void malformedTexts_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("no header") << QByteArray("[HKEY_CURRENT_USER\\A]\n\"x\"=\"1\"\n");
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("unterminated key") << QByteArray("REGEDIT4\n[HKEY_CURRENT_USER\\A\n");
        QTest::newRow("unterminated text")
            << QByteArray("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"1\n");
        QTest::newRow("value outside a key") << QByteArray("REGEDIT4\n\"x\"=\"1\"\n");
        QTest::newRow("stray line") << QByteArray("REGEDIT4\n[HKEY_CURRENT_USER\\A]\nhello\n");
        QTest::newRow("unknown value form")
            << QByteArray("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=12\n");
    }
    void malformedTexts() {
        QFETCH(QByteArray, text);
        TRegistryData data;
        QVERIFY(data.mergeText("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"keep\"=\"me\"\n"));
        QString error;
        QVERIFY(!data.mergeText(QString::fromUtf8(text), &error));
        QVERIFY(!error.isEmpty());
        QString v;
        QVERIFY(data.readText("HKEY_CURRENT_USER\\A", "keep", &v)); // nothing of it was merged
        QVERIFY(!data.readText("HKEY_CURRENT_USER\\A", "x", &v));
    }

    void foldersMergeWithTheUserWinning() {
        const QString top = m_dir.filePath("merge");
        const QString user = top + "/home/tarnwick/registry";
        const QString sys1 = top + "/sys1/tarnwick/registry";
        const QString sys2 = top + "/sys2/tarnwick/registry";
        const QByteArray key = "[HKEY_CURRENT_USER\\Software\\T]\r\n";
        writeFile(sys2 + "/a.reg", Header + key + "\"v\"=\"sys2\"\r\n\"only2\"=\"2\"\r\n");
        writeFile(sys1 + "/a.reg", Header + key + "\"v\"=\"sys1\"\r\n\"only1\"=\"1\"\r\n");
        writeFile(user + "/a.reg", Header + key + "\"V\"=\"user-a\"\r\n");
        writeFile(user + "/b.reg", Header + key + "\"v\"=\"user-b\"\r\n\"only2\"=-\r\n");
        writeFile(user + "/c.reg", "not a registry file\r\n");
        writeFile(user + "/d.txt", Header + key + "\"v\"=\"not read\"\r\n");
        const QByteArray oldHome = qgetenv("XDG_CONFIG_HOME"), oldDirs = qgetenv("XDG_CONFIG_DIRS");
        qputenv("XDG_CONFIG_HOME", (top + "/home").toUtf8());
        qputenv("XDG_CONFIG_DIRS", (top + "/sys1:" + top + "/sys2").toUtf8());
        QCOMPARE(RegistryFolders(), (QStringList{sys2, sys1, user}));
        const TRegistryData data = LoadRegistry();
        QString v;
        QVERIFY(data.readText("HKEY_CURRENT_USER\\Software\\T", "v", &v));
        QCOMPARE(v, QString("user-b"));
        QVERIFY(data.readText("HKEY_CURRENT_USER\\Software\\T", "only1", &v));
        QVERIFY(!data.readText("HKEY_CURRENT_USER\\Software\\T", "only2", &v)); // removed by "=-"

        // Through the store, as the rest of the program reads it.
        QCOMPARE(Reg_ReadValue(TRegRoot::CurrentUser, "\\Software\\T", "V"), QString("user-b"));

        // The override folder is the only one read.
        const QString only = top + "/only";
        writeFile(only + "/x.reg", Header + key + "\"w\"=\"1\"\r\n");
        qputenv("TARNWICK_REGISTRY_DIR", only.toUtf8());
        QCOMPARE(RegistryFolders(), QStringList{only});
        QCOMPARE(Reg_ReadValue(TRegRoot::CurrentUser, "\\Software\\T", "v"), QString());
        QCOMPARE(Reg_ReadValue(TRegRoot::CurrentUser, "\\Software\\T", "w"), QString("1"));
        qputenv("XDG_CONFIG_HOME", oldHome);
        qputenv("XDG_CONFIG_DIRS", oldDirs);
    }

    void deletedKeyTakesItsSubkeys() {
        TRegistryData data;
        QVERIFY(
            data.mergeText("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"1\"\n"
                           "[HKEY_CURRENT_USER\\A\\B]\n\"y\"=\"2\"\n[HKEY_CURRENT_USER\\AB]\n"));
        QVERIFY(data.mergeText("REGEDIT4\n[-HKEY_CURRENT_USER\\a]\n"));
        QVERIFY(!data.keyExists("HKEY_CURRENT_USER\\A"));
        QVERIFY(!data.keyExists("HKEY_CURRENT_USER\\A\\B"));
        QVERIFY(data.keyExists("HKEY_CURRENT_USER\\AB"));
    }

    void utf16ExportsAreRead() {
        const QString path = m_dir.filePath("utf16/export.reg");
        const QString text = "Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_CURRENT_USER\\Software\\T]\r\n\"v\"=\"Zoë\"\r\n";
        QByteArray bytes("\xFF\xFE", 2);
        bytes += QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        writeFile(path, bytes);
        TRegistryData data;
        QString error;
        QVERIFY2(data.mergeFile(path, &error), qPrintable(error));
        QString v;
        QVERIFY(data.readText("HKEY_CURRENT_USER\\Software\\T", "v", &v));
        QCOMPARE(v, QString::fromUtf8("Zoë"));
    }

    void programFilesFolder() {
        const QString folder = m_dir.filePath("pf");
        qputenv("TARNWICK_REGISTRY_DIR", folder.toUtf8());
        SettingsDir = m_dir.filePath("settings/");
        Reg_init();
        QCOMPARE(ProgramFilesDir, QString("/opt/"));
        QVERIFY(QFileInfo(SettingsDir).isDir());
        writeFile(folder + "/pf.reg",
                  QByteArray(Header) +
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\r\n"
                      "\"ProgramFilesDir\"=\"/usr/local\"\r\n");
        Reg_init();
        QCOMPARE(ProgramFilesDir, QString("/usr/local/"));
        Reg_Close();
    }
};

QTEST_GUILESS_MAIN(TestRegistryFiles)
#include "tst_registryfiles.moc"
