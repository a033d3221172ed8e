// What the processor offers beyond what the build assumes of every processor
// it runs on. Routines built for a wider instruction set (the vertex stage's
// SSE4.1 multiplies, the textured rows' AVX encoding) are chosen at start-up
// where the answer is yes; where the compiler cannot build them (32-bit ARM,
// the web page, other compilers) it is always no.
#pragma once

enum class ProcessorFeature {
    kSse41,
    kAvx,
    kAvx2,
    kBmi2,
};

bool ProcessorHas(ProcessorFeature feature);
