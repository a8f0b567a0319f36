// The windows that the add-in's commands open, reached through a factory that the loading program
// gives with the connection: the desktop host creates real windows, the command-line tool and the tests
// record what was opened. A window that is shown keeps itself alive until it unloads; a window that is
// dropped before being shown is released with its last reference.
#pragma once

#include <QString>

#include <memory>

class AccessConnect;
class AddinContext;
class frmEditor;

// The dependency tree window (frmQorvel).
class QorvelTreeWindow {
public:
    virtual ~QorvelTreeWindow() = default;
    // Builds the tree of mode 1 to 4 for the named object (empty: the host's current object); True when
    // there is something to show.
    virtual bool Initialize(int mode, const QString& objectName = QString()) = 0;
    virtual void Show() = 0;  // modeless
};

// The SQL editor window (frmEditor).
class QueryEditorWindow {
public:
    virtual ~QueryEditorWindow() = default;
    // Loads the named query (empty: a new one) or shows the SQL given; True when the window is ready.
    virtual bool Initialize(const QString& queryName, const QString& sql) = 0;
    virtual void Show() = 0;  // modeless; brings an open window up again
    // Closes the window; the window takes itself out of the editor registry (QueryEditorClosed).
    virtual void Unload() = 0;
    // Moves the window's top-left corner to a point of the screen (pixels), keeping its size.
    virtual void MoveTo(int left, int top) {
        Q_UNUSED(left)
        Q_UNUSED(top)
    }
};

// The find dialog (frmFindReplaceDlg) in tree use: no editor behind it.
class FindDialogWindow {
public:
    virtual ~FindDialogWindow() = default;
    // ParentForm = nothing, action with mode 0 and no text, then QorvelMode = 3 or 4.
    virtual void PrepareTreeFind(int qorvelMode) = 0;
    // Whether the current object offers a data source to take field names from; tells the user when not.
    virtual bool mfValidDataSource() = 0;
    // Shows the dialog modeless and gives its find-what box the focus.
    virtual void Show() = 0;
    virtual void Unload() = 0;
};

// The fields dialog (frmFields) of one editor window; it calls the editor's FieldsDialogClosed when it goes.
class FieldsWindow {
public:
    virtual ~FieldsWindow() = default;
    virtual void Show() = 0;  // modeless
    virtual void SetFocus() = 0;
    virtual void Unload() = 0;
};

// The template picker (frmTemplates).
class TemplatesWindow {
public:
    virtual ~TemplatesWindow() = default;
    virtual void Init(int mode) = 0;  // 1: insert into an editor's text, 3: create a new query
    virtual void ShowModal() = 0;
    // Insert mode, before showing: true when the editor holds nothing but blanks (a query template is
    // then inserted as it is, not as a subquery).
    virtual void setNoContentInEditor(bool empty) { Q_UNUSED(empty) }
    // Insert mode, after showing: whether the user chose a template, and its text.
    virtual bool ButtonOk() const { return false; }
    virtual QString TemplateContent() const { return QString(); }
};

// The hidden watcher window (frmWatcher) of hosts before version 12.
class WatcherWindow {
public:
    virtual ~WatcherWindow() = default;
    virtual void SetAccessConnect(AccessConnect* connect) = 0;
    virtual void SetInterval(int milliseconds) = 0;
    virtual void Unload() = 0;
};

// A program that does not offer one of the tools gives nullptr for it, and the command opens nothing. Every
// window gets the connection it works for.
class ToolWindows {
public:
    virtual ~ToolWindows() = default;
    virtual std::shared_ptr<QorvelTreeWindow> CreateTreeWindow(AddinContext& context) = 0;
    virtual std::shared_ptr<QueryEditorWindow> CreateEditorWindow(AddinContext& context) = 0;
    virtual std::shared_ptr<FindDialogWindow> CreateFindDialog(AddinContext& context) = 0;
    virtual std::shared_ptr<TemplatesWindow> CreateTemplatesWindow(AddinContext& context) = 0;
    // The fields dialog of an editor window.
    virtual std::shared_ptr<FieldsWindow> CreateFieldsDialog(AddinContext& context, frmEditor& editor) {
        Q_UNUSED(context)
        Q_UNUSED(editor)
        return nullptr;
    }
    // The watcher exists only where command bars do; a factory without them gives nullptr.
    virtual std::shared_ptr<WatcherWindow> CreateWatcherWindow(AddinContext& context) {
        Q_UNUSED(context)
        return nullptr;
    }
    // The About box's single instance, modal.
    virtual void ShowAbout(AddinContext& context) = 0;
    // The help file's contents page through the shared help object (OpenTOC, owner window 0).
    virtual void OpenHelpContents(AddinContext& context, const QString& helpFilePath) = 0;
};
