#include "strings/message_boxes.h"

#include <utility>

namespace {
MessagePresenter Presenter;

bool Present(const QString& text, StringKey title, MessageButtons buttons) {
    if (!Presenter)
        return false;
    return Presenter(text, CurrentText(title), buttons);
}
} // namespace

MessagePresenter SetMessagePresenter(MessagePresenter presenter) {
    return std::exchange(Presenter, std::move(presenter));
}

void ShowNotice(StringKey text, StringKey title) {
    Present(CurrentText(text), title, MessageButtons::Ok);
}

void ShowNotice(StringKey text, StringKey why, StringKey title) {
    Present(CurrentText(text) + u'\n' + CurrentText(why), title, MessageButtons::Ok);
}

bool AskYesNo(StringKey text, StringKey title) {
    return Present(CurrentText(text), title, MessageButtons::YesNo);
}
