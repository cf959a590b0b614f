// The effect's own generator and colour cycle. The generator's constants are
// part of the behaviour: the combination thresholds assume draws of 0..32767.
#include "effect/tint_cycle.h"

#include "settings/settings_store.h"

TintStateRecord TintState;

namespace {

uint32_t RandomState;

// Wrapping addition on a signed counter, done in unsigned arithmetic.
int32_t WrappingAdd(int32_t value, int32_t delta)
{
    return static_cast<int32_t>(static_cast<uint32_t>(value) + static_cast<uint32_t>(delta));
}

void MoveLevel(int32_t delta)
{
    TintState.Level = WrappingAdd(TintState.Level, delta);
    if (TintState.RedEnabled == 1)
        TintState.RedCounter = WrappingAdd(TintState.RedCounter, delta);
    if (TintState.GreenEnabled == 1)
        TintState.GreenCounter = WrappingAdd(TintState.GreenCounter, delta);
    if (TintState.BlueEnabled == 1)
        TintState.BlueCounter = WrappingAdd(TintState.BlueCounter, delta);
}

bool IsFlag(int32_t value)
{
    return value == 0 || value == 1;
}

} // namespace

void SeedRandom(uint32_t seed)
{
    RandomState = seed;
}

int NextRandom()
{
    RandomState = RandomState * 214013u + 2531011u;
    return static_cast<int>((RandomState >> 16) & 0x7FFFu);
}

void InitialCombination()
{
    TintState.Rising = 0;
    const SaverSettingsRecord &s = SaverSettings;
    if (IsFlag(s.R) && IsFlag(s.G) && IsFlag(s.B) && (s.R | s.G | s.B) != 0)
        TintState.Combination = 4 * s.R + 2 * s.G + s.B;
    else
        TintState.Combination = 7; // no channel, or a value the dialog cannot set: all three
    ApplyCombination();
}

void ApplyCombination()
{
    int32_t c = TintState.Combination;
    TintState.RedEnabled = c >= 4 ? 1 : 0;
    TintState.GreenEnabled = (c == 1 || c == 4 || c == 5) ? 0 : 1;
    TintState.BlueEnabled = (c == 2 || c == 4 || c == 6) ? 0 : 1;
    TintState.RedCounter = TintState.RedEnabled ? 255 : 0;
    TintState.GreenCounter = TintState.GreenEnabled ? 255 : 0;
    TintState.BlueCounter = TintState.BlueEnabled ? 255 : 0;
    TintState.Level = 255;
}

void PickRandomCombination()
{
    // Lowest bound first from the top: each row takes 4682 draws, the last 4677.
    static const struct {
        int lowest;
        int32_t combination;
    } Rows[] = {
        {28087, 1}, {23405, 2}, {18723, 3}, {14041, 4}, {9359, 5}, {4677, 6}, {0, 7},
    };
    int r = NextRandom();
    for (const auto &row : Rows) {
        if (r >= row.lowest) {
            TintState.Combination = row.combination;
            break;
        }
    }
    ApplyCombination();
    // A new combination fades in from black.
    TintState.Level = 0;
    TintState.RedCounter = 0;
    TintState.GreenCounter = 0;
    TintState.BlueCounter = 0;
}

void PickRandomColour()
{
    TintState.RedCounter = NextRandom() / 128;
    TintState.GreenCounter = NextRandom() / 128;
    TintState.BlueCounter = NextRandom() / 128;
}

void AdvanceTint()
{
    if (SaverSettings.Mode == 0) {
        PickRandomColour();
        return;
    }
    int32_t step = SaverSettings.Step;
    if (TintState.Rising != 0) {
        if (TintState.Level >= 255)
            TintState.Rising = 0; // top turn: this tick holds the level
        else
            MoveLevel(step);
        return;
    }
    if (TintState.Level > 0) {
        MoveLevel(static_cast<int32_t>(0u - static_cast<uint32_t>(step)));
        return;
    }
    TintState.Rising = 1; // bottom turn: only a new combination may come
    if (SaverSettings.Mix == 1)
        PickRandomCombination();
}

COLORREF TintColour()
{
    return RGB(static_cast<uint32_t>(TintState.RedCounter) & 0xFF,
               static_cast<uint32_t>(TintState.GreenCounter) & 0xFF,
               static_cast<uint32_t>(TintState.BlueCounter) & 0xFF);
}
