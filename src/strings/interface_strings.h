#pragma once
// Localization: every text of the interface in English and in French.
//
// A LangPair holds the English text at index 0 and the French one at index 1; readers index it
// with Language at the moment they show the text, so switching language needs no copy of any
// string. InterfaceStrings holds the captions and message texts of the window, filled once at
// start-up by FillInterfaceStrings; the About text is assembled there from AboutPieces.

#include <QString>

#include <array>

using LangPair = std::array<QString, 2>;

// The interface language in force: 0 English, 1 French. Written only by TForm1::SetLanguage.
extern int Language;

// The keys of InterfaceStrings, in the order of the table of texts.
enum StringKey {
    FileMenuCaption,
    OpenMenuCaption,
    SaveMenuCaption,
    CloseMenuCaption,
    ExitMenuCaption,
    OptionsMenuCaption,
    LanguageMenuCaption,
    HelpMenuCaption,
    AboutMenuCaption,
    VersionsCompatibleMenuCaption,
    ChangeButtonCaption,
    InsertButtonCaption,
    ChangeToForesightEntryButtonCaption,
    InsertForesightEntryButtonCaption,
    DeleteButtonCaption,
    AttackingTypeLabelCaption,
    DefendingTypeLabelCaption,
    MultFactorRadioGroupCaption,
    AttentionTitle,
    WarningTitle,
    AboutTitle,
    AboutText,
    VersionsCompatibleTitle,
    VersionsCompatibleText,
    AlreadyOpenMessage,
    UnsupportedRomMessage,
    SavedMessage,
    MultipleForesightEntriesMessage,
    ForesightAlreadyPresentMessage,
    DeleteLastEntryMessage,
    SaveFailedMessage,
    EntryListName,
    NoSuchFileMessage,
    NotWritableFileMessage,
    FileInUseMessage,
    NotRegularFileMessage,
    FileSystemErrorMessage,
    ReadErrorMessage,
    ChartCutShortReason,
    FileChangedReason,
    DeviceFullReason,
    DeviceErrorReason,
    SystemErrorReason,
    ChartWrittenThenChangedReason,
    PartOfChartWrittenNote,
    InterfaceStringCount
};

using InterfaceStringTable = std::array<LangPair, InterfaceStringCount>;

// Empty until FillInterfaceStrings runs; never written afterwards.
extern InterfaceStringTable InterfaceStrings;

// The single-language pieces the About text is built from. The program name and the web page
// address serve both languages; the other pieces come in pairs.
struct AboutPieceTable {
    QString ProgramName;
    LangPair VersionLine;
    LangPair AuthorLine;
    LangPair DateLine;
    LangPair Description;
    LangPair NewVersionsSentence;
    QString WebPageAddress;
    LangPair ThanksSentence;
};

extern const AboutPieceTable AboutPieces;

// Gives both strings of every pair their texts and assembles AboutText.
void FillInterfaceStrings();

// The text of `key` in the language in force.
QString CurrentText(StringKey key);

class QTranslator;

// The toolkit's own French texts (its Yes and No, its file dialog ...), loaded on the first
// switch to French and installed while French is in force; none until then.
extern QTranslator* ToolkitTranslator;
