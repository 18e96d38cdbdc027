#include "platform/Clock.h"

#include <ctime>
#include <time.h>

uint32_t TickCount() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint32_t(uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u);
}

void SleepMs(int ms) {
    if (ms <= 0)
        return;
    timespec ts{ms / 1000, long(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0) {
    }
}

namespace {
DateTimeSource g_source = nullptr;
}

QDateTime CurrentDateTime() { return g_source ? g_source() : QDateTime::currentDateTime(); }

void SetDateTimeSource(DateTimeSource source) { g_source = source; }
