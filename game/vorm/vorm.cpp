// The background snakes.
#include "vorm.h"

#include "engine/engine.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

std::array<std::unique_ptr<TVorm>, VormCount> Vorms;
uint32_t LastRetargetTick = 0;

namespace {

// The space CreateVorms placed the snakes in; new targets are drawn from it too.
int32_t SpaceWidth = 0;
int32_t SpaceHeight = 0;

// The pull towards the target: |near(d / inertia)| with halves to even, 0 until the distance is
// over half the inertia. A pull above 2^20 is cut there: with |speed| <= MaxSpeed < 2^16 it
// already sends the speed to its cap, and so does an infinite quotient from an inertia of 0.
int32_t Pull(int32_t distance, int32_t inertia) {
    double pull = std::fabs(std::nearbyint(static_cast<double>(distance) / inertia));
    return static_cast<int32_t>(std::min(pull, 1048576.0));
}

// One axis of the steering: the speed turns towards the target, at most MaxSpeed either way. A
// head exactly on its target is pushed by 1 towards smaller values, so it never rests there.
void Steer(int32_t& head, int32_t& speed, int32_t target, int32_t inertia, int32_t maxSpeed) {
    int32_t distance = target - head;
    if (distance <= 0) {
        speed -= distance == 0 ? 1 : Pull(distance, inertia);
        if (std::abs(speed) > maxSpeed) speed = -maxSpeed;
    } else {
        speed += Pull(distance, inertia);
        if (std::abs(speed) > maxSpeed) speed = maxSpeed;
    }
    head += speed;
}

int LastPoint(const TVorm& vorm) {
    return std::min<int>(vorm.PointCount, static_cast<int>(vorm.X.size()) - 1);
}

} // namespace

void TVorm::Setup() {
    PointCount = 10;
    MaxSpeed = static_cast<uint16_t>(10 - Random(4));
    SpeedX = 1;
    SpeedY = 1;
    Inertia = 160 - Random(80);
    // Subtracted from the packed value: below 0xFF0000 every colour is a near-white 0xFEFFxx.
    Color = 0xFF0000u - static_cast<uint32_t>(Random(63));
}

void TVorm::Update() {
    Steer(X[1], SpeedX, TargetX, Inertia, MaxSpeed);
    Steer(Y[1], SpeedY, TargetY, Inertia, MaxSpeed);
    for (int i = LastPoint(*this); i >= 2; --i) {
        X[i] = X[i - 1];
        Y[i] = Y[i - 1];
    }
}

void TVorm::Draw() {
    // Each point after the head ends one segment and starts the next, so it is given twice; the
    // head takes the colour that is current, and each segment fades into its end's colour.
    glBegin(GL_LINES);
    glVertex2i(X[1], Y[1]);
    for (int i = 2; i <= LastPoint(*this); ++i) {
        uint32_t c = Color - 10u * static_cast<uint32_t>(i);
        glColor3f(static_cast<float>((c >> 16) & 0xFF) / 255,
                  static_cast<float>((c >> 8) & 0xFF) / 255, static_cast<float>(c & 0xFF) / 255);
        glVertex2i(X[i], Y[i]);
        glVertex2i(X[i], Y[i]);
    }
    glEnd();
}

void CreateVorms(int32_t width, int32_t height) {
    SpaceWidth = width;
    SpaceHeight = height;
    for (auto& vorm : Vorms) {
        vorm = std::make_unique<TVorm>();
        vorm->Setup();
        vorm->X[1] = Random(width);
        vorm->Y[1] = Random(height);
        for (int i = 2; i <= LastPoint(*vorm); ++i) {
            vorm->X[i] = vorm->X[1];
            vorm->Y[i] = vorm->Y[1];
        }
    }
}

void FreeVorms() {
    for (auto& vorm : Vorms) vorm.reset();
}

void UpdateVorms() {
    for (auto& vorm : Vorms)
        if (vorm) vorm->Update();
}

void DrawVorms() {
    for (auto& vorm : Vorms)
        if (vorm) vorm->Draw();
}

void RetargetVorms(uint32_t now) {
    if (now - LastRetargetTick <= 1000) return;
    LastRetargetTick = now;
    for (int i = 1; i < VormCount; ++i) {
        if (!Vorms[i]) continue;
        Vorms[i]->TargetX = Random(SpaceWidth);
        Vorms[i]->TargetY = Random(SpaceHeight);
    }
}
