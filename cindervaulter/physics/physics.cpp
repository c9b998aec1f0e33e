#include "physics.h"

#include <algorithm>
#include <cmath>

TParticleSystem World;
TParticleSystem MenuWorld;

TVec3 VecMake(float x, float y, float z) {
    return TVec3{x, y, z};
}

TVec3 VecAdd(TVec3 a, TVec3 b) {
    return TVec3{a.x + b.x, a.y + b.y, a.z + b.z};
}

TVec3 VecSub(TVec3 a, TVec3 b) {
    return TVec3{a.x - b.x, a.y - b.y, a.z - b.z};
}

TVec3 VecScale(TVec3 a, float s) {
    return TVec3{a.x * s, a.y * s, a.z * s};
}

// Sums of products are formed in double and rounded once, as the stored Single result.
float VecDot(TVec3 a, TVec3 b) {
    return float(double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z);
}

TVec3 VecMax(TVec3 a, TVec3 b) {
    return TVec3{a.x > b.x ? a.x : b.x, a.y > b.y ? a.y : b.y, a.z > b.z ? a.z : b.z};
}

TVec3 VecMin(TVec3 a, TVec3 b) {
    return TVec3{a.x < b.x ? a.x : b.x, a.y < b.y ? a.y : b.y, a.z < b.z ? a.z : b.z};
}

float Distance2D(TVec3 a, TVec3 b) {
    double dx = double(a.x) - b.x;
    double dy = double(a.y) - b.y;
    return float(std::sqrt(dx * dx + dy * dy));
}

TVec3 Normalize2D(TVec3 v) {
    double length = std::sqrt(double(v.x) * v.x + double(v.y) * v.y);
    if (length == 0) return TVec3{};
    return TVec3{float(v.x / length), float(v.y / length), float(v.z / length)};
}

TVec3 Perpendicular(TVec3 a, TVec3 b) {
    return TVec3{a.y - b.y, b.x - a.x, 0};
}

float PointSide(TVec3 a, TVec3 b, TVec3 p) {
    return float((double(a.x) - p.x) * (double(b.y) - p.y) -
                 (double(a.y) - p.y) * (double(b.x) - p.x));
}

bool SameSign(float s, float t) {
    return (s < 0 && t < 0) || (s > 0 && t > 0);
}

bool CircleTouchesWall(TVec3 a, TVec3 b, const TCircle& circle, float& distance) {
    TVec3 c = VecMake(circle.X, circle.Y, 0);
    float r = circle.Radius;
    float ab = Distance2D(b, a);
    float ac = Distance2D(a, c);
    float bc = Distance2D(b, c);
    // A wall without length has no line to measure from and never pushes.
    if (ab == 0) {
        distance = ac;
        return false;
    }
    // In the triangle A, B, C the law of cosines gives ac^2 = ab^2 + bc^2 - 2 ab bc cos(B), so
    // p = bc cos(B) = (bc^2 + ab^2 - ac^2) / (2 ab) is how far C's foot on the line lies from B
    // towards A, and Pythagoras in the right triangle B, foot, C gives distance^2 = bc^2 - p^2.
    float p = float((double(bc) * bc + double(ab) * ab - double(ac) * ac) / (2.0 * ab));
    // For a centre on the line bc^2 and p^2 are equal, but ab, ac and bc are each rounded to
    // Single, so their difference can come out a little below 0. Its root would be NaN, which
    // compares false with the radius: a centre on the wall's line would go through unpushed.
    // Counting it as distance 0 makes it touch, and the push then moves it off the line.
    double square = double(bc) * bc - double(p) * p;
    distance = square > 0 ? float(std::sqrt(square)) : 0.0f;
    bool touches = distance <= r;
    if (c.x < std::min(a.x, b.x) - r || c.x > std::max(a.x, b.x) + r) touches = false;
    if (c.y < std::min(a.y, b.y) - r || c.y > std::max(a.y, b.y) + r) touches = false;
    return touches;
}

bool CirclesOverlap(const TCircle& c1, const TCircle& c2, float& depth) {
    float d = Distance2D(VecMake(c1.X, c1.Y, 0), VecMake(c2.X, c2.Y, 0));
    bool overlap = c1.Radius + c2.Radius > d;
    depth = overlap ? c1.Radius + c2.Radius - d : 0.0f;
    return overlap;
}

TConstraint MakeConstraint(int32_t A, int32_t B, uint8_t Kind, float RestLength) {
    TConstraint c;
    c.A = A;
    c.B = B;
    c.Kind = Kind;
    c.RestLength = RestLength;
    return c;
}

TCircle MakeCircle(int32_t Particle, float Radius) {
    TCircle circle;
    circle.Particle = Particle;
    circle.Radius = Radius;
    return circle;
}

void InitSystem(TParticleSystem& sys, int32_t Iterations, TVec3 Bounds, TVec3 Gravity,
                float TimeStep) {
    sys.Iterations = Iterations;
    sys.Bounds = Bounds;
    sys.Gravity = Gravity;
    sys.TimeStep = TimeStep;
}

void ReserveParticles(TParticleSystem& sys, int32_t n) {
    // Shrinking below the particles in use would leave the step indexing past the arrays.
    n = std::max(n, sys.ParticleCount);
    sys.ParticleCapacity = n;
    sys.Positions.resize(n);
    sys.PrevPositions.resize(n);
    sys.Accelerations.resize(n);
    sys.InvMasses.resize(n);
    sys.Active.resize(n);
    sys.Pinned.resize(n);
}

void ReserveConstraints(TParticleSystem& sys, int32_t n) {
    n = std::max(n, sys.ConstraintCount);
    sys.ConstraintCapacity = n;
    sys.Constraints.resize(n);
    sys.ConstraintActive.resize(n);
}

int32_t AddParticle(TParticleSystem& sys, TVec3 Position, float Mass) {
    sys.ParticleCount += 1;
    if (sys.ParticleCount > sys.ParticleCapacity) ReserveParticles(sys, sys.ParticleCount);
    int32_t i = sys.ParticleCount - 1;
    sys.Positions[i] = Position;
    sys.PrevPositions[i] = Position;
    sys.InvMasses[i] = Mass == 0 ? 1.0f : 1 / Mass;
    sys.Active[i] = true;
    return i;
}

int32_t AddConstraint(TParticleSystem& sys, TConstraint c) {
    sys.ConstraintCount += 1;
    if (sys.ConstraintCount > sys.ConstraintCapacity) ReserveConstraints(sys, sys.ConstraintCount);
    int32_t j = sys.ConstraintCount - 1;
    sys.Constraints[j] = c;
    sys.ConstraintActive[j] = true;
    return j;
}

static bool IsParticle(const TParticleSystem& sys, int32_t i) {
    return i >= 0 && i < sys.ParticleCount;
}

void PinParticle(TParticleSystem& sys, int32_t i) {
    if (!IsParticle(sys, i)) return;
    sys.Pinned[i] = true;
    sys.PrevPositions[i] = sys.Positions[i];
}

template <typename T> static void Release(std::vector<T>& v) {
    std::vector<T>().swap(v);
}

void ClearSystem(TParticleSystem& sys) {
    Release(sys.Constraints);
    Release(sys.Positions);
    Release(sys.PrevPositions);
    Release(sys.Accelerations);
    Release(sys.InvMasses);
    Release(sys.Active);
    Release(sys.ConstraintActive);
    Release(sys.Pinned);
    sys.ParticleCount = 0;
    sys.ParticleCapacity = 0;
    sys.ConstraintCount = 0;
    sys.ConstraintCapacity = 0;
}

static void AccumulateForces(TParticleSystem& sys) {
    for (int32_t i = 0; i < sys.ParticleCount; i++) {
        if (sys.Active[i]) sys.Accelerations[i] = sys.Gravity;
    }
}

// Verlet: adding the Taylor series x(t + dt) = x + v dt + a dt^2 / 2 + ... and
// x(t - dt) = x - v dt + a dt^2 / 2 - ... cancels the odd terms, so
// x(t + dt) = 2 x(t) - x(t - dt) + a dt^2 up to dt^4. The velocity is never stored: it is the
// step's displacement p - q, carried on by 2p - q = p + (p - q). t1 .. t4 are the products and sums
// in that formula's order, each rounded to Single as the vector operations store it.
static void Integrate(TParticleSystem& sys) {
    float dt = sys.TimeStep;
    for (int32_t i = 0; i < sys.ParticleCount; i++) {
        if (!sys.Active[i]) continue;
        TVec3 p = sys.Positions[i];
        TVec3 q = sys.PrevPositions[i];
        TVec3 a = sys.Accelerations[i];
        TVec3 t1 = VecScale(p, 2);
        TVec3 t2 = VecSub(t1, q);
        TVec3 t3 = VecScale(a, dt);
        TVec3 t4 = VecScale(t3, dt);
        sys.Positions[i] = VecAdd(t2, t4);
        sys.PrevPositions[i] = p;
    }
}

static void ClampToBox(TParticleSystem& sys) {
    for (int32_t i = 0; i < sys.ParticleCount; i++) {
        if (sys.Active[i]) sys.Positions[i] = VecMin(VecMax(sys.Positions[i], TVec3{}), sys.Bounds);
    }
}

static bool ConstraintApplies(const TConstraint& c, TVec3 pA, TVec3 pB) {
    if (c.Kind == KindStick) return true;
    if (c.Kind == KindRope) return Distance2D(pA, pB) > c.RestLength;
    return false;
}

// The fraction of delta that moves the two ends to the rest length; 0 when the particles coincide
// (no direction to push along) or their inverse masses cancel.
static float Correction(TVec3 delta, float restLength, float wA, float wB) {
    float len = float(std::sqrt(double(VecDot(delta, delta))));
    double denominator = (double(wA) + wB) * len;
    if (denominator == 0) return 0;
    return float((double(len) - restLength) / denominator);
}

static void RelaxConstraints(TParticleSystem& sys) {
    for (int32_t j = 0; j < sys.ConstraintCount; j++) {
        if (!sys.ConstraintActive[j]) continue;
        const TConstraint& c = sys.Constraints[j];
        if (!IsParticle(sys, c.A) || !IsParticle(sys, c.B)) continue;
        TVec3 pA = sys.Positions[c.A];
        TVec3 pB = sys.Positions[c.B];
        if (!ConstraintApplies(c, pA, pB)) continue;
        float wA = sys.InvMasses[c.A];
        float wB = sys.InvMasses[c.B];
        TVec3 delta = VecSub(pB, pA);
        float diff = Correction(delta, c.RestLength, wA, wB);
        if (diff == 0) continue;
        sys.Positions[c.A] = VecAdd(pA, VecScale(delta, 0.5f * diff * wA));
        sys.Positions[c.B] = VecSub(pB, VecScale(delta, 0.5f * diff * wB));
    }
}

static void HoldPins(TParticleSystem& sys) {
    for (int32_t i = 0; i < sys.ParticleCount; i++) {
        if (sys.Pinned[i] && sys.Active[i]) sys.Positions[i] = sys.PrevPositions[i];
    }
}

static void SatisfyConstraints(TParticleSystem& sys, const std::vector<TCircle>& circles,
                               const std::vector<TWall>& walls) {
    ClampToBox(sys);
    for (int32_t iteration = 0; iteration < sys.Iterations; iteration++) {
        if (sys.ConstraintCount > 0) RelaxConstraints(sys);
        CollideBodies(circles, walls);
        HoldPins(sys);
    }
}

void StepSystem(TParticleSystem& sys, const std::vector<TCircle>& circles,
                const std::vector<TWall>& walls) {
    AccumulateForces(sys);
    Integrate(sys);
    SatisfyConstraints(sys, circles, walls);
}

static TCircle WorkingCircle(const TCircle& circle) {
    TCircle working = MakeCircle(circle.Particle, circle.Radius);
    working.X = World.Positions[circle.Particle].x;
    working.Y = World.Positions[circle.Particle].y;
    return working;
}

// A wall pushes a circle along its normal when the circle has sunk into it from the normal's side
// and its particle was on that side one step earlier; the deeper, the harder (up to ten times).
static void PushOutOfWall(const TWall& wall, const TCircle& working) {
    float d;
    if (!CircleTouchesWall(wall.A, wall.B, working, d)) return;
    TVec3& position = World.Positions[working.Particle];
    TVec3 probe = VecAdd(position, VecScale(wall.Normal, d));
    float s1 = PointSide(wall.A, wall.B, probe);
    float s2 = PointSide(wall.A, wall.B, World.PrevPositions[working.Particle]);
    if (!SameSign(s1, s2)) return;
    float r = working.Radius;
    float f = r / 10 >= d ? 1.0f : r / d;
    position = VecAdd(position, VecScale(wall.Normal, f));
}

static void CollideWithWalls(const std::vector<TCircle>& circles, const std::vector<TWall>& walls) {
    for (const TCircle& circle : circles) {
        if (!IsParticle(World, circle.Particle)) continue;
        TCircle working = WorkingCircle(circle);
        for (const TWall& wall : walls) PushOutOfWall(wall, working);
    }
}

// Each overlapping pair is pushed apart five times harder than the overlap needs, so circles
// bounce.
static void SeparateCircles(const TCircle& first, const TCircle& second) {
    float depth;
    if (!CirclesOverlap(WorkingCircle(first), WorkingCircle(second), depth)) return;
    TVec3& pi = World.Positions[first.Particle];
    TVec3& pj = World.Positions[second.Particle];
    float wi = World.InvMasses[first.Particle];
    float wj = World.InvMasses[second.Particle];
    TVec3 delta = VecSub(pj, pi);
    float diff = Correction(delta, first.Radius + second.Radius, wi, wj);
    if (diff >= 0) return;
    pi = VecAdd(pi, VecScale(VecScale(delta, 0.5f * diff * wi), 5));
    pj = VecSub(pj, VecScale(VecScale(delta, 0.5f * diff * wj), 5));
}

static void CollideCircles(const std::vector<TCircle>& circles) {
    for (size_t i = 0; i < circles.size(); i++) {
        if (!IsParticle(World, circles[i].Particle)) continue;
        for (size_t j = 0; j < circles.size(); j++) {
            if (i == j || !IsParticle(World, circles[j].Particle)) continue;
            SeparateCircles(circles[i], circles[j]);
        }
    }
}

void CollideBodies(const std::vector<TCircle>& circles, const std::vector<TWall>& walls) {
    if (circles.empty()) return;
    if (!walls.empty()) CollideWithWalls(circles, walls);
    CollideCircles(circles);
}
