#include <gtest/gtest.h>

#include <set>

#include "core/Random.h"

namespace {

// Leaves the process-wide generator and registry as a fresh run has them.
class RandomTest : public ::testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        RandomStreams.RemoveAll();
        RandCallCount = 0;
        GameSrand(1);
    }
};

TEST_F(RandomTest, DefaultGeneratorMatchesTheClassicSequence) {
    GameSrand(1);
    EXPECT_EQ(GameRand(), 41);
    EXPECT_EQ(GameRand(), 18467);
    EXPECT_EQ(GameRand(), 6334);
    EXPECT_EQ(RandCallCount, 0) << "raw draws are not counted";
    EXPECT_EQ(CountedRand(), 26500);
    EXPECT_EQ(RandCallCount, 1);
    // Reseeding restarts the sequence but leaves the count to its owner.
    GameSrand(1);
    EXPECT_EQ(CountedRand(), 41);
    EXPECT_EQ(RandCallCount, 2);
}

TEST_F(RandomTest, StreamStepsItsOwnSeed) {
    CSyncRandom s(1);
    EXPECT_EQ(s.Next(), 346);
    EXPECT_EQ(s.seed, 346);
    EXPECT_EQ(s.draws, 1);

    // A product that wraps negative keeps its sign through the shift, and
    // the value is still masked to 0..32767.
    CSyncRandom n(100);  // 100 * 0x15A4E36 wraps to a negative 32-bit value
    int v = n.Next();
    EXPECT_LT(n.seed, 0);
    EXPECT_EQ(n.seed, int32_t(uint32_t(100) * 0x15A4E36u) >> 16);
    EXPECT_EQ(v, n.seed & 0x7FFF);
    EXPECT_GE(v, 0);
    EXPECT_LE(v, 32767);
}

TEST_F(RandomTest, SerialsCountCreatedStreams) {
    CSyncRandom a(5), b(5);
    EXPECT_EQ(b.serial, a.serial + 1);
}

TEST_F(RandomTest, RangesDrawFromTheNamedSourceOnly) {
    EXPECT_EQ(RandomStreams.AddStream(7), 0);
    CSyncRandom* stream = RandomStreams.GetAt(0);
    ASSERT_NE(stream, nullptr);

    // Reversed bounds on the default generator: one counted draw, 5..10.
    GameSrand(1);
    int v = RandomRange(10, 5, -1);
    EXPECT_EQ(v, 41 % 6 + 5);
    EXPECT_EQ(RandCallCount, 1);
    EXPECT_EQ(stream->draws, 0);

    // A stream draw leaves the default generator and the count alone.
    EXPECT_EQ(RandomRange(3, 3, 0), 3);
    EXPECT_EQ(stream->draws, 1);
    EXPECT_EQ(RandCallCount, 1);
    EXPECT_EQ(GameRand(), 18467);

    // A position that names no stream draws nothing at all.
    EXPECT_EQ(StreamRand(5), 0);
    EXPECT_EQ(RandCallCount, 1);
}

TEST_F(RandomTest, DefaultNameComesFromStreamZeroWhenThereIsOne) {
    GameSrand(1);
    CString counted = GetRandomDefaultName();
    EXPECT_EQ(RandCallCount, 1);
    EXPECT_STREQ(counted, DefaultPlayerNames[41 % 28]);

    RandomStreams.AddStream(1);
    CString fromStream = GetRandomDefaultName();
    EXPECT_EQ(RandCallCount, 1);
    EXPECT_STREQ(fromStream, DefaultPlayerNames[346 % 28]);

    std::set<std::string> names;
    for (const char* n : DefaultPlayerNames) {
        size_t len = strlen(n);
        EXPECT_GE(len, 2u);
        EXPECT_LE(len, 16u);
        names.insert(n);
    }
    EXPECT_EQ(names.size(), size_t(DefaultPlayerNameCount)) << "names are distinct";
}

}  // namespace
