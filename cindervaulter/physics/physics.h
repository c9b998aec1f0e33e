// Vectors, Verlet particle systems with distance constraints and pins, the collision shapes the
// game hands to the physics, and the fixed physics step.
#pragma once

#include <cstdint>
#include <vector>

struct TVec3 {
    float x = 0;
    float y = 0;
    float z = 0;
};

constexpr uint8_t KindStick = 0; // always pulled or pushed to its rest length
constexpr uint8_t KindLink = 1;  // never enforced, only drawn
constexpr uint8_t KindRope = 2;  // enforced only while stretched beyond its rest length

struct TConstraint {
    int32_t A = 0;
    int32_t B = 0;
    float RestLength = 0;
    uint8_t Kind = KindStick;
};

// The per-particle arrays all have ParticleCapacity elements, the per-constraint ones
// ConstraintCapacity; only the first ParticleCount and ConstraintCount are in use.
struct TParticleSystem {
    std::vector<TConstraint> Constraints;
    std::vector<TVec3> Positions;
    std::vector<TVec3> PrevPositions; // one step earlier: the velocity is the difference
    std::vector<TVec3> Accelerations;
    std::vector<float> InvMasses;
    std::vector<bool> Active;
    std::vector<bool> ConstraintActive;
    std::vector<bool> Pinned; // held at its previous position by every relaxation pass
    TVec3 Gravity;
    float TimeStep = 0;
    TVec3
        Bounds; // upper corner of the box that confines the particles; the lower one is the origin
    int32_t ParticleCount = 0;
    int32_t ParticleCapacity = 0;
    int32_t ConstraintCount = 0;
    int32_t ConstraintCapacity = 0;
    int32_t Iterations = 0; // relaxation passes per step
};

// A collision circle riding on a particle of World; X and Y are the game's copy of its centre.
struct TCircle {
    float Radius = 0;
    float X = 0;
    float Y = 0;
    int32_t Particle = 0;
};

// A wall segment; it pushes circles only towards the side its unit Normal points to.
struct TWall {
    TVec3 A;
    TVec3 B;
    TVec3 Normal;
};

extern TParticleSystem World;     // the playfield
extern TParticleSystem MenuWorld; // the hanging scenery of the menu screens

TVec3 VecMake(float x, float y, float z);
TVec3 VecAdd(TVec3 a, TVec3 b);
TVec3 VecSub(TVec3 a, TVec3 b);
TVec3 VecScale(TVec3 a, float s);
float VecDot(TVec3 a, TVec3 b);
TVec3 VecMax(TVec3 a, TVec3 b); // per component
TVec3 VecMin(TVec3 a, TVec3 b); // per component
float Distance2D(TVec3 a, TVec3 b);
// Divides all three components by the x-y length; a vector with x = y = 0 gives (0, 0, 0).
TVec3 Normalize2D(TVec3 v);
// The direction a->b turned a quarter turn clockwise on screen (y grows downwards).
TVec3 Perpendicular(TVec3 a, TVec3 b);
// Positive on one side of the line a-b, negative on the other, 0 on it.
float PointSide(TVec3 a, TVec3 b, TVec3 p);
bool SameSign(float s, float t); // both negative or both positive

// Whether the circle touches the segment a-b; distance is set to the distance from the centre to
// the infinite line. Near the segment's ends the test is a box widened by the radius. A segment
// whose ends coincide touches nothing.
bool CircleTouchesWall(TVec3 a, TVec3 b, const TCircle& circle, float& distance);
// Whether the circles overlap; depth is set to the overlap, 0 when they do not.
bool CirclesOverlap(const TCircle& c1, const TCircle& c2, float& depth);

TConstraint MakeConstraint(int32_t A, int32_t B, uint8_t Kind, float RestLength);
TCircle MakeCircle(int32_t Particle, float Radius);

void InitSystem(TParticleSystem& sys, int32_t Iterations, TVec3 Bounds, TVec3 Gravity,
                float TimeStep);
// Sizes the per-particle arrays to n, keeping existing elements; never below ParticleCount.
void ReserveParticles(TParticleSystem& sys, int32_t n);
// Sizes the per-constraint arrays to n, keeping existing elements; never below ConstraintCount.
void ReserveConstraints(TParticleSystem& sys, int32_t n);
// Adds a particle at rest; a Mass of 0 counts as 1. Returns its index.
int32_t AddParticle(TParticleSystem& sys, TVec3 Position, float Mass);
int32_t AddConstraint(TParticleSystem& sys, TConstraint c);
// Fixes particle i where it is now; writing its position between steps moves the pin.
void PinParticle(TParticleSystem& sys, int32_t i);
// Empties the system and releases its arrays; the settings stay.
void ClearSystem(TParticleSystem& sys);

// One fixed step: forces, Verlet integration, the box clamp and the relaxation passes. The game
// owns the collision lists and passes them in; whichever system steps, they collide in World.
void StepSystem(TParticleSystem& sys, const std::vector<TCircle>& circles,
                const std::vector<TWall>& walls);
// Pushes the circles (riding on World's particles) out of the walls and apart from each other;
// every relaxation pass of any system runs it.
void CollideBodies(const std::vector<TCircle>& circles, const std::vector<TWall>& walls);
