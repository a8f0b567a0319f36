#include "cli/StderrPrompter.h"

#include "cli/Command.h"

#include <array>

namespace cli {

namespace {

// The answers of each button set, in button order.
std::array<platform::MsgResult, 3> Answers(platform::MsgButtons buttons) {
    using platform::MsgResult;
    switch (buttons) {
        case platform::MsgButtons::OkCancel:
            return {MsgResult::Ok, MsgResult::Cancel, MsgResult::Cancel};
        case platform::MsgButtons::AbortRetryIgnore:
            return {MsgResult::Abort, MsgResult::Retry, MsgResult::Ignore};
        case platform::MsgButtons::YesNoCancel:
            return {MsgResult::Yes, MsgResult::No, MsgResult::Cancel};
        case platform::MsgButtons::YesNo:
            return {MsgResult::Yes, MsgResult::No, MsgResult::No};
        case platform::MsgButtons::RetryCancel:
            return {MsgResult::Retry, MsgResult::Cancel, MsgResult::Cancel};
        case platform::MsgButtons::Ok:
            break;
    }
    return {MsgResult::Ok, MsgResult::Ok, MsgResult::Ok};
}

}  // namespace

platform::MsgResult StderrPrompter::msgBox(const platform::Message& message) {
    QString text = message.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    err() << text << '\n';
    err().flush();
    const int button = qBound(1, message.defaultButton, 3);
    return Answers(message.buttons)[static_cast<std::size_t>(button - 1)];
}

std::optional<QString> StderrPrompter::inputBox(const QString& prompt, const QString&, const QString&) {
    err() << prompt << '\n';
    err().flush();
    return std::nullopt;
}

}  // namespace cli
