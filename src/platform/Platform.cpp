#include "Platform.h"

#include "Prompter.h"

namespace platform {

void showMessage(const Services& services, const QString& text, MsgIcon icon, const QString& title) {
    if (Prompter* prompter = services.prompter) {
        Message message;
        message.text = text;
        message.icon = icon;
        message.title = title;
        prompter->msgBox(message);
    }
}

}  // namespace platform
