// Every piece of program state, in one place.
//
// The objects are defined in this one file so that their order of construction is the order
// written here (and their destruction the reverse): the About pieces, the chart, the ROM stream,
// the chart vocabulary, then the interface strings, which stay empty until the main window's
// constructor fills them. Each is declared, and described, in its subsystem's header.

#include "chart/type_chart.h"
#include "chart/vocabulary_texts.h"
#include "rom/rom_image.h"
#include "strings/about_texts.h"
#include "strings/interface_strings.h"

namespace {

LangPair MakePair(const char16_t* const (&texts)[2]) {
    return {QString::fromUtf16(texts[0]), QString::fromUtf16(texts[1])};
}

template <std::size_t N> std::array<QString, N> MakeStrings(const char16_t* const (&texts)[N]) {
    std::array<QString, N> strings;
    for (std::size_t i = 0; i < N; ++i)
        strings[i] = QString::fromUtf16(texts[i]);
    return strings;
}

} // namespace

const AboutPieceTable AboutPieces{
    QString::fromUtf16(AboutTexts::ProgramName),
    MakePair(AboutTexts::VersionLine),
    MakePair(AboutTexts::AuthorLine),
    MakePair(AboutTexts::DateLine),
    MakePair(AboutTexts::Description),
    MakePair(AboutTexts::NewVersionsSentence),
    QString::fromUtf16(ProjectWebPageAddress),
    MakePair(AboutTexts::ThanksSentence),
};

// Every record {empty text, 0, 0, 0}.
TypeChartTable TypeChart{};

RomFileStream RomStream;

// The chart vocabulary.
const std::array<QString, 2 * NamedTypeCount> TypeNames = MakeStrings(VocabularyTexts::TypeNames);
const LangPair ForesightLabel = MakePair(VocabularyTexts::ForesightLabel);
const LangPair ErrorLabel = MakePair(VocabularyTexts::ErrorLabel);
const std::array<QString, 2 * FactorLabelCount> FactorLabels =
    MakeStrings(VocabularyTexts::FactorLabels);

// Both strings of every pair empty.
InterfaceStringTable InterfaceStrings{};

// Plain variables, zero before anything runs.
int Language = 0;
int ForesightEntryCount = 0;
std::uint32_t TableOffset = 0;

// Loaded on the first switch to French, not before, so that start-up reads no translation file.
QTranslator* ToolkitTranslator = nullptr;

// The one main window, set by main once it is created.
class TForm1;
TForm1* Form1 = nullptr;
