// Message boxes for the command line: each message is written to standard error on its own line and
// answered with its default button; input boxes are cancelled.
#pragma once

#include "platform/Prompter.h"

namespace cli {

class StderrPrompter : public platform::Prompter {
public:
    platform::MsgResult msgBox(const platform::Message& message) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
};

}  // namespace cli
