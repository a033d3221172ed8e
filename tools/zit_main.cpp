#include "tools/zit_tool.h"

#include <iostream>

int main(int argc, char** argv) {
    return ZitToolMain(argc, argv, std::cout, std::cerr);
}
