#pragma once
// Driving the real main window: its message boxes and file dialog answered from a timer, as a
// user would answer them, and a fresh editor with or without an image open.

#include "support/images.h"
#include "window/main_window.h"

#include <QTemporaryDir>

#include <functional>
#include <memory>

// Runs `action`, answering the modal widgets it brings up one step each, in order: "yes" clicks
// Yes, "enter" and "escape" press that key, and in the file dialog anything else is typed as the
// file name and confirmed. Returns what came up: a
// message box as "title | text | buttons" (their texts, the default marked "*", an icon "!"), the
// file dialog as "dialog"; then "unexpected" for a widget rejected for want of a step, and
// "unused" for a step left over.
QStringList Answer(QStringList steps, const std::function<void()>& action);

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

// File > Open of `path` through the real dialog; fails the test if any box comes up.
void OpenImage(TForm1& form, const QString& path);

void Select(TForm1& form, int attacking, int defending, int radioItem, int customItem = 0);

// Selects `row`, then clicks `button`.
void Press(TForm1& form, int row, QPushButton* button);

// What the file commands set, in a line: whether an image is attached, the list's rows and
// selected row, and how many of the twelve controls that Open enables are enabled.
QString FileState(const TForm1& form);
