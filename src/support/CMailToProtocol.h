// Opens the user's mail program with a new message, through a mailto link handed to the shell.
#pragma once

#include <QString>

namespace platform {
class Shell;
}

class CMailToProtocol {
public:
    // Without a shell no link is taken.
    explicit CMailToProtocol(platform::Shell* shell) : mShell(shell) {}

    // The code Send gives when the shell did not take the link.
    static constexpr int kSendFailed = -2147222007;  // 0x8003FE09
    // Mail programs take links of about this length.
    static constexpr int kMaxLinkLength = 2000;

    // 0 when the shell took the link, kSendFailed when it did not.
    int Send(const QString& to, const QString& subject, const QString& body, const QString& cc = QString(),
             const QString& bcc = QString(), bool cutAtLineEnd = true);

    // The link Send hands to the shell.
    static QString BuildLink(const QString& to, const QString& subject, const QString& body,
                             const QString& cc, const QString& bcc, bool cutAtLineEnd);

private:
    platform::Shell* mShell;
};
