#pragma once

#include <QString>

// Empty stays empty; otherwise exactly one "/" at the end.
QString AddBackslash(const QString &path);
// Creates a folder and its missing parents; failures are left for the caller to notice.
void CreateDirPath(const QString &path);
// Waits while keeping the interface responsive; returns early on BatchCancelled.
void WaitWithMessages(int ms);
// Processes pending events of the interface, if there is an event loop to serve.
void ProcessMessages();
