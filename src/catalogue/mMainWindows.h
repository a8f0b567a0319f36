// The main module's window procedures: the registry of open SQL editor windows and the rule that a query
// is never open in the editor and in the host's design view at once, the host's new-query command, the
// add-in's loaded windows, the database window, and the placement of pop-up windows at a text caret.
#pragma once

#include "catalogue/ToolWindows.h"
#include "support/KeyedCollection.h"

#include <QPoint>
#include <QString>
#include <QtGlobal>

#include <memory>

using EditorWindows = KeyedCollection<std::shared_ptr<QueryEditorWindow>>;

// The open SQL editor windows keyed by query name; created on first use. A window of a new, unnamed query
// is never in it.
extern std::unique_ptr<EditorWindows> OpenEditors;

// Opens (or brings up again) the editor of a saved query, after closing the query's design view. An
// empty name gives a new, unregistered window that is not initialised. Returns the window or nullptr.
std::shared_ptr<QueryEditorWindow> ShowQueryEditor(const QString& queryName, bool hidden);
// Called by an editor window as it unloads; True when its entry was removed.
bool QueryEditorClosed(const QString& queryName);
// Closes the query's editor window, if one is open.
void CloseQueryEditor(const QString& queryName);
// Closes the host's design view of the query, if it is open there (the host asks to save changes).
void CloseQueryDesignView(const QString& queryName);

// The host's own new-query dialog, answered with design view. False when it could not be started.
bool CreateQueryInDesignView();
// Closes every loaded window of the add-in except the watcher.
void UnloadForms();

// The host's database window, 0 when there is none.
quintptr hWndDBWindow();
// The page the database window shows: 0 tables, 1 queries, -1 anything else.
int DatabaseWindowObjectType();
// Puts one of the add-in's windows into the top-most band (and shows it) or takes it out.
void SetTopMost(quintptr hWnd, bool on);

// Outer frame and client area of a form, in pixels.
struct FormMetrics {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int scaleWidth = 0;
    int scaleHeight = 0;
};

// The text control a pop-up window is placed at, and the form it sits on.
class PopUpTextControl {
public:
    virtual ~PopUpTextControl() = default;
    virtual int SelLength() const = 0;
    virtual void SetSelLength(int length) = 0;
    // The system caret, in pixels relative to the control's window.
    virtual QPoint CaretPosition() const = 0;
    // The control's Left and Top in its form's client area, in pixels.
    virtual QPoint Position() const = 0;
    virtual int FontSize() const = 0;  // points
    virtual FormMetrics ParentForm() const = 0;
};

// A pop-up window (the list and text input windows).
class PopUpForm {
public:
    virtual ~PopUpForm() = default;
    // Moves to a screen position without changing size or z-order.
    virtual void Move(int x, int y) = 0;
    virtual void ShowModal() = 0;
};

// Places the pop-up just below the caret of the control and shows it modally.
void ShowListForm(PopUpTextControl& control, PopUpForm& popup);
// The same with the parent form given, and a fixed gap instead of the font size.
void ShowPopUpForm(PopUpForm& popup, const FormMetrics& parent, PopUpTextControl& control);
