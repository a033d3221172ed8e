# libFuzzer builds (KQ3D_FUZZ=ON, with clang): every library is instrumented
# for coverage and built with AddressSanitizer and UndefinedBehaviorSanitizer;
# only the targets of fuzz/ link the fuzzer's own main. Without clang's
# fuzzer runtime the targets are left out, with a message.
include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS -fsanitize=fuzzer)
check_cxx_source_compiles([[
#include <cstddef>
#include <cstdint>
extern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }
]] KQ3D_HAS_LIBFUZZER)
unset(CMAKE_REQUIRED_FLAGS)

if(KQ3D_HAS_LIBFUZZER)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  set(KQ3D_FUZZ_READY ON)
else()
  message(WARNING "KQ3D_FUZZ: ${CMAKE_CXX_COMPILER} has no libFuzzer runtime "
                  "(clang and its runtime library are needed); the fuzz targets are left out")
  set(KQ3D_FUZZ_READY OFF)
endif()
