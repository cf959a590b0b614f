// The colour cycle frame by frame: the generator, the fade tables with their
// wrapped turn values, the combination thresholds and unusual settings.
#include <gtest/gtest.h>

#include <vector>

#include "effect/tint_cycle.h"
#include "settings/settings_store.h"

namespace {

struct Frame {
    int red, green, blue;
};

Frame Drawn()
{
    COLORREF c = TintColour();
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

void UseSettings(int32_t mode, int32_t step, int32_t r, int32_t g, int32_t b, int32_t mix)
{
    SaverSettings = {50, step, mode, r, g, b, mix};
}

// Frames 1..ticks as a saver run draws them: each frame, then the advance.
std::vector<Frame> RunFrames(uint32_t seed, int ticks)
{
    TintState = {};
    SeedRandom(seed);
    InitialCombination();
    std::vector<Frame> frames;
    for (int tick = 1; tick <= ticks; ++tick) {
        frames.push_back(Drawn());
        AdvanceTint();
    }
    return frames;
}

// The seed whose first draw is r: invert state = seed * 214013 + 2531011.
uint32_t SeedForFirstDraw(uint32_t r)
{
    uint32_t inverse = 214013u;
    for (int i = 0; i < 5; ++i)
        inverse *= 2u - 214013u * inverse;
    return ((r << 16) - 2531011u) * inverse;
}

} // namespace

TEST(TintCycle, GeneratorFirstDraws)
{
    const struct {
        uint32_t seed;
        int draws[3];
    } rows[] = {{1, {41, 18467, 6334}}, {0, {38, 7719, 21238}}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.seed);
        SeedRandom(row.seed);
        for (int expected : row.draws)
            EXPECT_EQ(expected, NextRandom());
    }
}

TEST(TintCycle, InitialCombinationFromChannelFlags)
{
    const struct {
        int32_t r, g, b, combination;
    } rows[] = {
        {0, 0, 1, 1}, {0, 1, 0, 2}, {1, 0, 1, 5}, {1, 1, 1, 7},
        {0, 0, 0, 7}, // none selected means all three
        {0, 2, 0, 7}, {1, 0, -1, 7}, {5, 1, 1, 7},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << row.r << row.g << row.b);
        UseSettings(1, 10, row.r, row.g, row.b, 0);
        std::vector<Frame> first = RunFrames(1, 1);
        EXPECT_EQ(row.combination, TintState.Combination);
        EXPECT_EQ((row.combination & 4) ? 255 : 0, first[0].red);
        EXPECT_EQ((row.combination & 2) ? 255 : 0, first[0].green);
        EXPECT_EQ((row.combination & 1) ? 255 : 0, first[0].blue);
    }
}

TEST(TintCycle, CombinationThresholds)
{
    const struct {
        uint32_t r;
        int32_t combination;
    } rows[] = {
        {32767, 1}, {28087, 1}, {28086, 2}, {23405, 2}, {23404, 3}, {18723, 3}, {18722, 4},
        {14041, 4}, {14040, 5}, {9359, 5}, {9358, 6}, {4677, 6}, {4676, 7}, {0, 7},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.r);
        SeedRandom(SeedForFirstDraw(row.r));
        TintState = {};
        TintState.Rising = 1;
        PickRandomCombination();
        EXPECT_EQ(row.combination, TintState.Combination);
        EXPECT_EQ(0, TintState.Level);
        EXPECT_EQ(0u, TintColour()); // a new combination fades in from black
        EXPECT_EQ(1, TintState.Rising);
    }
}

// Step 10 with blue alone: the drawn blue value at chosen ticks, wrapped
// values at the turns included; red and green stay 0 on every frame.
TEST(TintCycle, SequenceFadeTables)
{
    const struct {
        int32_t mix;
        std::vector<std::pair<int, int>> ticks; // tick, drawn blue
    } rows[] = {
        {0, {{1, 255}, {2, 245}, {26, 5}, {27, 251}, {28, 251}, {29, 5}, {53, 245},
             {54, 255}, {55, 255}, {56, 245}, {81, 251}, {82, 251}}},
        {2, {{27, 251}, {28, 251}, {54, 255}, {55, 255}}}, // only 1 means Mix
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.mix);
        UseSettings(1, 10, 0, 0, 1, row.mix);
        std::vector<Frame> frames = RunFrames(1, 110);
        for (const Frame &frame : frames) {
            EXPECT_EQ(0, frame.red);
            EXPECT_EQ(0, frame.green);
        }
        for (const auto &tick : row.ticks) {
            SCOPED_TRACE(tick.first);
            EXPECT_EQ(tick.second, frames[tick.first - 1].blue);
        }
        EXPECT_EQ(1, TintState.Combination);
    }
}

TEST(TintCycle, SequenceWithMixPicksCombinationsAtEachBottom)
{
    UseSettings(1, 10, 0, 0, 1, 1);
    TintState = {};
    SeedRandom(1);
    InitialCombination();
    // Tick -> level drawn on that tick, as the channel value it shows.
    const std::pair<int, int> drawn[] = {{1, 255}, {26, 5}, {27, 251}, {28, 0}, {29, 10}, {53, 250},
                                          {54, 4}, {55, 4}, {56, 250}, {80, 10}, {81, 0}, {82, 0},
                                          {83, 10}};
    const std::pair<int, int32_t> picked[] = {{27, 7}, {81, 4}, {135, 6}};
    size_t nextDrawn = 0, nextPicked = 0;
    for (int tick = 1; tick <= 135; ++tick) {
        SCOPED_TRACE(tick);
        Frame frame = Drawn();
        // Enabled channels always carry the same value, disabled ones 0.
        const int32_t *enabled[] = {&TintState.RedEnabled, &TintState.GreenEnabled, &TintState.BlueEnabled};
        const int values[] = {frame.red, frame.green, frame.blue};
        int level = static_cast<int>(static_cast<uint32_t>(TintState.Level) & 0xFF);
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_EQ(*enabled[channel] ? level : 0, values[channel]);
        if (nextDrawn < std::size(drawn) && drawn[nextDrawn].first == tick) {
            EXPECT_EQ(drawn[nextDrawn].second, level);
            ++nextDrawn;
        }
        AdvanceTint();
        if (nextPicked < std::size(picked) && picked[nextPicked].first == tick) {
            EXPECT_EQ(picked[nextPicked].second, TintState.Combination);
            ++nextPicked;
        }
    }
    EXPECT_EQ(std::size(drawn), nextDrawn);
    EXPECT_EQ(std::size(picked), nextPicked);
}

TEST(TintCycle, UnusualSteps)
{
    const struct {
        int32_t step, mix;
        std::vector<int> blue; // drawn on ticks 1, 2, ...
    } rows[] = {
        {0, 0, {255, 255, 255, 255, 255}},          // no turn ever comes
        {255, 0, {255, 0, 0, 255, 255, 0, 0, 255}}, // divides 255: no wrap
        {300, 0, {255, 211, 211, 255, 255, 211}},   // level -45 at the bottom
        {7, 0, {255, 248}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.step);
        UseSettings(1, row.step, 0, 0, 1, row.mix);
        std::vector<Frame> frames = RunFrames(1, static_cast<int>(row.blue.size()));
        for (size_t i = 0; i < row.blue.size(); ++i)
            EXPECT_EQ(row.blue[i], frames[i].blue) << "tick " << i + 1;
    }
}

TEST(TintCycle, Step300WithMixRunsFromBlack)
{
    UseSettings(1, 300, 0, 0, 1, 1);
    std::vector<Frame> frames = RunFrames(1, 9);
    const int expected[] = {255, 211, 0, 44, 44, 0, 0, 44, 44};
    for (size_t i = 0; i < frames.size(); ++i) {
        Frame f = frames[i];
        // Whatever combination was picked, its enabled channels share the level.
        int shown = f.red | f.green | f.blue;
        EXPECT_EQ(expected[i], shown) << "tick " << i + 1;
    }
}

TEST(TintCycle, RandomModeDrawsThreeColoursPerTick)
{
    UseSettings(0, 10, 0, 0, 1, 1);
    std::vector<Frame> frames = RunFrames(1, 2);
    EXPECT_EQ(0, frames[0].red);
    EXPECT_EQ(0, frames[0].green);
    EXPECT_EQ(255, frames[0].blue); // the first frame is the starting combination
    EXPECT_EQ(0, frames[1].red);    // 41 / 128
    EXPECT_EQ(144, frames[1].green); // 18467 / 128
    EXPECT_EQ(49, frames[1].blue);   // 6334 / 128
    EXPECT_EQ(255, TintState.Level);
    EXPECT_EQ(1, TintState.Combination);
}
