// What one connection of the add-in works with: the host's application object (the design's
// AccessApplication), the platform services and windows the loading program gives, the open SQL editors and
// the counter of temporary queries. The connection event creates it; the tools get it from their command.
// Two connections, two tests or two commands in one process each have their own.
#pragma once

#include "catalogue/ToolWindows.h"
#include "hostapi/host.h"
#include "platform/Platform.h"
#include "support/KeyedCollection.h"
#include "support/clsHtmlHelp.h"

#include <memory>

using EditorWindows = KeyedCollection<std::shared_ptr<QueryEditorWindow>>;

// What the host's object model raises when an object it needs is not set.
inline constexpr int errObjectNotSet = 91;
[[noreturn]] void RaiseObjectNotSet();

// A window that may outlive the command that opened it holds weak_from_this().
class AddinContext : public std::enable_shared_from_this<AddinContext> {
public:
    // Neither the application nor the windows are owned. Without a loaded-forms registry in the services
    // the context makes its own.
    explicit AddinContext(host::Application* application, platform::Services services = {},
                          ToolWindows* windows = nullptr);
    AddinContext(const AddinContext&) = delete;
    AddinContext& operator=(const AddinContext&) = delete;

    // The host's application object, nullptr once the add-in disconnected.
    host::Application* application() const { return mApplication; }
    // The same; error 91 when there is none.
    host::Application& host() const;
    // The host's open database; error 91 when there is none. Holding it keeps the database alive.
    std::shared_ptr<host::Database> currentDatabase() const;
    // At disconnection: host calls fail from now on, and help shows nothing more (its help windows close);
    // windows still open keep the rest.
    void disconnect();

    const platform::Services& services() const { return mServices; }
    platform::LoadedForms& forms() const { return *mServices.forms; }

    // The factory of the add-in's windows, nullptr when the program offers none.
    ToolWindows* toolWindows() const { return mWindows; }
    // The same; error 91 when there is none.
    ToolWindows& windows() const;

    // The open SQL editor windows keyed by query name. A window of a new, unnamed query is never in it.
    EditorWindows& openEditors() { return mOpenEditors; }
    // Counter of the temporary queries ("~TemporaryQuery" + number) made for subqueries.
    qint16& temporaryQueryCount() { return mTemporaryQueryCount; }
    // The find dialogs' "Find Whole Word Only", kept from one dialog to the next.
    bool& rememberedWholeWord() { return mRememberedWholeWord; }

    // The shared help object, made on first use with the add-in's help (HelpFilePath) as its default; a
    // window's help binding holds it, so it outlives the windows that use it.
    std::shared_ptr<clsHtmlHelp> htmlHelp();

private:
    host::Application* mApplication;
    platform::Services mServices;
    ToolWindows* mWindows;
    EditorWindows mOpenEditors;
    qint16 mTemporaryQueryCount = 0;
    std::shared_ptr<clsHtmlHelp> mHtmlHelp;
    bool mDisconnected = false;
    bool mRememberedWholeWord = false;
};
