// Cindervaulter: binds the engine, opens the window, prepares the game and hands over to the loop.
#include "engine.h"
#include "game.h"
#include "player.h"

#include <chrono>
#include <cstdio>

// The export table's one entry, a credit to the engine; the build gives it its exported name.
extern "C" void CreditEntry() {}

int main() {
    if (!BindEngine("log.txt")) {
        std::fputs("Cindervaulter: the engine library cannot start\n", stderr);
        return 1;
    }
    Randomize(static_cast<uint32_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count()));
    if (!Window->SetMode(true, 800, 600, 32, 75)) {
        std::fputs("Cindervaulter: no window (see log.txt)\n", stderr);
        ReleaseEngine();
        return 1;
    }
    Window->SetCaption("CINDervaulter", true);
    Engine->SetProc(ProcUpdate, UpdateProc);
    Engine->SetProc(ProcRender, RenderProc);
    GameInit();
    StartPlayer();
    Engine->Run(UpdateRate);
    StopPlayer();
    ReleaseEngine();
    return 0;
}
