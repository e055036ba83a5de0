#include "window/main_window.h"

#include "strings/interface_strings.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QLayout>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QScreen>

#ifdef Q_OS_WIN
#include "window/system_open_dialog.h"
#endif

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

namespace {

// "description|patterns|..." as the toolkit's name filters. The toolkit shows only what stands
// before the last parenthesis, so each description is shown exactly as written while its
// patterns are spelt the way this platform matches them: "*.*" would skip names with no dot.
QStringList NameFilters(const QString& filter) {
    QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1].replace(u';', u' ');
        if (patterns == u"*.*")
            patterns = u"*"_s;
        filters.append(parts[i] + u" ("_s + patterns + u')');
    }
    return filters;
}

// The toolkit would add the default extension to every name without a dot, so typing "firered"
// would open "firered.gba" even with a "firered" beside it. A name that names a file is taken as
// it stands; only a name that names nothing and has no dot gets the default extension.
// A symbolic link is a name that names something, even when what it points at is gone: it is
// taken as it stands, and a dangling one is then refused as missing.
QString WithDefaultExtension(const QString& path, const QString& defaultExt) {
    const QFileInfo file(path);
    if (file.exists() || file.isSymLink() || file.fileName().contains(u'.'))
        return path;
    return path + QString(defaultExt).remove(u'*');
}

// Icons and type names from the name alone. The toolkit's own provider reads the start of every
// file whose name does not tell its type, which on a slow share, or in /proc, can hang the dialog.
class NameOnlyIconProvider : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override { return icon(info.isDir() ? Folder : File); }
    QString type(const QFileInfo& info) const override {
        const QMimeType type =
            info.isDir() ? Types.mimeTypeForName(u"inode/directory"_s)
                         : Types.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
        return type.comment();
    }

private:
    QMimeDatabase Types;
};

} // namespace

bool TOpenDialog::Execute(QWidget* parent) {
#ifdef Q_OS_WIN
    // Where Qt would show the system's dialog, the editor shows it itself, for files on disk only
    // (system_open_dialog.h says why); Qt's own dialog stays for where the system has none.
    if (QGuiApplication::platformName() == u"windows") {
        if (const std::optional<QString> chosen = ChooseInSystemOpenDialog(parent, Filter)) {
            if (chosen->isEmpty())
                return false;
            FileName = WithDefaultExtension(*chosen, DefaultExt);
            return true;
        }
    }
#endif
    NameOnlyIconProvider icons; // outlives the dialog that uses it
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // a typed name need not exist
    // The toolkit's own dialog, never a desktop theme's: it follows the editor's language, and it
    // reads no file's contents to choose an icon.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(NameFilters(Filter));
    dialog.setIconProvider(&icons);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    FileName = WithDefaultExtension(dialog.selectedFiles().constFirst(), DefaultExt);
    return true;
}

bool ShowMessageBox(const QString& text, const QString& title, MessageButtons buttons) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, Form1);
    box.setTextFormat(Qt::PlainText);
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    return box.exec() == QMessageBox::Yes;
}

void ShowException(const QString& message) {
    QMessageBox box(QMessageBox::Critical, u"Quorvane"_s, message, QMessageBox::Ok, Form1);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void RunHandler(const std::function<void()>& work) {
    try {
        work();
    } catch (const std::exception& error) {
        ShowException(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ShowException(QString());
    }
}
