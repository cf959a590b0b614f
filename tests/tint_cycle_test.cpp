// The colour cycle frame by frame: the generator, the fade with its wrapped
// turn values, the combination thresholds and settings the dialog cannot set.
#include <gtest/gtest.h>

#include <vector>

#include "effect/tint_cycle.h"
#include "settings/settings_store.h"

// The generator's own sequence is seen in the Random frames below.
TEST(TintCycle, CombinationThresholdsAndColoursOfARun) {
    // The seed whose first draw is r: invert state = seed * 214013 + 2531011.
    const uint32_t inverse = 0xB9B33155u; // 214013 * inverse = 1 modulo 2^32
    const struct { uint32_t r; int32_t combination; } rows[] = {
        {32767, 1}, {28087, 1}, {28086, 2}, {23405, 2}, {23404, 3}, {18723, 3}, {18722, 4},
        {14041, 4}, {14040, 5}, {9359, 5}, {9358, 6}, {4677, 6}, {4676, 7}, {0, 7}};
    for (const auto &row : rows) {
        SeedRandom(((row.r << 16) - 2531011u) * inverse);
        PickRandomCombination();
        EXPECT_EQ(row.combination, TintState.Combination) << "r " << row.r;
    }
    // Settings, then the frames from tick `first` on.
    const struct { SaverSettingsRecord s; int first; std::vector<COLORREF> frames; } runs[] = {
        // The first frame of each combination; none, or a value the dialog cannot set, gives all three.
        {{.G = 1}, 1, {0x00FF00}}, {{.G = 1, .B = 1}, 1, {0xFFFF00}}, {{.R = 1, .G = 1}, 1, {0x00FFFF}},
        {{.G = 2}, 1, {0xFFFFFF}}, {{.R = 1, .B = 2}, 1, {0xFFFFFF}}, {{}, 1, {0xFFFFFF}},
        // Runs.
        {{.Step = 10, .Mode = 2, .B = 1}, 1, {0xFF0000, 0xF50000}}, // blue alone; any Mode but 0 fades
        {{.Step = 10, .Mode = 1, .R = 1, .B = 1}, 26, {0x050005, 0xFB00FB, 0xFB00FB, 0x050005}}, // -5 drawn as 251
        {{.Step = 10, .Mode = 1, .B = 1}, 53, {0xF50000, 0xFF0000, 0xFF0000, 0xF50000}},
        {{.Step = 10, .Mode = 1, .B = 1, .Mix = 2}, 27, {0xFB0000, 0xFB0000}},              // only 1 means Mix
        {{.Step = 10, .Mode = 1, .B = 1, .Mix = 1}, 26, {0x050000, 0xFB0000, 0, 0x0A0A0A}}, // new combination 7 from black
        {{.Step = 10, .Mode = 1, .B = 1, .Mix = 1}, 53, {0xFAFAFA, 0x040404, 0x040404, 0xFAFAFA}}, // 260 drawn as 4
        {{.Step = 10, .Mode = 1, .B = 1, .Mix = 1}, 80, {0x0A0A0A, 0, 0, 0x00000A}},       // then red alone (4)
        {{.Step = 10, .Mode = 0, .B = 1}, 1, {0xFF0000, RGB(0, 144, 49)}},                 // Random: 41, 18467, 6334 / 128
    };
    // Each frame is drawn before that tick's advance; the generator is seeded with 1.
    for (const auto &row : runs) {
        SaverSettings = row.s;
        SeedRandom(1);
        InitialCombination();
        std::vector<COLORREF> frames;
        for (int tick = 1; tick < row.first + static_cast<int>(row.frames.size()); ++tick) {
            if (tick >= row.first)
                frames.push_back(TintColour());
            AdvanceTint();
        }
        EXPECT_EQ(row.frames, frames) << "run " << &row - runs;
    }
}
