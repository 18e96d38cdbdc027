#include "execution/Runner.h"

#include "execution/Dispatcher.h"
#include "execution/ProgressView.h"
#include "execution/RunLog.h"
#include "instances/InstanceList.h"
#include "model/BatchFile.h"
#include "model/Globals.h"
#include "model/Helpers.h"
#include "model/Messages.h"
#include "model/Placeholders.h"
#include "platform/Clock.h"
#include "settings/Config.h"

#include <QFileInfo>
#include <QLocale>

namespace {

std::function<void()> g_bringToFront;

void stepGauge(IProgressView *form) {
    if (Config.ShowProgress && form)
        form->setGaugeProgress(form->gaugeProgress() + 1);
}

// A log that cannot be written stops the run; the user must hear of it, or a
// scheduled batch would silently do nothing.
bool logBroken(RunOutcome &outcome) {
    if (RunLogError.isEmpty())
        return false;
    if (!outcome.logFailed) {
        outcome.logFailed = true;
        ShowErrorText(QStringLiteral("The execution log %1 could not be written: %2. The run was stopped.")
                          .arg(RunLogErrorFile, RunLogError));
    }
    return true;
}

} // namespace

void SetBringToFrontHandler(std::function<void()> handler) { g_bringToFront = std::move(handler); }

QString RunLogName(const QString &batchPath, const QDateTime &when) {
    QString name = QStringLiteral("unknown");
    if (!batchPath.isEmpty()) {
        name = batchPath.mid(batchPath.lastIndexOf(QLatin1Char('/')) + 1);
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0)
            name.truncate(dot);
    }
    const QDate d = when.date();
    const QTime t = when.time();
    return name + QStringLiteral("Log_") + QLocale::system().monthName(d.month(), QLocale::ShortFormat) +
           QStringLiteral("%1%2_%3%4%5.txt")
               .arg(d.day(), 2, 10, QLatin1Char('0'))
               .arg(d.year(), 4, 10, QLatin1Char('0'))
               .arg(t.hour(), 2, 10, QLatin1Char('0'))
               .arg(t.minute(), 2, 10, QLatin1Char('0'))
               .arg(t.second(), 2, 10, QLatin1Char('0'));
}

QString CompletedText(qint64 elapsedMs) {
    qint64 secs = (elapsedMs < 0 ? 0 : elapsedMs / 1000) % 86400;
    const qint64 h = secs / 3600;
    const qint64 m = (secs / 60) % 60;
    qint64 s = secs % 60;
    if (h == 0 && m == 0 && s == 0)
        s = 1;
    return QStringLiteral("Batch completed in %1 hours %2 minutes %3 seconds.").arg(h).arg(m).arg(s);
}

void StartRunLog(const TBatch &batch) {
    RunLogFile = LogDir + RunLogName(batch.fileName(), CurrentDateTime());
    RunLogError.clear();
    QString error;
    if (!log_Create(QStringLiteral("Tarnwick log for file ") + batch.fileName(), &error)) {
        RunLogError = error;
        RunLogErrorFile = RunLogFile;
        return;
    }
    RunLogActive = true;
}

void StopRunLog() {
    RunLogActive = false;
    RunLogFile.clear();
}

RunOutcome Execute(TBatch &batch, const QString &batchPath, bool selectedOnly,
                   const QVector<int> &selection) {
    RunOutcome outcome;
    TraceStep(QStringLiteral("Execute"));
    RunLogError.clear();
    if (!batchPath.isEmpty()) {
        batch.setFileName(batchPath);
        LoadBatchFile(batch);
        if (batch.fileName().isEmpty()) {
            outcome.loaded = false;
            outcome.allSucceeded = false;
            return outcome;
        }
    }
    TraceStep(QStringLiteral("Batchfile: ") + batch.fileName());
    int count = batch.count();
    BatchCancelled = false;

    IProgressView *form = ProgressForm();
    if (Config.ShowProgress) {
        if (!form) {
            form = CreateProgressForm();
            if (form)
                form->showWindow();
        } else if (form->isShown()) {
            form->bringToFront();
        } else {
            form->showWindow();
        }
        if (form) {
            form->repaintNow();
            ProcessMessages();
            form->setGaugeMax(count);
            form->setGaugeProgress(0);
        }
    }

    const int runnable = batch.ItemsCheckedCount(selectedOnly, selection);
    if (runnable == 0) {
        ShowStatus(QStringLiteral(
            "No jobs enabled for execution. Jobs must be checked in the Tarnwick interface to run."));
        TraceStep(QStringLiteral("No jobs, setting count to 0"));
        count = 0;
    }
    auto stopped = [&] {
        TraceStep(QStringLiteral("+Execute"));
        outcome.allSucceeded = false;
        StopRunLog();
        return outcome;
    };
    if (!selectedOnly) {
        StartRunLog(batch);
        if (logBroken(outcome))
            return stopped();
    }
    ShowStatus(QStringLiteral("Batch Job Commenced"));
    if (logBroken(outcome))
        return stopped();
    const QDateTime start = CurrentDateTime();
    TraceStep(QStringLiteral("ItemsCheckedCount: ") + QString::number(runnable));

    for (int row = 0; row < count; ++row) {
        ProcessMessages();
        if (row >= batch.count())
            break; // rows removed while the run went on
        const TBatchJob job = batch.job(row);
        if (!job.Enabled || (selectedOnly && !selection.contains(row))) {
            stepGauge(form);
            continue;
        }
        const int delay = JobDelayMs(job);
        if (BatchCancelled)
            break;
        if (delay > 0) {
            ShowStatus(QStringLiteral("Halting execution for ") + job.Delay + QStringLiteral(" msec..."));
            if (logBroken(outcome))
                return stopped();
            WaitWithMessages(delay);
        }
        if (BatchCancelled)
            break;
        const QString instance = InstancePathOf(job.Instance);
        const QString parameter = ExpandPlaceholders(job.Parameter);
        const QString workingDir = ExpandPlaceholders(job.WorkingDir);
        const QString fileName = ExpandPlaceholders(job.FileName);
        if (!io_launchitem(job.Command, fileName, workingDir, parameter, job.Priority, FlagOn(job.Max),
                           FlagOn(job.Min), FlagOn(job.Wait), instance))
            outcome.allSucceeded = false;
        if (logBroken(outcome))
            return stopped();
        if (BatchCancelled)
            break;
        stepGauge(form);
    }
    const bool cancelled = BatchCancelled;

    form = ProgressForm();
    if (form)
        form->raiseTopmost();
    if (batchPath.isEmpty() && g_bringToFront)
        g_bringToFront();
    if (form)
        form->setButtonCaption(QStringLiteral("Close"));
    ++Config.Count;

    if (count <= 0) {
        ShowStatus(QStringLiteral("No jobs found, batch file empty !?"));
    } else {
        const qint64 elapsed = start.msecsTo(CurrentDateTime());
        ShowStatus(QString());
        ShowStatus(CompletedText(elapsed));
        if (!RunLogFile.isEmpty())
            ShowStatus(QStringLiteral("Tarnwick results have been logged to ") + RunLogFile);
        ShowStatus(QStringLiteral("Please check the Velloran log files for the results of Velloran jobs."));
    }
    if (logBroken(outcome))
        return stopped();
    if (!selectedOnly)
        StopRunLog();

    if (form && ((!batchPath.isEmpty() && outcome.allSucceeded && Config.ShowProgress) || !Config.ShowMess)) {
        form->hideWindow();
        WaitWithMessages(300);
        form->closeWindow();
    }
    outcome.finished = !cancelled;
    TraceStep(QStringLiteral("+Execute"));
    return outcome;
}

namespace {
RunOutcome forcedRun(TBatch &batch, bool selectedOnly, const QVector<int> &selection) {
    const bool showProgress = Config.ShowProgress;
    const bool showMess = Config.ShowMess;
    Config.ShowProgress = true;
    Config.ShowMess = true;
    const RunOutcome outcome = Execute(batch, QString(), selectedOnly, selection);
    Config.ShowProgress = showProgress;
    Config.ShowMess = showMess;
    return outcome;
}
} // namespace

RunOutcome file_executeClick(TBatch &batch) {
    TraceStep(QStringLiteral("file_executeClick"));
    const RunOutcome outcome = forcedRun(batch, false, {});
    TraceStep(QStringLiteral("+file_executeClick"));
    return outcome;
}

RunOutcome edit_startitemClick(TBatch &batch, const QVector<int> &selection) {
    TraceStep(QStringLiteral("edit_startClick"));
    const RunOutcome outcome = forcedRun(batch, true, selection);
    TraceStep(QStringLiteral("+edit_startClick"));
    return outcome;
}
