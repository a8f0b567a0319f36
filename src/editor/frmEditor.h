// The SQL editor window's logic: one saved query (or a new one) in a rich-text box with colouring and an
// undo history, its toolbar and context-menu state, saving and opening through the host, the close-time
// save prompts, the watch for changes made to the query outside the editor, the window keys and the
// clipboard commands. The window around it (frmEditorSurface) is the Qt view in the desktop and a fake in
// the tests; the logic never touches a widget.
//
// Where the other tools hook in:
// - Find and replace: the window's EditorSearch (search()) holds the settings and the operations and opens
//   the find dialog; FindReplace(mode) is the window's command for it. The view sets search().showDialog.
// - Insert Item and Template: the fields dialog (ToolWindows::CreateFieldsDialog) and the template picker
//   (ToolWindows::CreateTemplatesWindow, Init(1)); a program that has neither gives nullptr and the command
//   says the tool is not there.
// - Completion: setCompletion() plugs in the placeholder list (navigation keys and left clicks), the first
//   placeholder of a new query's text (first timer tick, inserted templates), the field at the caret for
//   templates, and the fields dropped from the fields dialog. Caret, selection and key events are the text
//   box's own signals (rtbSQLEditor()).
// - Drafts: textChanged() after every change of the text by the user (typing, pasting, undo and redo,
//   replacements; not loading or colouring), saved() after a successful save, closed() when the window has
//   gone; IsDirty() and Text() tell the state.
#pragma once

#include "catalogue/AddinContext.h"
#include "colouring/CSQLColorize.h"
#include "editor/CRichTextBox.h"
#include "editor/EditorBufferHost.h"
#include "editor/EditorSearch.h"
#include "editor/frmFindReplaceDlg.h"
#include "platform/Prompter.h"

#include <QHash>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class CV_QueryDataSource;
class frmEditor;

namespace platform {
class Timer;
}

// The window system around the editor's logic: what only the window can answer or do.
class frmEditorSurface {
public:
    virtual ~frmEditorSurface() = default;
    // This editor window and the window that is in front on the desktop now.
    virtual quintptr windowHandle() const = 0;
    virtual quintptr foregroundWindow() const = 0;
    // The window's top-left corner on the screen, in pixels.
    virtual QPoint screenTopLeft() const = 0;
    virtual void setCaption(const QString& caption) = 0;
    // Toolbar and context-menu states changed (read them back from the logic).
    virtual void commandsChanged() = 0;
    // Shows the context menu at a point of the text box, as the logic prepared it.
    virtual void showContextMenu(int x, int y) = 0;
    // Closes the window the way the user does (the logic's QueryUnload and Unload run).
    virtual void closeWindow() = 0;
    // The system clipboard, plain text only.
    virtual QString clipboardText() const = 0;
    virtual void setClipboardText(const QString& text) = 0;
};

// What the completion tools add to the editor.
class EditorCompletion {
public:
    virtual ~EditorCompletion() = default;
    // The list for the placeholder at the caret, if the caret stands in one.
    virtual void ShowPlaceholderList(frmEditor& editor) = 0;
    // Puts the caret into the first table or field placeholder of text, inserted at start.
    virtual void SelectFirstPlaceholder(frmEditor& editor, const QString& text, int start) = 0;
    // The field reference at the caret, selected; empty when there is none.
    virtual QString GetSelectedField(frmEditor& editor) = 0;
    // Inserts the fields dialog's chosen field at the caret when the dropped text is that field; False
    // when the drop came from elsewhere or the insertion failed.
    virtual bool AddFields(frmEditor& editor, const QString& dropped) = 0;
};

class frmEditor : public QObject, public EditorBufferHost {
    Q_OBJECT

public:
    static constexpr int kFirstTickInterval = 100;
    static constexpr int kColouringDelay = 1500;
    static constexpr int kWatchInterval = 200;

    // The state of one context-menu item.
    struct MenuItem {
        bool visible = true;
        bool enabled = true;
    };

    // The control, timers and surface are not owned; they and the context must outlive the logic.
    // Construction is the window's load: the first-tick timer starts.
    frmEditor(AddinContext& context, platform::RichTextControl& rtb, platform::Timer& tmr,
              platform::Timer& tmrGetActiveWindow, frmEditorSurface& surface, QObject* parent = nullptr);
    ~frmEditor() override;

    // The registry entry that stands for this window (OpenEditors holds it under the query name).
    void setWindowEntry(std::weak_ptr<QueryEditorWindow> entry) { mEntry = std::move(entry); }
    void setCompletion(std::shared_ptr<EditorCompletion> completion) { mCompletion = std::move(completion); }
    // The colouring pause after the last key (kColouringDelay unless set; 0 colours at the next tick).
    void setColouringDelay(int milliseconds) { mColouringDelay = milliseconds; }

    // Loads the named query (empty: a new one), or shows the SQL given instead of the saved one. False when
    // the window is to be discarded.
    bool Initialize(const QString& queryName, const QString& sql);

    QString QueryName() const { return mQueryName; }
    void setQueryName(const QString& name) { mQueryName = name; }
    QString LoadedSQL() const { return mLoadedSQL; }
    QString Caption() const { return mCaption; }
    QString Text() const;
    bool IsDirty() const { return mRTB && mRTB->Dirty(); }
    bool FirstTick() const { return mFirstTick; }

    // Find and replace in this window's text, with the search settings.
    EditorSearch& search() const { return *mSearch; }
    // Closing does not ask to save (the text went to the host's design view).
    bool NoSavePrompt = false;

    CV_QueryDataSource* QueryDataSource() const { return mQueryDataSource.get(); }
    // The record itself, which completion creates when a table is chosen for a new query.
    std::unique_ptr<CV_QueryDataSource>& QueryDataSourceRecord() { return mQueryDataSource; }
    EditorCompletion* completion() const { return mCompletion.get(); }
    CSQLColorize* colorizer() const { return mSQLColorize.get(); }
    CRichTextBox* buffer() const { return mRTB.get(); }
    AddinContext& context() const { return mContext; }

    // EditorBufferHost.
    platform::RichTextControl* rtbSQLEditor() const override { return &mRtb; }
    bool TrapUndo() const override;
    QString PreviousText() const override;
    void setToolbarButtonEnabled(const QString& key, bool enabled) override;
    bool toolbarButtonEnabled(const QString& key) const override;
    QString clipboardText() const override;

    // Saves the text under the query's name, or under a name asked for (Save As); True when written.
    bool Save(bool saveAs);
    // view: host::View::Normal (datasheet) or host::View::Design.
    void OpenQuery(host::View view);
    void Undo();
    void Redo();
    void FindReplace(int mode);
    void InsertItem();
    void FieldsDialogClosed();
    void InsertTemplate();

    // The toolbar, by key (case ignored).
    void tbButtons_ButtonClick(const QString& key);
    // Keys of the window, seen before the text box; a swallowed key comes back as 0.
    void Form_KeyDown(int* keyCode, int shift);
    // The watch timer's tick (also driven by tests).
    void tmrGetActiveWindow_Timer();
    // Reload offer when the saved query changed outside the editor.
    void RefreshEditor();

    // Puts the caret at the character under a point of the text box, unless it is inside the selection.
    void SetPosition(int x, int y);
    // The object name at a caret with nothing selected: its 0-based start and length, or a negative start
    // when there is none.
    struct NameSpan {
        int start = -1;
        int length = 0;
    };
    static NameSpan NameAtCaret(const QString& text, int caret);

    // The context menu, by item name ("mnuOpen", "mnuDesign", "mnuEdit", "mnuQorvel", "mnuUsedBy", "mnuCut",
    // "mnuCopy", "mnuPaste", and the separators "mnuSep1"); prepared on each right click.
    MenuItem menuItem(const QString& name) const { return mMenu.value(name); }
    QString ContextName() const { return mContextName; }
    bool ContextIsQuery() const { return mContextIsQuery; }
    void mnuOpen_Click();
    void mnuDesign_Click();
    void mnuEdit_Click();
    void mnuQorvel_Click();
    void mnuUsedBy_Click();
    void mnuCut_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();

    // The close request: False when the window is to stay (a save failed or was cancelled).
    bool QueryUnload();
    // Releases everything the window holds and leaves the registry; runs once.
    void Unload();
    bool IsUnloaded() const { return mUnloaded; }

signals:
    // The user changed the text (typing, pasting, undo, redo, replacing).
    void textChanged();
    // The text was written to the saved query of that name.
    void saved(const QString& queryName);
    void closed();

private:
    void tmr_Timer();
    void mSQLColorize_Change(bool deferred);
    void rtbSQLEditor_Change();
    void rtbSQLEditor_KeyUp(int* keyCode, int shift);
    void rtbSQLEditor_MouseUp(int button, int shift, int x, int y);
    void rtbSQLEditor_OLEDragDrop(const QString& data, int x, int y);
    void PrepareContextMenu(int x, int y);
    void OpenContextObject(host::View view);
    void ShowTree(int mode);
    bool LoadQuery(const QString& queryName, const QString& sql);
    // Save As from step a: True when written, False when cancelled or refused.
    bool SaveAs(host::Database& database, const QString& offeredName);
    void MoveRegistryEntry(const QString& newName);
    // Another editor window holds the name.
    bool OpenInOtherEditor(const QString& name) const;
    void ToolNotThere(const QString& tool);
    void setMousePointer(host::MousePointer pointer);
    void setCaption(const QString& caption);
    platform::MsgResult Ask(const QString& text, platform::MsgButtons buttons, platform::MsgIcon icon,
                            const QString& title = QString(), int defaultButton = 1);

    AddinContext& mContext;
    platform::RichTextControl& mRtb;
    platform::Timer& mTmr;
    platform::Timer& mWatch;
    frmEditorSurface& mSurface;
    std::weak_ptr<QueryEditorWindow> mEntry;
    std::shared_ptr<EditorCompletion> mCompletion;
    std::unique_ptr<CSQLColorize> mSQLColorize;
    std::unique_ptr<CRichTextBox> mRTB;
    std::unique_ptr<CV_QueryDataSource> mQueryDataSource;
    std::unique_ptr<EditorSearch> mSearch;
    std::shared_ptr<FieldsWindow> mFieldsWindow;
    std::shared_ptr<QueryEditorWindow> mPendingEditor;
    std::shared_ptr<QorvelTreeWindow> mPendingTree;
    QHash<QString, bool> mButtons;
    QHash<QString, MenuItem> mMenu;
    QString mQueryName;
    QString mLoadedSQL;
    // The saved SQL the user last declined to reload, so that one outside change is offered once.
    // Set to a null text once a failure to read the saved query has been reported.
    std::optional<QString> mDeclinedSQL;
    QString mCaption;
    QString mContextName;
    bool mContextIsQuery = false;
    quintptr mLastForeground = 0;
    int mColouringDelay = kColouringDelay;
    bool mLoading = false;
    bool mFirstTick = false;
    bool mRefreshing = false;
    bool mUnloaded = false;
};
