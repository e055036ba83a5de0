#pragma once
// The main window, TForm1: one fixed window with a menu bar, the entry list down the left and
// the selectors and editing buttons on the right. Its controls, geometry, captions, enabled
// states, tab order and handler bindings come from form1.ui; its methods read and change the
// program state (TypeChart, RomStream, Language ...) directly.
//
// The methods are defined beside the subsystem they belong to:
//   window/main_window.cpp        construction, the radio group's item index, message boxes
//   window/entry_list.cpp         the entry list and the selectors
//   strings/language_switching.cpp, strings/information_boxes.cpp
//   rom/file_commands.cpp         Open, Save, Close, Exit
//   chart/entry_commands.cpp      the five editing buttons

#include "strings/message_boxes.h"
#include "ui_form1.h"

#include <QMainWindow>
#include <QString>

#include <functional>

// The file-open dialog's settings; Execute builds the toolkit's dialog only when it is run, so
// start-up pays nothing for it.
struct TOpenDialog {
    QString Filter;     // pairs of "description|patterns", separated by "|"
    QString DefaultExt; // "*.ext"
    QString FileName;   // the path chosen by the last Execute that was confirmed

    // Runs the dialog modally over `parent`; false when the user cancels.
    bool Execute(QWidget* parent);
};

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
    void UndoAutomaticLanguageCheck();
    void ChooseLanguage(QAction* clicked, QAction* other, int language);
};

// The one main window, created by main.
extern TForm1* Form1;

// Runs a click handler's work; an exception it throws is shown to the user and the program goes
// on, since letting it unwind through the toolkit's event loop is undefined behaviour.
void RunHandler(const std::function<void()>& work);

// Reports an exception that was caught, with its message (empty for an unknown exception).
void ShowException(const QString& message);

// Shows the program's message boxes as modal boxes without an icon.
bool ShowMessageBox(const QString& text, const QString& title, MessageButtons buttons);
