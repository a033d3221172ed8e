// kq3d-zit: brings pictures to the engine and back.
//   kq3d-zit encode IN.png OUT.zit
//   kq3d-zit decode IN.zit OUT.png
//   kq3d-zit info FILE.zit
// Its commands and options are the tables of zit_tool.cpp, which parse the
// command line and write --help.
#pragma once
#include "host/option_table.h"

#include <cstdint>
#include <ostream>
#include <vector>

struct ZitOptions {
    bool maxTexelsGiven = false;
    uint32_t maxTexels = 0; // --max-texels N: encode takes pictures of up to N texels
};

const host::ProgramText& ZitProgramText();
const std::vector<host::OptionRow<ZitOptions>>& ZitOptionTable();

// Returns the exit status: 0 done, 1 bad input or failure, 2 wrong usage.
int ZitToolMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
