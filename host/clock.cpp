#include "host/clock.h"

#include <chrono>
#include <ctime>

namespace host {
namespace {

enum class Mode { Real, Fixed, Stepping };

Mode timeMode = Mode::Real;
SystemTime fixedTime{};
uint64_t steppingMs = 0; // milliseconds since midnight of the stepping clock
uint32_t stepMs = 0;

bool tickFixed = false;
uint32_t fixedTicks = 0;
const auto deviceBoot = std::chrono::steady_clock::now();
auto deviceStart = deviceBoot;
uint32_t startTicks = 0; // the real count's value at deviceStart

void FromDayMilliseconds(uint64_t ms, SystemTime* out) {
    const uint64_t dayMs = ms % (24ull * 3600 * 1000);
    out->hour = static_cast<uint16_t>(dayMs / 3600000);
    out->minute = static_cast<uint16_t>(dayMs / 60000 % 60);
    out->second = static_cast<uint16_t>(dayMs / 1000 % 60);
    out->milliseconds = static_cast<uint16_t>(dayMs % 1000);
}

} // namespace

void GetLocalTime(SystemTime* out) {
    switch (timeMode) {
    case Mode::Fixed:
        *out = fixedTime;
        return;
    case Mode::Stepping:
        *out = fixedTime;
        FromDayMilliseconds(steppingMs, out);
        steppingMs += stepMs;
        return;
    case Mode::Real:
        break;
    }
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    out->year = static_cast<uint16_t>(local.tm_year + 1900);
    out->month = static_cast<uint16_t>(local.tm_mon + 1);
    out->dayOfWeek = static_cast<uint16_t>(local.tm_wday);
    out->day = static_cast<uint16_t>(local.tm_mday);
    out->hour = static_cast<uint16_t>(local.tm_hour);
    out->minute = static_cast<uint16_t>(local.tm_min);
    out->second = static_cast<uint16_t>(local.tm_sec);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    out->milliseconds = static_cast<uint16_t>(ms % 1000);
}

uint32_t GetTickCount() {
    if (tickFixed) return fixedTicks;
    const auto elapsed = std::chrono::steady_clock::now() - deviceStart;
    // The count wraps past 2^32 like the device's 32-bit counter.
    return startTicks + static_cast<uint32_t>(
                            std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void SetLocalTimeReal() {
    timeMode = Mode::Real;
}

void SetLocalTimeFixed(const SystemTime& time) {
    timeMode = Mode::Fixed;
    fixedTime = time;
}

void SetLocalTimeStepping(const SystemTime& start, uint32_t millisecondsPerReading) {
    timeMode = Mode::Stepping;
    fixedTime = start;
    steppingMs =
        ((start.hour * 60ull + start.minute) * 60 + start.second) * 1000 + start.milliseconds;
    stepMs = millisecondsPerReading;
}

void SetTickCountReal() {
    tickFixed = false;
    deviceStart = deviceBoot;
    startTicks = 0;
}

void SetTickCountStart(uint32_t ticks) {
    tickFixed = false;
    deviceStart = std::chrono::steady_clock::now();
    startTicks = ticks;
}

void SetTickCountFixed(uint32_t ticks) {
    tickFixed = true;
    fixedTicks = ticks;
}

void AdvanceTickCount(uint32_t milliseconds) {
    if (!tickFixed) {
        tickFixed = true;
        fixedTicks = GetTickCount();
    }
    fixedTicks += milliseconds;
}

} // namespace host
