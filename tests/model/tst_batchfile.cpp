#include "common/TestSupport.h"
#include "model/BatchFile.h"
#include "model/Globals.h"
#include "model/Messages.h"
#include "model/TextFile.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

namespace {

QByteArray crlf(const QStringList &lines) {
    QByteArray b;
    for (const QString &l : lines)
        b += l.toUtf8() + "\r\n";
    return b;
}

void writeBytes(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// One record: line 1 and the seven lines after it.
QStringList record(const QString &l1, const QString &l2 = {}, const QString &l3 = {},
                   const QString &l4 = {}, const QString &l5 = {}, const QString &l6 = {},
                   const QString &l7 = {}, const QString &l8 = {}) {
    return {l1, l2, l3, l4, l5, l6, l7, l8};
}

TBatchJob job(TJobCommand c, const QString &file, const QString &param = {}) {
    TBatchJob j;
    j.Command = c;
    j.FileName = file;
    j.Parameter = param;
    j.Priority = NormalPriority;
    j.Delay = "0";
    return j;
}

} // namespace

class TestBatchFile : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir{TestTempDir() + "/batchfile-XXXXXX"};
    QString path(const QString &name) const { return m_dir.filePath(name); }

    int load(TBatch &b, const QByteArray &bytes) {
        const QString p = path("in.twk");
        writeBytes(p, bytes);
        b.setFileName(p);
        return LoadBatchFile(b);
    }

private slots:
    void init() {
        ResetGlobals();
        batchFileHooks() = BatchFileHooks();
    }

    void recordCount_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("jobs");
        QTest::newRow("header only") << 1 << 0;
        QTest::newRow("one record") << 9 << 1;
        QTest::newRow("partial second record") << 16 << 1;
        QTest::newRow("two records") << 17 << 2;
    }
    void recordCount() {
        QFETCH(int, lines);
        QFETCH(int, jobs);
        QStringList l{"Tarnwick 3.0"};
        while (l.size() < lines)
            l << QString("/bin/prog%1").arg(l.size());
        MessageRecorder rec;
        TBatch b;
        QCOMPARE(load(b, crlf(l)), 0);
        QCOMPARE(b.count(), jobs);
        QVERIFY(rec.boxes.isEmpty());
    }

    void header_data() {
        QTest::addColumn<QString>("header");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("task");
        QTest::newRow("plain") << "Tarnwick 3.0" << 0 << "";
        QTest::newRow("task name") << "Tarnwick#Nightly#{1B4E28BA-2FA1-11D2-883F-0016D3CCA427}" << 0
                                   << "Tarnwick#Nightly#{1B4E28BA-2FA1-11D2-883F-0016D3CCA427}";
        QTest::newRow("brace form never a task") << "Tarnwick{x}#y" << 0 << "";
        QTest::newRow("lower case header") << "tarnwick 3.0" << 2 << "";
        QTest::newRow("leading blank") << " Tarnwick 3.0" << 2 << "";
        QTest::newRow("other file") << "[Options]" << 2 << "";
    }
    void header() {
        QFETCH(QString, header);
        QFETCH(int, error);
        QFETCH(QString, task);
        MessageRecorder rec;
        TBatch b;
        b.setTaskName("old task");
        QCOMPARE(load(b, crlf(QStringList{header} + record("/bin/true"))), error);
        if (error) {
            QCOMPARE(rec.texts(), QStringList{ErrorText(error)});
            QCOMPARE(rec.boxes[0].caption, QString("Tarnwick"));
            QCOMPARE(rec.boxes[0].icon, MsgIcon::Error);
            QVERIFY(b.fileName().isEmpty());
            QCOMPARE(b.taskName(), QString("old task"));
        } else {
            QCOMPARE(b.taskName(), task);
        }
    }

    void failedLoadKeepsBatch_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("error");
        QTest::newRow("missing") << "missing" << 1;
        QTest::newRow("folder") << "folder" << 1;
        QTest::newRow("empty file") << "empty" << 2;
        QTest::newRow("not a batch") << "foreign" << 2;
    }
    void failedLoadKeepsBatch() {
        QFETCH(QString, kind);
        QFETCH(int, error);
        QString p = path("target-" + kind);
        if (kind == "folder")
            QVERIFY(QDir().mkpath(p));
        else if (kind == "empty")
            writeBytes(p, {});
        else if (kind == "foreign")
            writeBytes(p, "hello\r\n");
        MessageRecorder rec;
        TBatch b;
        b.appendJob(job(TJobCommand::Copy, "/a", "/b"));
        b.setModified(true);
        b.setFileName(p);
        QCOMPARE(LoadBatchFile(b), error);
        QCOMPARE(rec.texts(), QStringList{ErrorText(error)});
        QVERIFY(b.fileName().isEmpty());
        QCOMPARE(b.count(), 1);
        QVERIFY(b.modified());
    }

    void commandLine_data() {
        QTest::addColumn<QString>("line1");
        QTest::addColumn<QString>("line3");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("parameter");
        QTest::newRow("run") << "/usr/bin/prog" << "-x" << true << "Run" << "/usr/bin/prog" << "-x";
        QTest::newRow("disabled run velloran") << ";RunVelloran" << "/s/a.xml" << false
                                               << "Run Velloran" << "Velloran" << "/s/a.xml";
        QTest::newRow("velloran ignores tail") << "RUNVELLORAN whatever" << "" << true
                                               << "Run Velloran" << "Velloran" << "";
        QTest::newRow("copy") << "Copy /a/*.csv" << "/b/" << true << "Copy" << "/a/*.csv" << "/b/";
        QTest::newRow("keyword glued to name") << "copy.bat" << "" << true << "Copy" << ".bat" << "";
        QTest::newRow("older copy") << "Copy" << "/a.txt,/d/b/" << true << "Copy" << "/a.txt" << "/d/b/";
        QTest::newRow("older copy without comma") << "Copy" << "/a.txt" << true << "Copy" << ""
                                                  << "/a.txt";
        QTest::newRow("older rename") << "rename" << "/x,/y,z" << true << "Rename" << "/x" << "/y,z";
        QTest::newRow("older makedir") << "MakeDir" << "/New" << true << "MakeDir" << "/New" << "";
        QTest::newRow("older delete") << "DELETE  " << "/t/*.tmp" << true << "Delete" << "/t/*.tmp"
                                      << "";
        QTest::newRow("deltree") << "DelTree   /old  " << "" << true << "DelTree" << "/old" << "";
        QTest::newRow("end process") << "end process app.bin" << "" << true << "End Process"
                                     << "app.bin" << "";
        QTest::newRow("kill process") << "Kill Process app.bin" << "" << true << "Kill Process"
                                      << "app.bin" << "";
        QTest::newRow("clipboard") << "Text to Clipboard  hello world" << "" << true
                                   << "Text to Clipboard" << "hello world" << "";
        QTest::newRow("remark") << "Remark" << "a note" << true << "Remark" << "" << "a note";
        QTest::newRow("section is a remark") << "section 2" << "n" << true << "Remark" << "" << "n";
        QTest::newRow("remarks.exe is a remark") << "Remarks.exe" << "" << true << "Remark" << ""
                                                 << "";
        QTest::newRow("blanks and tabs trimmed") << " \t/bin/ls\t " << "" << true << "Run"
                                                 << "/bin/ls" << "";
        QTest::newRow("double semicolon stays in the name") << ";;Copy /a" << "" << false << "Run"
                                                            << ";Copy /a" << "";
    }
    void commandLine() {
        QFETCH(QString, line1);
        QFETCH(QString, line3);
        QFETCH(bool, enabled);
        QFETCH(QString, command);
        QFETCH(QString, fileName);
        QFETCH(QString, parameter);
        TBatch b;
        QCOMPARE(load(b, crlf(QStringList{"Tarnwick 3.0"} + record(line1, "", line3))), 0);
        QCOMPARE(b.count(), 1);
        QCOMPARE(b.job(0).Enabled, enabled);
        QCOMPARE(CommandName(b.job(0).Command), command);
        QCOMPARE(b.job(0).FileName, fileName);
        QCOMPARE(b.job(0).Parameter, parameter);
    }

    void blankFirstLineSkipsRecord() {
        TBatch b;
        const QStringList lines = QStringList{"Tarnwick 3.0"} + record(" \t ", "w", "p") +
                                  record("/bin/b", " w ", " p ", "500", "X", "x", "X", "Idle");
        QCOMPARE(load(b, crlf(lines)), 0);
        QCOMPARE(b.count(), 1);
        const TBatchJob &j = b.job(0);
        // Lines 2 to 8 are taken as they stand.
        QCOMPARE(j.WorkingDir, QString(" w "));
        QCOMPARE(j.Parameter, QString(" p "));
        QCOMPARE(j.Delay, QString("500"));
        QCOMPARE(j.Max, QString("X"));
        QCOMPARE(j.Min, QString("x"));
        QCOMPARE(j.Wait, QString("X"));
        QCOMPARE(j.Priority, QString("Idle"));
        QVERIFY(!b.modified());
    }

    void lineEightByCommand_data() {
        QTest::addColumn<QString>("line1");
        QTest::addColumn<QString>("line8");
        QTest::addColumn<QString>("priority");
        QTest::addColumn<QString>("instance");
        QTest::addColumn<int>("color");
        QTest::addColumn<QString>("delay");
        QTest::newRow("velloran instance") << "RunVelloran" << "Prod" << "Normal" << "Prod" << 0 << "7";
        QTest::newRow("velloran empty") << "RunVelloran" << "" << "Normal" << LastLoggedInInstance << 0
                                        << "7";
        QTest::newRow("velloran Normal") << "RunVelloran" << "Normal" << "Normal"
                                         << LastLoggedInInstance << 0 << "7";
        QTest::newRow("run priority") << "/bin/x" << "High" << "High" << "" << 0 << "7";
        QTest::newRow("run empty priority") << "/bin/x" << "" << "Normal" << "" << 0 << "7";
        QTest::newRow("remark colour") << "Remark" << "255" << "" << "" << 255 << "";
        QTest::newRow("remark bad colour") << "Remark" << "red" << "" << "" << 0 << "";
        QTest::newRow("remark negative colour") << "Remark" << "-16777201" << "" << "" << -16777201
                                                << "";
    }
    void lineEightByCommand() {
        QFETCH(QString, line1);
        QFETCH(QString, line8);
        QFETCH(QString, priority);
        QFETCH(QString, instance);
        QFETCH(int, color);
        QFETCH(QString, delay);
        TBatch b;
        QCOMPARE(load(b, crlf(QStringList{"Tarnwick 3.0"} + record(line1, "", "", "7", "", "", "", line8))),
                 0);
        QCOMPARE(b.job(0).Priority, priority);
        QCOMPARE(b.job(0).Instance, instance);
        QCOMPARE(b.job(0).Color, color);
        QCOMPARE(b.job(0).Delay, delay);
    }

    void lineBreaksAndEncodings_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<int>("jobs");
        const QByteArray body = "\r\n\r\n0\r\n\r\n\r\n\r\nNormal";
        QTest::newRow("LF only") << QByteArray("Tarnwick 3.0\n/bin/a\n\npar\n0\n\n\n\nNormal\n")
                                 << "/bin/a" << "par" << 1;
        QTest::newRow("CR only") << QByteArray("Tarnwick 3.0\r/bin/a\r\rpar\r0\r\r\r\rNormal")
                                 << "/bin/a" << "par" << 1;
        QTest::newRow("UTF-8") << QByteArray("Tarnwick 3.0\r\n/d/caf\xC3\xA9\r\n\r\n\xE2\x82\xAC") + body.mid(2)
                               << QString::fromUtf8("/d/caf\xC3\xA9") << QString::fromUtf8("\xE2\x82\xAC")
                               << 1;
        QTest::newRow("Windows-1252") << QByteArray("Tarnwick 3.0\r\n/d/caf\xE9\r\n\r\n\x80") + body.mid(2)
                                      << QString::fromUtf8("/d/caf\xC3\xA9")
                                      << QString::fromUtf8("\xE2\x82\xAC") << 1;
        QTest::newRow("NUL ends the text") << QByteArray("Tarnwick 3.0\r\n/bin/a\r\n\r\np\0ignored\r\n0\r\n\r\n\r\n\r\nx\r\n", 47)
                                           << "" << "" << 0;
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBFTarnwick 3.0\r\n/bin/a\r\n\r\np") + body.mid(2)
                                         << "/bin/a" << "p" << 1;
    }
    void lineBreaksAndEncodings() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, fileName);
        QFETCH(QString, parameter);
        QFETCH(int, jobs);
        TBatch b;
        QCOMPARE(load(b, bytes), 0);
        QCOMPARE(b.count(), jobs);
        if (jobs) {
            QCOMPARE(b.job(0).FileName, fileName);
            QCOMPARE(b.job(0).Parameter, parameter);
        }
    }

    void writerMatchesExampleFile() {
        TBatch b;
        b.setTaskName("Tarnwick#Nightly#{GUID}");
        TBatchJob v = job(TJobCommand::RunVelloran, "Velloran", "/Scenarios/Dedupe.xml");
        v.WorkingDir = SetByVelloran;
        v.Wait = "X";
        v.Instance = LastLoggedInInstance;
        TBatchJob c = job(TJobCommand::Copy, "/Data/*.csv", "/Backup/");
        c.Enabled = false;
        c.Delay = "500";
        b.appendJob(v);
        b.appendJob(c);
        b.setFileName(path("example.twk"));
        b.setModified(true);
        QVERIFY(SaveBatchFile(b));
        QVERIFY(!b.modified());
        const QByteArray expected = crlf({"Tarnwick#Nightly#{GUID}", "RunVelloran", "Set by Velloran",
                                          "/Scenarios/Dedupe.xml", "0", "", "", "X",
                                          "Velloran as last logged in", ";Copy /Data/*.csv", "",
                                          "/Backup/", "500", "", "", "", "Normal"});
        QCOMPARE(readBytes(path("example.twk")), expected);
    }

    // Every command through the writer and back, with the documented exceptions.
    void roundTrip() {
        TBatch b;
        QVector<TBatchJob> jobs;
        for (int i = 0; i < JobCommandCount; ++i) {
            TBatchJob j = job(TJobCommand(i), QString::fromUtf8("/f\xC3\xBC/%1 name").arg(i),
                              QString("param %1").arg(i));
            j.WorkingDir = QString("/work %1").arg(i);
            j.Max = "X";
            j.Wait = "X";
            j.Enabled = i % 2 == 0;
            jobs << j;
        }
        jobs[int(TJobCommand::Run)].Priority = "Idle";
        jobs[int(TJobCommand::RunVelloran)].Instance = "Prod EU";
        jobs[int(TJobCommand::RunVelloran)].Priority = "High";
        jobs[int(TJobCommand::Remark)].Color = 255;
        jobs << job(TJobCommand::Run, "") << job(TJobCommand::RunVelloran, "x");
        b.setJobs(jobs);
        b.setFileName(path("rt"));
        QVERIFY(SaveBatchFile(b));
        QCOMPARE(b.fileName(), path("rt.twk"));
        QCOMPARE(b.job(11).FileName, NewItemFileName); // written back into the batch too

        TBatch r;
        r.setFileName(b.fileName());
        QCOMPARE(LoadBatchFile(r), 0);
        QCOMPARE(r.count(), b.count());
        for (int i = 0; i < b.count(); ++i) {
            TBatchJob want = b.job(i);
            switch (want.Command) {
            case TJobCommand::RunVelloran:
                want.FileName = VelloranFileName;
                want.Priority = NormalPriority;
                if (want.Instance.isEmpty())
                    want.Instance = LastLoggedInInstance;
                break;
            case TJobCommand::Remark:
                want.FileName.clear();
                want.Priority.clear();
                want.Delay.clear();
                break;
            default:
                break;
            }
            QCOMPARE(r.job(i), want);
        }
    }

    void extensionRule_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("written");
        QTest::newRow("no extension") << "nightly" << "nightly.twk";
        QTest::newRow("upper case extension") << "A.TWK" << "A.TWK";
        QTest::newRow("other extension") << "b.txt" << "b.txt.twk";
        QTest::newRow("dot in folder only") << "d.x/nightly" << "d.x/nightly.twk";
    }
    void extensionRule() {
        QFETCH(QString, name);
        QFETCH(QString, written);
        QDir().mkpath(path("d.x"));
        int captions = 0;
        batchFileHooks().updateFormCaption = [&] { ++captions; };
        TBatch b;
        b.setFileName(path(name));
        QVERIFY(SaveBatchFile(b));
        QCOMPARE(b.fileName(), path(written));
        QCOMPARE(captions, name == written ? 0 : 1);
        QVERIFY(QFileInfo(path(written)).isFile());
    }

    void lineBreakInFieldStaysOneRecord() {
        TBatch b;
        b.appendJob(job(TJobCommand::TextToClipboard, "line one\r\nline two\nthree\rfour", "a\nb"));
        b.appendJob(job(TJobCommand::Copy, "/a", "/b"));
        b.setFileName(path("breaks.twk"));
        QVERIFY(SaveBatchFile(b));
        TBatch r;
        r.setFileName(b.fileName());
        QCOMPARE(LoadBatchFile(r), 0);
        QCOMPARE(r.count(), 2);
        QCOMPARE(r.job(0).FileName, QString("line one line two three four"));
        QCOMPARE(r.job(0).Parameter, QString("a b"));
        QCOMPARE(r.job(1).Command, TJobCommand::Copy);
        QCOMPARE(r.job(1).Parameter, QString("/b"));
    }

    void failedSaveLeavesOldFile_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("folder is a regular file") << "notdir";
        QTest::newRow("disk full") << "full";
    }
    void failedSaveLeavesOldFile() {
        QFETCH(QString, how);
        QString target;
        QByteArray old;
        QString mountPoint;
        if (how == "notdir") {
            writeBytes(path("plainfile"), "x");
            target = path("plainfile/batch.twk");
        } else {
            if (geteuid() != 0)
                QSKIP("mounting a small tmpfs needs root");
            mountPoint = path("tiny");
            QDir().mkpath(mountPoint);
            if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", mountPoint}) != 0)
                QSKIP("could not mount a tmpfs here");
            target = mountPoint + "/batch.twk";
            old = crlf(QStringList{"Tarnwick 3.0"} + record("/bin/old"));
            writeBytes(target, old);
        }
        MessageRecorder rec;
        TBatch b;
        QVector<TBatchJob> jobs(5000, job(TJobCommand::Run, QString(40, 'x')));
        b.setJobs(jobs);
        b.setFileName(target);
        b.setModified(true);
        const bool saved = SaveBatchFile(b);
        const QByteArray after = how == "full" ? readBytes(target) : QByteArray();
        const QStringList leftovers =
            how == "full" ? QDir(mountPoint).entryList(QDir::Files | QDir::Hidden) : QStringList();
        if (!mountPoint.isEmpty())
            QProcess::execute("umount", {mountPoint});
        QVERIFY(!saved);
        QCOMPARE(rec.texts(), QStringList{ErrorText(3)});
        QVERIFY(b.modified());
        QCOMPARE(b.count(), 5000);
        if (how == "full") {
            QCOMPARE(after, old);
            QCOMPARE(leftovers, QStringList{"batch.twk"});
        }
    }

    void loadHooks_data() {
        QTest::addColumn<bool>("startingUp");
        QTest::addColumn<bool>("executeMode");
        QTest::addColumn<QString>("calls");
        QTest::newRow("editor") << false << false << "display,schedule,selection,refresh";
        QTest::newRow("starting up") << true << false << "schedule,selection,refresh";
        QTest::newRow("execute mode") << true << true << "schedule";
    }
    void loadHooks() {
        QFETCH(bool, startingUp);
        QFETCH(bool, executeMode);
        QFETCH(QString, calls);
        StartingUp = startingUp;
        ExecuteMode = executeMode;
        QStringList seen;
        BatchFileHooks &h = batchFileHooks();
        h.clearDisplay = [&] { seen << "display"; };
        h.clearScheduleState = [&] { seen << "schedule"; };
        h.clearSelection = [&] { seen << "selection"; };
        h.refreshScheduleState = [&] { seen << "refresh"; };
        TBatch b;
        QCOMPARE(load(b, crlf(QStringList{"Tarnwick 3.0"} + record("/bin/x"))), 0);
        QCOMPARE(seen.join(','), calls);
    }
};

QTEST_GUILESS_MAIN(TestBatchFile)
#include "tst_batchfile.moc"
