// The tick timer: how often something happens, in hundredths per second,
// from the device's millisecond tick count.
#pragma once
#include <cstdint>

class TickTimer {
  public:
    TickTimer();
    virtual ~TickTimer() = default;

    uint32_t startTick;
    uint32_t lastTick;
    int32_t countdown;
    int32_t rate = 0;
};

void TickTimerReset(TickTimer* timer);
// count events since the last measurement, as hundredths per second; 0 when
// no time has passed.
int32_t TickTimerMeasure(TickTimer* timer, int32_t count);
// Measures every count calls and holds the rate in between.
int32_t TickTimerRate(TickTimer* timer, int32_t count);
