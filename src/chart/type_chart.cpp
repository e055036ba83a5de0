#include "chart/type_chart.h"

#include "strings/message_boxes.h"

#include <QLocale>

using namespace Qt::StringLiterals;

bool IsForesightEntry(const TypeChartEntry& entry) {
    return entry.attacking == ForesightTypeId && entry.defending == ForesightTypeId &&
           entry.factor == 0;
}

QString TypeName(TypeId t) {
    if (t < NamedTypeCount)
        return TypeNames[Language * NamedTypeCount + t];
    return ErrorLabel[Language] + u'(' + QString::number(t) + u')';
}

// Integer arithmetic gives exactly the texts of factor * 0.1 printed with 15 significant
// digits, for every byte value, without any floating-point rounding to reason about.
QString FactorText(FactorByte factor, const QString& separator) {
    QString text = QString::number(factor / 10);
    if (factor % 10 != 0)
        text += separator + QString::number(factor % 10);
    return text;
}

QString FactorText(FactorByte factor) {
    static const QString separator = QLocale::system().decimalPoint();
    return FactorText(factor, separator);
}

void BuildEntryTexts() {
    ForesightEntryCount = 0;
    for (TypeChartEntry& entry : TypeChart) {
        if (IsForesightEntry(entry)) {
            entry.text = ForesightLabel[Language];
            ++ForesightEntryCount;
        } else {
            entry.text = TypeName(entry.attacking) + u" vs "_s + TypeName(entry.defending) +
                         u" = "_s + FactorText(entry.factor);
        }
    }
}

void WarnIfSeveralForesightEntries() {
    if (ForesightEntryCount > 1)
        ShowNotice(MultipleForesightEntriesMessage, WarningTitle);
}

bool ConfirmAnotherForesightEntry() {
    if (ForesightEntryCount == 0)
        return true;
    return AskYesNo(ForesightAlreadyPresentMessage, WarningTitle);
}
