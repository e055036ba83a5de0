#pragma once
// What the tests share: image files built around the chart the games ship (tests/data), and the
// real main window driven as a user drives it, its message boxes and file dialog answered from a
// timer.

#include "rom/rom_image.h"
#include "window/main_window.h"

#include <QTemporaryDir>

#include <functional>
#include <memory>

inline constexpr std::uint32_t FireRedChart = 0x24F050;  // where "BPRE" images keep their chart
inline constexpr qint64 ImageSize = FireRedChart + 8192; // room for the chart and what follows

// The shipped chart: its 111 records, then the end-of-chart record; 336 bytes.
QByteArray RealChart();

// The 333 bytes TypeChart holds now.
QByteArray TableBytes();

// Writes a sparse image of `size` bytes and returns its path: patterned bytes around offset 172,
// which holds `code`, and around `offset`, which holds `chart`. A small size cuts it short.
QString WriteImage(const QString& path, const QByteArray& chart = RealChart(),
                   const QByteArray& code = "BPRE", std::uint32_t offset = FireRedChart,
                   qint64 size = ImageSize);

// What the file holds; nothing where there is none.
QByteArray FileBytes(const QString& path);

// Detaches the stream and zeroes the chart, its offset and the language.
void ResetProgramState();

// True when this process holds nothing of the file open and another stream can attach it, which
// it cannot while anyone holds the file's lock.
bool Released(const QString& path);

// Runs `action`, answering the modal widgets it brings up one step each, in order: "yes" clicks
// Yes, "enter" and "escape" press that key, and in the file dialog anything else is typed as the
// file name and confirmed. Returns what came up: a message box as "title | text | buttons" (as
// Box writes it), the file dialog as "dialog", and "unexpected" after a widget rejected for want
// of a step. (A box left up by a wrong answer ends the test at Qt Test's function time-out.)
QStringList Answer(QStringList steps, const std::function<void()>& action);

// A box of the program's, as Answer reports it, in the language in force: its title, its text,
// then its buttons' texts, the default one marked "*" ("Yes No*", "OK"), and "!" for an icon.
QString Box(StringKey title, StringKey text, const QString& buttons = QStringLiteral("OK"));

// A fresh program and window as right after start-up, showing real message boxes; given a
// chart, a Fire Red image holding it is written and opened through File > Open.
struct Editor {
    explicit Editor(const QByteArray& chart = {});
    ~Editor();
    TForm1* operator->() const { return form.get(); }
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<TForm1> form;
};

void Select(TForm1& form, int attacking, int defending, int radioItem, int customItem = 0);

// Selects `row`, then clicks `button`.
void Press(TForm1& form, int row, QPushButton* button);

// What the file commands set, in a line: whether an image is attached, the list's rows and
// selected row, and how many of the twelve controls that Open enables are enabled.
QString FileState(const TForm1& form);
inline const QString NoImage = QStringLiteral("closed, 0 rows, row -1, 0 of 12 enabled");
