// The processor's features, as the compiler's run-time check reads them.
#include "platform/processor.h"

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__)) &&     \
    !defined(__EMSCRIPTEN__)

bool ProcessorHas(ProcessorFeature feature) {
    // Asked while statics are made: the features may not have been read yet.
    __builtin_cpu_init();
    switch (feature) {
    case ProcessorFeature::kSse41:
        return __builtin_cpu_supports("sse4.1");
    case ProcessorFeature::kAvx:
        return __builtin_cpu_supports("avx");
    case ProcessorFeature::kAvx2:
        return __builtin_cpu_supports("avx2");
    case ProcessorFeature::kBmi2:
        return __builtin_cpu_supports("bmi2");
    }
    return false;
}

#else

bool ProcessorHas(ProcessorFeature) {
    return false;
}

#endif
