// A prompter that records the text of every message box and answers OK; input boxes are cancelled.
#pragma once

#include "platform/Prompter.h"

#include <QStringList>

class RecordingPrompter : public platform::Prompter {
public:
    platform::MsgResult msgBox(const platform::Message& message) override {
        messages.append(message.text);
        return platform::MsgResult::Ok;
    }
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QStringList messages;
};
