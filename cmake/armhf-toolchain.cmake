# Cross build for 32-bit ARM with hardware floating point (arm-linux-gnueabihf),
# the kind of processor the engine was made for. Debian's cross compiler
# (g++-arm-linux-gnueabihf) builds; Debian's qemu-user runs the programs, so
# CTest and the test discovery call every test binary through the emulator.
#
#   cmake -B build-arm -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/armhf-toolchain.cmake \
#         -DKQ3D_WINDOW=OFF
#
# Libraries for the target (libpng, zlib) come from Debian's armhf packages
# installed beside the host's (multiarch, /usr/lib/arm-linux-gnueabihf);
# GoogleTest is built from its sources in /usr/src/googletest (tests/).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(KQ3D_ARM_TRIPLE arm-linux-gnueabihf)
set(CMAKE_C_COMPILER ${KQ3D_ARM_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${KQ3D_ARM_TRIPLE}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${KQ3D_ARM_TRIPLE})

# The cross compiler's own C library lives under /usr/<triple>; the armhf
# -dev packages live in the multiarch directories under /usr. Programs
# (tools run during the build) are always the host's.
set(CMAKE_FIND_ROOT_PATH /usr/${KQ3D_ARM_TRIPLE} /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No binfmt handler is assumed: the emulator is always named, with the cross
# C library as its root for the dynamic loader. The library path keeps the C
# and C++ libraries the cross compiler's own: the loader's cache also lists the
# multiarch armhf C library (brought in by libpng-dev:armhf), whose version
# need not match the cross loader, and a mixed pair crashes in a forked child
# (the death tests).
set(CMAKE_CROSSCOMPILING_EMULATOR
    qemu-arm;-L;/usr/${KQ3D_ARM_TRIPLE};-E;LD_LIBRARY_PATH=/usr/${KQ3D_ARM_TRIPLE}/lib)

# GCC notes, at every vector of records, that the ARM calling convention for
# some arguments changed in GCC 7.1; everything here is built by one compiler,
# so the note says nothing about this build.
set(CMAKE_CXX_FLAGS_INIT "-Wno-psabi")
