#pragma once

#include <QString>
#include <QStringList>

class IProgressView;

// The copy engine behind "Copy" jobs. Outcome lines (" ... copied.", "failed to copy: ")
// go to LogList; detail lines go to the progress window's memo only.
class TFileCopy {
public:
    QString Source; // a file, or a path whose last part holds "*" wildcards
    QString Target; // a file, or a folder ending with "/"
    IProgressView *Memo = nullptr;
    QStringList *LogList = nullptr;
    bool ShowProgress = false; // only ever on together with a Memo
    bool LogToList = false;

    // Copies Source to Target.
    void CopyFiles();
    // Copies one file, or every entry matching a pattern, folders recursively.
    bool CopyItems(const QString &source, const QString &target);
    // Copies one file to one file path.
    bool CopyOneFile(const QString &source, const QString &target);
    // An outcome line: to LogList and the memo.
    void AddLog(const QString &line);
    // A detail line: to the memo only.
    void MemoMessage(const QString &line);
};

// Created by data_GetMem with WorkList as its LogList.
extern TFileCopy *FileCopier;

// Copies source to target with FileCopier, creating the target's folder when missing;
// clearList makes it record its outcome in WorkList, cleared first.
void io_CopyFile(const QString &source, const QString &target, bool clearList);

// Called where a source cannot be opened; the interface installs the system's beep.
void SetCopyBeep(void (*beep)());
