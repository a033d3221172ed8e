// The quantities a triangle carries from its vertices down its edges and
// across its spans: x, intensity, u and v, as "lanes" of one small record.
// The edge walkers and span fillers are templates over the set of lanes they
// carry, so one loop serves every filler and the lanes a filler does not use
// cost nothing.
#pragma once
#include "render/renderer.h"
#include "render/step_divisor.h"

#include <cstdint>
#include <type_traits>

enum CarryLane : unsigned {
    kLaneX = 1,
    kLaneIntensity = 2,
    kLaneU = 4,
    kLaneV = 8,
};

// Lane k is stored in this field of an edge entry.
constexpr Fixed EdgeEntry::*kEdgeFields[4] = {&EdgeEntry::x, &EdgeEntry::intensity, &EdgeEntry::u,
                                              &EdgeEntry::v};

// Texture coordinates become texel units by a shift that may move bits through
// the sign; done on the unsigned pattern, it wraps as the device's shift does.
inline Fixed ShiftLeft(Fixed value, unsigned shift) {
    return static_cast<Fixed>(static_cast<uint32_t>(value) << shift);
}

// An edge-walk or span quantity starts at one end's value and steps toward the
// other's by (end - start) / n, truncated toward zero; rows and columns then
// advance by addition only. The lanes are expanded at compile time, so the
// carried values live in registers and unused lanes do not exist.
template <unsigned kLanes>
struct Carried {
    Fixed value[4] = {};
    Fixed step[4] = {};

    static constexpr bool Has(int lane) { return ((kLanes >> lane) & 1u) != 0; }

    template <class Action>
    static void ForEachLane(Action&& action) {
        if constexpr (Has(0)) action(std::integral_constant<int, 0>{});
        if constexpr (Has(1)) action(std::integral_constant<int, 1>{});
        if constexpr (Has(2)) action(std::integral_constant<int, 2>{});
        if constexpr (Has(3)) action(std::integral_constant<int, 3>{});
    }

    // n > 0.
    void Start(const Fixed* from, const Fixed* to, int32_t n) {
        const StepDivisor divisor(n);
        ForEachLane([&](auto k) {
            value[k] = from[k];
            step[k] = divisor.Quotient(to[k] - from[k]);
        });
    }
    // Moves every value on by count steps, as count additions would.
    void Skip(int32_t count) {
        ForEachLane([&](auto k) { value[k] += count * step[k]; });
    }
    void Next() {
        ForEachLane([&](auto k) { value[k] += step[k]; });
    }
    void Store(EdgeEntry* entry) const {
        ForEachLane([&](auto k) { entry->*kEdgeFields[k] = value[k]; });
    }
};
