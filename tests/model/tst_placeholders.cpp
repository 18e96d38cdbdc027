#include "model/Globals.h"
#include "model/Placeholders.h"
#include "platform/Clock.h"

#include <QtTest>

namespace {
QDateTime fixedNow() { return QDateTime(QDate(2016, 3, 5), QTime(14, 7, 9)); }
} // namespace

class TestPlaceholders : public QObject {
    Q_OBJECT
private slots:
    void init() {
        ResetGlobals();
        SetDateTimeSource(fixedNow);
    }
    void cleanup() { SetDateTimeSource(nullptr); }

    void dateAndArguments_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expanded");
        const QStringList none;
        const QStringList run{"-execute", "/j/n.twk", "/In", "two %1%"};
        const QStringList nested{"-execute", "/j/n.twk", "/In %2%", "two"};
        QTest::newRow("date") << none << "Report_%yyyy%-%mm%-%dd%.csv" << "Report_2016-03-05.csv";
        QTest::newRow("glued tokens") << none << "%yyyy%%mm%" << "201603";
        QTest::newRow("upper case tokens") << none << "%HH%%NN%%Ss%" << "140709";
        QTest::newRow("short year") << none << "%yy%" << "16";
        QTest::newRow("not tokens") << none << "%m% %d% %y%" << "%m% %d% %y%";
        QTest::newRow("argument") << run << "%1%\\x %3%" << "/In\\x %3%";
        QTest::newRow("later token inside an argument is expanded") << nested << "%1%" << "/In two";
        QTest::newRow("earlier token inside an argument stays") << run << "%2%" << "two %1%";
        QTest::newRow("no arguments") << none << "%1%" << "%1%";
        QTest::newRow("bare file counts from the third too") << QStringList{"/j/n.twk", "A", "B"}
                                                             << "%1%|%2%" << "B|%2%";
        QTest::newRow("trailing blanks kept") << none << "a  " << "a  ";
    }
    void dateAndArguments() {
        QFETCH(QStringList, args);
        QFETCH(QString, text);
        QFETCH(QString, expanded);
        CommandLineArgs = args;
        QCOMPARE(ExpandPlaceholders(text), expanded);
    }

    void localeNames() {
        const QString text = ExpandPlaceholders("%mmm%-%ddd%");
        QCOMPARE(text, QLocale::system().monthName(3, QLocale::ShortFormat) + "-" +
                           QLocale::system().dayName(6, QLocale::ShortFormat));
    }

    void expandPath_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expanded");
        QTest::newRow("program files") << "%ProgramFiles%Velloran" << "/opt/Velloran";
        QTest::newRow("program files with blank") << "%PROGRAM FILES%x/" << "/opt/x/";
        QTest::newRow("exact variable") << "%TW_TEST_VAR%/a" << "/var value/a";
        QTest::newRow("variable ignoring case") << "%tw_test_var%" << "/var value";
        QTest::newRow("undefined stays") << "%TW_NOT_DEFINED_42%/x" << "%TW_NOT_DEFINED_42%/x";
        QTest::newRow("closing sign opens the next name") << "100%TW_TEST_VAR%" << "100/var value";
        QTest::newRow("undefined then defined") << "%NOPE_1%TW_TEST_VAR%" << "%NOPE_1/var value";
        QTest::newRow("lone percent") << "50% off" << "50% off";
        QTest::newRow("trimmed") << " \t/a b \r\n" << "/a b";
        QTest::newRow("long text has no limit") << QString(3000, 'a') + "%TW_TEST_VAR%"
                                                << QString(3000, 'a') + "/var value";
    }
    void expandPath() {
        QFETCH(QString, text);
        QFETCH(QString, expanded);
        ProgramFilesDir = "/opt/";
        qputenv("TW_TEST_VAR", "/var value");
        QCOMPARE(ExpandPath(text), expanded);
    }

    // Argument values pass through the later stages of the chain.
    void chainOrder() {
        ProgramFilesDir = "/opt/";
        qputenv("TW_TEST_VAR", "V");
        CommandLineArgs = {"-execute", "/b.twk", "%programfiles%app", "%TW_TEST_VAR%_%yyyy%"};
        QCOMPARE(ExpandPath(ExpandPlaceholders("%1% %2%")), QString("/opt/app V_%yyyy%"));
    }
};

QTEST_GUILESS_MAIN(TestPlaceholders)
#include "tst_placeholders.moc"
