#include "strings/message_boxes.h"

#include <QStringList>

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

void ShowNotice(const std::vector<StringKey>& lines, StringKey title) {
    QStringList texts;
    for (StringKey line : lines)
        texts << CurrentText(line);
    Present(texts.join(u'\n'), title, MessageButtons::Ok);
}

bool AskYesNo(StringKey text, StringKey title) {
    return Present(CurrentText(text), title, MessageButtons::YesNo);
}
