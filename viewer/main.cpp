// Viewer stage, main: the tracked allocator and the program directory, the
// model and its picture loaded before anything is shown, then the viewer
// application run and taken down. A model or picture that cannot be had ends
// the program with status 1, after the one line that says why.
#include "host/shell_options.h"
#include "platform/startup.h"
#include "resource/file.h"
#include "resource/memory.h"
#include "resource/texture.h"
#include "viewer/viewer_app.h"
#include "viewer/viewer_options.h"

#include <new>

namespace {

const host::ProgramRegistration registration(&ViewerProgramWords());

} // namespace

int AppMain(host::InstanceHandle instance, host::InstanceHandle, char16_t*, int32_t) {
    MemoryInit();
    MemoryLevelSetup(1024, 0);
    FileInitDirectory();
    const ViewerOptions& options = ViewerCommandLine();
    ObjModel model;
    if (!ObjModelLoad(&model, options.model.c_str(), kModelRadius)) return host::kExitFailed;
    Texture* texture = ViewerTexture(options.texture.empty() ? nullptr : options.texture.c_str());
    if (texture == nullptr) {
        ObjModelRelease(&model);
        return host::kExitFailed;
    }
    ViewerApp* app = new (std::nothrow) ViewerApp(instance, options.model.c_str(), model, texture);
    if (app == nullptr) {
        ObjModelRelease(&model);
        TextureDelete(texture);
        return host::kExitFailed;
    }
    // Without its window no message reaches the program, and without its key
    // input Start is never seen: the loop could never end.
    if (!app->Ready() || app->window == nullptr || app->window->handle == nullptr ||
        currentKeyInput == nullptr) {
        delete app;
        return host::kExitFailed;
    }
    app->Run();
    delete app;
    return host::kExitDone;
}
