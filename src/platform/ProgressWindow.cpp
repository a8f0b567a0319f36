#include "platform/ProgressWindow.h"

#include <QList>

namespace platform {

namespace {

QList<ProgressWindow*>& openWindows() {
    static QList<ProgressWindow*> windows;
    return windows;
}

}  // namespace

ProgressWindow::ProgressWindow() {
    openWindows().append(this);
}

ProgressWindow::~ProgressWindow() {
    openWindows().removeAll(this);
}

void ProgressWindow::setAllTopMost(bool topMost) {
    for (ProgressWindow* window : openWindows()) {
        if (window->isVisible()) {
            window->setTopMost(topMost);
        }
    }
}

}  // namespace platform
