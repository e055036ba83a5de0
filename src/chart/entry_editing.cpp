#include "chart/entry_editing.h"

#include <algorithm>

namespace {
bool IsRecordIndex(int index) {
    return index >= 0 && index < MaxEntries;
}
} // namespace

FactorByte FactorForSelection(int radioItem, int customItem) {
    if (radioItem == CustomFactorItem)
        return static_cast<FactorByte>(std::clamp(customItem, 0, CustomFactorCount - 1));
    return FixedFactors[std::clamp(radioItem, 0, int(FixedFactors.size()) - 1)];
}

void StoreEntry(int index, TypeId attacking, TypeId defending, FactorByte factor) {
    if (!IsRecordIndex(index))
        return;
    TypeChart[index].attacking = attacking;
    TypeChart[index].defending = defending;
    TypeChart[index].factor = factor;
}

void StoreForesightEntry(int index) {
    StoreEntry(index, ForesightTypeId, ForesightTypeId, 0);
}

void MoveEntriesBack(int index) {
    if (!IsRecordIndex(index))
        return;
    for (int i = MaxEntries - 1; i > index; --i)
        TypeChart[i] = TypeChart[i - 1];
}

void RemoveEntry(int index) {
    if (!IsRecordIndex(index))
        return;
    for (int i = index; i < MaxEntries - 1; ++i)
        TypeChart[i] = TypeChart[i + 1];
    TypeChart[MaxEntries - 1] = TypeChartEntry{QString(), 0, 0, 10};
}
