// kq3d-pictures OUTDIR [--preview DIR]: writes the demo's three ".zit" files
// into OUTDIR and, when asked, the upright pictures as PNG files into DIR.
#include "tools/pictures/pictures.h"
#include "tools/rgb_image.h"
#include "tools/zit_file.h"

#include <cstring>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--preview") == 0)) {
        std::cerr << "usage: kq3d-pictures OUTDIR [--preview DIR]\n";
        return 2;
    }
    const std::string outDir = argv[1];
    for (const DemoPicture& picture : PaintDemoPictures()) {
        std::string error;
        if (!ZitSavePicture(outDir + "/" + picture.fileName, picture.texture, &error)) {
            std::cerr << "kq3d-pictures: " << error << "\n";
            return 1;
        }
        if (argc == 4 && !PngWrite(std::string(argv[3]) + "/" + picture.previewName,
                                   picture.upright.ToRgb(), &error)) {
            std::cerr << "kq3d-pictures: " << error << "\n";
            return 1;
        }
    }
    return 0;
}
