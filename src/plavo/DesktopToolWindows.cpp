#include "plavo/DesktopToolWindows.h"

#include "addin/frmWatcher.h"
#include "catalogue/AddinContext.h"
#include "catalogue/mMain.h"
#include "catalogue/mMainWindows.h"
#include "editor/frmFindReplaceDlg.h"
#include "platform/LoadedForms.h"
#include "platform/Platform.h"
#include "platform/QtTimer.h"
#include "platform/Shell.h"
#include "plavo/EditorWindow.h"
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

// A window of the add-in that is not built yet: its title and what it would show.
class Placeholder : public QDialog, public platform::LoadedForm {
public:
    Placeholder(const AddinContext& context, QString formName, const QString& title, const QString& text)
        : QDialog(hostWindow(context), Qt::Window), mFormName(std::move(formName)) {
        setObjectName(mFormName);
        setWindowTitle(title);
        setAttribute(Qt::WA_DeleteOnClose);
        auto* label = new QLabel(text);
        label->setWordWrap(true);
        label->setTextFormat(Qt::RichText);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(label, 1);
        layout->addWidget(buttons);
        resize(420, 180);
        setLoadedForms(context.services().forms);
        markLoaded();
    }
    QString formName() const override { return mFormName; }
    quintptr windowHandle() const override { return quintptr(const_cast<Placeholder*>(this)->winId()); }
    void unload() override {
        markUnloaded();
        close();
    }

private:
    QString mFormName;
};

QString note(const QString& what) {
    return QStringLiteral("<p>%1</p><p style='color:#666'>This window of Qorvel Editor is not built yet.</p>")
        .arg(what);
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

class FieldsPlaceholder : public FieldsWindow {
public:
    FieldsPlaceholder(AddinContext& context, frmEditor& editor) : mContext(context), mEditor(&editor) {}
    void Show() override {
        mWindow =
            new Placeholder(mContext, QStringLiteral("frmFields"), QStringLiteral("Fields"),
                            note(QStringLiteral("The fields of the query's data sources, to insert into "
                                                "its SQL.")));
        QObject::connect(mWindow, &QObject::destroyed, [editor = mEditor] {
            if (editor) {
                editor->FieldsDialogClosed();
            }
        });
        mWindow->show();
    }
    void SetFocus() override {
        if (mWindow) {
            mWindow->raise();
            mWindow->activateWindow();
        }
    }
    void Unload() override {
        mEditor = nullptr;
        if (mWindow) {
            mWindow->unload();
        }
    }

private:
    AddinContext& mContext;
    QPointer<frmEditor> mEditor;
    QPointer<Placeholder> mWindow;
};

class Templates : public TemplatesWindow {
public:
    explicit Templates(AddinContext& context) : mContext(context) {}
    void Init(int mode) override { mMode = mode; }
    void ShowModal() override {
        Placeholder window(mContext, QStringLiteral("frmTemplates"), QStringLiteral("Query Templates"),
                           note(QStringLiteral("Pick an SQL template or one of the host's query builders.")));
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        window.exec();
    }

private:
    AddinContext& mContext;
    int mMode = 3;
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
    return std::make_shared<FieldsPlaceholder>(context, editor);
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
