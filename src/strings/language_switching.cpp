// Switching the whole window between English and French, keeping every selection.

#include "chart/entry_editing.h"
#include "window/main_window.h"

#include <QLibraryInfo>
#include <QTranslator>

using namespace Qt::StringLiterals;

void TForm1::SetLanguage(int language) {
    Language = language;
    SetToolkitLanguage();
    SetMenuCaptions();
    SetButtonCaptions();
    FillComboBoxes();
    SetMultFactorRadioGroup();
    SetAccessibleNames();
    BuildEntryTexts(); // before the list is refilled from the texts
    FillListBox();
}

// The toolkit's own texts (the boxes' buttons, the file dialog) follow the language in force, so
// that a French box says "Oui" and "Non". Installing a translation only tells the widgets that
// the language changed; the window's own captions are set by the steps that follow, never from
// the form. Where Qt's French translation is not installed, the toolkit simply stays in English.
void TForm1::SetToolkitLanguage() {
    if (Language == 1 && ToolkitTranslator == nullptr) {
        ToolkitTranslator = new QTranslator(QCoreApplication::instance());
        if (!ToolkitTranslator->load(u"qtbase_fr"_s,
                                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            return; // it stays empty, and installed never
    }
    if (ToolkitTranslator == nullptr || ToolkitTranslator->isEmpty())
        return;
    if (Language == 1)
        QCoreApplication::installTranslator(ToolkitTranslator);
    else
        QCoreApplication::removeTranslator(ToolkitTranslator);
}

// What a screen reader announces for the controls no drawn label names. A drop-down list is
// named by the label whose buddy it is, so the custom multiplier list has one that is not
// drawn, after the Custom item.
void TForm1::SetAccessibleNames() {
    CustomMultFactorLabel->setText(FactorLabels[Language * FactorLabelCount + CustomFactorItem]);
    ListBox1->setAccessibleName(CurrentText(EntryListName));
}

void TForm1::SetMenuCaptions() {
    File1->setTitle(CurrentText(FileMenuCaption));
    Open1->setText(CurrentText(OpenMenuCaption));
    Save1->setText(CurrentText(SaveMenuCaption));
    Close1->setText(CurrentText(CloseMenuCaption));
    Exit1->setText(CurrentText(ExitMenuCaption));
    Options1->setTitle(CurrentText(OptionsMenuCaption));
    Language1->setTitle(CurrentText(LanguageMenuCaption));
    Help1->setTitle(CurrentText(HelpMenuCaption));
    About1->setText(CurrentText(AboutMenuCaption));
    VersionsCompatible1->setText(CurrentText(VersionsCompatibleMenuCaption));
}

void TForm1::SetButtonCaptions() {
    ChangeButton->setText(CurrentText(ChangeButtonCaption));
    InsertButton->setText(CurrentText(InsertButtonCaption));
    ChangeToForesightEntryButton->setText(CurrentText(ChangeToForesightEntryButtonCaption));
    InsertForesightEntryButton->setText(CurrentText(InsertForesightEntryButtonCaption));
    DeleteButton->setText(CurrentText(DeleteButtonCaption));
}

// The form's exclusive LanguageRadioItems group has already checked the clicked item and unchecked
// the other, so the items mirror the language chosen. Choosing the language in force changes
// nothing: no caption is set, nothing is refilled, no selection moves.
void TForm1::English1Click() {
    RunHandler([this] {
        if (Language != 0)
            SetLanguage(0);
    });
}

void TForm1::Francais1Click() {
    RunHandler([this] {
        if (Language != 1)
            SetLanguage(1);
    });
}
