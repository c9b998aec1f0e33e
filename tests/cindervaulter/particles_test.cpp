// The sparks: the blur texture's fall-off, a spark's life, the lives of a batch, and the list.
#include "fake_engine.h"
#include "physics/utilite.h"
#include "render/particles.h"

#include <gtest/gtest.h>

namespace {

int Alpha(int row, int column) {
    return BlurPixels[(row * 64 + column) * 4 + 3];
}

int Count() {
    int n = 0;
    for (TSpark* s = SparkList.Next; s; s = s->Next) ++n;
    return n;
}

class Sparks : public testing::Test {
  protected:
    void SetUp() override {
        UseFakeEngine();
        Randomize(5);
    }
    void TearDown() override { ClearSparks(); }
};

} // namespace

TEST(Blur, AlphaFallsLinearlyFromTheCentre) {
    PaintBlur();
    EXPECT_EQ(Alpha(32, 32), 255);
    EXPECT_EQ(Alpha(32, 33), 248); // distance 1
    EXPECT_EQ(Alpha(16, 32), 128); // distance 16
    EXPECT_EQ(Alpha(32, 0), 0);    // distance 32
    EXPECT_EQ(Alpha(0, 0), 0);
    EXPECT_EQ(BlurPixels[0], 255);
}

TEST_F(Sparks, ASparkAtRestCreepsRightAndDownInItsSecondHalfAndDiesAfterItsLife) {
    SpawnSparks(1, 3, 1, 100, 100, 0);
    TSpark start = *SparkList.Next;
    EXPECT_LE(std::abs(start.X - 100), 25);
    EXPECT_LE(std::abs(start.Y - 100), 25);
    EXPECT_EQ(start.Size, 64);
    EXPECT_EQ(start.Color[0], 1);
    ASSERT_TRUE(start.Life >= 1000 && start.Life < 2000);
    for (TheFakeEngine.Time = 33; TheFakeEngine.Time <= start.Life; TheFakeEngine.Time += 33) {
        UpdateSparks();
        const bool firstHalf = TheFakeEngine.Time <= start.Life / 2;
        EXPECT_TRUE(!firstHalf || SparkList.Next->X == start.X) << TheFakeEngine.Time;
    }
    const TSpark& s = *SparkList.Next;
    EXPECT_GT(s.X, start.X);
    EXPECT_GT(s.Y, start.Y);
    EXPECT_LT(s.X - start.X, 2);
    EXPECT_NEAR(s.Color[3], 0, 0.05);
    TheFakeEngine.Time = start.Life; // not yet past its life
    UpdateSparks();
    EXPECT_EQ(Count(), 1);
    TheFakeEngine.Time = start.Life + 1;
    UpdateSparks();
    EXPECT_EQ(Count(), 0);
}

TEST_F(Sparks, BatchLivesOtherKindsAndClearing) {
    ClearSparks(); // an empty list
    EXPECT_EQ(SparkList.Next, nullptr);
    for (int batch = 0; batch < 50; ++batch) {
        SpawnSparks(4, 0, 2, 0, 0, 1);
        // Newest first: n = 3, 2, 1, 0 live 3/4, 2/4, 1/4 and 1/4 of 1 to 2 seconds.
        const int shares[4] = {3, 2, 1, 1};
        TSpark* s = SparkList.Next;
        for (int share : shares) {
            EXPECT_GE(s->Life, 250 * share);
            EXPECT_LT(s->Life, 500 * share);
            EXPECT_EQ(s->Size, 32);
            s = s->Next;
        }
    }
    SpawnSparks(1, 0, 7, 40, 50, 0);
    EXPECT_EQ(SparkList.Next->X, 40);
    EXPECT_EQ(SparkList.Next->Y, 50);
    EXPECT_EQ(Count(), 201);
    ClearSparks();
    EXPECT_EQ(Count(), 0);
    SpawnSparks(2, 0, 1, 0, 0, 1); // the list works after clearing
    EXPECT_EQ(SparkList.Next->Next->Prev, SparkList.Next);
    EXPECT_EQ(SparkList.Next->Prev, &SparkList);
}
