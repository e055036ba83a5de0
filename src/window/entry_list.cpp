// The entry list and the selectors. Every refill keeps the selection by position: read the
// index, clear, add the items, put the index back (or select the first item when there was
// none).

#include "chart/entry_editing.h"
#include "rom/rom_image.h"
#include "window/main_window.h"

namespace {
int KeptIndex(int remembered) {
    return remembered == -1 ? 0 : remembered;
}
} // namespace

void TForm1::FillListBox() {
    if (!RomStream.is_open())
        return;
    int remembered = ListBox1->currentRow();
    ListBox1->clear();
    for (const TypeChartEntry& entry : TypeChart)
        ListBox1->addItem(entry.text);
    ListBox1->setCurrentRow(KeptIndex(remembered));
}

void TForm1::FillComboBoxes() {
    int attacking = AttackingTypeComboBox->currentIndex();
    int defending = DefendingTypeComboBox->currentIndex();
    AttackingTypeComboBox->clear();
    DefendingTypeComboBox->clear();
    for (int type = 0; type < NamedTypeCount; ++type) {
        AttackingTypeComboBox->addItem(TypeNames[Language * NamedTypeCount + type]);
        DefendingTypeComboBox->addItem(TypeNames[Language * NamedTypeCount + type]);
    }
    bool eitherMissing = attacking == -1 || defending == -1;
    AttackingTypeComboBox->setCurrentIndex(eitherMissing ? 0 : attacking);
    DefendingTypeComboBox->setCurrentIndex(eitherMissing ? 0 : defending);
    AttackingTypeLabel->setText(CurrentText(AttackingTypeLabelCaption));
    DefendingTypeLabel->setText(CurrentText(DefendingTypeLabelCaption));
    AttackingTypeLabel->adjustSize(); // labels size themselves to their text
    DefendingTypeLabel->adjustSize();
}

void TForm1::SetMultFactorRadioGroup() {
    int remembered = MultFactorItemIndex();
    const QList<QAbstractButton*> items = MultFactorRadioItems->buttons();
    for (int item = 0; item < FactorLabelCount; ++item)
        items[item]->setText(FactorLabels[Language * FactorLabelCount + item]);
    SetMultFactorItemIndex(KeptIndex(remembered));
    MultFactorRadioGroup->setTitle(CurrentText(MultFactorRadioGroupCaption));
}

void TForm1::FillCustomMultFactorComboBox() {
    int remembered = CustomMultFactorComboBox->currentIndex();
    CustomMultFactorComboBox->clear();
    for (int factor = 0; factor < CustomFactorCount; ++factor)
        CustomMultFactorComboBox->addItem(FactorText(static_cast<FactorByte>(factor)));
    CustomMultFactorComboBox->setCurrentIndex(KeptIndex(remembered));
}

void TForm1::MultFactorRadioGroupClick() {
    RunHandler([this] {
        CustomMultFactorComboBox->setEnabled(MultFactorItemIndex() == CustomFactorItem);
    });
}
