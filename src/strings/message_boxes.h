#pragma once
// How the program talks to the user: modal message boxes with a title and a text from
// InterfaceStrings, in the language in force when the box opens, without an icon.
//
// The chart and ROM code asks its questions through this layer, which knows no widgets; the
// window installs the presenter that shows real boxes, and tests may install one that answers.

#include "strings/interface_strings.h"

#include <functional>
#include <vector>

enum class MessageButtons {
    Ok,   // a notice: one OK button
    YesNo // a question: Yes and No, No the default and the answer to Escape
};

// Shows one box and returns true when the user answered Yes (always false for a notice).
using MessagePresenter =
    std::function<bool(const QString& text, const QString& title, MessageButtons buttons)>;

// Replaces the presenter; returns the one it replaces. With none installed, a notice shows
// nothing and every question is answered No, the answer that changes nothing.
MessagePresenter SetMessagePresenter(MessagePresenter presenter);

void ShowNotice(StringKey text, StringKey title);
// A notice whose text is several lines of the table: what happened, why, what it left.
void ShowNotice(const std::vector<StringKey>& lines, StringKey title);
bool AskYesNo(StringKey text, StringKey title);
