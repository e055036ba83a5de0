#include "strings/message_boxes.h"

#include <utility>

namespace {
MessagePresenter Presenter;

bool Present(StringKey text, StringKey title, MessageButtons buttons) {
    if (!Presenter)
        return false;
    return Presenter(CurrentText(text), CurrentText(title), buttons);
}
} // namespace

MessagePresenter SetMessagePresenter(MessagePresenter presenter) {
    return std::exchange(Presenter, std::move(presenter));
}

void ShowNotice(StringKey text, StringKey title) {
    Present(text, title, MessageButtons::Ok);
}

bool AskYesNo(StringKey text, StringKey title) {
    return Present(text, title, MessageButtons::YesNo);
}
