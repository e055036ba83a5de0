#pragma once
// What the tests share: image files built around the chart the games ship (tests/data), and the
// real main window driven as a user drives it, its message boxes and file dialog answered from a
// timer. Each test program includes it once.

#include "rom/rom_image.h"
#include "window/main_window.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

inline constexpr std::uint32_t FireRedChart = 0x24F050;  // where "BPRE" images keep their chart
inline constexpr qint64 ImageSize = FireRedChart + 8192; // room for the chart and what follows

// The shipped chart: its 111 records, then the end-of-chart record; 336 bytes.
inline QByteArray RealChart() {
    QFile file(QStringLiteral(QUORVANE_TEST_DATA "/gen3-type-chart.hex"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("Could not read %s", qPrintable(file.fileName()));
    return QByteArray::fromHex(file.readAll());
}

// The 333 bytes TypeChart holds now.
inline QByteArray TableBytes() {
    QByteArray bytes;
    for (const TypeChartEntry& e : TypeChart)
        bytes.append(char(e.attacking)).append(char(e.defending)).append(char(e.factor));
    return bytes;
}

// Writes a sparse image of `size` bytes and returns its path: patterned bytes around offset 172,
// which holds `code`, and around `offset`, which holds `chart`. A small size cuts it short.
inline QString WriteImage(const QString& path, const QByteArray& chart = RealChart(),
                          const QByteArray& code = "BPRE", std::uint32_t offset = FireRedChart,
                          qint64 size = ImageSize) {
    const QByteArray noise = QByteArray::number(offset).repeated(1024).left(4096); // no chart's
    QFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    for (auto [at, bytes] :
         {std::pair{0u, noise}, {172u, code}, {offset - 4096, noise + chart + noise}})
        written = written && file.seek(at) && file.write(bytes) == bytes.size();
    if (!written || !file.resize(size))
        qFatal("Could not write the test image %s", qPrintable(path));
    return path;
}

// What the file holds; nothing where there is none.
inline QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Detaches the stream, puts the system's calls back, and zeroes the chart, its offset and the
// language.
inline void ResetProgramState() {
    RomStream.close();
    RomFileCalls = {};
    TypeChart = TypeChartTable{};
    TableOffset = 0;
    Language = 0;
}

// A box as Answer reports it: "title | text | buttons", the default button marked "*" ("Yes No*"),
// " !" added for an icon and " ownerless" for a box not over the window (centred on the screen,
// with a taskbar entry of its own). The buttons come in the order of their roles.
inline QString Describe(const QMessageBox* box) {
    QString line = box->windowTitle() + u" | "_s + box->text() + u" |"_s;
    for (const QAbstractButton* button : box->buttons())
        line +=
            u' ' + button->text().remove(u'&') + (button == box->defaultButton() ? u"*"_s : u""_s);
    return line + (box->icon() == QMessageBox::NoIcon ? u""_s : u" !"_s) +
           (box->parentWidget() == Form1 ? u""_s : u" ownerless"_s);
}

// Runs `action`, answering the modal widgets it brings up one step each, in order: "yes" clicks
// Yes, "enter" and "escape" press that key, and in the file dialog anything else is typed as the
// file name and confirmed. Returns what came up: the file dialog as "dialog", a message box as
// Describe writes it, and "unexpected" after a widget that came up with no step left, which is
// escaped. (A box left up by a wrong answer ends the test at Qt Test's function time-out.)
inline QStringList Answer(QStringList steps, const std::function<void()>& action) {
    QStringList seen;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal->property("answered").toBool())
            return;
        modal->setProperty("answered", true);
        auto* box = qobject_cast<QMessageBox*>(modal);
        seen << (box ? Describe(box) : u"dialog"_s);
        if (steps.isEmpty())
            seen << u"unexpected"_s;
        QTimer::singleShot(0, modal, [=, step = steps.isEmpty() ? u"escape"_s : steps.takeFirst()] {
            auto* name = modal->findChild<QLineEdit*>(u"fileNameEdit"_s);
            if (box && step == u"yes")
                box->button(QMessageBox::Yes)->click();
            else if (step == u"enter" || step == u"escape")
                QTest::keyClick(modal, step == u"enter" ? Qt::Key_Return : Qt::Key_Escape);
            else if (name) {
                name->setText(step);
                QTest::keyClick(name, Qt::Key_Return);
            }
        });
    });
    timer.start(5);
    action();
    return seen;
}

// What the file commands set, in a line: whether an image is attached, the list's rows and
// selected row, and which controls are enabled, a digit each: Save and Close, then the controls
// of the client area in the order of the form.
inline QString FileState(const TForm1& form) {
    QString enabled = u"%1%2 "_s.arg(form.Save1->isEnabled()).arg(form.Close1->isEnabled());
    for (const QWidget* c : form.ClientArea->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        enabled += QString::number(c->isEnabled());
    return u"%1, %2 rows, row %3, enabled %4"_s.arg(RomStream.is_open() ? u"open" : u"closed")
        .arg(form.ListBox1->count())
        .arg(form.ListBox1->currentRow())
        .arg(enabled);
}
inline const QString NoImage = u"closed, 0 rows, row -1, enabled 00 0000000010001"_s;
// Right after an Open from the no-image state: the first row selected, the commands enabled.
inline const QString FirstImage = u"open, 111 rows, row 0, enabled 11 1111111111101"_s;

// A fresh program and window as right after start-up, showing real message boxes; in French when
// QUORVANE_LANGUAGE is "fr", as CTest has it for a second run of the file commands' rows.
struct Editor {
    Editor() {
        ResetProgramState();
        SetMessagePresenter(ShowMessageBox);
        form = std::make_unique<TForm1>();
        Form1 = form.get();
        if (qEnvironmentVariable("QUORVANE_LANGUAGE") == u"fr")
            form->Francais1->trigger();
#ifdef Q_OS_WIN // paths over 260 characters long, which the file layer must hand the system whole
        dir.setPath(dir.path() + u"/a folder with a name long enough"_s.repeated(8));
        if (!dir.mkpath(u"."_s))
            qFatal("Could not make %s", qPrintable(dir.path()));
#endif
    }
    // Opens `file` through File > Open from the no-image state; true when the dialog alone came
    // up and the window shows the image as a first Open must.
    [[nodiscard]] bool openFile(const QString& file) {
        const QStringList shown = Answer({file}, [&] { form->Open1->trigger(); });
        return shown == QStringList(u"dialog"_s) && FileState(*form) == FirstImage;
    }
    // Writes a Fire Red image holding `chart` and opens it.
    [[nodiscard]] bool open(const QByteArray& chart) {
        return openFile(path = WriteImage(dir.filePath(u"rom.gba"_s), chart));
    }
    ~Editor() { // the image is let go before its folder is removed
        Form1 = nullptr;
        form.reset();
        ResetProgramState();
    }
    TForm1* operator->() const {
        return form.get();
    }
    // The test's files, in a folder named as users' often are, with a space and a dot: the dot of
    // a typed name's extension is looked for in the file's name alone.
    QTemporaryDir temporary{QDir::tempPath() + u"/ROMs v1.2-XXXXXX"_s};
    QDir dir{temporary.path()};
    QString path;
    std::unique_ptr<TForm1> form;
};

// Sets the selectors: the two types, the multiplier group's item and the custom list's item.
inline void Select(TForm1& form, int attacking, int defending, int radioItem, int customItem = 0) {
    form.AttackingTypeComboBox->setCurrentIndex(attacking);
    form.DefendingTypeComboBox->setCurrentIndex(defending);
    form.SetMultFactorItemIndex(radioItem);
    form.CustomMultFactorComboBox->setCurrentIndex(customItem);
}

// Selects `row`, then clicks `button`; false, with no click, when the button is disabled.
[[nodiscard]] inline bool Press(TForm1& form, int row, QPushButton* button) {
    form.ListBox1->setCurrentRow(row);
    if (!button->isEnabled())
        return false;
    button->click();
    return true;
}

// The lines of tests/data/NAME.txt as last reviewed, a line break inside one written there as \n;
// compared with what the program shows now, a difference fails with the first line that differs.
// Run with QUORVANE_REVIEWED=1 to have `now`, unless it is empty, written there first for review.
inline QStringList Reviewed(const QString& name, QStringList now = {}) {
    QFile file(QStringLiteral(QUORVANE_TEST_DATA "/") + name + u".txt"_s);
    if (qEnvironmentVariableIsSet("QUORVANE_REVIEWED") && !now.isEmpty() &&
        file.open(QIODevice::WriteOnly))
        file.write((now.replaceInStrings(u"\n"_s, u"\\n"_s).join(u'\n') + u'\n').toUtf8());
    file.close();
    file.open(QIODevice::ReadOnly); // a file that is not there reads as empty, and differs
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    lines.removeLast(); // what follows the last line break
    return lines.replaceInStrings(u"\\n"_s, u"\n"_s);
}

// `shown` with each box named by its word in tests/data/message-boxes.txt ("saved", "missing"...)
// in the language the window starts in ("en", or QUORVANE_LANGUAGE's); a box not worded exactly
// as there stays whole, and fails.
inline QStringList InWords(QStringList shown) {
    QHash<QString, QString> words;
    for (const QString& line : Reviewed(u"message-boxes"_s))
        if (line.startsWith(qEnvironmentVariable("QUORVANE_LANGUAGE", u"en"_s) + u' '))
            words[line.section(u": "_s, 1)] = line.section(u": "_s, 0, 0).mid(3);
    for (QString& box : shown)
        box = words.value(box, box);
    return shown;
}
