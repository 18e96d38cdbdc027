#pragma once

class TBatch;

// Forgets the open batch's scheduled task (its name is also the file's header).
void ClearScheduleState(TBatch &batch);
