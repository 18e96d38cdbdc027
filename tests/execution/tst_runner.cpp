#include "common/FakeProgress.h"
#include "common/TestSupport.h"
#include "execution/RunLog.h"
#include "execution/Runner.h"
#include "execution/WorkObjects.h"
#include "model/BatchFile.h"
#include "model/Globals.h"
#include "platform/Clock.h"
#include "settings/Config.h"

#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

TBatchJob makeJob(TJobCommand c, const QString &file, bool enabled = true) {
    TBatchJob j;
    j.Command = c;
    j.FileName = file;
    j.Enabled = enabled;
    j.Priority = NormalPriority;
    return j;
}

TBatchJob remark(const QString &text, bool enabled = true) {
    TBatchJob j = makeJob(TJobCommand::Remark, QString(), enabled);
    j.Parameter = text;
    return j;
}

QStringList logMessages(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {"<no log>"};
    const QStringList lines = QString::fromUtf8(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
    QStringList out;
    for (int i = 0; i < lines.size(); ++i) {
        const qsizetype at = lines[i].indexOf(": ");
        out << (i == 0 || at < 0 ? lines[i] : lines[i].mid(at + 2));
    }
    return out;
}

QString onlyLog() {
    const QStringList logs = QDir(LogDir).entryList({"*.txt"}, QDir::Files);
    return logs.size() == 1 ? LogDir + logs[0] : QString();
}

const QString NoJobs =
    "No jobs enabled for execution. Jobs must be checked in the Tarnwick interface to run.";

} // namespace

class TestRunner : public QObject {
    Q_OBJECT
    QTemporaryDir *m_dir = nullptr;

private slots:
    void init() {
        ResetGlobals();
        Config = TConfig();
        m_dir = new QTemporaryDir(TestTempDir() + "/runner-XXXXXX");
        LogDir = m_dir->path() + "/logs/";
        QDir().mkpath(LogDir);
        QVERIFY(data_GetMem());
        StopRunLog();
    }
    void cleanup() {
        data_FreeMem();
        delete m_dir;
        SetDateTimeSource(nullptr);
    }

    void nothingToRun_data() {
        QTest::addColumn<int>("rows");
        QTest::newRow("three disabled rows") << 3;
        QTest::newRow("no rows") << 0;
    }
    void nothingToRun() {
        QFETCH(int, rows);
        FakeProgressInstall fake;
        MessageRecorder boxes;
        TBatch b;
        for (int i = 0; i < rows; ++i)
            b.appendJob(remark("r", false));
        b.setFileName(m_dir->path() + "/none.twk");
        const RunOutcome o = Execute(b, QString(), false);
        QCOMPARE(fake.form.messages(), (QStringList{NoJobs, "Batch Job Commenced",
                                                    "No jobs found, batch file empty !?"}));
        QCOMPARE(logMessages(onlyLog()), (QStringList{"Tarnwick log for file " + b.fileName(),
                                                      "Batch Job Commenced",
                                                      "No jobs found, batch file empty !?"}));
        QCOMPARE(Config.Count, 1);
        QVERIFY(o.finished);
        QVERIFY(boxes.boxes.isEmpty());
    }

    void selectedRunWritesNoLog() {
        FakeProgressInstall fake;
        TBatch b;
        b.appendJob(remark("a", false));
        b.appendJob(remark("b"));
        edit_startitemClick(b, {0});
        QCOMPARE(fake.form.messages().first(), NoJobs);
        QVERIFY(QDir(LogDir).entryList(QDir::Files).isEmpty());
        edit_startitemClick(b, {1});
        QVERIFY(fake.form.messages().contains("Passing Remark b..."));
        QVERIFY(!fake.form.messages().contains("Passing Remark a..."));
        QVERIFY(QDir(LogDir).entryList(QDir::Files).isEmpty());
        // The interactive run forced both settings on only for its own time.
        Config.ShowProgress = false;
        edit_startitemClick(b, {1});
        QVERIFY(!Config.ShowProgress);
    }

    void gaugeRunsOverAllRows() {
        FakeProgressInstall fake;
        TBatch b;
        for (int i = 0; i < 5; ++i)
            b.appendJob(remark(QString::number(i), i % 2 == 0));
        Execute(b, QString(), false);
        QCOMPARE(fake.form.gaugeMax, 5);
        QCOMPARE(fake.form.gauge, 5);
        QCOMPARE(fake.form.button, QString("Close"));
        QCOMPARE(fake.form.messages().filter("Passing Remark").size(), 3);
    }

    void summaryAndLog() {
        FakeProgressInstall fake;
        TBatch b;
        b.appendJob(remark("one %yyyy%"));
        b.setFileName(m_dir->path() + "/nightly.twk");
        Execute(b, QString(), false);
        const QString log = onlyLog();
        QVERIFY(QFileInfo(log).fileName().startsWith("nightlyLog_"));
        const QString year = QString::number(QDate::currentDate().year());
        QCOMPARE(logMessages(log),
                 (QStringList{"Tarnwick log for file " + b.fileName(), "Batch Job Commenced",
                              "Passing Remark one " + year + "...", "",
                              "Batch completed in 0 hours 0 minutes 1 seconds.",
                              "Tarnwick results have been logged to " + log,
                              "Please check the Velloran log files for the results of Velloran jobs."}));
        // The memo gets an empty line, without a stamp, where the log has one.
        QVERIFY(fake.form.memo.contains(QString()));
        QVERIFY(RunLogFile.isEmpty());
        QVERIFY(!RunLogActive);
    }

    void delays_data() {
        QTest::addColumn<QString>("delay");
        QTest::addColumn<bool>("halts");
        QTest::newRow("number") << "150" << true;
        QTest::newRow("not a number") << "abc" << false;
        QTest::newRow("zero") << "0" << false;
        QTest::newRow("negative") << "-5" << false;
    }
    void delays() {
        QFETCH(QString, delay);
        QFETCH(bool, halts);
        FakeProgressInstall fake;
        TBatch b;
        TBatchJob j = remark("x");
        j.Delay = delay;
        b.appendJob(j);
        const uint32_t start = TickCount();
        Execute(b, QString(), true, {0});
        const uint32_t took = TickCount() - start;
        QCOMPARE(fake.form.messages().contains("Halting execution for " + delay + " msec..."), halts);
        if (halts)
            QVERIFY(took >= 150);
    }

    void cancelDuringDelayStopsRun() {
        FakeProgressInstall fake;
        TBatch b;
        TBatchJob slow = remark("first");
        slow.Delay = "5000";
        b.appendJob(slow);
        b.appendJob(remark("second"));
        QTimer::singleShot(100, [] { BatchCancelled = true; });
        const uint32_t start = TickCount();
        const RunOutcome o = Execute(b, QString(), false);
        QVERIFY(TickCount() - start < 3000);
        QVERIFY(!fake.form.messages().contains("Passing Remark first..."));
        QVERIFY(!fake.form.messages().contains("Passing Remark second..."));
        QVERIFY(fake.form.messages().contains("Please check the Velloran log files for the results of Velloran jobs."));
        QVERIFY(!o.finished);
        QCOMPARE(fake.form.gauge, 0); // a cancelled job does not step the gauge
    }

    // Whether the window closes by itself at the end of a run.
    void closingRule_data() {
        QTest::addColumn<bool>("fromFile");
        QTest::addColumn<bool>("jobFails");
        QTest::addColumn<bool>("showMess");
        QTest::addColumn<bool>("closes");
        QTest::newRow("file, all good") << true << false << true << true;
        QTest::newRow("file, a job failed") << true << true << true << false;
        QTest::newRow("file, failed, no messages") << true << true << false << true;
        QTest::newRow("editor batch") << false << false << true << false;
        QTest::newRow("editor batch, no messages") << false << false << false << true;
    }
    void closingRule() {
        QFETCH(bool, fromFile);
        QFETCH(bool, jobFails);
        QFETCH(bool, showMess);
        QFETCH(bool, closes);
        FakeProgressInstall fake;
        Config.ShowMess = showMess;
        TBatch b;
        b.appendJob(remark("ok"));
        // Creating a folder inside a regular file fails.
        const QString plain = m_dir->path() + "/plain";
        QFile(plain).open(QIODevice::WriteOnly);
        if (jobFails)
            b.appendJob(makeJob(TJobCommand::MakeDir, plain + "/sub"));
        QString path;
        if (fromFile) {
            b.setFileName(m_dir->path() + "/closing.twk");
            QVERIFY(SaveBatchFile(b));
            path = b.fileName();
        }
        const RunOutcome o = Execute(b, path, false);
        QCOMPARE(o.allSucceeded, !jobFails);
        QCOMPARE(fake.form.closes == 1, closes);
        QCOMPARE(fake.form.button, QString("Close"));
    }

    void withoutProgressNoWindowButStillLogs() {
        int made = 0;
        ResetProgressForm();
        SetProgressFormFactory([&]() -> IProgressView * { ++made; return nullptr; });
        Config.ShowProgress = false;
        TBatch b;
        b.appendJob(remark("quiet"));
        Execute(b, QString(), false);
        QCOMPARE(made, 0);
        QVERIFY(logMessages(onlyLog()).contains("Passing Remark quiet..."));
        QCOMPARE(Config.Count, 1);
        SetProgressFormFactory(nullptr);
    }

    void unloadableFileRunsNothing() {
        FakeProgressInstall fake;
        MessageRecorder boxes;
        TBatch b;
        const RunOutcome o = Execute(b, m_dir->path() + "/missing.twk", false);
        QVERIFY(!o.loaded);
        QCOMPARE(boxes.texts(), QStringList{"Load Error - file probably in use!"});
        QCOMPARE(Config.Count, 0);
        QCOMPARE(fake.form.shows, 0);
        QVERIFY(QDir(LogDir).entryList(QDir::Files).isEmpty());
    }

    void logThatCannotBeCreatedIsReported() {
        FakeProgressInstall fake;
        MessageRecorder boxes;
        QFile(m_dir->path() + "/notafolder").open(QIODevice::WriteOnly);
        LogDir = m_dir->path() + "/notafolder/";
        TBatch b;
        const QString made = m_dir->path() + "/made";
        b.appendJob(makeJob(TJobCommand::MakeDir, made));
        const RunOutcome o = Execute(b, QString(), false);
        QVERIFY(o.logFailed);
        QVERIFY(!o.finished);
        QVERIFY(!QFileInfo(made).exists());
        QCOMPARE(boxes.boxes.size(), 1);
        QVERIFY2(boxes.boxes[0].text.contains(m_dir->path() + "/notafolder/unknownLog_"),
                 qPrintable(boxes.boxes[0].text));
        QCOMPARE(boxes.boxes[0].icon, MsgIcon::Error);
        QCOMPARE(Config.Count, 0);
    }

    void logName_data() {
        QTest::addColumn<QString>("batch");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "/jobs/nightly.twk" << "nightlyLog_Mar052010_143012.txt";
        QTest::newRow("no file") << "" << "unknownLog_Mar052010_143012.txt";
        QTest::newRow("dots") << "/a.b/x.y.twk" << "x.yLog_Mar052010_143012.txt";
        QTest::newRow("no extension") << "/a.b/x" << "xLog_Mar052010_143012.txt";
    }
    void logName() {
        QFETCH(QString, batch);
        QFETCH(QString, name);
        if (QLocale::system().monthName(3, QLocale::ShortFormat) != "Mar")
            QSKIP("needs an English system locale");
        QCOMPARE(RunLogName(batch, QDateTime(QDate(2010, 3, 5), QTime(14, 30, 12))), name);
    }

    void elapsed_data() {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("0.4 s") << qint64(400) << "0 hours 0 minutes 1 seconds.";
        QTest::newRow("0 s") << qint64(0) << "0 hours 0 minutes 1 seconds.";
        QTest::newRow("61.7 s") << qint64(61700) << "0 hours 1 minutes 1 seconds.";
        QTest::newRow("2 h 3 m 4 s") << qint64((2 * 3600 + 3 * 60 + 4) * 1000 + 999) << "2 hours 3 minutes 4 seconds.";
        QTest::newRow("a day and 5 s") << qint64((86400 + 5) * 1000) << "0 hours 0 minutes 5 seconds.";
    }
    void elapsed() {
        QFETCH(qint64, ms);
        QFETCH(QString, text);
        QCOMPARE(CompletedText(ms), "Batch completed in " + text);
    }
};

QTEST_MAIN(TestRunner)
#include "tst_runner.moc"
