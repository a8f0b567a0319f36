#include "catalogue/mMainWindows.h"

#include "catalogue/AccessApplication.h"
#include "catalogue/mMain.h"
#include "platform/HostWindows.h"
#include "platform/LoadedForms.h"
#include "platform/Platform.h"
#include "platform/Prompter.h"
#include "support/mErrorHandle.h"

std::unique_ptr<EditorWindows> OpenEditors;

namespace {

const QString kModule = QStringLiteral("mMain");

// The pages of the database window, as the ids of the "Database objects" command bar's buttons.
constexpr int idTablesPage = 1773;
constexpr int idQueriesPage = 1774;
constexpr int statePressed = -1;

void ShowExclamation(const QString& text) {
    platform::showMessage(text, platform::MsgIcon::Exclamation);
}

}  // namespace

std::shared_ptr<QueryEditorWindow> ShowQueryEditor(const QString& queryName, bool hidden) {
    std::shared_ptr<QueryEditorWindow> window;
    try {
        if (!queryName.isEmpty()) {
            CloseQueryDesignView(queryName);
            if (!OpenEditors) {
                OpenEditors = std::make_unique<EditorWindows>();
            }
            if (OpenEditors->contains(queryName)) {
                window = OpenEditors->item(queryName);
            }
            if (!window) {
                window = Windows().CreateEditorWindow();
                if (window && !window->Initialize(queryName, QString())) {
                    window.reset();
                } else if (window && !OpenEditors->contains(queryName)) {
                    OpenEditors->add(window, queryName);
                }
            }
        } else {
            window = Windows().CreateEditorWindow();
        }
        if (window && !hidden) {
            window->Show();
        }
    } catch (...) {
        // The caller gets what there was so far.
    }
    return window;
}

bool QueryEditorClosed(const QString& queryName) {
    if (!OpenEditors || !OpenEditors->contains(queryName)) {
        return false;
    }
    OpenEditors->remove(queryName);
    return true;
}

void CloseQueryEditor(const QString& queryName) {
    try {
        if (!OpenEditors || !OpenEditors->contains(queryName)) {
            return;
        }
        // Held here: the window takes itself out of the registry while it unloads.
        const auto window = OpenEditors->item(queryName);
        window->Unload();
        if (OpenEditors->contains(queryName) && OpenEditors->item(queryName) == window) {
            OpenEditors->remove(queryName);
        }
    } catch (...) {
    }
}

void CloseQueryDesignView(const QString& queryName) {
    try {
        const quint8 major = AccessMajorVersion();
        if (major < 9) {
            return;
        }
        auto& application = Host();
        const host::AccessObjectState query = application.allQueries(queryName);
        if (!query.isLoaded) {
            return;
        }
        if (major < 10) {
            // Older hosts cannot say which view is open: a query window without a datasheet is its design.
            application.doCmd().selectObject(host::acQuery, queryName, false);
            if (!application.screen().hasActiveDatasheet()) {
                application.doCmd().close(host::acQuery, queryName, host::acSavePrompt);
            }
        } else if (query.currentView == host::acCurViewDesign) {
            application.doCmd().close(host::acQuery, queryName, host::acSavePrompt);
        }
    } catch (...) {
    }
}

bool CreateQueryInDesignView() {
    try {
        const quintptr databaseWindow = hWndDBWindow();
        auto* windows = platform::hostWindows();
        if (databaseWindow == 0 || !windows || !windows->isWindowVisible(databaseWindow)) {
            ShowExclamation(QStringLiteral("The command 'Create query in Design view' isn't available now."));
            return false;
        }
        windows->bringWindowToTop(databaseWindow);
        auto& application = Host();
        const int page = DatabaseWindowObjectType();
        if (page != -1) {
            // Off the tables and queries pages, so that the new query is not selected over a list.
            application.doCmd().selectObject(host::acModule, QString(), true);
        }
        // The queued Enter takes the new-query dialog's default choice, design view.
        application.sendKeys(QStringLiteral("~"), false);
        try {
            application.doCmd().runCommand(host::acCmdNewObjectQuery);
        } catch (const host::Error& error) {
            ShowExclamation(error.description());
            return false;
        }
        if (page != -1) {
            const QString name = application.currentObjectName();
            application.doCmd().selectObject(page, QString(), true);
            application.doCmd().selectObject(host::acQuery, name, false);
        }
        return true;
    } catch (...) {
        ErrorHandleCurrent(QStringLiteral("CreateQueryInDesignView"), kModule);
        return false;
    }
}

void UnloadForms() {
    const auto forms = platform::loadedForms();
    for (auto form = forms.rbegin(); form != forms.rend(); ++form) {
        try {
            if (platform::isFormLoaded(*form) && (*form)->formName() != QLatin1String("frmWatcher")) {
                (*form)->unload();
            }
        } catch (...) {
        }
    }
}

quintptr hWndDBWindow() {
    try {
        auto* windows = platform::hostWindows();
        return windows ? windows->databaseWindow() : 0;
    } catch (...) {
        ErrorHandleCurrent(QStringLiteral("hWndDBWindow"), kModule);
        return 0;
    }
}

int DatabaseWindowObjectType() {
    int page = -1;
    try {
        auto* windows = platform::hostWindows();
        if (!windows) {
            return page;
        }
        for (const auto& control : windows->commandBarControls(QStringLiteral("Database objects"))) {
            if (control.state != statePressed) {
                continue;
            }
            if (control.id == idTablesPage) {
                page = host::acTable;
            } else if (control.id == idQueriesPage) {
                page = host::acQuery;
            }
        }
    } catch (...) {
    }
    return page;
}

void SetTopMost(quintptr hWnd, bool on) {
    if (hWnd == 0) {
        return;
    }
    for (auto* form : platform::loadedForms()) {
        if (form->windowHandle() == hWnd) {
            form->setTopMost(on);
        }
    }
}

namespace {

// The screen position just below the caret of the control, on a form with the given frame.
QPoint BelowCaret(PopUpTextControl& control, const FormMetrics& parent, int gap) {
    const int selLength = control.SelLength();
    control.SetSelLength(0);
    const QPoint caret = control.CaretPosition();
    control.SetSelLength(selLength);

    const int borderWidth = (parent.width - parent.scaleWidth) / 2;
    const int titleHeight = (parent.height - parent.scaleHeight) - 2 * borderWidth;
    const QPoint position = control.Position();
    return {parent.left + position.x() + caret.x() + borderWidth + 4,
            parent.top + position.y() + caret.y() + borderWidth + titleHeight + gap};
}

}  // namespace

void ShowListForm(PopUpTextControl& control, PopUpForm& popup) {
    try {
        const QPoint at = BelowCaret(control, control.ParentForm(), control.FontSize() + 8);
        popup.Move(at.x(), at.y());
        popup.ShowModal();
    } catch (...) {
        ErrorHandleCurrent(QString(), QString(), kModule + QStringLiteral(".ShowListForm"));
    }
}

void ShowPopUpForm(PopUpForm& popup, const FormMetrics& parent, PopUpTextControl& control) {
    try {
        const QPoint at = BelowCaret(control, parent, 16);
        popup.Move(at.x(), at.y());
        popup.ShowModal();
    } catch (...) {
        ErrorHandleCurrent(QString(), QString(), kModule + QStringLiteral(".ShowPopUpForm"));
    }
}
