// Loading an OBJ model: its statements read into arrays (obj_read.cpp), the
// arrays built into meshes (obj_build.cpp).
#include "resource/obj_model.h"

#include "resource/memory.h"
#include "resource/obj_parts.h"

void ObjModelInit(ObjModel* model) {
    *model = ObjModel{nullptr, 0, 0, 0, 0, 0, nullptr};
}

int ObjModelLoad(ObjModel* model, const char* name, Fixed radius) {
    ObjModelInit(model);
    ObjData data;
    if (!ObjRead(&data, name)) return 0;
    const int built = ObjBuild(model, data, name, radius);
    ObjDataRelease(&data);
    if (!built) ObjModelRelease(model);
    return built;
}

void ObjModelRelease(ObjModel* model) {
    if (model->block != nullptr) MemoryFree(model->block);
    ObjModelInit(model);
}
