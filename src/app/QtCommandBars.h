// The host's command bars on hosts before version 12: the "Tools" menu as a command bar, and toolbars
// that add-ins add (docked at the top; the user shows and hides them from the toolbar area's menu).
// Controls are actions in the menu or on the toolbar. A toolbar that is not temporary stays in the host's
// set across runs, with its buttons, as the host keeps its command bars.
#pragma once

#include "addin/CommandBars.h"

#include <QIcon>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;
class QWidget;

namespace app {

class QtCommandBars;
class QtCommandBar;
class QtControls;

class QtControl : public CommandBarControl {
public:
    QtControl(QtCommandBars& owner, int type, QWidget* container, QAction* before);
    ~QtControl() override;

    bool Enabled() const override;
    void SetEnabled(bool enabled) override;
    void SetFocus() override {}
    void SetVisible(bool visible) override;
    int Type() const override { return mType; }
    QString Caption() const override { return mCaption; }
    void SetCaption(const QString& caption) override;
    QString Tag() const override { return mTag; }
    void SetTag(const QString& tag) override { mTag = tag; }
    void SetBeginGroup(bool beginGroup) override;
    bool Visible() const override;
    void SetStyle(int style) override;
    void SetPicture(const QString& picture, const QString& mask) override;
    CommandBarControls& Controls() override;
    void SetClickHandler(std::function<void()> handler) override { mHandler = std::move(handler); }

    QAction* action() const { return mAction; }
    QString picture() const { return mPicture; }
    int style() const { return mStyle; }
    bool beginGroup() const { return mBeginGroup; }
    void click();
    // Puts on the face whose picture could not be read before.
    void reloadFace();
    // The bar went away: every later call fails as it does on a deleted control.
    void detach();

private:
    void requireAttached() const;
    QtCommandBars& mOwner;
    int mType;
    QPointer<QAction> mAction;
    QPointer<QAction> mSeparator;
    QPointer<QMenu> mMenu;
    std::unique_ptr<QtControls> mControls;
    QString mCaption;
    QString mTag;
    QString mPicture;
    int mStyle = 0;
    bool mBeginGroup = false;
    std::function<void()> mHandler;
};

class QtControls : public CommandBarControls {
public:
    QtControls(QtCommandBars& owner, QWidget* container) : mOwner(owner), mContainer(container) {}
    CommandBarControl* Add(int type, bool temporary) override;
    CommandBarControl* Item(const QString& caption) override;
    int Count() const override;
    // Every control, popups' controls included.
    void collect(std::vector<QtControl*>& into) const;
    const std::vector<QtControl*>& controls() const { return mControls; }
    void detach();

private:
    QtCommandBars& mOwner;
    QPointer<QWidget> mContainer;
    std::vector<QtControl*> mControls;  // owned by QtCommandBars, which outlives every pointer to them
};

class QtCommandBar : public CommandBarObject {
public:
    QtCommandBar(QtCommandBars& owner, QString name, QWidget* container, QToolBar* toolbar, bool temporary);
    QString Name() const override;
    void ReleaseFocus() override {}
    bool Visible() const override;
    void SetVisible(bool visible) override;
    void SetProtection(int protection) override { mProtection = protection; }
    CommandBarControls& Controls() override;
    CommandBarControl* FindControl(const QString& tag, bool recursive) override;
    void Delete() override;

    QToolBar* toolbar() const { return mToolbar; }
    bool temporary() const { return mTemporary; }
    bool deleted() const { return mDeleted; }
    QtControls& controls() { return mControls; }

private:
    void requireAlive() const;
    QtCommandBars& mOwner;
    QString mName;
    QPointer<QToolBar> mToolbar;
    QtControls mControls;
    int mProtection = 0;
    bool mTemporary;
    bool mDeleted = false;
};

class QtCommandBars : public CommandBars {
public:
    // The "Tools" bar is the main window's Tools menu.
    QtCommandBars(QMainWindow* window, QMenu* toolsMenu);
    ~QtCommandBars() override;

    CommandBarObject* Item(const QString& name) override;
    CommandBarObject* Add(const QString& name, int position, bool menuBar, bool temporary) override;
    void ReleaseFocus() override {}

    // Clicks the first visible, enabled control whose caption (without its & marks) or tag is the id.
    bool click(const QString& id);
    // The toolbar of that name, or nullptr.
    QToolBar* toolbar(const QString& name) const;
    // Every control of every bar (tests).
    std::vector<QtControl*> allControls() const;
    // Faces of restored bars, once the add-ins holding their pictures are loaded.
    void reloadFaces();
    // Keeps the bars that are not temporary for the next run.
    void save() const;

    // Used by the controls.
    QtControl* makeControl(int type, QWidget* container, QAction* before);
    QIcon face(const QString& picture) const;

private:
    void restore();
    QMainWindow* mWindow;
    std::vector<std::unique_ptr<QtCommandBar>> mBars;
    std::vector<std::unique_ptr<QtControl>> mAllControls;
};

}  // namespace app
