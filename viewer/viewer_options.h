// Viewer stage, its words: the viewer's own words on the device's command
// line: the model and, optionally, the picture for the textured modes. One
// table parses them and gives their rows of --help.
#pragma once
#include "host/shell_options.h"

#include <string>
#include <vector>

struct ViewerOptions {
    std::string model;   // MODEL.obj: after the device has read it, its name under the root
    std::string texture; // PICTURE.zit, or empty for the checkerboard
};

const std::vector<host::OptionRow<ViewerOptions>>& ViewerOptionTable();
// What the viewer tells the device: its name in the device's messages, its
// words and how they are read (into ViewerCommandLine()).
const host::ProgramWords& ViewerProgramWords();
// The words as the device last read them.
const ViewerOptions& ViewerCommandLine();
