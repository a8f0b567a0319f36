#include "platform/ShellHelpViewer.h"

#include "platform/Shell.h"

#include <QUrl>

namespace platform {

quintptr ShellHelpViewer::showPage(quintptr owner, const QString& page) {
    Q_UNUSED(owner)
    // A page with an anchor is no file name of its own: it goes to the browser as a file URL.
    const qsizetype hash = page.indexOf(QLatin1Char('#'));
    if (hash < 0) {
        mShell.open(page);
    } else {
        QUrl url = QUrl::fromLocalFile(page.left(hash));
        url.setFragment(page.mid(hash + 1));
        mShell.open(url.toString());
    }
    return 0;
}

}  // namespace platform
