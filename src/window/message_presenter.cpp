// The window's side of talking to the user: the real message boxes, and the guard that shows a
// handler's exception in one.

#include "window/message_presenter.h"

#include "window/main_window.h"

#include <QMessageBox>

using namespace Qt::StringLiterals;

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
