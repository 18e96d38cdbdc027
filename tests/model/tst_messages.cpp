#include "common/TestSupport.h"
#include "model/Messages.h"

#include <QTemporaryFile>
#include <QtTest>
#include <cstdio>
#include <unistd.h>

class TestMessages : public QObject {
    Q_OBJECT
private slots:
    void errorBoxes_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("1") << 1 << "Load Error - file probably in use!";
        QTest::newRow("2") << 2 << "Load Error - this is not a Tarnwick file!";
        QTest::newRow("3") << 3 << "Save Error - file in use, no write rights or invalid filename!";
        QTest::newRow("4") << 4 << "Rename Error - file not found or in use!";
        QTest::newRow("5") << 5 << "MakeDir Error - directory probably already exists!";
        QTest::newRow("6") << 6 << "Delete Error - at least one file could not be deleted!";
        QTest::newRow("7") << 7 << "Process not found or access denied!";
        QTest::newRow("8") << 8 << "Velloran installation not found! Please set path in settings menu.";
        QTest::newRow("9") << 9 << "Error during instance reading, path and color count does not match!";
        QTest::newRow("unknown 0") << 0 << "";
        QTest::newRow("unknown 10") << 10 << "";
    }
    void errorBoxes() {
        QFETCH(int, code);
        QFETCH(QString, text);
        MessageRecorder rec;
        ShowErrorMessage(code);
        QCOMPARE(rec.boxes.size(), 1);
        QCOMPARE(rec.boxes[0].caption, QString("Tarnwick"));
        QCOMPARE(rec.boxes[0].text, text);
        QCOMPARE(rec.boxes[0].icon, MsgIcon::Error);
    }

    void infoAndPlainBoxes() {
        MessageRecorder rec;
        ShowInfoMessage(1);
        ShowPlainMessage("Batchfile not found!");
        QCOMPARE(rec.boxes.size(), 2);
        QCOMPARE(rec.boxes[0].text, QString("twk file type association has been created!"));
        QCOMPARE(rec.boxes[0].icon, MsgIcon::Information);
        QCOMPARE(rec.boxes[1].text, QString("Batchfile not found!"));
        QCOMPARE(rec.boxes[1].caption, QString("Tarnwick"));
        QCOMPARE(rec.boxes[1].icon, MsgIcon::None);
    }

    // Without a display every box goes to standard error and nothing waits.
    void withoutRecorderMessagesGoToStandardError() {
        QTemporaryFile capture;
        QVERIFY(capture.open());
        std::fflush(stderr);
        const int saved = dup(2);
        dup2(capture.handle(), 2);
        ShowErrorMessage(2);
        ShowPlainMessage(QString::fromUtf8("caf\xC3\xA9"));
        std::fflush(stderr);
        dup2(saved, 2);
        close(saved);
        capture.seek(0);
        QCOMPARE(capture.readAll(), QByteArray("Tarnwick: Load Error - this is not a Tarnwick file!\n"
                                               "Tarnwick: caf\xC3\xA9\n"));
    }

    void trace_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("last");
        QTest::newRow("fresh") << QStringList{} << QStringList{" Unknown", " Unknown", " Unknown"};
        QTest::newRow("A B") << QStringList{"A", "B"} << QStringList{"B", "A", " Unknown"};
        QTest::newRow("A B A") << QStringList{"A", "B", "A"} << QStringList{"A", "B", "A"};
        QTest::newRow("repeat changes nothing") << QStringList{"A", "B", "A", "A"}
                                                << QStringList{"A", "B", "A"};
        QTest::newRow("oldest drops out") << QStringList{"A", "B", "C", "D"}
                                          << QStringList{"D", "C", "B"};
        QTest::newRow("exact comparison") << QStringList{"a", "A"} << QStringList{"A", "a", " Unknown"};
    }
    void trace() {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, last);
        ResetTrace();
        for (const QString &s : steps)
            TraceStep(s);
        QCOMPARE((QStringList{LastSteps[0], LastSteps[1], LastSteps[2]}), last);
    }
};

QTEST_GUILESS_MAIN(TestMessages)
#include "tst_messages.moc"
