#include "plavo/DesktopToolWindows.h"

#include <QListWidget>
#include <QTimer>
#include "addin/frmWatcher.h"
#include "catalogue/AddinContext.h"
#include "catalogue/mMain.h"
#include "catalogue/mMainWindows.h"
#include "datasources/ClauseInsertion.h"
#include "editor/EditorCompletionLists.h"
#include "editor/frmFindReplaceDlg.h"
#include "platform/LoadedForms.h"
#include "platform/Platform.h"
#include "platform/QtTimer.h"
#include "platform/Shell.h"
#include "plavo/EditorWindow.h"
#include "plavo/FieldsDialog.h"
#include "plavo/FindReplaceDialog.h"
#include "plavo/TemplatesDialog.h"
#include "plavo/TreeWindow.h"
#include "plavo/frmAbout.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

namespace {

// The host's main window, which the add-in's windows belong to while they are open.
QWidget* hostWindow(const AddinContext& context) {
    if (auto* application = context.application()) {
        if (QWidget* window = QWidget::find(WId(application->hWndAccessApp()))) {
            return window->window();
        }
    }
    return QApplication::activeWindow();
}

// The tree window lives from Show until the user closes it (or the database closes); one that has nothing
// to show is dropped at once.
class TreeWindowHandle : public QorvelTreeWindow {
public:
    explicit TreeWindowHandle(AddinContext& context) : mContext(context) {}
    ~TreeWindowHandle() override {
        if (mWindow && !mShown) {
            delete mWindow;
        }
    }
    bool Initialize(int mode, const QString& objectName) override {
        mWindow = new TreeWindow(mContext, hostWindow(mContext));
        return mWindow->Initialize(mode, objectName);
    }
    void Show() override {
        if (mWindow) {
            mShown = true;
            mWindow->show();
            mWindow->raise();
            mWindow->activateWindow();
        }
    }

private:
    AddinContext& mContext;
    QPointer<TreeWindow> mWindow;
    bool mShown = false;
};

// The find dialog in tree use: a dialog dropped before it was shown goes with its handle.
class FindDialog : public FindDialogWindow {
public:
    explicit FindDialog(AddinContext& context) : mWindow(FindReplaceDialog::createForTree(context)) {}
    ~FindDialog() override {
        if (mWindow && !mShown) {
            delete mWindow;
        }
    }
    void PrepareTreeFind(int qorvelMode) override { mWindow->logic().PrepareTreeFind(qorvelMode); }
    bool mfValidDataSource() override { return mWindow && mWindow->logic().mfValidDataSource(); }
    void Show() override {
        if (!mWindow) {
            return;
        }
        if (!mWindow->logic().Form_Load()) {
            Unload();
            return;
        }
        mShown = true;
        mWindow->logic().requestFocus();
    }
    void Unload() override {
        if (mWindow) {
            mWindow->logic().Unload();
        }
    }

private:
    QPointer<FindReplaceDialog> mWindow;
    bool mShown = false;
};

// The fields dialog of an editor window: it floats over the host, inserts at the editor's caret, and tells
// the editor which entry a drag from it carries and when it has gone.
class DesktopFieldsWindow : public FieldsWindow, private FieldsDialogOwner {
public:
    DesktopFieldsWindow(AddinContext& context, frmEditor& editor) : mContext(context), mEditor(&editor) {}
    ~DesktopFieldsWindow() override {
        if (mDialog) {
            mDialog->disconnect();
            mDialog->deleteLater();
        }
    }
    void Show() override {
        mDialog = new FieldsDialog(mContext, *this, hostWindow(mContext));
        if (!mDialog->load()) {
            // No data sources: the dialog closes itself; the editor hears of it once this call is over.
            mDialog->deleteLater();
            QTimer::singleShot(0, [editor = mEditor] {
                if (editor) {
                    editor->FieldsDialogClosed();
                }
            });
            return;
        }
        const auto choose = [editor = mEditor](const QString& field) {
            if (editor) {
                if (auto* completion = dynamic_cast<EditorCompletionLists*>(editor->completion())) {
                    completion->setChosenField(field);
                }
            }
        };
        choose(mDialog->logic().SelectedText());
        QObject::connect(mDialog->list(), &QListWidget::currentTextChanged, mDialog, choose);
        QObject::connect(mDialog, &QObject::destroyed, [editor = mEditor, choose] {
            if (editor) {
                choose(QString());
                editor->FieldsDialogClosed();
            }
        });
        mDialog->show();
    }
    void SetFocus() override {
        if (mDialog) {
            mDialog->raise();
            mDialog->activateWindow();
        }
    }
    void Unload() override {
        mEditor = nullptr;
        if (mDialog) {
            mDialog->close();
        }
    }

private:
    QString QueryName() const override { return mEditor ? mEditor->QueryName() : QString(); }
    const CV_QueryDataSource* queryDataSource() const override {
        return mEditor ? mEditor->QueryDataSource() : nullptr;
    }
    bool AddFields(const QString& name) override {
        return mEditor && ::AddFields(mContext.services(), *mEditor->rtbSQLEditor(), name);
    }

    AddinContext& mContext;
    QPointer<frmEditor> mEditor;
    QPointer<FieldsDialog> mDialog;
};

}  // namespace

std::shared_ptr<QorvelTreeWindow> DesktopToolWindows::CreateTreeWindow(AddinContext& context) {
    return std::make_shared<TreeWindowHandle>(context);
}

std::shared_ptr<QueryEditorWindow> DesktopToolWindows::CreateEditorWindow(AddinContext& context) {
    return EditorWindow::create(context, [](AddinContext& owner, frmFindReplaceDlg& dialog) {
        FindReplaceDialog::showForEditor(owner, dialog);
    });
}

std::shared_ptr<FieldsWindow> DesktopToolWindows::CreateFieldsDialog(AddinContext& context,
                                                                     frmEditor& editor) {
    return std::make_shared<DesktopFieldsWindow>(context, editor);
}

std::shared_ptr<FindDialogWindow> DesktopToolWindows::CreateFindDialog(AddinContext& context) {
    return std::make_shared<FindDialog>(context);
}

std::shared_ptr<TemplatesWindow> DesktopToolWindows::CreateTemplatesWindow(AddinContext& context) {
    return std::make_shared<DesktopTemplatesWindow>(context, hostWindow(context));
}

std::shared_ptr<WatcherWindow> DesktopToolWindows::CreateWatcherWindow(AddinContext& context) {
    return std::make_shared<frmWatcher>(context, std::make_unique<platform::QtTimer>());
}

void DesktopToolWindows::ShowAbout(AddinContext& context) {
    frmAbout box(context, hostWindow(context));
    box.exec();
}

void DesktopToolWindows::OpenHelpContents(AddinContext& context, const QString& helpFilePath) {
    context.htmlHelp()->OpenTOC(helpFilePath, 0);
}
