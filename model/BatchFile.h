#pragma once

#include "model/Batch.h"

#include <QStringList>
#include <functional>

// What loading and saving ask of the editor and the scheduler. Unset hooks do nothing,
// so the reader and writer also work in execute mode and in tests.
struct BatchFileHooks {
    std::function<void()> clearDisplay;         // reset the job panel
    std::function<void()> clearScheduleState;   // forget the previous batch's task
    std::function<void()> clearSelection;       // after a load with jobs, editor only
    std::function<void()> refreshScheduleState; // after a load, editor only
    std::function<void(const QString &)> addRecentFile;
    std::function<void()> updateCommandStates;
    std::function<void()> updateFormCaption;
};
BatchFileHooks &batchFileHooks();

inline const QString DefaultBatchHeader = QStringLiteral("Tarnwick 3.0");
inline const QString BatchExtension = QStringLiteral(".twk");

// Removes blanks and control characters (<= U+0020) at both ends.
QString TrimBlanks(const QString &text);

// The eight-line records of a batch, without touching any file.
QStringList BatchToLines(TBatch &batch); // sets empty Run file names to "New Item"
void LinesToJobs(const QStringList &lines, QVector<TBatchJob> &jobs);
// The task name a header line gives, empty when none.
QString TaskNameFromHeader(const QString &header);

// Loads the file named by batch.fileName(). On failure shows error 1 or 2, clears the
// file name and leaves the jobs as they were. Returns the error code, 0 on success.
int LoadBatchFile(TBatch &batch);

// Saves to batch.fileName() (".twk" appended when missing). On failure shows error 3
// and leaves the old file untouched. Returns false on failure or without a file name.
bool SaveBatchFile(TBatch &batch);
