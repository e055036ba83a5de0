// Switching the whole window between English and French, keeping every selection.

#include "chart/type_chart.h"
#include "window/main_window.h"

void TForm1::SetLanguage(int language) {
    Language = language;
    SetMenuCaptions();
    SetButtonCaptions();
    FillComboBoxes();
    SetMultFactorRadioGroup();
    BuildEntryTexts(); // before the list is refilled from the texts
    FillListBox();
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

// The toolkit checks a clicked item itself before the handler runs; put the two items back as
// the click found them, which always mirrors Language, so the handler decides alone.
void TForm1::UndoAutomaticLanguageCheck() {
    English1->setChecked(Language == 0);
    Francais1->setChecked(Language == 1);
}

// Either language item: the clicked one is checked and the language set, unless it was already
// in force; the other item ends unchecked in every case.
void TForm1::ChooseLanguage(QAction* clicked, QAction* other, int language) {
    UndoAutomaticLanguageCheck();
    if (!clicked->isChecked()) {
        clicked->setChecked(true);
        SetLanguage(language);
    }
    if (other->isChecked())
        other->setChecked(false);
}

void TForm1::English1Click() {
    RunHandler([this] { ChooseLanguage(English1, Francais1, 0); });
}

void TForm1::Francais1Click() {
    RunHandler([this] { ChooseLanguage(Francais1, English1, 1); });
}
