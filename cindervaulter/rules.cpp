#include "rules.h"

#include "engine.h"
#include "game.h"
#include "map.h"
#include "menus.h"
#include "physics/utilite.h"
#include "render/particles.h"

#include <cmath>
#include <limits>
#include <numbers>

TPlayer Player;
float PlayerSpeed = 0;
float ArrowHeading = 0;

namespace {

constexpr int32_t KeyEsc = 27;
constexpr int32_t KeyUp = 38;
constexpr float TouchRadius = 12; // of the exit and of every pickup
constexpr float Thrust = 2;
constexpr float SpeedCap = 10;
constexpr float CameraEasing = 15;
constexpr float SparkRange = 500;

// Truncates towards 0; values beyond 32 bits saturate and NaN gives 0, where a bare conversion
// would be undefined.
int32_t Truncate(float v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0f) return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
    return int32_t(v);
}

TVec3 Position(int32_t particle) {
    return World.Positions[size_t(particle)];
}

TVec3& Previous(int32_t particle) {
    return World.PrevPositions[size_t(particle)];
}

// The view's centre: the camera holds its top-left corner.
TVec3 ViewCentre() {
    return VecMake(Camera.X + 400, Camera.Y + 300, 0);
}

TCircle CircleAt(TVec3 centre, float radius) {
    TCircle circle = MakeCircle(0, radius);
    circle.X = centre.x;
    circle.Y = centre.y;
    return circle;
}

bool Touches(TVec3 point, const TCircle& circle) {
    float depth;
    return CirclesOverlap(CircleAt(point, TouchRadius), circle, depth);
}

bool HasBody() {
    return Player.Head >= 0 && Player.Head + 2 < World.ParticleCount;
}

// Mean distance the body's three particles moved in the latest step.
float MeasureSpeed() {
    float sum = 0;
    for (int32_t b = 0; b < 3; ++b)
        sum += Distance2D(Position(Player.Head + b), Previous(Player.Head + b));
    return sum / 3;
}

// Velocity lives in the previous position: moving it back along u by 2 adds 2 per step along u,
// from the middle particle to the head. The cap, measured before this thrust, sets the head's
// velocity to length 10 in its own direction.
void Push() {
    const int32_t head = Player.Head;
    const TVec3 u = Normalize2D(VecSub(Position(head), Position(head + 1)));
    Previous(head) = VecSub(Previous(head), VecScale(u, Thrust));
    if (PlayerSpeed >= SpeedCap) {
        const TVec3 v = VecSub(Position(head), Previous(head));
        Previous(head) = VecSub(Position(head), VecScale(Normalize2D(v), SpeedCap));
    }
}

void SparkAtPickups() {
    const TVec3 centre = ViewCentre();
    for (const TPickup& pickup : Pickups)
        if (Distance2D(centre, pickup.Position) < SparkRange && pickup.Active)
            SpawnSparks(1, 3, 1, pickup.Position.x, pickup.Position.y, 0.2f);
}

void SetBodyFlash(TFlash& flash, int32_t start, int32_t end) {
    flash.StartRef = start;
    flash.EndRef = end;
    flash.Step = 10;
    flash.OwnEnd = false;
}

// The arrow's target: the exit once every pickup is in, else the nearest active pickup; among
// equally near ones the first in the list.
TVec3 ArrowTarget(TVec3 centre) {
    if (ExitOpen()) return ExitPoint;
    TVec3 target = ExitPoint;
    float nearest = std::numeric_limits<float>::infinity();
    for (const TPickup& pickup : Pickups) {
        const float distance = Distance2D(centre, pickup.Position);
        if (pickup.Active && distance < nearest) {
            nearest = distance;
            target = pickup.Position;
        }
    }
    return target;
}

void CollectPickups() {
    for (TPickup& pickup : Pickups)
        for (int32_t b = 0; b < 3; ++b)
            if (Touches(pickup.Position, Circles[size_t(Player.CircleIndex + b)]) &&
                pickup.Active) {
                pickup.Active = false;
                CollectedCount += 1;
            }
}

} // namespace

bool ExitOpen() {
    return CollectedCount == int32_t(Pickups.size());
}

TVec3 FlashStart(const TFlash& flash) {
    return World.PrevPositions[size_t(flash.StartRef)];
}

TVec3 FlashEnd(const TFlash& flash) {
    return flash.OwnEnd ? flash.EndPoint : World.PrevPositions[size_t(flash.EndRef)];
}

void CreatePlayer(float X, float Y) {
    Player.A = AddParticle(World, VecMake(X, Y, 0), 1.0f);
    Player.B = AddParticle(World, VecMake(X, Y + 50, 0), 1.2f);
    Player.C = AddParticle(World, VecMake(X + 2, Y + 100, 0), 1.5f);
    // Sticks of 60: the body first stretches from 50 to 60 per link.
    AddConstraint(World, MakeConstraint(Player.A, Player.B, KindStick, 60));
    AddConstraint(World, MakeConstraint(Player.B, Player.C, KindStick, 60));
    Player.Head = Player.A;
    Player.CircleIndex = AddCircle(MakeCircle(Player.A, 20));
    AddCircle(MakeCircle(Player.B, 13));
    AddCircle(MakeCircle(Player.C, 20));
    SetBodyFlash(Player.Flashes[0], Player.A, Player.B);
    SetBodyFlash(Player.Flashes[1], Player.A, Player.B);
    SetBodyFlash(Player.Flashes[2], Player.C, Player.B);
    SetBodyFlash(Player.Flashes[3], Player.C, Player.B);
    for (size_t k = 4; k < 12; ++k) {
        Player.Flashes[k].OwnEnd = true;
        Player.Flashes[k].StartRef = Player.A;
        Player.Flashes[k].Step = 3.5f;
    }
}

int32_t AddCircle(const TCircle& circle) {
    Circles.push_back(circle);
    return int32_t(Circles.size()) - 1;
}

void GameUpdate() {
    // Esc pauses after this step: the rest of it still runs.
    if (Input->LastKey() == KeyEsc) {
        GameScreen = 0;
        MenuPage = PagePause;
        MenuSelection = 0;
    }
    if (!HasBody()) return;
    PlayerSpeed = MeasureSpeed();
    if (Input->KeyDown(KeyUp)) Push();
    StepSystem(World, Circles, Walls);
    PlayerUpdate();
    if (!HasBody()) return; // the exit found no map to load
    SparkAtPickups();
    CameraUpdate();
    // The exit always sparkles, collected or not.
    SpawnSparks(2, 0, 1, ExitPoint.x, ExitPoint.y, 1.0f);
    UpdateSparks();
    ArrowUpdate();
    LastUpdateTime = float(Engine->GetTime());
}

void PlayerUpdate() {
    // The body lines crackle harder the faster the creature moves.
    for (size_t k = 0; k < 4; ++k) FlashUpdate(Player.Flashes[k], PlayerSpeed / 4);
    Player.OrbitAngle += Player.OrbitIncreasing ? 0.1f : -0.1f;
    if (Random(100) == 0) Player.OrbitIncreasing = !Player.OrbitIncreasing;
    // Eight short lines at 45 degrees radiate from the head to just inside its circle.
    const float r = Circles[size_t(Player.CircleIndex)].Radius - 2;
    for (size_t k = 4; k < 12; ++k) {
        TFlash& flash = Player.Flashes[k];
        const float theta = float(double(k - 4) / 8 * std::numbers::pi * 2 + Player.OrbitAngle);
        flash.EndPoint =
            VecAdd(FlashStart(flash), VecMake(r * std::sin(theta), r * std::cos(theta), 0));
        FlashUpdate(flash, 3.0f);
    }
    // A step can reach the exit up to three times; each reach after a new map sees the new level.
    for (int32_t b = 0; b < 3; ++b) {
        TCircle& circle = Circles[size_t(Player.CircleIndex + b)];
        circle.X = Position(Player.Head + b).x;
        circle.Y = Position(Player.Head + b).y;
        if (Touches(ExitPoint, circle)) ExitReached();
        if (!HasBody()) return; // no map could be loaded
    }
    CollectPickups();
}

void ExitReached() {
    if (!ExitOpen()) return;
    LevelNumber += 1;
    if (LoadMap(MapFileName(LevelNumber))) return;
    LevelNumber = 1;
    // Without even map 1 there is nothing to play: show the load error rather than an empty arena.
    if (!LoadMap(MapFileName(LevelNumber))) {
        GameScreen = 0;
        MenuPage = PageLoadError;
        MenuSelection = NoSelection;
    }
}

void CameraUpdate() {
    const TVec3 centre = ViewCentre();
    Camera.PrevX = Camera.X;
    Camera.PrevY = Camera.Y;
    const TVec3 a = Position(Player.Head);
    const TVec3 b = Position(Player.Head + 1);
    const TVec3 c = Position(Player.Head + 2);
    const TVec3 target = VecMake((a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, 0);
    // The view closes 1/15 of the remaining distance per step and never snaps.
    Camera.X += (target.x - centre.x) / CameraEasing;
    Camera.Y += (target.y - centre.y) / CameraEasing;
}

void ArrowUpdate() {
    const TVec3 centre = ViewCentre();
    ArrowHeading = HeadingDegrees(VecMake(0, 1, 0), VecSub(ArrowTarget(centre), centre));
}

void FlashUpdate(TFlash& flash, float amplitude) {
    const TVec3 start = FlashStart(flash);
    const TVec3 end = FlashEnd(flash);
    const float length = Distance2D(start, end);
    const int32_t n = Truncate(length / flash.Step) - 1;
    if (n < 1) return;
    flash.Offsets.resize(size_t(n));
    const float spread = flash.Step * amplitude;
    for (float& offset : flash.Offsets) offset = float(Random(Truncate(spread))) - spread / 2;
    flash.Direction = Normalize2D(VecSub(end, start));
    flash.Normal = Normalize2D(Perpendicular(end, start));
}
