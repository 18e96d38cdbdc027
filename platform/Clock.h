#pragma once

#include <QDateTime>
#include <cstdint>

// Millisecond tick count of a monotonic clock; wraps like a 32-bit counter,
// so differences must be taken unsigned.
uint32_t TickCount();
void SleepMs(int ms);

// The current local date and time; tests may replace it.
QDateTime CurrentDateTime();
using DateTimeSource = QDateTime (*)();
void SetDateTimeSource(DateTimeSource source); // nullptr restores the real clock
