// Message boxes and the input box.
#pragma once

#include <QString>

#include <optional>

namespace platform {

// Button sets, icons and answers keep the host platform's numbering so that call sites read as the
// original message-box calls do.
enum class MsgButtons {
    Ok = 0,
    OkCancel = 1,
    AbortRetryIgnore = 2,
    YesNoCancel = 3,
    YesNo = 4,
    RetryCancel = 5
};
enum class MsgIcon { None = 0, Critical = 16, Question = 32, Exclamation = 48, Information = 64 };
enum class MsgResult { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct Message {
    QString text;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    QString title;          // empty: the application title
    int defaultButton = 1;  // 1, 2 or 3
};

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual MsgResult msgBox(const Message& message) = 0;
    // std::nullopt when the user cancelled, which is not the same as an empty answer.
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText) = 0;
};

struct Services;

// A message box with only an OK button, through the services' prompter; nothing without one.
void showMessage(const Services& services, const QString& text, MsgIcon icon,
                 const QString& title = QString());

}  // namespace platform
