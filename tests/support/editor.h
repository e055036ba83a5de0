#pragma once
// What the tests share: image files built around the chart the games ship (tests/data), and the
// real main window driven as a user drives it, its message boxes and file dialog answered from a
// timer. Each test program includes it once.

#include "rom/rom_image.h"
#include "window/main_window.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

inline constexpr std::uint32_t FireRedChart = 0x24F050;  // where "BPRE" images keep their chart
inline constexpr qint64 ImageSize = FireRedChart + 8192; // room for the chart and what follows

// The shipped chart: its 111 records, then the end-of-chart record; 336 bytes.
inline QByteArray RealChart() {
    QFile file(QStringLiteral(QUORVANE_TEST_DATA "/gen3-type-chart.hex"));
    QByteArray chart = file.open(QIODevice::ReadOnly) ? QByteArray::fromHex(file.readAll()) : "";
    if (chart.size() != ChartSize + ChartRecordSize)
        qFatal("%s should hold 112 records", qPrintable(file.fileName()));
    return chart;
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
    auto put = [&](qint64 at, const QByteArray& bytes) {
        return file.seek(at) && file.write(bytes) == bytes.size();
    };
    if (!file.open(QIODevice::WriteOnly) || !put(0, noise) || !put(172, code) ||
        !put(offset - 4096, noise + chart + noise) || !file.resize(size))
        qFatal("Could not write the test image %s", qPrintable(path));
    return path;
}

// What the file holds; nothing where there is none.
inline QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// True when this process holds nothing of the file open and another stream can attach it, which
// it cannot while anyone holds the file's lock.
inline bool Released(const QString& path) {
#ifdef Q_OS_LINUX // where the system lists the process's descriptors: none may lead to the file
    const QString file = QFileInfo(path).canonicalFilePath();
    for (const QFileInfo& fd : QDir(u"/proc/self/fd"_s).entryInfoList(QDir::Files | QDir::System))
        if (fd.symLinkTarget() == file)
            return false;
#endif
    RomFileStream otherEditor;
    otherEditor.open(path);
    return otherEditor.is_open() || !QFileInfo(path).isFile();
}

// Detaches the stream and zeroes the chart, its offset and the language.
inline void ResetProgramState() {
    RomStream.close();
    TypeChart = TypeChartTable{};
    TableOffset = 0;
    Language = 0;
}

// A box as Answer reports it: its title, its text, then its buttons' texts, the default one
// marked "*" ("Yes No*", "OK"), and "!" for an icon.
inline QString Describe(const QMessageBox* box) {
    QString line = box->windowTitle() + u" | "_s + box->text() + u" |"_s;
    for (QMessageBox::StandardButton standard :
         {QMessageBox::Yes, QMessageBox::No, QMessageBox::Ok})
        if (const QAbstractButton* button = box->button(standard))
            line += u' ' + button->text().remove(u'&') +
                    (button == box->defaultButton() ? u"*"_s : QString());
    return line + (box->icon() == QMessageBox::NoIcon ? QString() : u" !"_s);
}

// Runs `action`, answering the modal widgets it brings up one step each, in order: "yes" clicks
// Yes, "enter" and "escape" press that key, and in the file dialog anything else is typed as the
// file name and confirmed. Returns what came up: a message box as Describe writes it, the file
// dialog as "dialog", and "unexpected" after a widget rejected for want of a step. (A box left up
// by a wrong answer ends the test at Qt Test's function time-out.)
inline QStringList Answer(QStringList steps, const std::function<void()>& action) {
    QStringList seen;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal->property("answered").toBool())
            return;
        modal->setProperty("answered", true);
        auto* box = qobject_cast<QMessageBox*>(modal);
        seen.append(box ? Describe(box) : u"dialog"_s);
        if (steps.isEmpty()) {
            seen.append(u"unexpected"_s);
            QMetaObject::invokeMethod(modal, "reject", Qt::QueuedConnection);
            return;
        }
        QTimer::singleShot(0, modal, [=, step = steps.takeFirst()] { // from the event loop
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

// A box of the program's, as Answer reports it, in the language in force.
inline QString Box(StringKey title, StringKey text, const QString& buttons = u"OK"_s) {
    return CurrentText(title) + u" | "_s + CurrentText(text) + u" | "_s + buttons;
}

// A fresh program and window as right after start-up, showing real message boxes; given a
// chart, a Fire Red image holding it is written and opened through File > Open.
struct Editor {
    explicit Editor(const QByteArray& chart = {}) {
        ResetProgramState();
        SetMessagePresenter(ShowMessageBox);
        form = std::make_unique<TForm1>();
        Form1 = form.get();
        if (!chart.isEmpty()) {
            path = WriteImage(dir.filePath(u"rom.gba"_s), chart);
            QCOMPARE(Answer({path}, [&] { form->Open1->trigger(); }), QStringList(u"dialog"_s));
        }
    }
    ~Editor() {
        Form1 = nullptr;
        form.reset();
        ResetProgramState();
    }
    TForm1* operator->() const { return form.get(); }
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<TForm1> form;
};

inline void Select(TForm1& form, int attacking, int defending, int radioItem, int customItem = 0) {
    form.AttackingTypeComboBox->setCurrentIndex(attacking);
    form.DefendingTypeComboBox->setCurrentIndex(defending);
    form.SetMultFactorItemIndex(radioItem);
    form.CustomMultFactorComboBox->setCurrentIndex(customItem);
}

// Selects `row`, then clicks `button`.
inline void Press(TForm1& form, int row, QPushButton* button) {
    form.ListBox1->setCurrentRow(row);
    QVERIFY(button->isEnabled());
    button->click();
}

// What the file commands set, in a line: whether an image is attached, the list's rows and
// selected row, and how many of the twelve controls that Open enables are enabled.
inline QString FileState(const TForm1& form) {
    int enabled = 0;
    for (const QString& name :
         u"Save1 Close1 ChangeButton InsertButton AttackingTypeLabel DefendingTypeLabel "
         u"AttackingTypeComboBox DefendingTypeComboBox MultFactorRadioGroup "
         u"ChangeToForesightEntryButton InsertForesightEntryButton DeleteButton"_s.split(u' '))
        enabled += form.findChild<QObject*>(name)->property("enabled").toBool();
    return u"%1, %2 rows, row %3, %4 of 12 enabled"_s.arg(RomStream.is_open() ? u"open" : u"closed")
        .arg(form.ListBox1->count())
        .arg(form.ListBox1->currentRow())
        .arg(enabled);
}
inline const QString NoImage = u"closed, 0 rows, row -1, 0 of 12 enabled"_s;
