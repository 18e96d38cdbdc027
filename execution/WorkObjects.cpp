#include "execution/WorkObjects.h"

#include "model/Globals.h"
#include "model/Messages.h"

#include <new>

bool data_GetMem() {
    TraceStep(QStringLiteral("data_GetMem"));
    try {
        WorkList = new QStringList;
        InstancePaths = new QStringList;
        InstanceColors = new QStringList;
    } catch (const std::bad_alloc &) {
        ShowPlainMessage(QStringLiteral("Critical Error #1!"));
        return false;
    }
    return true;
}

void data_FreeMem() {
    delete WorkList;
    WorkList = nullptr;
    delete InstancePaths;
    InstancePaths = nullptr;
    delete InstanceColors;
    InstanceColors = nullptr;
}
