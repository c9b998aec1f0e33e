#include "physics/physics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#define EXPECT_VEC(v, X, Y, Z)                                                                     \
    do {                                                                                           \
        EXPECT_FLOAT_EQ((v).x, X);                                                                 \
        EXPECT_FLOAT_EQ((v).y, Y);                                                                 \
        EXPECT_FLOAT_EQ((v).z, Z);                                                                 \
    } while (0)

static bool IsFinite(TVec3 v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

static TCircle CircleAt(float x, float y, float radius) {
    TCircle circle = MakeCircle(0, radius);
    circle.X = x;
    circle.Y = y;
    return circle;
}

TEST(Vectors, EdgeCases) {
    TVec3 origin = VecMake(0, 0, 0), right = VecMake(10, 0, 0);
    EXPECT_VEC(Perpendicular(origin, right), 0, 10, 0);
    EXPECT_VEC(Normalize2D(Perpendicular(origin, right)), 0, 1, 0);
    EXPECT_VEC(Normalize2D(VecMake(3, 4, 10)), 0.6f, 0.8f, 2); // z divided by the x-y length
    EXPECT_VEC(Normalize2D(VecMake(0, 0, 7)), 0, 0, 0);
    EXPECT_FLOAT_EQ(PointSide(origin, right, VecMake(5, 5, 0)), 50);
    EXPECT_FLOAT_EQ(PointSide(origin, right, VecMake(5, -5, 0)), -50);
    EXPECT_FALSE(SameSign(0, 1));
    EXPECT_FALSE(SameSign(-1, 1));
    EXPECT_TRUE(SameSign(-2, -3));
    EXPECT_FLOAT_EQ(Distance2D(VecMake(0, 0, 100), VecMake(3, 4, -100)), 5);
    // A NaN never wins a comparison, so the box clamp turns it into the bound.
    EXPECT_VEC(VecMax(VecMake(NAN, 1, 1), origin), 0, 1, 1);
}

TEST(Shapes, CircleAgainstWall) {
    TVec3 a = VecMake(0, 0, 0), b = VecMake(100, 0, 0);
    float d = -1;
    EXPECT_TRUE(CircleTouchesWall(a, b, CircleAt(50, 8, 10), d));
    EXPECT_FLOAT_EQ(d, 8);
    EXPECT_FALSE(CircleTouchesWall(a, b, CircleAt(50, 12, 10), d));
    EXPECT_NEAR(d, 12, 1e-4);
    // Past the end the test is the segment's box widened by the radius.
    EXPECT_TRUE(CircleTouchesWall(b, a, CircleAt(105, 5, 10), d));
    EXPECT_NEAR(d, 5, 1e-4);
    EXPECT_FALSE(CircleTouchesWall(a, b, CircleAt(115, 5, 10), d));
    // A wall whose ends coincide touches nothing, even a circle centred on it.
    EXPECT_FALSE(CircleTouchesWall(a, a, CircleAt(3, 4, 10), d));
    EXPECT_FLOAT_EQ(d, 5);
    // A centre on a sloped line, where rounding makes the squared distance slightly negative.
    EXPECT_TRUE(
        CircleTouchesWall(VecMake(0, 100, 0), VecMake(100, 150, 0), CircleAt(73, 136.5f, 10), d));
    EXPECT_EQ(d, 0);
}

TEST(Shapes, CirclesOverlap) {
    float depth = -1;
    EXPECT_TRUE(CirclesOverlap(CircleAt(0, 0, 20), CircleAt(30, 0, 13), depth));
    EXPECT_FLOAT_EQ(depth, 3);
    EXPECT_FALSE(CirclesOverlap(CircleAt(0, 0, 20), CircleAt(33, 0, 13), depth));
    EXPECT_EQ(depth, 0);
}

static void ExpectParticleArraysSized(const TParticleSystem& sys, size_t n) {
    EXPECT_EQ(sys.ParticleCapacity, int32_t(n));
    for (size_t size : {sys.Positions.size(), sys.PrevPositions.size(), sys.Accelerations.size(),
                        sys.InvMasses.size(), sys.Active.size(), sys.Pinned.size()})
        EXPECT_EQ(size, n);
}

TEST(Systems, GrowOneAtATimeClearAndNeverDropParticlesInUse) {
    TParticleSystem sys;
    InitSystem(sys, 3, VecMake(900, 900, 800), VecMake(0, 0.3f, 0), 0.5f);
    ReserveParticles(sys, 2);
    EXPECT_EQ(AddParticle(sys, VecMake(1, 2, 0), 0), 0);
    EXPECT_EQ(AddParticle(sys, VecMake(3, 4, 0), 2), 1);
    PinParticle(sys, 1);
    EXPECT_EQ(AddParticle(sys, VecMake(5, 6, 0), 4), 2);
    ExpectParticleArraysSized(sys, 3);
    EXPECT_FLOAT_EQ(sys.InvMasses[0], 1);
    EXPECT_FLOAT_EQ(sys.InvMasses[1], 0.5f);
    EXPECT_VEC(sys.Positions[0], 1, 2, 0);
    EXPECT_TRUE(sys.Pinned[1]);
    EXPECT_FALSE(sys.Pinned[2]);
    EXPECT_TRUE(sys.Active[2]);
    EXPECT_VEC(sys.PrevPositions[2], 5, 6, 0);

    // Reserving below the count, or a negative size, keeps the particles in use; so do bad pins.
    ReserveParticles(sys, -5);
    ExpectParticleArraysSized(sys, 3);
    AddConstraint(sys, MakeConstraint(0, 1, KindStick, 1));
    ReserveConstraints(sys, 0);
    EXPECT_EQ(sys.Constraints.size(), 1u);
    PinParticle(sys, 3);
    PinParticle(sys, -1);

    ClearSystem(sys);
    EXPECT_EQ(sys.ParticleCount + sys.ConstraintCount + sys.ConstraintCapacity, 0);
    EXPECT_TRUE(sys.Constraints.empty());
    EXPECT_TRUE(sys.ConstraintActive.empty());
    ExpectParticleArraysSized(sys, 0);
    EXPECT_EQ(sys.Iterations, 3);
    EXPECT_VEC(sys.Bounds, 900, 900, 800);
    AddParticle(sys, VecMake(2, 2, 0), 1);
    ExpectParticleArraysSized(sys, 1);
    EXPECT_FALSE(sys.Pinned[0]);
}

// An empty playfield and a system with no gravity, a large box and one relaxation pass.
class Step : public testing::Test {
  protected:
    void SetUp() override {
        TearDown();
        InitSystem(sys, 1, VecMake(1000, 1000, 800), VecMake(0, 0, 0), 1);
    }
    void TearDown() override {
        ClearSystem(World);
        walls.clear();
        circles.clear();
    }
    float Gap() const { return Distance2D(sys.Positions[0], sys.Positions[1]); }
    void AddPair(float x0, float x1, uint8_t kind, float mass1 = 1) {
        AddParticle(sys, VecMake(x0, 500, 0), 1);
        AddParticle(sys, VecMake(x1, 500, 0), mass1);
        AddConstraint(sys, MakeConstraint(0, 1, kind, 60));
    }
    void PlaceAtRest(int32_t i, float x) { sys.Positions[i] = sys.PrevPositions[i] = {x, 500, 0}; }
    TParticleSystem sys;
    std::vector<TCircle> circles;
    std::vector<TWall> walls;
};

TEST_F(Step, FreeFall) {
    InitSystem(sys, 3, VecMake(1000, 1000, 800), VecMake(0, 0.3f, 0), 0.5f);
    AddParticle(sys, VecMake(100, 100, 0), 1);
    StepSystem(sys, circles, walls);
    EXPECT_VEC(sys.Positions[0], 100, 100.075f, 0);
    StepSystem(sys, circles, walls);
    EXPECT_VEC(sys.Positions[0], 100, 100.225f, 0);
    EXPECT_VEC(sys.PrevPositions[0], 100, 100.075f, 0);
}

TEST_F(Step, BoxClampOncePerStepWithoutBounce) {
    AddParticle(sys, VecMake(2, 500, 0), 1);
    sys.PrevPositions[0] = VecMake(7, 500, 0);
    StepSystem(sys, circles, walls);
    EXPECT_VEC(sys.Positions[0], 0, 500, 0); // reached -3
    StepSystem(sys, circles, walls);
    EXPECT_VEC(sys.Positions[0], 0, 500, 0); // reached -2
    StepSystem(sys, circles, walls);
    EXPECT_VEC(sys.PrevPositions[0], 0, 500, 0);
    // The upper corner holds too, z included.
    AddParticle(sys, VecMake(995, 995, 0), 1);
    sys.PrevPositions[1] = VecMake(985, 985, -900);
    StepSystem(sys, circles, walls);
    EXPECT_VEC(sys.Positions[1], 1000, 1000, 800);

    // The clamp runs once, before the relaxation passes, so a stick may push a particle out of the
    // box until the next step: -10 after the first pass, -15 after the second.
    ClearSystem(sys);
    InitSystem(sys, 2, VecMake(1000, 1000, 800), VecMake(0, 0, 0), 1);
    AddPair(0, 20, KindStick);
    StepSystem(sys, circles, walls);
    EXPECT_FLOAT_EQ(sys.Positions[0].x, -15);
}

TEST_F(Step, StickRopeAndLink) {
    AddPair(0, 80, KindStick);
    StepSystem(sys, circles, walls);
    EXPECT_VEC(sys.Positions[0], 5, 500, 0);
    EXPECT_VEC(sys.Positions[1], 75, 500, 0);

    ClearSystem(sys);
    AddPair(0, 80, KindStick, 3); // the lighter end moves three times as far
    StepSystem(sys, circles, walls);
    EXPECT_FLOAT_EQ(sys.Positions[0].x, 7.5f);
    EXPECT_FLOAT_EQ(sys.Positions[1].x, 77.5f);

    ClearSystem(sys);
    AddPair(0, 50, KindRope);
    StepSystem(sys, circles, walls);
    EXPECT_FLOAT_EQ(Gap(), 50);
    PlaceAtRest(1, 80);
    StepSystem(sys, circles, walls);
    EXPECT_FLOAT_EQ(Gap(), 70);

    ClearSystem(sys);
    AddPair(0, 80, KindLink);
    AddConstraint(sys, MakeConstraint(0, 1, 7, 60)); // unknown kinds are not enforced either
    StepSystem(sys, circles, walls);
    EXPECT_FLOAT_EQ(Gap(), 80);
}

TEST_F(Step, PinsHoldAfterEveryPassAndMoveWhenWritten) {
    // Two passes: the pin is put back after the first, so the second measures from its place:
    // 80 -> 75, then 75 -> 71.25 (a pin held only at the end of the step would give 72.5).
    InitSystem(sys, 2, VecMake(1000, 1000, 800), VecMake(0, 0, 0), 1);
    AddPair(100, 180, KindStick);
    PinParticle(sys, 0);
    StepSystem(sys, circles, walls);
    EXPECT_VEC(sys.Positions[0], 100, 500, 0);
    EXPECT_FLOAT_EQ(sys.Positions[1].x, 171.25f);
    InitSystem(sys, 3, VecMake(1000, 1000, 800), VecMake(0, 1, 0), 1);
    sys.Positions[0] = VecMake(300, 200, 0);
    StepSystem(sys, circles, walls);
    EXPECT_VEC(sys.Positions[0], 300, 200, 0);
    EXPECT_VEC(sys.PrevPositions[0], 300, 200, 0);
}

TEST_F(Step, ZeroIterationsOnlyIntegrateAndClamp) {
    InitSystem(sys, 0, VecMake(1000, 1000, 800), VecMake(0, 1, 0), 1);
    AddPair(0, 80, KindStick);
    PinParticle(sys, 0);
    StepSystem(sys, circles, walls);
    EXPECT_FLOAT_EQ(Gap(), 80);
    EXPECT_VEC(sys.Positions[0], 0, 501, 0); // the pin drifts
    InitSystem(sys, -3, VecMake(1000, 1000, 800), VecMake(0, 1, 0), 1);
    StepSystem(sys, circles, walls);
    EXPECT_VEC(sys.Positions[0], 0, 503, 0);
}

TEST_F(Step, CoincidentParticlesAndBadIndicesAreLeftAlone) {
    AddPair(40, 40, KindStick);
    AddConstraint(sys, MakeConstraint(0, 0, KindStick, 60));
    AddConstraint(sys, MakeConstraint(0, 9, KindStick, 60));
    AddConstraint(sys, MakeConstraint(-1, 1, KindRope, 60));
    AddParticle(sys, VecMake(100, 500, 0), -1); // inverse masses that cancel: no way to share
    AddConstraint(sys, MakeConstraint(1, 2, KindStick, 10));
    for (int i = 0; i < 3; i++) StepSystem(sys, circles, walls);
    EXPECT_VEC(sys.Positions[0], 40, 500, 0);
    EXPECT_VEC(sys.Positions[1], 40, 500, 0);
    EXPECT_VEC(sys.Positions[2], 100, 500, 0);
}

// The playfield with no gravity, so that only collisions move things.
class Collide : public Step {
  protected:
    void SetUp() override {
        Step::SetUp();
        InitSystem(World, 1, VecMake(1000, 1000, 800), VecMake(0, 0, 0), 1);
        walls.push_back(TWall{VecMake(0, 100, 0), VecMake(100, 100, 0), VecMake(0, 1, 0)});
    }
    int32_t AddBody(float x, float y, float prevY, float radius) {
        int32_t i = AddParticle(World, VecMake(x, y, 0), 1);
        World.PrevPositions[i] = VecMake(x, prevY, 0);
        circles.push_back(MakeCircle(i, radius));
        return i;
    }
};

TEST_F(Collide, CirclePairBouncesApartOnce) {
    walls.clear();
    AddBody(100, 500, 500, 20);
    AddBody(130, 500, 500, 20);
    AddBody(300, 500, 500, 20);
    AddBody(300, 500, 500, 20);          // on one spot with the previous one
    circles.push_back(MakeCircle(0, 5)); // a second circle on one particle
    circles.push_back(MakeCircle(12, 5));
    CollideBodies(circles, walls);
    EXPECT_VEC(World.Positions[0], 87.5f, 500, 0);
    EXPECT_VEC(World.Positions[1], 142.5f, 500, 0);
    EXPECT_VEC(World.Positions[2], 300, 500, 0);
    EXPECT_VEC(World.Positions[3], 300, 500, 0);
}

TEST_F(Collide, WallPushesOnlyFromItsNormalSide) {
    int32_t deep = AddBody(50, 105, 106, 10);
    int32_t shallow = AddBody(20, 100.5f, 103, 10);
    int32_t above = AddBody(80, 95, 94, 10);
    int32_t crossed = AddBody(-5, 105, 90, 10); // came from the other side one step earlier
    CollideBodies(circles, walls);
    EXPECT_VEC(World.Positions[deep], 50, 107, 0);       // d = 5: pushed by r / d = 2
    EXPECT_VEC(World.Positions[shallow], 20, 101.5f, 0); // within r / 10: pushed by exactly 1
    EXPECT_VEC(World.Positions[above], 80, 95, 0);
    EXPECT_VEC(World.Positions[crossed], -5, 105, 0);

    // A second wall on the same line still measures from the centre before the first push.
    walls.push_back(walls[0]);
    circles.erase(circles.begin() + 1, circles.end());
    World.Positions[deep] = VecMake(50, 105, 0);
    CollideBodies(circles, walls);
    EXPECT_VEC(World.Positions[deep], 50, 109, 0);

    // A wall whose ends coincide never pushes.
    walls = {TWall{VecMake(50, 100, 0), VecMake(50, 100, 0), VecMake(0, 1, 0)}};
    World.Positions[deep] = VecMake(50, 101, 0);
    CollideBodies(circles, walls);
    EXPECT_VEC(World.Positions[deep], 50, 101, 0);
}

TEST_F(Collide, SteppingAnotherSystemStillPushesWorldOutOfWalls) {
    AddBody(50, 105, 106, 10);
    InitSystem(sys, 2, VecMake(800, 600, 0), VecMake(0, 1, 0), 1);
    StepSystem(sys, circles, walls);
    // First pass: d = 5, push 2; second: d = 7, push 10 / 7. Nothing else of World moves.
    EXPECT_NEAR(World.Positions[0].y, 107 + 10.0f / 7, 1e-4);
    EXPECT_VEC(World.PrevPositions[0], 50, 106, 0);
}

TEST_F(Collide, BodyLandsAndStaysOnTheFloor) {
    const float size = 450;
    InitSystem(World, 3, VecMake(size, size, 800), VecMake(0, 0.3f, 0), 0.5f);
    walls = {TWall{VecMake(0, size, 0), VecMake(size, size, 0), VecMake(0, -1, 0)}};
    int32_t a = AddBody(200, 200, 200, 20);
    AddBody(200, 250, 250, 13);
    AddBody(202, 300, 300, 20);
    World.InvMasses[a + 1] = 1 / 1.2f;
    World.InvMasses[a + 2] = 1 / 1.5f;
    AddConstraint(World, MakeConstraint(a, a + 1, KindStick, 60));
    AddConstraint(World, MakeConstraint(a + 1, a + 2, KindStick, 60));
    for (int step = 0; step < 200; step++) StepSystem(World, circles, walls);
    // Landed, the circles keep every particle a radius above the floor line.
    float lowest[3] = {0, 0, 0};
    for (int step = 0; step < 2000; step++) {
        StepSystem(World, circles, walls);
        for (int i = 0; i < 3; i++) lowest[i] = std::max(lowest[i], World.Positions[i].y);
    }
    for (int i = 0; i < 3; i++) {
        EXPECT_TRUE(IsFinite(World.Positions[i]));
        EXPECT_LE(lowest[i], size - circles[i].Radius + 0.5f) << i;
        EXPECT_GT(lowest[i], 300) << i;
    }
}

TEST(LongRun, PinnedChainComesToRestBelowItsPin) {
    TParticleSystem chain;
    InitSystem(chain, 5, VecMake(800, 800, 0), VecMake(0, 1, 0), 1);
    // Laid out sideways from the pin, so the chain swings down first.
    for (int i = 0; i < 30; i++) AddParticle(chain, VecMake(400 + 10.0f * i, 100, 0), 1);
    PinParticle(chain, 0);
    for (int i = 1; i < 30; i++) AddConstraint(chain, MakeConstraint(i - 1, i, KindStick, 10));
    for (int step = 0; step < 10000; step++) StepSystem(chain, {}, {});

    EXPECT_VEC(chain.Positions[0], 400, 100, 0);
    for (int i = 1; i < 30; i++) {
        TVec3 p = chain.Positions[i];
        ASSERT_TRUE(IsFinite(p)) << i;
        EXPECT_GE(p.x, 0) << i;
        EXPECT_LE(p.x, 800) << i;
        EXPECT_LE(p.y, 800) << i;
        EXPECT_GT(p.y, chain.Positions[i - 1].y) << i;
        EXPECT_LT(Distance2D(p, chain.PrevPositions[i]), 0.01f) << i;
    }
    EXPECT_NEAR(chain.Positions[29].x, 400, 1);
    EXPECT_GT(chain.Positions[29].y, 100 + 29 * 10);
}
