// A prompter that records the text of every message box and answers OK; input boxes are cancelled.
#pragma once

#include "platform/Prompter.h"

#include <QStringList>

#include <vector>

class RecordingPrompter : public platform::Prompter {
public:
    platform::MsgResult msgBox(const platform::Message& message) override {
        messages.append(message.text);
        shown.push_back(message);
        return platform::MsgResult::Ok;
    }
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QStringList messages;                  // the texts
    std::vector<platform::Message> shown;  // the whole messages: title, icon, buttons
};
