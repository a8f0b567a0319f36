// The host's own windows as the add-in reaches them through the window system: the database window and
// the "Database objects" command bar that tells which page it shows. The desktop host gives an
// implementation with the services; without one (headless) there is no database window.
#pragma once

#include <QString>
#include <QtGlobal>

#include <vector>

namespace platform {

struct CommandBarControlState {
    int id = 0;
    int state = 0;  // -1 pressed
};

class HostWindows {
public:
    virtual ~HostWindows() = default;
    // The database window below the host's main window, 0 when there is none.
    virtual quintptr databaseWindow() = 0;
    virtual bool isWindowVisible(quintptr window) = 0;
    // To the top of the z-order, without moving or sizing it.
    virtual void bringWindowToTop(quintptr window) = 0;
    // The controls of one of the host's command bars with their states; fails when there is no such bar.
    virtual std::vector<CommandBarControlState> commandBarControls(const QString& commandBar) = 0;
};

}  // namespace platform
