#include "common/TestSupport.h"
#include "model/TextFile.h"
#include "settings/IniFile.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

TIniDocument doc(const QString &text) {
    return TIniDocument(SplitLines(text));
}
QString text(const TIniDocument &d) {
    return d.lines().join('\n');
}

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir{TestTempDir() + "/ini-XXXXXX"};

private slots:
    void lookupIgnoresCaseAndBlanks() {
        const TIniDocument d = doc("; comment\n"
                                   "[Options]\n"
                                   "  ShowSplash = 0 \n"
                                   "Quoted=\"a b\"\n"
                                   "Empty=\n"
                                   "[options]\n"
                                   "ShowSplash=1\n"
                                   "Later=7\n");
        QCOMPARE(d.readString("OPTIONS", "showsplash", "x"), QString("0")); // first match wins
        QCOMPARE(d.readString("Options", "Quoted", "x"), QString("a b"));
        QCOMPARE(d.readString("Options", "Empty", "x"), QString(""));
        QCOMPARE(d.readString("Options", "Missing", "x"), QString("x"));
        QCOMPARE(d.readString("Other", "ShowSplash", "x"), QString("x"));
        QCOMPARE(d.readInteger("options", "later", 0), 7); // a repeated section is searched too
        QVERIFY(!d.readBool("Options", "ShowSplash", true));
        QVERIFY(!d.valueExists("Options", "; comment"));
    }

    void integers_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("decimal") << "698" << 698;
        QTest::newRow("negative") << "-1" << -1;
        QTest::newRow("hex") << "$1F" << 31;
        QTest::newRow("largest") << "2147483647" << 2147483647;
        QTest::newRow("too large") << "2147483648" << -5;
        QTest::newRow("letters") << "12abc" << -5;
        QTest::newRow("empty") << "" << -5;
        QTest::newRow("fraction") << "1.5" << -5;
    }
    void integers() {
        QFETCH(QString, value);
        QFETCH(int, expected);
        QCOMPARE(doc("[S]\nK=" + value).readInteger("S", "K", -5), expected);
    }

    void writesGoWherePrivateProfilesPutThem_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("after");
        QTest::newRow("empty file") << ""
                                    << "A"
                                    << "k"
                                    << "[A]\nk=v";
        QTest::newRow("new section at the end") << "[A]\nx=1"
                                                << "B"
                                                << "k"
                                                << "[A]\nx=1\n\n[B]\nk=v";
        QTest::newRow("new key at the end of its section") << "[A]\nx=1\n\n[B]\ny=2"
                                                           << "a"
                                                           << "k"
                                                           << "[A]\nx=1\nk=v\n\n[B]\ny=2";
        QTest::newRow("change in place keeps the key's spelling") << "[A]\nKey=1\nz=2"
                                                                  << "a"
                                                                  << "KEY"
                                                                  << "[A]\nKey=v\nz=2";
        QTest::newRow("comments stay") << "; top\n[A]\n; note\nx=1"
                                       << "A"
                                       << "x"
                                       << "; top\n[A]\n; note\nx=v";
    }
    void writesGoWherePrivateProfilesPutThem() {
        QFETCH(QString, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, after);
        TIniDocument d = doc(before);
        d.writeString(section, key, "v");
        QCOMPARE(text(d), after);
    }

    void valueWithLineBreakCannotSplitTheFile() {
        TIniDocument d;
        d.writeString("A", "k", "one\r\n[B]\nx=2");
        QCOMPARE(d.lines().size(), 2);
        QVERIFY(!d.sectionExists("B"));
    }

    void eraseSectionRemovesEveryOccurrence() {
        TIniDocument d = doc("[A]\nx=1\n[Inst]\na=1\n\n[B]\ny=2\n[INST]\nb=2");
        d.eraseSection("inst");
        QCOMPARE(text(d), QString("[A]\nx=1\n[B]\ny=2"));
        QCOMPARE(d.readSectionValues("Inst"), QStringList());
    }

    void sectionValuesInFileOrder() {
        const TIniDocument d = doc("[I]\nProd=/p.reg\nTest=\ndup=1\nDUP=2\n");
        QCOMPARE(d.readSectionValues("i"), (QStringList{"Prod=/p.reg", "Test=", "dup=1", "DUP=1"}));
    }

    void fileIsCrLfUtf8AndReadsWindows1252() {
        const QString path = m_dir.filePath("enc.ini");
        TIniFile ini(path);
        QVERIFY(ini.WriteString("Paths", "DefaultWorkingDir", QString::fromUtf8("/home/zoë")));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("[Paths]\r\nDefaultWorkingDir=/home/zo\xC3\xAB\r\n"));
        f.close();

        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Paths]\r\nDefaultWorkingDir=C:\\Users\\Zo\xEB \x80\r\n");
        f.close();
        QCOMPARE(ini.ReadString("paths", "defaultworkingdir", ""),
                 QString::fromUtf8("C:\\Users\\Zoë €"));
    }

    void missingFileReadsDefaultsAndFirstWriteCreatesIt() {
        const QString path = m_dir.filePath("fresh.ini");
        TIniFile ini(path);
        QCOMPARE(ini.ReadInteger("Form", "Width", 1119), 1119);
        QVERIFY(ini.WriteInteger("Form", "Width", 800));
        QCOMPARE(ini.ReadInteger("Form", "Width", 1119), 800);
        QVERIFY(ini.EraseSection("Form"));
        QCOMPARE(ini.ReadInteger("Form", "Width", 1119), 1119);
    }

    void unwritableFolderFailsAndLeavesNothing() {
        const QString blocker = m_dir.filePath("blocker");
        QFile b(blocker);
        QVERIFY(b.open(QIODevice::WriteOnly));
        b.close();
        TIniFile ini(blocker + "/Tarnwick.ini"); // a file where the folder should be
        QString error;
        QVERIFY(!ini.Update([](TIniDocument &d) { d.writeString("A", "k", "v"); }, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(ini.ReadString("A", "k", "none"), QString("none"));
    }

    void updateReadsAfreshUnderTheLock() {
        // Another writer saved after we last looked: its keys must survive our save.
        const QString path = m_dir.filePath("shared.ini");
        TIniFile mine(path), theirs(path);
        QVERIFY(mine.WriteString("Options", "ShowSplash", "1"));
        QVERIFY(theirs.WriteString("Options", "ShowMess", "0"));
        QVERIFY(mine.WriteString("Options", "ShowSplash", "0"));
        QCOMPARE(mine.ReadString("Options", "ShowMess", "?"), QString("0"));
        QCOMPARE(theirs.ReadString("Options", "ShowSplash", "?"), QString("0"));
    }

    void twoProcessesSavingAtOnceLoseNothing() {
        const QString hammer =
            qEnvironmentVariable("TW_BINARY_DIR") + "/tests/settings/tw_ini_hammer";
        if (!QFileInfo(hammer).isExecutable())
            QSKIP("the helper program tw_ini_hammer is not built");
        const QString path = m_dir.filePath("Tarnwick.ini");
        const int rounds = 1000;
        QProcess a, b;
        a.start(hammer, {path, "First", QString::number(rounds)});
        b.start(hammer, {path, "Second", QString::number(rounds)});
        QVERIFY(a.waitForFinished(120000));
        QVERIFY(b.waitForFinished(120000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);

        const TIniDocument d = TIniFile(path).read();
        for (const QString name : {"First", "Second"}) {
            for (int k = 0; k < 5; ++k)
                QCOMPARE(d.readInteger(name, QString("Key%1").arg(k), -1), rounds - 1);
            QCOMPARE(d.readInteger("Shared", name, -1), rounds - 1);
        }
        // Every line is a header, a key or the blank between sections.
        for (const QString &l : d.lines())
            QVERIFY2(l.isEmpty() || l.startsWith('[') || l.contains('='), qPrintable(l));
        QCOMPARE(d.readSection("Shared").size(), 2);
        // No temporary file is left behind.
        QCOMPARE(QDir(m_dir.path()).entryList({"Tarnwick.ini*"}, QDir::Files).size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
