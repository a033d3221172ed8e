#include "platform/tick_timer.h"

#include "host/clock.h"

TickTimer::TickTimer() {
    TickTimerReset(this);
}

void TickTimerReset(TickTimer* timer) {
    timer->startTick = host::GetTickCount();
    timer->lastTick = timer->startTick;
    timer->countdown = 0;
}

int32_t TickTimerMeasure(TickTimer* timer, int32_t count) {
    const uint32_t now = host::GetTickCount();
    // The difference is taken in 32 bits, so a wrap of the count between two
    // measurements still gives the time that passed.
    const uint32_t elapsed = now - timer->lastTick;
    timer->lastTick = now;
    if (elapsed == 0) return 0;
    const int32_t events = count * 100000;
    const int32_t divisor = static_cast<int32_t>(elapsed);
    // Over 2^31 ms the interval reads negative, as a signed division takes it;
    // only its one quotient that overflows (by -1) is formed without dividing.
    if (divisor == -1) return -events;
    return events / divisor;
}

int32_t TickTimerRate(TickTimer* timer, int32_t count) {
    if (--timer->countdown <= 0) {
        timer->rate = TickTimerMeasure(timer, count);
        timer->countdown = count;
    }
    return timer->rate;
}
