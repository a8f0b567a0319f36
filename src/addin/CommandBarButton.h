// The host's command bars as the availability pass needs them, on hosts before version 12: a toolbar
// that can hand back the keyboard focus, and buttons that can be enabled and focused. The command bar
// layer that builds the menu and the toolbar comes with the desktop host.
#pragma once

#include <QString>

class CommandBarButton {
public:
    virtual ~CommandBarButton() = default;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual void SetFocus() = 0;
};

class CommandBar {
public:
    virtual ~CommandBar() = default;
    virtual QString Name() const = 0;
    // The host command bars' ReleaseFocus, which makes the host redraw a focused button.
    virtual void ReleaseFocus() = 0;
};

// The Tools-menu popup of the add-in.
class CommandBarPopup {
public:
    virtual ~CommandBarPopup() = default;
    virtual void SetVisible(bool visible) = 0;
};
