#include "plavo/DesktopHostWindows.h"

#include <QAction>
#include <QToolBar>
#include <QWidget>

#include <stdexcept>

DesktopHostWindows::DesktopHostWindows(std::function<quintptr()> mainWindow)
    : mMainWindow(std::move(mainWindow)) {}

QWidget* DesktopHostWindows::mainWindow() const {
    const quintptr handle = mMainWindow ? mMainWindow() : 0;
    return handle ? QWidget::find(WId(handle)) : nullptr;
}

QWidget* DesktopHostWindows::find(quintptr window) const {
    QWidget* main = mainWindow();
    if (!main || window == 0) {
        return nullptr;
    }
    if (window == quintptr(main->winId())) {
        return main;
    }
    for (QWidget* child : main->findChildren<QWidget*>()) {
        if (quintptr(child) == window) {
            return child;
        }
    }
    return nullptr;
}

quintptr DesktopHostWindows::databaseWindow() {
    QWidget* main = mainWindow();
    if (!main) {
        return 0;
    }
    for (QWidget* child : main->findChildren<QWidget*>()) {
        if (child->objectName().startsWith(QLatin1String("ODb"))) {
            return quintptr(child);
        }
    }
    return 0;
}

bool DesktopHostWindows::isWindowVisible(quintptr window) {
    QWidget* widget = find(window);
    return widget && widget->isVisible();
}

void DesktopHostWindows::bringWindowToTop(quintptr window) {
    if (QWidget* widget = find(window)) {
        widget->window()->raise();
        widget->raise();
    }
}

std::vector<platform::CommandBarControlState> DesktopHostWindows::commandBarControls(
    const QString& commandBar) {
    QWidget* main = mainWindow();
    QToolBar* bar = main ? main->findChild<QToolBar*>(commandBar) : nullptr;
    if (!bar) {
        throw std::runtime_error("no such command bar");
    }
    std::vector<platform::CommandBarControlState> controls;
    for (QAction* action : bar->actions()) {
        if (action->isSeparator()) {
            continue;
        }
        controls.push_back({action->property("commandBarId").toInt(), action->isChecked() ? -1 : 0});
    }
    return controls;
}
