#pragma once
// The constant texts of AboutPieces. Only the definition of the module-level objects reads them.

// The project's page, named in the About text of both languages.
inline constexpr const char16_t* ProjectWebPageAddress = u"https://quorvane.org/";

namespace AboutTexts {
inline constexpr const char16_t* ProgramName = u"Quorvane";
// QUORVANE_VERSION comes from the build, which takes it from the project's version and hands it
// to module_objects.cpp alone, the one file that includes this header.
#ifndef QUORVANE_VERSION
#error "QUORVANE_VERSION is defined by the build for module_objects.cpp only"
#endif
inline constexpr const char16_t* VersionLine[2] = {u"Version " QUORVANE_VERSION,
                                                   u"Version " QUORVANE_VERSION};
inline constexpr const char16_t* AuthorLine[2] = {u"By Dalmerin", u"Par Dalmerin"};
inline constexpr const char16_t* DateLine[2] = {u"January 8th, 2010", u"8 Janvier 2010"};
inline constexpr const char16_t* Description[2] = {
    u"This program edits the resistances of the types of a generation III Pokémon game.",
    u"Cette programme sert à éditer les résistances des types de la génération GBA."};
inline constexpr const char16_t* NewVersionsSentence[2] = {
    u"New versions of this program (and old ones too) can be found at",
    u"Les nouvelles versions de cette programme (mais aussi les anciennes) peuvent être "
    u"trouvées à"};
inline constexpr const char16_t* ThanksSentence[2] = {
    u"Thanks to Orrisk for providing the information on how to edit the resistances of the "
    u"types.",
    u"Remerciements à Orrisk pour avoir fourni des informations sur comment editer les "
    u"résistances des types."};
} // namespace AboutTexts
