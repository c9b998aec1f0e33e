// The background snakes: forty trails of ten points whose heads steer with inertia towards targets
// that change once a second, drawn as coloured lines in the 2D space behind the scene.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

class TVorm {
  public:
    uint16_t PointCount = 0;
    uint16_t MaxSpeed = 0;       // speed limit per axis
    std::array<int32_t, 11> X{}; // indices 1 to 10; point 1 is the head
    std::array<int32_t, 11> Y{};
    int32_t SpeedX = 0;
    int32_t SpeedY = 0;
    uint32_t Color = 0;  // packed 0xRRGGBB
    int32_t Inertia = 0; // divisor of the steering pull
    int32_t TargetX = 0;
    int32_t TargetY = 0;

    // Random speed limit, inertia and near-white colour; speed 1 on both axes.
    void Setup();
    // Steers the head one tick towards the target; the trail follows.
    void Update();
    // The nine segments from head to tail, fading by the packed colour's arithmetic.
    void Draw();
};

constexpr int VormCount = 40;
// Empty until CreateVorms and after FreeVorms.
extern std::array<std::unique_ptr<TVorm>, VormCount> Vorms;
// When RetargetVorms last gave new targets; 0 at start, so the first call retargets at once.
extern uint32_t LastRetargetTick;

// Creates the snakes, each a single dot at a random place in the width by height space.
void CreateVorms(int32_t width, int32_t height);
void FreeVorms();
void UpdateVorms();
// Draws every snake; the caller has set the 2D projection.
void DrawVorms();
// Once more than 1000 ms after the last time (wrapping difference), new targets for snakes 1 to 39;
// snake 0 keeps steering to (0, 0).
void RetargetVorms(uint32_t now);
