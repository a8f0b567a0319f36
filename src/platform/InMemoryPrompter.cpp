#include "platform/InMemoryPrompter.h"

#include <array>

namespace platform {

void InMemoryPrompter::answer(MsgResult result) {
    mAnswers.push_back(result);
}

void InMemoryPrompter::answerInput(std::optional<QString> text) {
    mInputAnswers.push_back(InputAnswer{!text.has_value(), text.value_or(QString())});
}

MsgResult InMemoryPrompter::msgBox(const Message& message) {
    mMessages.push_back(message);
    if (mAnswers.empty()) {
        return defaultAnswer(message);
    }
    const MsgResult result = mAnswers.front();
    mAnswers.pop_front();
    return result;
}

std::optional<QString> InMemoryPrompter::inputBox(const QString& prompt, const QString& title,
                                                  const QString& defaultText) {
    mInputs.push_back(InputPrompt{prompt, title, defaultText});
    if (mInputAnswers.empty()) {
        return defaultText;
    }
    const InputAnswer answer = mInputAnswers.front();
    mInputAnswers.pop_front();
    if (answer.cancelled) {
        return std::nullopt;
    }
    return answer.text;
}

void InMemoryPrompter::clear() {
    mAnswers.clear();
    mInputAnswers.clear();
    mMessages.clear();
    mInputs.clear();
}

MsgResult InMemoryPrompter::defaultAnswer(const Message& message) {
    using R = MsgResult;
    std::array<R, 3> buttons{R::Ok, R::Ok, R::Ok};
    int count = 1;
    switch (message.buttons) {
        case MsgButtons::Ok:
            break;
        case MsgButtons::OkCancel:
            buttons = {R::Ok, R::Cancel, R::Cancel};
            count = 2;
            break;
        case MsgButtons::AbortRetryIgnore:
            buttons = {R::Abort, R::Retry, R::Ignore};
            count = 3;
            break;
        case MsgButtons::YesNoCancel:
            buttons = {R::Yes, R::No, R::Cancel};
            count = 3;
            break;
        case MsgButtons::YesNo:
            buttons = {R::Yes, R::No, R::No};
            count = 2;
            break;
        case MsgButtons::RetryCancel:
            buttons = {R::Retry, R::Cancel, R::Cancel};
            count = 2;
            break;
    }
    // A default beyond the set falls back to the first button, as the platform's message box does.
    const int index =
        message.defaultButton >= 1 && message.defaultButton <= count ? message.defaultButton - 1 : 0;
    return buttons[static_cast<std::size_t>(index)];
}

}  // namespace platform
