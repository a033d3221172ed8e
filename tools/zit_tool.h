// kq3d-zit: brings pictures to the engine and back.
//   kq3d-zit encode IN.png OUT.zit
//   kq3d-zit decode IN.zit OUT.png
//   kq3d-zit info FILE.zit
//   --max-texels N: encode takes pictures of up to N texels (by default the
//                   most the device's memory loads as a picture, 16515064)
// Returns the exit status: 0 done, 1 bad input or failure, 2 wrong usage.
#pragma once
#include <ostream>

int ZitToolMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
