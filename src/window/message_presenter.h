#pragma once
// The window's side of talking to the user: the message boxes the program's messages are shown
// in, and the guard every click handler runs its work under.

#include "strings/message_boxes.h"

#include <QString>

#include <functional>

// Runs a click handler's work; an exception it throws is shown to the user and the program goes
// on, since letting it unwind through the toolkit's event loop is undefined behaviour.
void RunHandler(const std::function<void()>& work);

// Reports an exception that was caught, with its message (empty for an unknown exception).
void ShowException(const QString& message);

// Shows the program's message boxes as modal boxes without an icon.
bool ShowMessageBox(const QString& text, const QString& title, MessageButtons buttons);
