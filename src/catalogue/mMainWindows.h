// The main module's window procedures: the registry of open SQL editor windows and the rule that a query
// is never open in the editor and in the host's design view at once, the host's new-query command, the
// add-in's loaded windows and the database window.
#pragma once

#include "catalogue/AddinContext.h"

#include <QString>
#include <QtGlobal>

#include <memory>
#include <optional>

// Opens (or brings up again) the editor of a saved query, after closing the query's design view. An
// empty name gives a new, unregistered window that is not initialised. Returns the window or nullptr.
std::shared_ptr<QueryEditorWindow> ShowQueryEditor(AddinContext& context, const QString& queryName,
                                                   bool hidden);
// Called by an editor window as it unloads; True when its entry was removed.
bool QueryEditorClosed(AddinContext& context, const QString& queryName);
// Closes the query's editor window, if one is open.
void CloseQueryEditor(AddinContext& context, const QString& queryName);
// Closes the host's design view of the query, if it is open there (the host asks to save changes).
void CloseQueryDesignView(AddinContext& context, const QString& queryName);

// The host's own new-query dialog, answered with design view. False when it could not be started.
bool CreateQueryInDesignView(AddinContext& context);
// Closes every loaded window of the add-in except the watcher.
void UnloadForms(AddinContext& context);

// The host's database window, 0 when there is none.
quintptr hWndDBWindow(const AddinContext& context);
// The page the database window shows when it is the tables or the queries page; nothing otherwise.
std::optional<host::ObjectType> DatabaseWindowObjectType(const AddinContext& context);
