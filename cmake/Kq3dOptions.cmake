# Options shared by every target of our own.
#
# -fwrapv: the engine's arithmetic is 32-bit two's complement that wraps, as on
# the handheld's processor (FixMul, matrix sums, edge steps). Making that the
# language's rule keeps the code plain and the sanitizers quiet about it.
# -ffp-contract=off: FixDiv and the texture projection must round exactly as
# written, never through a fused multiply-add.
#
# kq3d_usage is what code that includes the engine's headers is compiled with,
# ours and a program's built on the installed package alike: C++17, and
# -fwrapv, since fixed.h and matrix.h inline FixMul's wrapping products (an
# inline copy compiled without it may be the one the linker keeps). No header
# inlines a sum of floating-point products, so -ffp-contract=off stays ours.
# kq3d_options, the warnings and the rest, is for our own targets only: the
# libraries carry it in the build tree and not in the installed package.
add_library(kq3d_usage INTERFACE)
target_compile_features(kq3d_usage INTERFACE cxx_std_17)
target_compile_options(kq3d_usage INTERFACE -fwrapv)

add_library(kq3d_options INTERFACE)
target_compile_options(kq3d_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Werror -ffp-contract=off)
target_include_directories(kq3d_options INTERFACE ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
# 64-bit file offsets on 32-bit builds too: the host's file calls must see
# files of 2 GiB and more (and refuse them by size) as a 64-bit build does.
target_compile_definitions(kq3d_options INTERFACE _FILE_OFFSET_BITS=64)
target_link_libraries(kq3d_options INTERFACE kq3d_usage)

# The version of project() for the programs' --version.
configure_file(${PROJECT_SOURCE_DIR}/cmake/version.h.in ${PROJECT_BINARY_DIR}/generated/kq3d/version.h
  @ONLY)

if(KQ3D_SANITIZE)
  set(KQ3D_SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
      -fno-omit-frame-pointer)
  add_compile_options(${KQ3D_SANITIZE_FLAGS})
  add_link_options(${KQ3D_SANITIZE_FLAGS})
endif()

# kq3d_library(NAME SOURCES... DEPENDS ...): one static library of ours.
function(kq3d_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC $<BUILD_INTERFACE:kq3d_options> kq3d_usage ${ARG_DEPENDS})
endfunction()

# kq3d_directory_library(NAME [EXCLUDE files...] DEPENDS ...): a static library
# of every .cpp in the calling directory (an interface library while there are
# none yet).
function(kq3d_directory_library name)
  cmake_parse_arguments(ARG "" "" "EXCLUDE;DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(excluded ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
  endforeach()
  if(sources)
    kq3d_library(${name} SOURCES ${sources} DEPENDS ${ARG_DEPENDS})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE $<BUILD_INTERFACE:kq3d_options> kq3d_usage ${ARG_DEPENDS})
  endif()
endfunction()
