#include "game.h"

#include "engine.h"
#include "menus.h"
#include "physics/physics.h"
#include "player.h"
#include "render/hints.h"
#include "render/menu_screens.h"
#include "render/particles.h"
#include "render/playfield.h"
#include "rules.h"

#include <GL/gl.h>

#include <cstddef>

TCamera Camera;
int32_t GameScreen = 0;
float LastUpdateTime = 0;
float FrameTime = 0;
float ElapsedTime = 0;

int32_t MainFont = 0;
int32_t CircleTexture = 0;
int32_t LeadTexture = 0;
int32_t ArrowTexture = 0;
int32_t BackTexture = 0;

uint8_t CirclePixels[128 * 128 * 4];
uint8_t LeadPixels[128 * 128 * 4];
uint8_t ArrowPixels[16 * 16 * 4];
uint8_t BackPixels[32 * 32 * 4];

namespace {

struct Rgba {
    uint8_t R, G, B, A;
};

void SetPixel(uint8_t* pixels, int width, int x, int y, Rgba colour) {
    uint8_t* pixel = pixels + (static_cast<size_t>(y) * width + x) * 4;
    pixel[0] = colour.R;
    pixel[1] = colour.G;
    pixel[2] = colour.B;
    pixel[3] = colour.A;
}

// The squared distance of a pixel from the centre (63, 63) of the 128 x 128 images; comparing
// squares of whole numbers gives the same answers as comparing the roots, without rounding.
int CentreDistanceSquared(int x, int y) {
    return (63 - x) * (63 - x) + (63 - y) * (63 - y);
}

// A white dot inside a white ring.
void PaintCircle() {
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const int d2 = CentreDistanceSquared(x, y);
            const bool lit = d2 < 20 * 20 || (d2 > 50 * 50 && d2 <= 63 * 63);
            SetPixel(CirclePixels, 128, x, y, lit ? Rgba{255, 255, 255, 255} : Rgba{0, 0, 0, 0});
        }
}

// A green dot and a green rim around a translucent blue disc.
void PaintLead() {
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const int d2 = CentreDistanceSquared(x, y);
            Rgba colour{0, 0, 0, 0};
            if (d2 < 11 * 11 || (d2 > 57 * 57 && d2 <= 63 * 63))
                colour = {0, 255, 0, 255};
            else if (d2 >= 11 * 11 && d2 <= 57 * 57)
                colour = {100, 150, 255, 90};
            SetPixel(LeadPixels, 128, x, y, colour);
        }
}

// An arrow pointing at row 0: a head widening from the 2 middle columns to 12, then a shaft.
int ArrowMask(int x, int row) {
    if (row <= 5) return x >= 7 - row && x <= 8 + row ? 1 : 0;
    return x >= 6 && x <= 9 ? 1 : 0;
}

void PaintArrow() {
    for (int row = 0; row < 16; ++row)
        for (int x = 0; x < 16; ++x) {
            const int v = ArrowMask(x, row);
            SetPixel(ArrowPixels, 16, x, row,
                     Rgba{0, static_cast<uint8_t>(255 * v), 0, static_cast<uint8_t>(100 * v)});
        }
}

// A dark grey plus sign on black; it tiles the playfield background.
void PaintBack() {
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool across = x >= 2 && x <= 29 && y >= 12 && y <= 19;
            const bool down = y >= 2 && y <= 29 && x >= 12 && x <= 19;
            SetPixel(BackPixels, 32, x, y,
                     across || down ? Rgba{20, 20, 20, 255} : Rgba{0, 0, 0, 255});
        }
}

int32_t MakeTexture(const char* name, int width, int height, const uint8_t* pixels) {
    return Textures->CreateTexture(name, 4, GL_RGBA, width, height, pixels, 0, 1, 0);
}

} // namespace

void InterpolateCamera(TCamera& camera, float elapsedMs) {
    const double factor = elapsedMs / (1000.0 / UpdateRate);
    camera.DrawX = static_cast<float>(camera.PrevX + (camera.X - camera.PrevX) * factor);
    camera.DrawY = static_cast<float>(camera.PrevY + (camera.Y - camera.PrevY) * factor);
}

void UpdateProc() {
    if (GameScreen == 0)
        PlayerMenuUpdate();
    else
        PlayerGameUpdate();
}

void RenderProc() {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, 800, 600);
    Render->Set2D(0, 0, 800, 600);
    FrameTime = static_cast<float>(Engine->GetTime());
    ElapsedTime = FrameTime - LastUpdateTime;
    InterpolateCamera(Camera, ElapsedTime);
    if (GameScreen == 0) {
        DrawMenuScreen();
    } else {
        DrawPlayfield();
        DrawPlayHints();
    }
}

void PaintTextures() {
    PaintCircle();
    PaintLead();
    PaintArrow();
    PaintBack();
}

void MakeTextures() {
    PaintTextures();
    CircleTexture = MakeTexture("CircleTex", 128, 128, CirclePixels);
    LeadTexture = MakeTexture("LeadTex", 128, 128, LeadPixels);
    ArrowTexture = MakeTexture("ArrowTex", 16, 16, ArrowPixels);
    BackTexture = MakeTexture("BackTex", 32, 32, BackPixels);
}

void GameInit() {
    glLineWidth(2);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_BLEND);
    // Additive: everything the game draws glows onto the black background.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    // Every text is UTF-8: the player's language comes from catalogs in that encoding.
    Render->SetRenderFlag(RenderFlagVSync | RenderFlagUtf8);
    MakeTextures();
    CreateBlurTexture();
    InitSystem(MenuWorld, 2, VecMake(800, 600, 0), VecMake(0, 1, 0), 1.0f);
    BuildMenuScene();
    MenuSelection = 0;
    LevelNumber = 1;
    MenuPage = PageMain;
    MainFont = Render->CreateFont("Arial", 12);
}
