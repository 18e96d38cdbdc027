#pragma once

#include "model/Job.h"

#include <QString>
#include <functional>

// Carries out one job whose fields the runner has prepared; reports through
// ShowStatus and answers whether the job succeeded.
bool io_launchitem(TJobCommand command, const QString &fileName, const QString &workingDir,
                   const QString &parameter, const QString &priority, bool maximised,
                   bool minimised, bool wait, const QString &instance);

// The two operations that can delete widely. Tests replace them with recorders.
struct DispatcherDeletes {
    std::function<bool(const QString &)> deleteFiles; // io_DeleteFiles
    std::function<bool(const QString &)> deleteTree;  // folder without trailing "/"
};
DispatcherDeletes &dispatcherDeletes();
void ResetDispatcherDeletes();

// True for a Delete pattern of every file in the filesystem root ("/*", "/*.*").
bool IsRootFilePattern(const QString &path);
// True for a folder that names the root however it is spelled ("/", "//", "/.", "/tmp/..").
bool NamesRootFolder(const QString &path);
// The name End Process and Kill Process look for: the part after the last "/"
// when the folder part names an existing folder, else the text as it is.
QString ProcessNameOf(const QString &fileName);
