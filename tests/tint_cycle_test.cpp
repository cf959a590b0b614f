// The colour cycle frame by frame: the generator, the fade with its wrapped
// turn values, the combination thresholds and settings the dialog cannot set.
#include <gtest/gtest.h>

#include <vector>

#include "effect/tint_cycle.h"
#include "settings/settings_store.h"

// Every frame of a run as drawn (each channel's byte, red, green, blue), and
// the combination in force after each tick's advance.
static std::vector<int> RunFrames(SaverSettingsRecord settings, int ticks, std::vector<int> *combinations = nullptr)
{
    SaverSettings = settings;
    TintState = {};
    SeedRandom(1);
    InitialCombination();
    std::vector<int> frames;
    for (int tick = 0; tick < ticks; ++tick) {
        COLORREF c = TintColour();
        frames.insert(frames.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
        AdvanceTint();
        if (combinations)
            combinations->push_back(TintState.Combination);
    }
    return frames;
}

TEST(TintCycle, GeneratorAndThresholds)
{
    const struct { uint32_t seed; int draws[3]; } seeds[] = {{1, {41, 18467, 6334}}, {0, {38, 7719, 21238}}};
    for (const auto &row : seeds) {
        SeedRandom(row.seed);
        for (int expected : row.draws)
            EXPECT_EQ(expected, NextRandom()) << "seed " << row.seed;
    }
    // Seed whose first draw is r: invert state = seed * 214013 + 2531011.
    uint32_t inverse = 214013u;
    for (int i = 0; i < 5; ++i)
        inverse *= 2u - 214013u * inverse;
    const struct { uint32_t r; int combination; } rows[] = {{32767, 1}, {28087, 1}, {28086, 2}, {23404, 3},
        {18722, 4}, {14040, 5}, {9358, 6}, {4677, 6}, {4676, 7}, {0, 7}};
    for (const auto &row : rows) {
        SeedRandom(((row.r << 16) - 2531011u) * inverse);
        PickRandomCombination();
        EXPECT_EQ(row.combination, TintState.Combination) << "r " << row.r;
        EXPECT_EQ(0u, TintColour()); // a new combination fades in from black
    }
}

TEST(TintCycle, FirstFrameShowsTheChannelCombination)
{
    // R, G, B -> the first frame; none, or any value but 0 and 1, means all three.
    const struct { int32_t r, g, b; int red, green, blue; } rows[] = {{0, 0, 1, 0, 0, 255}, {1, 0, 1, 255, 0, 255},
        {0, 1, 0, 0, 255, 0}, {0, 0, 0, 255, 255, 255}, {0, 2, 0, 255, 255, 255}, {1, 0, -1, 255, 255, 255}};
    for (const auto &row : rows) {
        std::vector<int> frame = RunFrames({50, 10, 1, row.r, row.g, row.b, 0}, 1);
        EXPECT_EQ((std::vector<int>{row.red, row.green, row.blue}), frame) << row.r << row.g << row.b;
    }
}

TEST(TintCycle, SequenceFades)
{
    // Blue only; the drawn blue value on ticks first, first + 1, ...; red and green stay 0.
    const struct { int32_t step, mix; int first; std::vector<int> blue; } rows[] = {
        {10, 0, 1, {255, 245}}, {10, 0, 26, {5, 251, 251, 5, 15}}, {10, 0, 53, {245, 255, 255, 245}},
        {10, 2, 26, {5, 251, 251, 5}},                      // only 1 means Mix
        {10, 1, 26, {5, 251, 0, 10}}, {10, 1, 53, {250, 4, 4, 250}}, {10, 1, 80, {10, 0, 0, 10}},
        {0, 0, 1, {255, 255, 255, 255}},                    // no turn ever comes
        {255, 0, 1, {255, 0, 0, 255, 255, 0, 0}},           // divides 255: no wrap
        {300, 0, 1, {255, 211, 211, 255, 255, 211}}, {300, 1, 1, {255, 211, 0, 44, 44, 0, 0, 44, 44}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << "step " << row.step << " mix " << row.mix << " from " << row.first);
        std::vector<int> frames = RunFrames({50, row.step, 1, 0, 0, 1, row.mix}, row.first - 1 + static_cast<int>(row.blue.size()));
        for (size_t i = 0; i < row.blue.size(); ++i) {
            size_t tick = row.first - 1 + i;
            // With Mix the combination changes at each bottom: every enabled channel shares the level.
            int shown = frames[3 * tick] | frames[3 * tick + 1] | frames[3 * tick + 2];
            int others = row.mix == 1 ? 0 : frames[3 * tick] | frames[3 * tick + 1];
            EXPECT_EQ(row.blue[i], row.mix == 1 ? shown : frames[3 * tick + 2]) << "tick " << tick + 1;
            EXPECT_EQ(0, others) << "tick " << tick + 1;
        }
    }
    std::vector<int> combinations;
    RunFrames({50, 10, 1, 0, 0, 1, 1}, 135, &combinations);
    EXPECT_EQ(7, combinations[26]);
    EXPECT_EQ(4, combinations[80]);
    EXPECT_EQ(6, combinations[134]);
}

TEST(TintCycle, RandomModeTakesThreeDrawsPerTick)
{
    std::vector<int> frames = RunFrames({50, 10, 0, 0, 0, 1, 1}, 2);
    EXPECT_EQ((std::vector<int>{0, 0, 255, 0, 144, 49}), frames); // 41, 18467, 6334 over 128
}
