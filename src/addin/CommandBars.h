// The host's command bars on hosts before version 12, as the add-in's Tools-menu popup, toolbar and
// watch use them: bars found and added by name, controls added, found by caption or tag, and their click
// events. The host implements them; they reach the add-in with the connection event.
#pragma once

#include "addin/CommandBarButton.h"

#include <QString>

#include <functional>

// Control types, bar positions and protection, button styles (the host suite's numbering).
inline constexpr int msoControlButton = 1;
inline constexpr int msoControlPopup = 10;
inline constexpr int msoBarTop = 1;
inline constexpr int msoBarNoResize = 2;
inline constexpr int msoButtonIcon = 1;
inline constexpr int msoButtonIconAndCaption = 3;

class CommandBarControls;

// A button or a popup of a command bar.
class CommandBarControl : public CommandBarButton, public CommandBarPopup {
public:
    virtual int Type() const = 0;
    virtual QString Caption() const = 0;
    virtual void SetCaption(const QString& caption) = 0;
    virtual QString Tag() const = 0;
    virtual void SetTag(const QString& tag) = 0;
    virtual void SetBeginGroup(bool beginGroup) = 0;
    virtual bool Visible() const = 0;
    virtual void SetStyle(int style) = 0;
    // The face from a picture and its mask, both named by the add-in (files or resources); throws when
    // the host refuses the picture.
    virtual void SetPicture(const QString& picture, const QString& mask) = 0;
    // The controls of a popup; a button has none (error 438).
    virtual CommandBarControls& Controls() = 0;
    // The control's Click event goes to the handler.
    virtual void SetClickHandler(std::function<void()> handler) = 0;
};

class CommandBarControls {
public:
    virtual ~CommandBarControls() = default;
    virtual CommandBarControl* Add(int type, bool temporary) = 0;
    // By caption, as the host looks controls up; error 5 when there is none.
    virtual CommandBarControl* Item(const QString& caption) = 0;
    virtual int Count() const = 0;
};

// A command bar: a toolbar, or the menu behind a menu title such as "Tools".
class CommandBarObject : public CommandBar {
public:
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual void SetProtection(int protection) = 0;
    virtual CommandBarControls& Controls() = 0;
    // The first control with the tag, at any depth when recursive; nullptr when there is none.
    virtual CommandBarControl* FindControl(const QString& tag, bool recursive) = 0;
    virtual void Delete() = 0;
};

class CommandBars {
public:
    virtual ~CommandBars() = default;
    // By name; error 5 when there is none.
    virtual CommandBarObject* Item(const QString& name) = 0;
    virtual CommandBarObject* Add(const QString& name, int position, bool menuBar, bool temporary) = 0;
    virtual void ReleaseFocus() = 0;
};
