// The device's clocks: the local time of day and a 32-bit millisecond tick
// count that wraps. Both can be fixed or moved by the device shell and tests.
#pragma once
#include <cstdint>

namespace host {

struct SystemTime {
    uint16_t year;
    uint16_t month;
    uint16_t dayOfWeek;
    uint16_t day;
    uint16_t hour; // 0..23
    uint16_t minute;
    uint16_t second;
    uint16_t milliseconds;
};

void GetLocalTime(SystemTime* out);
uint32_t GetTickCount();

// Local time: the real one, or one that stands still at a value, or one that
// moves forward by a step at every reading (soak runs across midnight).
void SetLocalTimeReal();
void SetLocalTimeFixed(const SystemTime& time);
void SetLocalTimeStepping(const SystemTime& start, uint32_t millisecondsPerReading);

// Tick count: the real one (milliseconds since the device started), or one
// that stands at a value and moves only when told to.
void SetTickCountReal();
void SetTickCountFixed(uint32_t ticks);
// Real time again, but counted from `ticks` on (long runs that pass the wrap
// of the 32-bit count without waiting 49 days for it).
void SetTickCountStart(uint32_t ticks);
void AdvanceTickCount(uint32_t milliseconds);

} // namespace host
