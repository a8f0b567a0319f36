#include "Platform.h"

#include "Prompter.h"

namespace platform {

Services& services() {
    static Services installed;
    return installed;
}

void showMessage(const QString& text, MsgIcon icon, const QString& title) {
    if (Prompter* prompter = services().prompter) {
        Message message;
        message.text = text;
        message.icon = icon;
        message.title = title;
        prompter->msgBox(message);
    }
}

}  // namespace platform
