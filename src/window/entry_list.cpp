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
    const auto names = TypeNames.begin() + Language * NamedTypeCount;
    const QStringList types(names, names + NamedTypeCount);
    AttackingTypeComboBox->clear();
    DefendingTypeComboBox->clear();
    AttackingTypeComboBox->addItems(types);
    DefendingTypeComboBox->addItems(types);
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
    QStringList factors;
    factors.reserve(CustomFactorCount);
    for (int factor = 0; factor < CustomFactorCount; ++factor)
        factors.append(FactorText(static_cast<FactorByte>(factor)));
    CustomMultFactorComboBox->clear();
    // In one insertion: item by item, the list's model announces, and the box handles, 255 of them.
    CustomMultFactorComboBox->addItems(factors);
    CustomMultFactorComboBox->setCurrentIndex(KeptIndex(remembered));
}

void TForm1::MultFactorRadioGroupClick() {
    RunHandler([this] {
        CustomMultFactorComboBox->setEnabled(MultFactorItemIndex() == CustomFactorItem);
    });
}
