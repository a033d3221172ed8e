// Under triangle set-up and span fill, the quantities they carry: x,
// intensity, u and v, as "lanes" of one small record. A quantity starts at
// one end's value and steps toward the other's by (end - start) / n,
// truncated toward zero; rows and columns then advance by addition only.
// Each filler names the lanes it carries once (Carrying, below); its edges
// carry x besides.
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

// Where lane k comes from: at a vertex, x, its intensity (the colour's low
// byte as a Fixed), u and v; in an edge entry, the field of the same name.
inline void VertexLanes(const ScreenVertex* vertex, Fixed* lanes) {
    lanes[0] = vertex->x;
    lanes[1] = static_cast<Fixed>((vertex->color & 0xFFu) << 16);
    lanes[2] = vertex->u;
    lanes[3] = vertex->v;
}
constexpr Fixed EdgeEntry::*kEdgeFields[4] = {&EdgeEntry::x, &EdgeEntry::intensity, &EdgeEntry::u,
                                              &EdgeEntry::v};
inline void EntryLanes(const EdgeEntry& entry, Fixed* lanes) {
    for (int k = 0; k < 4; ++k)
        lanes[k] = entry.*kEdgeFields[k];
}

// The values of the lanes in kLanes and their steps. The lanes are expanded
// at compile time, so the carried values live in registers and unused lanes
// do not exist: they are neither set nor copied.
template <unsigned kLanes>
struct Carried {
    Fixed value[4];
    Fixed step[4];

    Carried() = default;
    Carried(const Carried& other) { *this = other; }
    Carried& operator=(const Carried& other) {
        ForEachLane([&](auto k) {
            value[k] = other.value[k];
            step[k] = other.step[k];
        });
        return *this;
    }

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

// What a filler carries besides x, declared once for its edges and its
// spans: the edge walk carries Edge (x and the lanes) from vertex to vertex,
// the span fill carries Span (the lanes) from the left end of a row to the
// right end. SpanUnits turns lanes as edges carry them into lanes as the
// filler's spans take them: by default they are the same; a filler may scale
// a lane by a power of two (a left shift, done on the unsigned pattern). A
// left shift is a multiply modulo 2^32, so an edge whose start and step are
// shifted once carries at every row the shifted value of the plain edge
// there. A filler may bring its own records in place of Edge and Span
// (Start, Skip, Next and Store for an edge; Start, Skip and what its pixel
// loop reads for a span).
template <unsigned kLanes>
struct Carrying {
    static constexpr unsigned kSpanLanes = kLanes;
    // Whether the filler has its own span for rows inside the frame.
    static constexpr bool kRunsInside = false;
    using Edge = Carried<kLaneX | kLanes>;
    using Span = Carried<kLanes>;
    static void SpanUnits(Fixed*) {}
    static void Recolor(uint32_t) {}
};
