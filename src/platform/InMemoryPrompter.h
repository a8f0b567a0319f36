// Message boxes and input boxes answered from a script, for the command-line tool and the tests. Every
// prompt is recorded with all it showed, so callers can assert the exact texts.
#pragma once

#include "platform/Prompter.h"

#include <deque>
#include <optional>
#include <vector>

namespace platform {

struct InputPrompt {
    QString prompt;
    QString title;
    QString defaultText;
};

class InMemoryPrompter : public Prompter {
public:
    // Queues the answer to the next message box; without one a message box gives its default button.
    void answer(MsgResult result);
    // Queues the answer to the next input box; std::nullopt plays a cancelled box. Without one an input
    // box gives its default text.
    void answerInput(std::optional<QString> text);

    MsgResult msgBox(const Message& message) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;

    const std::vector<Message>& messages() const { return mMessages; }
    const std::vector<InputPrompt>& inputs() const { return mInputs; }
    // Forgets what was shown and what is still queued.
    void clear();

    // The answer a message box gives when its default button is taken.
    static MsgResult defaultAnswer(const Message& message);

private:
    std::deque<MsgResult> mAnswers;
    struct InputAnswer {
        bool cancelled = false;
        QString text;
    };
    std::deque<InputAnswer> mInputAnswers;
    std::vector<Message> mMessages;
    std::vector<InputPrompt> mInputs;
};

}  // namespace platform
