#pragma once

#include "model/Batch.h"

#include <QString>
#include <QVector>
#include <functional>

// What one run came to; execute mode turns it into the exit status.
struct RunOutcome {
    bool loaded = true;       // false: the batch file could not be loaded, nothing ran
    bool finished = false;    // the run reached its summary (not cancelled, log intact)
    bool allSucceeded = true; // no job failed
    bool logFailed = false;   // the execution log could not be created or written
};

// The batch runner: walks the batch's jobs in order, each read when it is reached.
// An empty batchPath runs the batch as it stands; otherwise the file is loaded first.
// selectedOnly restricts the run to the rows in `selection` and writes no log.
RunOutcome Execute(TBatch &batch, const QString &batchPath, bool selectedOnly,
                   const QVector<int> &selection = {});

// The editor's two commands: both force the progress window and its messages on
// for the run (in memory only).
RunOutcome file_executeClick(TBatch &batch);
RunOutcome edit_startitemClick(TBatch &batch, const QVector<int> &selection);

// Brings the application's windows to the front after an interactive run.
void SetBringToFrontHandler(std::function<void()> handler);

void StartRunLog(const TBatch &batch);
void StopRunLog();

// The log file name for a batch started at `when`: name part, "Log_",
// "mmmddyyyy_hhmmss" with the system's abbreviated month name, ".txt".
QString RunLogName(const QString &batchPath, const QDateTime &when);
// The summary line for an elapsed time (milliseconds dropped, never 0 seconds,
// whole days left out).
QString CompletedText(qint64 elapsedMs);
