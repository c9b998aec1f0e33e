#include "render/particles.h"

#include "engine.h"
#include "game.h"
#include "physics/utilite.h"
#include "render/sprites.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

TSpark SparkList;
int32_t BlurTexture = 0;
uint8_t BlurPixels[64 * 64 * 4];

const float SparkColors[6][4] = {
    {0, 1, 0, 1},        // the exit's sparks
    {1, 0.25f, 0, 1},    //
    {1, 0.3f, 0.1f, 1},  //
    {1, 0.3f, 0.05f, 1}, // the pickups' sparks
    {0.2f, 0.5f, 0.8f, 1}, {0.5f, 0.05f, 1, 1},
};

void PaintBlur() {
    for (int r = 0; r < 64; ++r)
        for (int c = 0; c < 64; ++c) {
            const float distance = std::sqrt(float((r - 32) * (r - 32) + (c - 32) * (c - 32)));
            const int fade = std::min(255, int(distance / 32 * 255));
            uint8_t* pixel = BlurPixels + (r * 64 + c) * 4;
            pixel[0] = pixel[1] = pixel[2] = 255;
            pixel[3] = uint8_t(255 - fade);
        }
}

void CreateBlurTexture() {
    PaintBlur();
    BlurTexture = Textures->CreateTexture("blur", 4, GL_RGBA, 64, 64, BlurPixels, 0, 1, 0);
}

namespace {

int32_t LiveSparks = 0; // sparks in the list behind the sentinel

// A uniform whole number from -10 to 10.
float Spread() {
    return float(Random(21) - 10);
}

TSpark* NewSparkAtFront() {
    TSpark* s = new TSpark;
    s->Prev = &SparkList;
    s->Next = SparkList.Next;
    if (s->Next) s->Next->Prev = s;
    SparkList.Next = s;
    ++LiveSparks;
    return s;
}

// Moves v towards 0 by step; 0 itself counts as not positive and gains step.
float TowardsZero(float v, float step) {
    return v > 0 ? v - step : v + step;
}

} // namespace

void SpawnSparks(int32_t Count, int32_t ColorIndex, uint8_t Kind, float X, float Y, float Speed) {
    const float* colour = SparkColors[std::clamp(ColorIndex, 0, 5)];
    for (int32_t n = 0; n < Count && LiveSparks < MaxLiveSparks; ++n) {
        TSpark* s = NewSparkAtFront();
        const int32_t k = n == 0 ? 1 : n;
        s->VX = Spread() / 5 * Speed;
        s->VY = Spread() / 5 * Speed;
        s->Size = Kind == 1 ? 64 : 32;
        const float scatter = Kind == 1 ? 2.5f : Kind == 2 ? 1.5f : 0;
        s->X = scatter != 0 ? X + Spread() * scatter : X;
        s->Y = scatter != 0 ? Y + Spread() * scatter : Y;
        s->Birth = Engine->GetTime();
        std::copy(colour, colour + 4, s->Color);
        // Spark n of a batch lives k / Count of 1 to 2 seconds, so a batch fades one by one.
        s->Life = int32_t(int64_t(Random(1000) + 1000) * k / Count);
    }
}

void UpdateSpark(TSpark& s) {
    const int32_t age = Engine->GetTime() - s.Birth;
    // d is one step's share of the life counted in update steps; a life under one millisecond
    // counts as one step rather than dividing by zero.
    const float lifeSteps = float(s.Life) / 1000 * 30;
    const float d = lifeSteps > 0 ? 1 / lifeSteps : 1;
    s.X += s.VX;
    s.Y += s.VY;
    if (age > s.Life / 2.0) {
        s.VX = TowardsZero(s.VX, 2 * d);
        s.VY = TowardsZero(s.VY, d);
    }
    if (age > s.Life) s.Dead = true;
    s.Color[3] -= d;
}

void UpdateSparks() {
    TSpark* s = SparkList.Next;
    while (s) {
        UpdateSpark(*s);
        s = s->Dead ? RemoveSpark(s) : s->Next;
    }
}

void DrawSparks() {
    // Whole milliseconds since the last game step, as a fraction of a step (30 a second).
    const float f = std::trunc(float(Engine->GetTime()) - LastUpdateTime) / 1000 * 30;
    for (TSpark* s = SparkList.Next; s; s = s->Next) {
        glColor4fv(s->Color);
        DrawSprite(BlurTexture, s->X + s->VX * f - Camera.DrawX, s->Y + s->VY * f - Camera.DrawY,
                   float(s->Size), 0);
        glColor4f(1, 1, 1, 1);
    }
}

TSpark* RemoveSpark(TSpark* s) {
    TSpark* next = s->Next;
    s->Prev->Next = next;
    if (next) next->Prev = s->Prev;
    delete s;
    --LiveSparks;
    return next;
}

int32_t LiveSparkCount() {
    return LiveSparks;
}

void ClearSparks() {
    TSpark* s = SparkList.Next;
    while (s) s = RemoveSpark(s);
}
