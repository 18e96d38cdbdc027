#include "execution/CopyUnit.h"

#include "execution/FileOps.h"
#include "execution/ProgressView.h"
#include "execution/RunLog.h"
#include "model/Globals.h"
#include "model/Helpers.h"
#include "model/Messages.h"
#include "platform/FileCopyKernel.h"
#include "platform/FileTree.h"
#include "settings/Config.h"

#include <QFileInfo>

TFileCopy *FileCopier = nullptr;

namespace {

void (*g_beep)() = nullptr;

QString folderPart(const QString &path) {
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

void SetCopyBeep(void (*beep)()) {
    g_beep = beep;
}

void TFileCopy::AddLog(const QString &line) {
    if (LogToList && LogList)
        LogList->append(line);
    if (ShowProgress && Memo)
        Memo->addMemoLine(line);
}

void TFileCopy::MemoMessage(const QString &line) {
    if (ShowProgress && Memo)
        Memo->addMemoLine(line);
}

void TFileCopy::CopyFiles() {
    if (Source.isEmpty()) {
        MemoMessage(QStringLiteral("I can't copy, Source File name missing"));
    } else if (Target.isEmpty()) {
        MemoMessage(QStringLiteral("I can't copy, Target File name missing"));
    } else if (!CopyItems(Source, Target)) {
        MemoMessage(QStringLiteral("Execution failed :") + Source + QStringLiteral(" -> ") +
                    Target);
    }
}

bool TFileCopy::CopyItems(const QString &source, const QString &target) {
    if (!source.contains(QLatin1Char('*'))) {
        const bool ok = CopyOneFile(source, target);
        AddLog(ok ? source + QStringLiteral(" ... copied.")
                  : QStringLiteral("failed to copy: ") + source);
        return ok;
    }
    const QString sourceFolder = folderPart(source);
    const QString targetFolder = folderPart(target);
    const QString mask = source.mid(sourceFolder.size());
    QList<FolderEntry> entries;
    ListFolder(sourceFolder, &entries);
    for (const FolderEntry &e : entries) {
        if (!MatchesFileMask(e.name, mask))
            continue;
        const QString item = sourceFolder + e.name;
        TraceStep(QStringLiteral("copy: ") + sourceFolder + QLatin1Char(';') + targetFolder +
                  QLatin1Char(';') + item);
        if (!QFileInfo(targetFolder).isDir())
            CreateDirPath(targetFolder);
        // Only a real folder is entered: a link to one is copied like a file, which
        // fails, so a link loop cannot keep the copy going.
        if (e.kind == EntryKind::Folder) {
            TraceStep(QStringLiteral("dir"));
            TraceStep(QStringLiteral("dir: ") + e.name);
            const QString subTarget = AddBackslash(targetFolder) + e.name;
            TraceStep(QStringLiteral("tFName: ") + subTarget);
            if (targetFolder.contains(sourceFolder)) {
                MemoMessage(QStringLiteral("ERROR : folder recursion, Can't copy !"));
                // Recorded as an outcome too, so the job is not judged a success.
                AddLog(QStringLiteral("failed to copy: ") + item);
                return false;
            }
            if (!QFileInfo(subTarget).isDir())
                CreateDirPath(subTarget);
            const QString subSource = item + QLatin1Char('/') + mask;
            TraceStep(QStringLiteral("executing ext:") + subSource);
            CopyItems(subSource, subTarget + QLatin1Char('/'));
            TraceStep(QStringLiteral("executed: ") + subSource);
            continue;
        }
        const QString targetFile = AddBackslash(targetFolder) + e.name;
        TraceStep(QStringLiteral("file, executing:") + item + QLatin1Char(';') + targetFile);
        const bool ok = CopyOneFile(item, targetFile);
        TraceStep(QStringLiteral("executed:") + item + QLatin1Char(';') + targetFile);
        if (!ok) {
            AddLog(QStringLiteral("failed to copy: ") + item);
            return false;
        }
        AddLog(item + QStringLiteral(" ... copied."));
    }
    return true;
}

bool TFileCopy::CopyOneFile(const QString &source, const QString &target) {
    TraceStep(QStringLiteral("exec item: ") + source + QLatin1Char(';') + target);
    if (source == target) {
        MemoMessage(QStringLiteral("Error! I can't copy ") + source + QStringLiteral(" on itself"));
        return false;
    }
    switch (CopyFileContents(source, target)) {
    case FileCopyResult::Copied:
        return true;
    case FileCopyResult::SourceUnreadable:
        if (g_beep)
            g_beep();
        MemoMessage(source + QStringLiteral(" missing or corrupted or opened for exclusive use"));
        return false;
    case FileCopyResult::TargetNotCreated:
        MemoMessage(QStringLiteral("Error on creating ") + target);
        return false;
    case FileCopyResult::ReadFailed:
        MemoMessage(QStringLiteral("Read error on ") + source + QStringLiteral(", copy failed."));
        return false;
    case FileCopyResult::WriteFailed:
        MemoMessage(QStringLiteral("Write error on ") + target + QStringLiteral(", copy failed."));
        return false;
    }
    return false;
}

void io_CopyFile(const QString &source, const QString &target, bool clearList) {
    TraceStep(QStringLiteral("io_CopyFile"));
    const QString folder = folderPart(target);
    if (!folder.isEmpty() && !QFileInfo(folder).isDir()) {
        ShowStatus(QStringLiteral("Creating Directory ") + folder + QStringLiteral("..."));
        CreateDirPath(folder);
        if (!QFileInfo(folder).isDir())
            ShowStatus(QStringLiteral("MakeDir error!"));
    }
    if (!FileCopier)
        return;
    FileCopier->LogToList = clearList;
    if (clearList && WorkList)
        WorkList->clear();
    IProgressView *form = ProgressForm();
    FileCopier->ShowProgress = Config.ShowMess && form;
    if (form)
        FileCopier->Memo = form;
    FileCopier->Source = source;
    FileCopier->Target = target;
    FileCopier->CopyFiles();
}
