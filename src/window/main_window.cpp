#include "window/main_window.h"

#include "strings/interface_strings.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QLayout>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace {

// The geometry is drawn for Tahoma 8 pt. Where Tahoma is missing, the system's sans-serif stands
// in for it, a little smaller if need be, so that the labels' design captions still fit their
// stored widths instead of running under the type lists beside them.
void FitFontToDesign(QWidget* window, std::initializer_list<const QLabel*> labels) {
    QFont font = window->font();
    if (QFontInfo(font).family() == u"Tahoma")
        return;
    font.setStyleHint(QFont::SansSerif);
    auto fits = [&](const QFont& candidate) {
        const QFontMetrics metrics(candidate);
        for (const QLabel* label : labels)
            if (metrics.horizontalAdvance(label->text()) > label->width())
                return false;
        return true;
    };
    while (font.pointSizeF() > 6 && !fits(font))
        font.setPointSizeF(font.pointSizeF() - 0.25);
    window->setFont(font);
}

// Where Tahoma is missing, the form's font is looked up from the start with the sans-serif hint
// the fit gives it: the first texts the form measures then load the stand-in the fit starts
// from, not a stand-in without the hint that nothing keeps. Where Tahoma is there (listed as
// "Tahoma [foundry]" when several foundries have it), nothing changes.
void HintStandInForTahoma() {
    const QStringList families = QFontDatabase::families();
    if (families.contains(u"Tahoma"_s, Qt::CaseInsensitive) ||
        !families.filter(u"Tahoma ["_s, Qt::CaseInsensitive).isEmpty())
        return;
    QFont natural = QApplication::font();
    natural.setStyleHint(QFont::SansSerif);
    QApplication::setFont(natural, TForm1::staticMetaObject.className());
}

} // namespace

TForm1::TForm1(QWidget* owner) : QMainWindow(owner) {
    HintStandInForTahoma();
    setupUi(this);
    FitFontToDesign(this, {AttackingTypeLabel, DefendingTypeLabel});
    // A fixed frame: close box and minimise button, no maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(u":/quorvane/quorvane-16.xpm"_s));
    OpenDialog1.Filter = u"Gameboy Advance Rom (*.gba)|*.gba|Any File (*.*)|*.*"_s;
    OpenDialog1.DefaultExt = u"*.gba"_s;
    layout()->setSizeConstraint(QLayout::SetFixedSize); // the client area's size, plus the menu bar
    adjustSize();
    if (const QScreen* display = screen())
        move(display->availableGeometry().center() - rect().center());

    FillInterfaceStrings();
    FillCustomMultFactorComboBox();
    SetLanguage(0);
}

int TForm1::MultFactorItemIndex() const {
    const QAbstractButton* checked = MultFactorRadioItems->checkedButton();
    return checked ? int(MultFactorRadioItems->buttons().indexOf(checked)) : -1;
}

void TForm1::SetMultFactorItemIndex(int index) {
    if (QAbstractButton* item = MultFactorRadioItems->buttons().value(index))
        item->setChecked(true);
}
