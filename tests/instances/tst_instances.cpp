#include "instances/ColorText.h"
#include "instances/InstanceList.h"
#include "model/Globals.h"

#include <QtTest>

class TestInstances : public QObject {
    Q_OBJECT
    QStringList m_paths, m_colors;

private slots:
    void init() {
        m_paths = {"Velloran as last logged in=default", "Prod=/i/prod.reg",
                   "Empty=", "prod=/i/second.reg", "Eq=/a=b.reg"};
        m_colors = {"Velloran as last logged in=clWhite", "Prod=clYellow", "Empty=$00CCFFCC",
                    "prod=clRed", "Eq=oops"};
        InstancePaths = &m_paths;
        InstanceColors = &m_colors;
    }
    void cleanup() { InstancePaths = InstanceColors = nullptr; }

    void everyIdentifierBothWays() {
        QCOMPARE(ColorIdentCount(), 52);
        QSet<TColor> seen;
        for (int i = 0; i < ColorIdentCount(); ++i) {
            TColor value;
            const QString ident = ColorIdentAt(i, &value);
            QVERIFY(!seen.contains(value));
            seen.insert(value);
            QCOMPARE(ColorToString(value), ident);
            TColor back = -1;
            QVERIFY(StringToColor(ident.toUpper(), &back));
            QCOMPARE(back, value);
        }
        QCOMPARE(ColorToString(TColor(0xFF00001Au)), QString("clHotLight"));
        QCOMPARE(ColorToString(TColor(0xFF000019u)), QString("$FF000019")); // index 25 has no name
    }

    void colorTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("identifier") << "clYellow" << true << 0x00FFFF;
        QTest::newRow("identifier, other case") << "CLwindow" << true << int(0xFF000005u);
        QTest::newRow("dollar form") << "$00CCFFCC" << true << 0x00CCFFCC;
        QTest::newRow("dollar, lower case") << "$ff" << true << 255;
        QTest::newRow("dollar, high bit") << "$FF000005" << true << int(0xFF000005u);
        QTest::newRow("decimal") << "13434828" << true << 13434828;
        QTest::newRow("negative") << "-16777211" << true << -16777211;
        QTest::newRow("too large") << "4294967295" << false << 0;
        QTest::newRow("nine hex digits") << "$100000000" << false << 0;
        QTest::newRow("name") << "white" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("dollar alone") << "$" << false << 0;
        QTest::newRow("blank inside") << "12 3" << false << 0;
        QTest::newRow("0x form") << "0xFF" << false << 0;
    }
    void colorTexts() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        TColor c = -7;
        QString error;
        QCOMPARE(StringToColor(text, &c, &error), ok);
        if (ok) {
            QCOMPARE(c, value);
            TColor back;
            QVERIFY(StringToColor(ColorToString(c), &back));
            QCOMPARE(back, c);
        } else {
            QCOMPARE(error, QString("'%1' is not a valid integer value").arg(text));
        }
    }

    void writtenForms() {
        QCOMPARE(ColorToString(0x00FFFF), QString("clYellow"));
        QCOMPARE(ColorToString(0x00CCFFCC), QString("$00CCFFCC"));
        QCOMPARE(ColorToString(0x1), QString("$00000001"));
        QCOMPARE(ColorToString(clNone), QString("clNone"));
    }

    void pathOf_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path");
        QTest::newRow("default entry's exact name") << "Velloran as last logged in"
                                                    << "";
        QTest::newRow("default entry in other case") << "velloran as last logged in"
                                                     << "default";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("first of two equal names") << "PROD"
                                                  << "/i/prod.reg";
        QTest::newRow("empty path") << "Empty"
                                    << "";
        QTest::newRow("split at the first =") << "Eq"
                                              << "/a=b.reg";
        QTest::newRow("unknown") << "Gone"
                                 << "";
    }
    void pathOf() {
        QFETCH(QString, name);
        QFETCH(QString, path);
        QCOMPARE(InstancePathOf(name), path);
    }

    void colorOf() {
        QCOMPARE(InstanceColorOf(""), std::optional<TColor>(clWindow));
        QCOMPARE(InstanceColorOf("Velloran as last logged in"), std::optional<TColor>(clWindow));
        QCOMPARE(InstanceColorOf("velloran as last logged in"), std::optional<TColor>(clWhite));
        QCOMPARE(InstanceColorOf("prod"), std::optional<TColor>(0x00FFFF)); // by position
        QCOMPARE(InstanceColorOf("Empty"), std::optional<TColor>(0x00CCFFCC));
        QCOMPARE(InstanceColorOf("Gone"), std::nullopt);
        QString error;
        QCOMPARE(InstanceColorOf("Eq", &error), std::nullopt);
        QCOMPARE(error, QString("'oops' is not a valid integer value"));
        m_colors.removeLast(); // a colour list shorter than the paths
        QCOMPARE(InstanceColorOf("Eq"), std::nullopt);
    }

    void completingLoadedLists_data() {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QStringList>("colors");
        QTest::addColumn<bool>("matched");
        QTest::addColumn<QStringList>("wantPaths");
        QTest::addColumn<QStringList>("wantColors");
        const QStringList defPaths{"Velloran as last logged in=default"};
        const QStringList defColors{"Velloran as last logged in=clWhite"};
        QTest::newRow("nothing") << QStringList{} << QStringList{} << true << defPaths << defColors;
        QTest::newRow("colours only")
            << QStringList{} << QStringList{"A=clRed"} << false << defPaths << defColors;
        QTest::newRow("padded") << QStringList{"A=a", "B=b", "C=c"} << QStringList{"A=clRed"}
                                << false << QStringList{"A=a", "B=b", "C=c"}
                                << QStringList{"A=clRed", "Name=clWhite", "Name=clWhite"};
        QTest::newRow("longer colours stay")
            << QStringList{"A=a"} << QStringList{"A=1", "B=2"} << false << QStringList{"A=a"}
            << QStringList{"A=1", "B=2"};
        QTest::newRow("equal") << QStringList{"A=a"} << QStringList{"A=1"} << true
                               << QStringList{"A=a"} << QStringList{"A=1"};
    }
    void completingLoadedLists() {
        QFETCH(QStringList, paths);
        QFETCH(QStringList, colors);
        QFETCH(bool, matched);
        QFETCH(QStringList, wantPaths);
        QFETCH(QStringList, wantColors);
        QCOMPARE(CompleteInstanceLists(paths, colors), matched);
        QCOMPARE(paths, wantPaths);
        QCOMPARE(colors, wantColors);
    }
};

QTEST_GUILESS_MAIN(TestInstances)
#include "tst_instances.moc"
