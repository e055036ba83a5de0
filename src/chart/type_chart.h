#pragma once
// The type chart model: the 111 records of the open image, the type and multiplier vocabulary
// in both languages, the list text of every record, and the two checks on Foresight entries.
//
// A record says that a move of the attacking type hitting a Pokémon of the defending type has
// its damage multiplied by factor / 10. The Foresight entry (254, 254, 0) is a marker among them.

#include "strings/interface_strings.h"

#include <QString>

#include <array>
#include <cstdint>

using TypeId = std::uint8_t;     // 0..17 are named types; 18..255 show as an error text
using FactorByte = std::uint8_t; // ten times the damage multiplier

inline constexpr int MaxEntries = 111;
inline constexpr int NamedTypeCount = 18;
inline constexpr int FactorLabelCount = 5;
inline constexpr TypeId ForesightTypeId = 254;

struct TypeChartEntry {
    QString text; // derived from the three bytes by BuildEntryTexts; stale until it runs again
    TypeId attacking = 0;
    TypeId defending = 0;
    FactorByte factor = 0;
};

using TypeChartTable = std::array<TypeChartEntry, MaxEntries>;

// The chart of the open image, and the number of Foresight entries counted in it by the last
// BuildEntryTexts.
extern TypeChartTable TypeChart;
extern int ForesightEntryCount;

extern const std::array<QString, 2 * NamedTypeCount> TypeNames;
extern const LangPair ForesightLabel;
extern const LangPair ErrorLabel;
extern const std::array<QString, 2 * FactorLabelCount> FactorLabels;

bool IsForesightEntry(const TypeChartEntry& entry);

// The name of type `t` in the language in force, or "*Error*(t)" for an unnamed type.
QString TypeName(TypeId t);

// factor / 10 without trailing zeros, with `separator` between the units and the tenths.
QString FactorText(FactorByte factor, const QString& separator);
// The same with the decimal separator of the user's regional settings.
QString FactorText(FactorByte factor);

// Rebuilds the text of all 111 records in the language in force and recounts the Foresight
// entries.
void BuildEntryTexts();

// Shows a warning when the last count found more than one Foresight entry.
void WarnIfSeveralForesightEntries();

// True when another Foresight entry may be added: at once when there is none, otherwise only
// if the user answers Yes.
bool ConfirmAnotherForesightEntry();
