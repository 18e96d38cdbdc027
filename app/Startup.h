#pragma once

#include <QString>
#include <QStringList>

class QApplication;

// Exit statuses of the program, for scripts and schedulers.
enum ExitStatus {
    ExitSuccess = 0,  // editor closed, or every job of the batch succeeded
    ExitJobFailed = 1, // a job failed or the run could not finish
    ExitNotRun = 2,    // batch file missing or unreadable, or start-up refused to run
};

// What the command line asks for. Files are tested on disk; nothing is shown.
struct CommandLineRequest {
    bool executeMode = false;
    bool editMode = false;
    QString batchFile;
    bool batchNotFound = false; // "-execute"/"-edit" with no existing file after it
};
CommandLineRequest ParseCommandLine(const QStringList &args);

// Before the application object exists: without any display, run on the offscreen
// platform so that execute mode still works.
void ChooseQtPlatform();

// The start-up sequence and one of the two roads; returns the exit status.
// args are the arguments after the program name.
int RunTarnwick(QApplication &app, const QStringList &args);
