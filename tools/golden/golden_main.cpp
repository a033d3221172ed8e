// kq3d-golden: prints the golden digests, one table entry a line, in the form
// tests/tools/golden_frames_test.cpp keeps them.
//
//   kq3d-golden [clock] [renderer] [presenter]     (all three by default)
#include "golden_frames.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    const struct {
        const char* name;
        std::vector<GoldenDigest> (*digests)();
    } sets[] = {{"clock", ClockGoldenDigests},
                {"renderer", RendererGoldenDigests},
                {"presenter", PresenterGoldenDigests}};
    for (int i = 1; i < argc; ++i) {
        bool known = false;
        for (const auto& set : sets)
            known = known || std::strcmp(argv[i], set.name) == 0;
        if (!known) {
            std::fprintf(stderr, "kq3d-golden: unknown set %s (clock, renderer, presenter)\n",
                         argv[i]);
            return 2;
        }
    }
    for (const auto& set : sets) {
        bool wanted = argc == 1;
        for (int i = 1; i < argc; ++i)
            wanted = wanted || std::strcmp(argv[i], set.name) == 0;
        if (!wanted) continue;
        for (const GoldenDigest& digest : set.digests())
            std::printf("    {\"%s\", 0x%016" PRIx64 "u},\n", digest.name.c_str(), digest.digest);
    }
    return 0;
}
