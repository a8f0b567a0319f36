#include "support/CMailToProtocol.h"

#include "platform/Platform.h"
#include "platform/Shell.h"

namespace {

const QString kEscapedLineBreak = QStringLiteral("%0d%0a");
const QString kEllipsis = QStringLiteral("...");

// Only line breaks and blanks are escaped; mail programs take the rest as it is.
QString Escaped(QString text) {
    text.replace(QLatin1String("\r\n"), kEscapedLineBreak);
    text.replace(QLatin1Char(' '), QLatin1String("%20"));
    return text;
}

// The shell's results up to this value mean it could not open the link.
constexpr int kLowestShellSuccess = 42;

}  // namespace

QString CMailToProtocol::BuildLink(const QString& to, const QString& subject, const QString& body,
                                   const QString& cc, const QString& bcc, bool cutAtLineEnd) {
    QString link = QStringLiteral("mailto:") + to + QLatin1Char('?');
    if (!cc.isEmpty()) {
        link += QStringLiteral("CC=") + cc + QLatin1Char('&');
    }
    if (!bcc.isEmpty()) {
        link += QStringLiteral("BCC=") + bcc + QLatin1Char('&');
    }
    link += QStringLiteral("Subject=") + Escaped(subject) + QLatin1Char('&');
    link += QStringLiteral("Body=") + Escaped(body);

    if (link.size() > kMaxLinkLength) {
        link = link.left(kMaxLinkLength) + kEllipsis;
        if (cutAtLineEnd) {
            const qsizetype lineEnd = link.lastIndexOf(kEscapedLineBreak);
            if (lineEnd >= 0) {
                link = link.left(lineEnd + kEscapedLineBreak.size()) + kEllipsis;
            }
        }
    }
    return link;
}

int CMailToProtocol::Send(const QString& to, const QString& subject, const QString& body, const QString& cc,
                          const QString& bcc, bool cutAtLineEnd) {
    try {
        if (!mShell) {
            return kSendFailed;
        }
        const int result = mShell->open(BuildLink(to, subject, body, cc, bcc, cutAtLineEnd));
        return result < kLowestShellSuccess ? kSendFailed : 0;
    } catch (...) {
        return kSendFailed;
    }
}
