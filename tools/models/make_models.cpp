// kq3d-models OUTDIR: writes the viewer's sample models into OUTDIR.
#include "tools/models/models.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: kq3d-models OUTDIR\n";
        return 2;
    }
    for (const SampleModel& model : MakeSampleModels()) {
        const std::string path = std::string(argv[1]) + "/" + model.fileName;
        std::ofstream out(path, std::ios::binary);
        out << model.text;
        if (!out.flush()) {
            std::cerr << "kq3d-models: cannot write " << path << "\n";
            return 1;
        }
    }
    return 0;
}
