// The colour through which the snapshot is shown: a new random colour on every
// tick, or a fade of the chosen channels down and up by Step.
#pragma once

#include <windows.h>
#include <stdint.h>

// Counters wrap modulo 2^32 but compare as signed values; they are never
// clamped, so a fade overshoots its ends by less than one Step.
struct TintStateRecord {
    int32_t RedCounter;
    int32_t GreenCounter;
    int32_t BlueCounter;
    int32_t Level;
    int32_t Rising;
    int32_t Combination;
    int32_t RedEnabled;
    int32_t GreenEnabled;
    int32_t BlueEnabled;
};

extern TintStateRecord TintState;

void SeedRandom(uint32_t seed);
int NextRandom();

void InitialCombination();
void ApplyCombination();
void PickRandomCombination();
void PickRandomColour();
void AdvanceTint();

// Each channel is the low 8 bits of its counter: -5 is drawn as 251.
COLORREF TintColour();
