#include "catalogue/mMainWindows.h"

#include "catalogue/mMain.h"
#include "platform/HostWindows.h"
#include "platform/LoadedForms.h"
#include "platform/Platform.h"
#include "platform/Prompter.h"
#include "support/mErrorHandle.h"

namespace {

const QString kModule = QStringLiteral("mMain");

// The pages of the database window, as the ids of the "Database objects" command bar's buttons.
constexpr int idTablesPage = 1773;
constexpr int idQueriesPage = 1774;
constexpr int statePressed = -1;

void ShowExclamation(const AddinContext& context, const QString& text) {
    platform::showMessage(context.services(), text, platform::MsgIcon::Exclamation);
}

}  // namespace

std::shared_ptr<QueryEditorWindow> ShowQueryEditor(AddinContext& context, const QString& queryName,
                                                   bool hidden) {
    std::shared_ptr<QueryEditorWindow> window;
    try {
        EditorWindows& editors = context.openEditors();
        if (!queryName.isEmpty()) {
            CloseQueryDesignView(context, queryName);
            if (editors.contains(queryName)) {
                window = editors.item(queryName);
            }
            if (!window) {
                window = context.windows().CreateEditorWindow(context);
                if (window && !window->Initialize(queryName, QString())) {
                    window.reset();
                } else if (window && !editors.contains(queryName)) {
                    editors.add(window, queryName);
                }
            }
        } else {
            window = context.windows().CreateEditorWindow(context);
        }
        if (window && !hidden) {
            window->Show();
        }
    } catch (...) {
        // The caller gets what there was so far.
    }
    return window;
}

bool QueryEditorClosed(AddinContext& context, const QString& queryName) {
    EditorWindows& editors = context.openEditors();
    if (!editors.contains(queryName)) {
        return false;
    }
    editors.remove(queryName);
    return true;
}

void CloseQueryEditor(AddinContext& context, const QString& queryName) {
    try {
        EditorWindows& editors = context.openEditors();
        if (!editors.contains(queryName)) {
            return;
        }
        // Held here: the window takes itself out of the registry while it unloads.
        const auto window = editors.item(queryName);
        window->Unload();
        if (editors.contains(queryName) && editors.item(queryName) == window) {
            editors.remove(queryName);
        }
    } catch (...) {
    }
}

void CloseQueryDesignView(AddinContext& context, const QString& queryName) {
    try {
        const quint8 major = AccessMajorVersion(context);
        if (major < 9) {
            return;
        }
        auto& application = context.host();
        const host::AccessObjectState state = application.allQueries(queryName);
        if (!state.isLoaded) {
            return;
        }
        if (major < 10) {
            // Older hosts cannot say which view is open: a query window without a datasheet is its design.
            const host::ObjectRef query{host::ObjectType::Query, queryName};
            application.doCmd().selectObject(query, false);
            if (!application.screen().hasActiveDatasheet()) {
                application.doCmd().close(query, host::SaveOption::Prompt);
            }
        } else if (state.currentView == host::CurrentView::Design) {
            application.doCmd().close({host::ObjectType::Query, queryName}, host::SaveOption::Prompt);
        }
    } catch (...) {
    }
}

bool CreateQueryInDesignView(AddinContext& context) {
    try {
        const quintptr databaseWindow = hWndDBWindow(context);
        auto* windows = context.services().hostWindows;
        if (databaseWindow == 0 || !windows || !windows->isWindowVisible(databaseWindow)) {
            ShowExclamation(context,
                            QStringLiteral("The command 'Create query in Design view' isn't available now."));
            return false;
        }
        windows->bringWindowToTop(databaseWindow);
        auto& application = context.host();
        const std::optional<host::ObjectType> page = DatabaseWindowObjectType(context);
        if (page) {
            // Off the tables and queries pages, so that the new query is not selected over a list.
            application.doCmd().selectObject({host::ObjectType::Module, QString()}, true);
        }
        // The queued Enter takes the new-query dialog's default choice, design view.
        application.sendKeys(QStringLiteral("~"), false);
        try {
            application.doCmd().runCommand(host::Command::NewObjectQuery);
        } catch (const host::Error& error) {
            ShowExclamation(context, error.description());
            return false;
        }
        if (page) {
            const std::optional<host::ObjectRef> created = application.currentObject();
            application.doCmd().selectObject({*page, QString()}, true);
            application.doCmd().selectObject({host::ObjectType::Query, created ? created->name : QString()},
                                             false);
        }
        return true;
    } catch (...) {
        ErrorHandleCurrent(context.services(), QStringLiteral("CreateQueryInDesignView"), kModule);
        return false;
    }
}

void UnloadForms(AddinContext& context) {
    const auto forms = context.forms().forms();
    for (auto form = forms.rbegin(); form != forms.rend(); ++form) {
        try {
            if (context.forms().contains(*form) && (*form)->formName() != QLatin1String("frmWatcher")) {
                (*form)->unload();
            }
        } catch (...) {
        }
    }
}

quintptr hWndDBWindow(const AddinContext& context) {
    try {
        auto* windows = context.services().hostWindows;
        return windows ? windows->databaseWindow() : 0;
    } catch (...) {
        ErrorHandleCurrent(context.services(), QStringLiteral("hWndDBWindow"), kModule);
        return 0;
    }
}

std::optional<host::ObjectType> DatabaseWindowObjectType(const AddinContext& context) {
    std::optional<host::ObjectType> page;
    try {
        auto* windows = context.services().hostWindows;
        if (!windows) {
            return page;
        }
        for (const auto& control : windows->commandBarControls(QStringLiteral("Database objects"))) {
            if (control.state != statePressed) {
                continue;
            }
            if (control.id == idTablesPage) {
                page = host::ObjectType::Table;
            } else if (control.id == idQueriesPage) {
                page = host::ObjectType::Query;
            }
        }
    } catch (...) {
    }
    return page;
}
