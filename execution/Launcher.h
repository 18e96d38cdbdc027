#pragma once

#include <QString>

// Starts a program or opens a document for the Run and Run Velloran jobs and for
// editing a scenario.
//
// fileName: a program (a name without "/" is looked up on PATH; a path to an executable
// regular file is used whole, blanks and all) or else a document, opened with the
// desktop's default application. workingDir: the new process's folder, empty to inherit
// Tarnwick's. parameter: the program's arguments, split as a Windows command line is
// (double quotes group); documents get none. priority: "Normal", "Idle", "High" or
// "RealTime", compared exactly, anything else is Normal; it never makes a start fail and is
// not used for documents. maximised / minimised: the state the program's first window gets
// where a window manager runs (maximised wins). wait: wait for the end of the process,
// in a local event loop, leaving early when BatchCancelled or AppClosing is set.
//
// The started program belongs to the user: it runs in a session of its own, keeps running
// when the wait is broken off and after Tarnwick ends, and is never ended by Tarnwick.
//
// Result: -1 when nothing was started (missing or empty file name, a name with arguments
// typed into it, a program that cannot be executed, no application for a document, a
// failed launch) and for a waited document whose wait was broken off; otherwise the exit
// status of an awaited process, 128 + n for one ended by signal n, and 259 when the process
// was not awaited or the wait of a program was broken off.
int io_RunFile(const QString &fileName, const QString &workingDir, const QString &parameter,
               const QString &priority, bool maximised, bool minimised, bool wait);
