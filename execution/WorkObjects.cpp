#include "execution/WorkObjects.h"

#include "execution/CopyUnit.h"
#include "model/Globals.h"
#include "model/Messages.h"
#include "platform/Clipboard.h"
#include "settings/Config.h"

#include <new>

TClipboardAccess *ClipboardAccess = nullptr;

bool data_GetMem() {
    TraceStep(QStringLiteral("data_GetMem"));
    try {
        WorkList = new QStringList;
        InstancePaths = new QStringList;
        InstanceColors = new QStringList;
        FileCopier = new TFileCopy;
    } catch (const std::bad_alloc &) {
        ShowPlainMessage(QStringLiteral("Critical Error #1!"));
        return false;
    }
    FileCopier->LogList = WorkList;
    Config.Modified = false;
    Config.Filling = false;
    ClipboardAccess = new TClipboardAccess;
    return true;
}

void data_FreeMem() {
    delete WorkList;
    WorkList = nullptr;
    delete InstancePaths;
    InstancePaths = nullptr;
    delete InstanceColors;
    InstanceColors = nullptr;
    delete FileCopier;
    FileCopier = nullptr;
    delete ClipboardAccess;
    ClipboardAccess = nullptr;
}
