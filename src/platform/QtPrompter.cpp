#include "platform/QtPrompter.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include <utility>
#include <vector>

namespace platform {

namespace {

std::vector<std::pair<QMessageBox::StandardButton, MsgResult>> buttonsOf(MsgButtons buttons) {
    using B = QMessageBox;
    switch (buttons) {
        case MsgButtons::Ok:
            return {{B::Ok, MsgResult::Ok}};
        case MsgButtons::OkCancel:
            return {{B::Ok, MsgResult::Ok}, {B::Cancel, MsgResult::Cancel}};
        case MsgButtons::AbortRetryIgnore:
            return {{B::Abort, MsgResult::Abort}, {B::Retry, MsgResult::Retry}, {B::Ignore, MsgResult::Ignore}};
        case MsgButtons::YesNoCancel:
            return {{B::Yes, MsgResult::Yes}, {B::No, MsgResult::No}, {B::Cancel, MsgResult::Cancel}};
        case MsgButtons::YesNo:
            return {{B::Yes, MsgResult::Yes}, {B::No, MsgResult::No}};
        case MsgButtons::RetryCancel:
            return {{B::Retry, MsgResult::Retry}, {B::Cancel, MsgResult::Cancel}};
    }
    return {{B::Ok, MsgResult::Ok}};
}

QMessageBox::Icon iconOf(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Critical:
            return QMessageBox::Critical;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::Exclamation:
            return QMessageBox::Warning;
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QtPrompter::QtPrompter(QString defaultTitle, QWidget* parent)
    : mDefaultTitle(std::move(defaultTitle)), mParent(parent) {}

MsgResult QtPrompter::msgBox(const Message& message) {
    QMessageBox box(iconOf(message.icon), message.title.isEmpty() ? mDefaultTitle : message.title, message.text,
                    QMessageBox::NoButton, mParent);
    const auto buttons = buttonsOf(message.buttons);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        auto* button = box.addButton(buttons[i].first);
        if (static_cast<int>(i) + 1 == message.defaultButton) {
            box.setDefaultButton(button);
        }
    }
    const auto clicked = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const auto& [standard, result] : buttons) {
        if (standard == clicked) {
            return result;
        }
    }
    // Closed with Escape or the window's close button: the cancel-like answer of the set.
    return buttons.size() > 1 ? buttons.back().second : MsgResult::Ok;
}

std::optional<QString> QtPrompter::inputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText) {
    bool accepted = false;
    const QString answer = QInputDialog::getText(mParent, title.isEmpty() ? mDefaultTitle : title, prompt,
                                                 QLineEdit::Normal, defaultText, &accepted);
    if (!accepted) {
        return std::nullopt;
    }
    return answer;
}

}  // namespace platform
