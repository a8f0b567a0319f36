// The SQL editor window (frmEditor) as the desktop shows it: the toolbar, the text box in a fixed-width
// font, the context menu on names and the two timers. The editor's logic is frmEditor's; this window builds
// the widgets, forwards keys, clicks and the close request to it, and answers what only a window can (the
// foreground window, the clipboard, its place on the screen). It floats over the host's main window and
// closes with the database, after the save question.
#pragma once

#include "catalogue/ToolWindows.h"
#include "editor/frmEditor.h"
#include "platform/LoadedForms.h"

#include <QHash>
#include <QWidget>

#include <functional>
#include <memory>

class AddinContext;
class frmFindReplaceDlg;
class QAction;
class QMenu;
class QTextEdit;
class QToolBar;

namespace platform {
class QtRichTextControl;
class QtTimer;
}  // namespace platform

class EditorWindow : public QWidget, public platform::LoadedForm, private frmEditorSurface {
    Q_OBJECT

public:
    // Shows a new find dialog logic of the window in a dialog of its own.
    using FindDialogShower = std::function<void(AddinContext& context, frmFindReplaceDlg& dialog)>;

    // The entry that OpenEditors holds for a new editor window; the window is made on first use.
    static std::shared_ptr<QueryEditorWindow> create(AddinContext& context, FindDialogShower findDialog = {});

    // hostWindow: the host's main window, which the editor stays above. The window keeps the connection's
    // context alive while it is open.
    EditorWindow(AddinContext& context, QWidget* hostWindow);
    ~EditorWindow() override;

    frmEditor& logic() const { return *mLogic; }
    platform::QtRichTextControl& control() const { return *mRtb; }
    QTextEdit* textBox() const;
    QToolBar* toolbar() const { return mToolbar; }
    QMenu* contextMenu() const { return mPopUp; }
    // A toolbar button or menu item by its key or name.
    QAction* button(const QString& key) const { return mButtons.value(key); }
    QAction* menuItem(const QString& name) const { return mItems.value(name); }

    // Holds the registry entry while the window is open, so a window of a new query outlives its command.
    void keepEntry(std::shared_ptr<QueryEditorWindow> entry) { mEntry = std::move(entry); }

    QString formName() const override { return QStringLiteral("frmEditor"); }
    quintptr windowHandle() const override;
    void unload() override { close(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // frmEditorSurface.
    quintptr foregroundWindow() const override;
    QPoint screenTopLeft() const override;
    void setCaption(const QString& caption) override;
    void commandsChanged() override;
    void showContextMenu(int x, int y) override;
    void closeWindow() override { close(); }
    QString clipboardText() const override;
    void setClipboardText(const QString& text) override;

    void watchDatabase(QWidget* hostWindow);

    AddinContext& mContext;
    std::shared_ptr<AddinContext> mContextHeld;
    std::shared_ptr<QueryEditorWindow> mEntry;
    platform::QtRichTextControl* mRtb = nullptr;  // owned by mRtbOwner
    std::unique_ptr<platform::QtRichTextControl> mRtbOwner;
    std::unique_ptr<platform::QtTimer> mTmr;
    std::unique_ptr<platform::QtTimer> mTmrGetActiveWindow;
    std::unique_ptr<frmEditor> mLogic;
    QToolBar* mToolbar = nullptr;
    QMenu* mPopUp = nullptr;
    QHash<QString, QAction*> mButtons;
    QHash<QString, QAction*> mItems;
    bool mUnloaded = false;
};
