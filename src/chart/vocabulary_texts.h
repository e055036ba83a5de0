#pragma once
// The constant texts of the chart vocabulary. Only the definition of the module-level objects
// reads them; everything else uses TypeNames, ForesightLabel, ErrorLabel and FactorLabels.

namespace VocabularyTexts {
// 18 English names, then 18 French names, indexed by Language * 18 + TypeId.
inline constexpr const char16_t* TypeNames[36] = {
    u"Normal",  u"Fighting",   u"Flying",  u"Poison", u"Ground", u"Rock",
    u"Bug",     u"Ghost",      u"Steel",   u"???",    u"Fire",   u"Water",
    u"Grass",   u"Electric",   u"Psychic", u"Ice",    u"Dragon", u"Dark",
    u"Normal",  u"Combat",     u"Vol",     u"Poison", u"Sol",    u"Roche",
    u"Insecte", u"Spectre",    u"Acier",   u"???",    u"Feu",    u"Eau",
    u"Plante",  u"Électrique", u"Psy",     u"Glace",  u"Dragon", u"Ténèbres"};

inline constexpr const char16_t* ForesightLabel[2] = {u"*Foresight Entry*",
                                                      u"*Entrée de Clairvoyance*"};
inline constexpr const char16_t* ErrorLabel[2] = {u"*Error*", u"*Erreur*"};

// 5 English labels, then 5 French ones, indexed by Language * 5 + item. They always write the
// decimal point as ".", whatever the regional settings.
inline constexpr const char16_t* FactorLabels[10] = {u"0 (Not Effective at All)",
                                                     u"0.5 (Not Very Effective)",
                                                     u"1 (Normal)",
                                                     u"2 (Super Effective)",
                                                     u"Custom",
                                                     u"0 (Complètement Pas Efficace)",
                                                     u"0.5 (Pas Très Efficace)",
                                                     u"1 (Normal)",
                                                     u"2 (Super Efficace)",
                                                     u"Coutume"};
} // namespace VocabularyTexts
