// The host's own windows as the add-in finds them in the desktop host, which runs in the same process:
// below the host's main window, the database window (its object name begins with "ODb", as the host's
// window class does) and the "Database objects" bar whose pressed button tells the page it shows.
#pragma once

#include "platform/HostWindows.h"

#include <functional>

class QWidget;

class DesktopHostWindows : public platform::HostWindows {
public:
    // mainWindow: the host's main window handle as it is now (0 without a host).
    explicit DesktopHostWindows(std::function<quintptr()> mainWindow);

    quintptr databaseWindow() override;
    bool isWindowVisible(quintptr window) override;
    void bringWindowToTop(quintptr window) override;
    std::vector<platform::CommandBarControlState> commandBarControls(const QString& commandBar) override;

private:
    QWidget* mainWindow() const;
    // The widget below the main window with that handle; handles of windows below it are their addresses,
    // only ever compared, never followed.
    QWidget* find(quintptr window) const;

    std::function<quintptr()> mMainWindow;
};
