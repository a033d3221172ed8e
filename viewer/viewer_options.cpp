#include "viewer/viewer_options.h"

#include "resource/obj_model.h"

namespace {

using Row = host::OptionRow<ViewerOptions>;

ViewerOptions readOptions;

// Exactly one model; its file, and the picture's, placed by the device.
bool ReadViewerWords(const std::vector<std::string>& words, std::vector<std::string*>* files,
                     std::string* error) {
    std::vector<const char*> argv = {"kq3d-view"};
    for (const std::string& word : words)
        argv.push_back(word.c_str());
    std::vector<std::string> operands;
    const host::CommandLine outcome =
        host::ParseCommandLine(ViewerOptionTable(), static_cast<int>(argv.size()), argv.data(),
                               &readOptions, &operands, error);
    if (outcome != host::CommandLine::kRun) return false;
    if (operands.empty()) {
        *error = "no MODEL.obj given";
        return false;
    }
    if (operands[0].empty()) {
        *error = "MODEL.obj needs a name, not an empty word";
        return false;
    }
    if (operands.size() > 1) {
        *error = "takes one MODEL.obj, not \"" + operands[1] + "\" as well";
        return false;
    }
    readOptions.model = operands[0];
    files->push_back(&readOptions.model);
    if (!readOptions.texture.empty()) files->push_back(&readOptions.texture);
    return true;
}

} // namespace

const std::vector<host::OptionRow<ViewerOptions>>& ViewerOptionTable() {
    static const std::vector<Row> table = {
        Row::Text("--texture", "PICTURE.zit", &ViewerOptions::texture,
                  "the picture of the textured modes: a \".zit\" file (kq3d-zit encode makes one "
                  "from a PNG), square with a side of a power of two",
                  "a checkerboard"),
    };
    return table;
}

const host::ProgramWords& ViewerProgramWords() {
    static const host::ProgramWords words = [] {
        host::ProgramWords w;
        w.noun = "the viewer";
        w.synopsis = "MODEL.obj [--texture PICTURE.zit]";
        w.summary =
            "Shows a Wavefront OBJ model turning under one light: A cycles the fill modes (flat, "
            "shaded, textured, textured with shade levels), B turns the light off and on, C "
            "stops and starts the spin, left and right turn the model, up and down bring it "
            "nearer and farther, Start ends. Without --root the device's root becomes the folder "
            "that holds MODEL.obj (and PICTURE.zit).";
        w.failure = "MODEL.obj or PICTURE.zit could not be read (one line names the file, the "
                    "line and what is wrong)";
        static const std::string model = "the model: v, vt, vn and f statements, at most " +
                                         std::to_string(kObjMaxTriangles) +
                                         " triangles (docs/viewer.md)";
        w.help.push_back(host::OptionWords{"MODEL.obj", nullptr, model.c_str(), "", ""});
        for (const host::OptionWords& row : host::OptionTableWords(ViewerOptionTable()))
            w.help.push_back(row);
        w.read = ReadViewerWords;
        return w;
    }();
    return words;
}

const ViewerOptions& ViewerCommandLine() {
    return readOptions;
}
