#pragma once
// Driving the real main window in tests: answering its modal message boxes and its file dialog
// from a timer, as a user would, and recording what each box showed.

#include "support/rom_fixture.h"
#include "window/main_window.h"

#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

// What one message box showed.
struct SeenBox {
    QString title;
    QString text;
    QList<QMessageBox::StandardButton> buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Does something to the modal widget that has just come up.
using ModalAction = std::function<void(QWidget* modal)>;

ModalAction Click(QMessageBox::StandardButton button);
ModalAction PressKey(Qt::Key key); // Return, Escape ... as typed on the keyboard
ModalAction ChooseFile(const QString& path);
ModalAction CancelDialog();
// Runs `check` while the widget is up, then presses `key`.
ModalAction CheckThenPress(std::function<void()> check, Qt::Key key = Qt::Key_Return);

// Answers the modal widgets that come up, in order, with the given actions. A modal widget that
// comes up when no action is left is closed and counted in `unexpected`.
class ModalScript {
public:
    explicit ModalScript(QList<ModalAction> actions = {});
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    QList<SeenBox> boxes; // every message box, in order
    int fileDialogs = 0;  // file dialogs that came up
    int unexpected = 0;
    bool finished() const { return actions_.isEmpty(); }

private:
    void poll();
    QList<ModalAction> actions_;
    std::unique_ptr<QTimer> timer_;
    ModalScript* previous_;
};

// A fresh program and window, as right after start-up, with the real message boxes.
class FreshWindow {
public:
    FreshWindow();
    ~FreshWindow();
    TForm1& operator*() { return *form_; }
    TForm1* operator->() { return form_.get(); }

private:
    std::unique_ptr<TForm1> form_;
};

// File > Open, choosing `path` in the real dialog; fails the test if any box comes up.
void OpenImage(TForm1& form, const QString& path);

// Every text, item, selection, enabled and checked state the window shows.
QStringList Snapshot(TForm1& form);

// The texts of the entry list.
QStringList ListTexts(const TForm1& form);

// The twelve controls Open enables and Close disables, as booleans in their order.
QList<bool> OpenFileControlStates(const TForm1& form);

// Makes a file immutable, so that even root cannot write it; false where the file system
// cannot. Undo before the folder is removed.
bool SetImmutable(const QString& path, bool immutable);
