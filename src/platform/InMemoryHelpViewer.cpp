#include "platform/InMemoryHelpViewer.h"

#include <algorithm>

namespace platform {

quintptr InMemoryHelpViewer::initialize() {
    mCookie = 77;
    return mCookie;
}

void InMemoryHelpViewer::uninitialize(quintptr cookie) {
    if (cookie == mCookie) {
        mCookie = 0;
    }
}

quintptr InMemoryHelpViewer::showPage(quintptr owner, const QString& page) {
    const quintptr window = mShowsWindows ? mNextWindow++ : 0;
    mShown.append({owner, page, window});
    if (window != 0) {
        mOpen.insert(window);
    }
    return window;
}

void InMemoryHelpViewer::closeWindow(quintptr window) {
    mCloseMessages.append(window);
    mOpen.remove(window);
}

QList<quintptr> InMemoryHelpViewer::openWindows() const {
    QList<quintptr> windows(mOpen.begin(), mOpen.end());
    std::sort(windows.begin(), windows.end());
    return windows;
}

}  // namespace platform
