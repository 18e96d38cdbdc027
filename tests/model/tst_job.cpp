#include "model/Batch.h"
#include "model/Job.h"

#include <QtTest>

class TestJob : public QObject {
    Q_OBJECT
private slots:
    void commandNamesInPickerOrder() {
        const QStringList expected = {"Run Velloran", "Run",          "Copy",
                                      "Rename",       "MakeDir",      "Delete",
                                      "DelTree",      "End Process",  "Kill Process",
                                      "Text to Clipboard", "Remark"};
        QCOMPARE(CommandNames(), expected);
        for (int i = 0; i < expected.size(); ++i) {
            TJobCommand c;
            QVERIFY(CommandFromName(expected[i], &c));
            QCOMPARE(int(c), i);
        }
        QVERIFY(!CommandFromName("run", nullptr)); // exact letter case
        QCOMPARE(CommandName(TJobCommand(JobCommandCount)), QString());
        QCOMPARE(CommandName(TJobCommand(-1)), QString());
        QVERIFY(!CommandFromName("Run ", nullptr));
    }

    void textRules_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("flag");
        QTest::addColumn<int>("number");
        QTest::newRow("X") << "X" << true << 0;
        QTest::newRow("lower x") << "x" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("500") << "500" << false << 500;
        QTest::newRow("abc") << "abc" << false << 0;
        QTest::newRow("negative") << "-20" << false << -20;
        QTest::newRow("fraction") << "1.5" << false << 0;
    }
    void textRules() {
        QFETCH(QString, text);
        QFETCH(bool, flag);
        QFETCH(int, number);
        QCOMPARE(FlagOn(text), flag);
        QCOMPARE(NumberOrZero(text), number);
    }

    void remarkColourZeroMeansLightGreen() {
        TBatchJob j;
        j.Command = TJobCommand::Remark;
        QCOMPARE(RemarkColor(j), 13434828);
        j.Color = 255;
        QCOMPARE(RemarkColor(j), 255);
    }

    void checkedCountHonoursSelection() {
        TBatch b;
        for (int i = 0; i < 4; ++i) {
            TBatchJob j;
            j.Enabled = i != 2;
            b.appendJob(j);
        }
        QCOMPARE(b.ItemsCheckedCount(), 3);
        QCOMPARE(b.ItemsCheckedCount(true, {1, 2}), 1);
        QCOMPARE(b.ItemsCheckedCount(true, {}), 0);
    }
};

QTEST_GUILESS_MAIN(TestJob)
#include "tst_job.moc"
