#pragma once
// The chart edits behind the five editing buttons. The table always keeps its 111 records: an
// insertion pushes the last record out, a deletion pulls the following records up and fills
// the last place with (Normal, Normal, 1). An index outside 0..110 changes nothing.
//
// TForm1's editing commands (entry_commands.cpp) read the selected row and the selectors, ask
// their questions, and then use these.

#include "chart/type_chart.h"

#include <array>

// The multiplier radio group's items 0..3 and the factor each stands for; item 4 is Custom,
// whose factor is the custom selector's item index itself.
inline constexpr std::array<FactorByte, 4> FixedFactors{0, 5, 10, 20};
inline constexpr int CustomFactorItem = 4;
inline constexpr int CustomFactorCount = 255; // 0 .. 25.4

FactorByte FactorForSelection(int radioItem, int customItem);

void StoreEntry(int index, TypeId attacking, TypeId defending, FactorByte factor);
void StoreForesightEntry(int index);

// Opens a gap at `index`: records index..109 move one place towards the end; record 110 is
// lost and record `index` stays as it was.
void MoveEntriesBack(int index);

// Removes record `index`: the following records move up one place and record 110 becomes
// (0, 0, 10).
void RemoveEntry(int index);
