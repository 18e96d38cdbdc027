#include "scheduling/ScheduleState.h"

#include "model/Batch.h"

void ClearScheduleState(TBatch &batch) { batch.setTaskName(QString()); }
