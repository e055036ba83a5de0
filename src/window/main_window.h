#pragma once
// The main window, TForm1: one fixed window with a menu bar, the entry list down the left and
// the selectors and editing buttons on the right. Its controls, geometry, captions, enabled
// states, tab order and handler bindings come from form1.ui; its methods read and change the
// program state (TypeChart, RomStream, Language ...) directly.
//
// The methods are defined beside the subsystem they belong to:
//   window/main_window.cpp        construction and the font, the radio group's item index
//   window/open_dialog.cpp        OpenDialog1, the File > Open dialog
//   window/message_presenter.cpp  the real message boxes, and the handlers' exception guard
//   window/entry_list.cpp         the entry list and the selectors
//   strings/language_switching.cpp, strings/information_boxes.cpp
//   rom/file_commands.cpp         Open, Save, Close, Exit
//   chart/entry_commands.cpp      the five editing buttons

#include "strings/message_boxes.h"
#include "ui_form1.h"
#include "window/message_presenter.h"
#include "window/open_dialog.h"

#include <QMainWindow>
#include <QString>

class TForm1 : public QMainWindow, public Ui::TForm1 {
    Q_OBJECT

public:
    explicit TForm1(QWidget* owner = nullptr);

    TOpenDialog OpenDialog1;

public slots:
    // The click handlers bound in the form.
    void ChangeButtonClick();
    void InsertButtonClick();
    void ChangeToForesightEntryButtonClick();
    void InsertForesightEntryButtonClick();
    void DeleteButtonClick();
    void MultFactorRadioGroupClick();
    void Open1Click();
    void Save1Click();
    void Close1Click();
    void Exit1Click();
    void English1Click();
    void Francais1Click();
    void About1Click();
    void VersionsCompatible1Click();

public:
    void SetLanguage(int language);
    void SetMenuCaptions();
    void SetButtonCaptions();
    void FillComboBoxes();
    void SetMultFactorRadioGroup();
    void FillCustomMultFactorComboBox();
    void FillListBox();
    void EnterForesightEntry();
    void EnterEntry();
    void MoveEntriesBackFromItemIndex();

    // The radio group's selected item, -1 for none, as the editing commands read it.
    int MultFactorItemIndex() const;
    void SetMultFactorItemIndex(int index);

private:
    void SetToolkitLanguage();
    void SetAccessibleNames();
    void SetOpenFileControlsEnabled(bool enabled);
    void ShowNoImage();
    void RefuseOpen(StringKey why);
};

// The one main window, created by main.
extern TForm1* Form1;
