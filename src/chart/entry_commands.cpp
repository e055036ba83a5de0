// The five editing buttons. Each works on the selected row, changes TypeChart, then rebuilds
// the texts and refills the list, which keeps the same row selected.

#include "chart/entry_editing.h"
#include "strings/message_boxes.h"
#include "window/main_window.h"

void TForm1::EnterEntry() {
    StoreEntry(ListBox1->currentRow(), static_cast<TypeId>(AttackingTypeComboBox->currentIndex()),
               static_cast<TypeId>(DefendingTypeComboBox->currentIndex()),
               FactorForSelection(MultFactorItemIndex(), CustomMultFactorComboBox->currentIndex()));
}

void TForm1::EnterForesightEntry() {
    StoreForesightEntry(ListBox1->currentRow());
}

void TForm1::MoveEntriesBackFromItemIndex() {
    MoveEntriesBack(ListBox1->currentRow());
}

namespace {

// With no chart on show there is no record to work on: the command does nothing.
bool HasSelectedEntry(const QListWidget* list) {
    return list->currentRow() >= 0;
}

bool ConfirmDroppingTheLastEntry() {
    return AskYesNo(DeleteLastEntryMessage, WarningTitle);
}

void RefreshList(TForm1* form) {
    BuildEntryTexts();
    form->FillListBox();
}

} // namespace

void TForm1::ChangeButtonClick() {
    RunHandler([this] {
        if (!HasSelectedEntry(ListBox1))
            return;
        EnterEntry();
        RefreshList(this);
    });
}

void TForm1::InsertButtonClick() {
    RunHandler([this] {
        if (!HasSelectedEntry(ListBox1) || !ConfirmDroppingTheLastEntry())
            return;
        MoveEntriesBackFromItemIndex();
        EnterEntry();
        RefreshList(this);
    });
}

void TForm1::ChangeToForesightEntryButtonClick() {
    RunHandler([this] {
        if (!HasSelectedEntry(ListBox1) || !ConfirmAnotherForesightEntry())
            return;
        EnterForesightEntry();
        RefreshList(this);
    });
}

void TForm1::InsertForesightEntryButtonClick() {
    RunHandler([this] {
        if (!HasSelectedEntry(ListBox1) || !ConfirmAnotherForesightEntry() ||
            !ConfirmDroppingTheLastEntry())
            return;
        MoveEntriesBackFromItemIndex();
        EnterForesightEntry();
        RefreshList(this);
    });
}

void TForm1::DeleteButtonClick() {
    RunHandler([this] {
        if (!HasSelectedEntry(ListBox1))
            return;
        RemoveEntry(ListBox1->currentRow());
        RefreshList(this);
    });
}
