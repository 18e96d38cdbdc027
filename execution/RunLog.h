#pragma once

#include <QString>

// The execution log of the current full run, and the status messages of every run.

extern QString RunLogFile; // empty when there is none
extern bool RunLogActive;  // ShowStatus appends to RunLogFile while set
// Why the log could not be created or written, and which file; empty while it works.
// Logging stops at the first failure; the runner ends the run when it sees it.
extern QString RunLogError;
extern QString RunLogErrorFile;

// Reports one step of a run: trace, log (while active) and the progress memo
// (when the window exists and ShowMess is on). A message may span several lines.
void ShowStatus(const QString &message);

// Both do nothing when RunLogFile is empty. They open and close the file for every
// line, so the log is complete on disk after each. On failure they return false
// with the reason in *error.
bool log_Create(const QString &line, QString *error = nullptr);
bool log_Append(const QString &line, QString *error = nullptr);

// "date time" in the system's short date and long time formats.
QString LogTimestamp();
