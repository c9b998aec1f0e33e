// The sparks: the blur texture's fall-off, a spark's life, the lives of a batch, and the list.
#include "headless_engine.h"
#include "physics/utilite.h"
#include "render/particles.h"

#include <gtest/gtest.h>

TEST(Blur, AlphaFallsLinearlyFromTheCentre) {
    PaintBlur();
    // Centre, distance 1, 16 and 32 along a row and a column, and a corner.
    const int cases[][3] = {{32, 32, 255}, {32, 33, 248}, {16, 32, 128}, {32, 0, 0}, {0, 0, 0}};
    for (const auto& c : cases) EXPECT_EQ(BlurPixels[(c[0] * 64 + c[1]) * 4 + 3], c[2]);
}

TEST(Sparks, ASparkAtRestCreepsRightAndDownInItsSecondHalfAndDiesAfterItsLife) {
    UseHeadlessEngine();
    Randomize(5);
    SpawnSparks(1, 3, 1, 100, 100, 0);
    const TSpark start = *SparkList.Next;
    EXPECT_LE(std::abs(start.X - 100), 25);
    EXPECT_LE(std::abs(start.Y - 100), 25);
    ASSERT_GE(start.Life, 1000);
    ASSERT_LT(start.Life, 2000);
    ASSERT_EQ(start.Size, 64);
    for (TheHeadlessEngine.Time = 33; TheHeadlessEngine.Time <= start.Life;
         TheHeadlessEngine.Time += 33) {
        UpdateSparks();
        const bool firstHalf = TheHeadlessEngine.Time <= start.Life / 2;
        EXPECT_TRUE(!firstHalf || SparkList.Next->X == start.X) << TheHeadlessEngine.Time;
    }
    const TSpark& s = *SparkList.Next;
    EXPECT_GT(s.X, start.X);
    EXPECT_GT(s.Y, start.Y);
    EXPECT_LT(s.X, start.X + 2);
    EXPECT_NEAR(s.Color[3], 0, 0.05);
    TheHeadlessEngine.Time = start.Life; // not yet past its life
    UpdateSparks();
    ASSERT_NE(SparkList.Next, nullptr);
    EXPECT_EQ(SparkList.Next->Next, nullptr);
    TheHeadlessEngine.Time = start.Life + 1;
    UpdateSparks();
    EXPECT_EQ(SparkList.Next, nullptr);
}

TEST(Sparks, BatchLivesOtherKindsAndClearing) {
    UseHeadlessEngine();
    Randomize(5);
    for (int batch = 0; batch < 50; ++batch) {
        SpawnSparks(4, 0, 2, 0, 0, 1);
        // Newest first: n = 3, 2, 1, 0 live 3/4, 2/4, 1/4 and 1/4 of 1 to 2 seconds.
        TSpark* s = SparkList.Next;
        for (int share : {3, 2, 1, 1}) {
            EXPECT_GE(s->Life, 250 * share);
            EXPECT_LT(s->Life, 500 * share);
            EXPECT_EQ(s->Size, 32);
            s = s->Next;
        }
    }
    SpawnSparks(1, 0, 7, 40, 50, 0); // another kind sits exactly at its point
    EXPECT_EQ(SparkList.Next->X, 40);
    EXPECT_EQ(SparkList.Next->Y, 50);
    EXPECT_EQ(SparkList.Next->Prev, &SparkList);
    EXPECT_EQ(SparkList.Next->Next->Prev, SparkList.Next);
    ClearSparks();
    ClearSparks(); // on an empty list
    EXPECT_EQ(SparkList.Next, nullptr);
}

// A map of 87,000 pickups in view spawned a spark for each of them every step, without end.
TEST(Sparks, NoMoreThanTheCapLiveAndTheDeadMakeRoomAgain) {
    UseHeadlessEngine();
    Randomize(7);
    ClearSparks();
    TheHeadlessEngine.Time = 0;
    SpawnSparks(MaxLiveSparks + 50, 3, 1, 0, 0, 0.2f);
    int32_t live = 0;
    for (const TSpark* s = SparkList.Next; s; s = s->Next) ++live;
    EXPECT_EQ(live, MaxLiveSparks);
    TheHeadlessEngine.Time = 1000; // past the lives of the batch's first half
    UpdateSparks();
    ASSERT_LT(LiveSparkCount(), MaxLiveSparks);
    SpawnSparks(2, 0, 1, 0, 0, 1);
    EXPECT_EQ(SparkList.Next->Color[1], 1) << "the exit's green spark came first";
    ClearSparks();
    EXPECT_EQ(LiveSparkCount(), 0);
}
