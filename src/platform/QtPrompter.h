// Message boxes and the input box as Qt dialogs.
#pragma once

#include "platform/Prompter.h"

class QWidget;

namespace platform {

class QtPrompter : public Prompter {
public:
    // The application title shown when a message has none.
    explicit QtPrompter(QString defaultTitle, QWidget* parent = nullptr);

    MsgResult msgBox(const Message& message) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;

private:
    QString mDefaultTitle;
    QWidget* mParent;
};

}  // namespace platform
