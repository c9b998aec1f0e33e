#include "engine.h"

IEngine* Engine = nullptr;
IEngineLog* EngineLog = nullptr;
IEngineWindow* Window = nullptr;
IEngineRender* Render = nullptr;
IEngineInput* Input = nullptr;
IEngineTextures* Textures = nullptr;

bool BindEngine(const char* logName) {
    if (Engine || !exInit(&Engine, logName)) return false;
    EngineLog = Engine->GetLog();
    Window = Engine->GetWindow();
    Render = Engine->GetRender();
    Input = Engine->GetInput();
    Textures = Engine->GetTextures();
    return true;
}

namespace {

// Nulls the global as it goes, so nothing can reach an interface after its release.
template <typename Interface> void ReleaseOne(Interface*& held) {
    if (held) held->Release();
    held = nullptr;
}

} // namespace

void ReleaseEngine() {
    ReleaseOne(Textures);
    ReleaseOne(Input);
    ReleaseOne(Render);
    ReleaseOne(Window);
    ReleaseOne(Engine);
    ReleaseOne(EngineLog);
}
