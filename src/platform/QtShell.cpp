#include "platform/QtShell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace platform {

namespace {

constexpr int shellSucceeded = 42;
constexpr int shellFileNotFound = 2;

}  // namespace

int QtShell::open(const QString& target) {
    // A mailto link keeps its own escapes; anything without a scheme is a file path.
    const QUrl url =
        QFileInfo::exists(target) ? QUrl::fromLocalFile(target) : QUrl(target, QUrl::TolerantMode);
    if (!url.isValid() || url.scheme().isEmpty()) {
        return shellFileNotFound;
    }
    return QDesktopServices::openUrl(url) ? shellSucceeded : shellFileNotFound;
}

bool QtShell::startProgram(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

}  // namespace platform
