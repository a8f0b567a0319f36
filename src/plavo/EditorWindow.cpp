#include "plavo/EditorWindow.h"

#include "catalogue/AddinContext.h"
#include "editor/EditorCompletionLists.h"
#include "platform/QtRichTextControl.h"
#include "platform/QtTimer.h"
#include "platform/VirtualKeys.h"
#include "plavo/CompletionPopUps.h"
#include "plavo/EditorDrafts.h"
#include "plavo/HelpBinding.h"
#include "support/HelpTopics.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// The toolbar in its order: key, caption, tip.
struct Button {
    const char* key;
    const char* caption;
    const char* tip;
};
const Button kButtons[] = {
    {"Save", "&Save", "Save"},
    {"SaveAs", "Save &As", "Save As"},
    {"Undo", "&Undo", "Undo"},
    {"Redo", "&Redo", "Redo"},
    {"InsertItem", "&Insert Item", "Insert Item"},
    {"Template", "&Template", "Insert Template"},
    {"Find", "&Find", "Find"},
    {"Replace", "Re&place", "Replace"},
    {"Design", "&Design", "Design"},
    {"Open", "&Open", "Open"},
    {"Help", "Help", "Help"},
};

// The context menu: name and caption; an empty caption is a separator.
struct Item {
    const char* name;
    const char* caption;
};
const Item kItems[] = {{"mnuOpen", "Open"},  {"mnuDesign", "Design"}, {"mnuEdit", "Edit"},
                       {"mnuSep1", ""},      {"mnuQorvel", "Qorvel"}, {"mnuUsedBy", "Used By"},
                       {"mnuSep2", ""},      {"mnuCut", "Cut"},       {"mnuCopy", "Copy"},
                       {"mnuPaste", "Paste"}};

QWidget* hostWindowOf(const AddinContext& context) {
    if (auto* application = context.application()) {
        if (QWidget* window = QWidget::find(WId(application->hWndAccessApp()))) {
            return window->window();
        }
    }
    return QApplication::activeWindow();
}

int shiftState(Qt::KeyboardModifiers modifiers) {
    int shift = 0;
    if (modifiers & Qt::ShiftModifier) {
        shift |= platform::vbShiftMask;
    }
    if (modifiers & Qt::ControlModifier) {
        shift |= platform::vbCtrlMask;
    }
    if (modifiers & Qt::AltModifier) {
        shift |= platform::vbAltMask;
    }
    return shift;
}

// The entry OpenEditors holds: the window is made by Initialize (or Show), and dropped with the entry when
// it was never shown.
class EditorEntry : public QueryEditorWindow, public std::enable_shared_from_this<EditorEntry> {
public:
    EditorEntry(AddinContext& context, EditorWindow::FindDialogShower findDialog)
        : mContext(context.weak_from_this()), mFindDialog(std::move(findDialog)) {}
    ~EditorEntry() override {
        if (mWindow && !mShown) {
            delete mWindow;
        }
    }
    bool Initialize(const QString& queryName, const QString& sql) override {
        return window() && mWindow->logic().Initialize(queryName, sql);
    }
    void Show() override {
        if (!mWindow && window()) {
            mWindow->logic().Initialize(QString(), QString());
        }
        if (!mWindow) {
            return;
        }
        mShown = true;
        mWindow->keepEntry(shared_from_this());
        mWindow->show();
        mWindow->raise();
        mWindow->activateWindow();
    }
    void Unload() override {
        if (mWindow) {
            mWindow->close();
        }
    }
    void MoveTo(int left, int top) override {
        if (mWindow) {
            mWindow->move(left, top);
        }
    }

private:
    EditorWindow* window() {
        if (!mWindow) {
            if (const auto context = mContext.lock()) {
                mWindow = new EditorWindow(*context, hostWindowOf(*context));
                mWindow->logic().setWindowEntry(weak_from_this());
                if (mFindDialog) {
                    mWindow->logic().search().showDialog = [context = context.get(),
                                                            show = mFindDialog](frmFindReplaceDlg& dialog) {
                        show(*context, dialog);
                    };
                }
            }
        }
        return mWindow;
    }

    std::weak_ptr<AddinContext> mContext;
    EditorWindow::FindDialogShower mFindDialog;
    QPointer<EditorWindow> mWindow;
    bool mShown = false;
};

}  // namespace

std::shared_ptr<QueryEditorWindow> EditorWindow::create(AddinContext& context, FindDialogShower findDialog) {
    return std::make_shared<EditorEntry>(context, std::move(findDialog));
}

EditorWindow::EditorWindow(AddinContext& context, QWidget* hostWindow)
    : QWidget(hostWindow, Qt::Window), mContext(context), mContextHeld(context.weak_from_this().lock()) {
    setObjectName(QStringLiteral("frmEditor"));
    setAttribute(Qt::WA_DeleteOnClose);

    mToolbar = new QToolBar(this);
    mToolbar->setObjectName(QStringLiteral("tbButtons"));
    mToolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const Button& button : kButtons) {
        const QString key = QString::fromLatin1(button.key);
        QAction* action = mToolbar->addAction(QString::fromLatin1(button.caption));
        action->setObjectName(key);
        action->setToolTip(QString::fromLatin1(button.tip));
        mButtons.insert(key, action);
        if (key != QLatin1String("Help")) {
            connect(action, &QAction::triggered, this, [this, key] { mLogic->tbButtons_ButtonClick(key); });
        }
    }
    auto* help = new HelpBinding(*this, context, helptopic::Editor);
    connect(mButtons.value(QStringLiteral("Help")), &QAction::triggered, help,
            [help] { help->form().cmdHelp_Click(); });

    mRtbOwner = std::make_unique<platform::QtRichTextControl>(this);
    mRtb = mRtbOwner.get();
    QTextEdit* box = textBox();
    box->setObjectName(QStringLiteral("rtbSQLEditor"));
    box->installEventFilter(this);

    mPopUp = new QMenu(this);
    mPopUp->setObjectName(QStringLiteral("mnuPopUp"));
    for (const Item& item : kItems) {
        const QString name = QString::fromLatin1(item.name);
        QAction* action =
            item.caption[0] ? mPopUp->addAction(QString::fromLatin1(item.caption)) : mPopUp->addSeparator();
        action->setObjectName(name);
        mItems.insert(name, action);
    }
    const auto onItem = [this](const char* name, void (frmEditor::*command)()) {
        connect(mItems.value(QString::fromLatin1(name)), &QAction::triggered, this,
                [this, command] { (mLogic.get()->*command)(); });
    };
    onItem("mnuOpen", &frmEditor::mnuOpen_Click);
    onItem("mnuDesign", &frmEditor::mnuDesign_Click);
    onItem("mnuEdit", &frmEditor::mnuEdit_Click);
    onItem("mnuQorvel", &frmEditor::mnuQorvel_Click);
    onItem("mnuUsedBy", &frmEditor::mnuUsedBy_Click);
    onItem("mnuCut", &frmEditor::mnuCut_Click);
    onItem("mnuCopy", &frmEditor::mnuCopy_Click);
    onItem("mnuPaste", &frmEditor::mnuPaste_Click);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(mToolbar);
    layout->addWidget(box, 1);
    resize(640, 420);

    mTmr = std::make_unique<platform::QtTimer>();
    mTmrGetActiveWindow = std::make_unique<platform::QtTimer>();
    mLogic = std::make_unique<frmEditor>(mContext, *mRtb, *mTmr, *mTmrGetActiveWindow,
                                         static_cast<frmEditorSurface&>(*this));
    mLogic->setCompletion(
        std::make_shared<EditorCompletionLists>(*mLogic, std::make_unique<QtPopUpWindows>(textBox())));
    EditorDrafts::attach(*this, mContext);
    connect(mLogic.get(), &frmEditor::closed, this, [this] {
        if (!mUnloaded) {
            close();
        }
    });
    commandsChanged();
    watchDatabase(hostWindow);
    setLoadedForms(mContext.services().forms);
    markLoaded();
}

EditorWindow::~EditorWindow() {
    markUnloaded();
    if (!mUnloaded) {
        mUnloaded = true;
        mLogic->Unload();
    }
}

QTextEdit* EditorWindow::textBox() const {
    return mRtb->widget();
}

quintptr EditorWindow::windowHandle() const {
    return quintptr(const_cast<EditorWindow*>(this)->winId());
}

quintptr EditorWindow::foregroundWindow() const {
    QWidget* active = QApplication::activeWindow();
    return active ? quintptr(active->winId()) : 0;
}

QPoint EditorWindow::screenTopLeft() const {
    return frameGeometry().topLeft();
}

void EditorWindow::setCaption(const QString& caption) {
    setWindowTitle(caption);
}

void EditorWindow::commandsChanged() {
    if (!mLogic) {
        return;
    }
    for (auto button = mButtons.cbegin(); button != mButtons.cend(); ++button) {
        button.value()->setEnabled(mLogic->toolbarButtonEnabled(button.key()));
    }
    for (auto item = mItems.cbegin(); item != mItems.cend(); ++item) {
        const frmEditor::MenuItem state = mLogic->menuItem(item.key());
        item.value()->setVisible(state.visible);
        item.value()->setEnabled(state.enabled);
    }
}

void EditorWindow::showContextMenu(int x, int y) {
    mPopUp->popup(textBox()->viewport()->mapToGlobal(QPoint(x, y)));
}

QString EditorWindow::clipboardText() const {
    return QApplication::clipboard()->text();
}

void EditorWindow::setClipboardText(const QString& text) {
    QApplication::clipboard()->setText(text);
}

// Closing the database closes the editor: the save question comes while the database is still open.
void EditorWindow::watchDatabase(QWidget* hostWindow) {
    if (!hostWindow) {
        return;
    }
    if (hostWindow->metaObject()->indexOfSignal("databaseClosing()") != -1) {
        connect(hostWindow, SIGNAL(databaseClosing()), this, SLOT(close()));
    } else if (hostWindow->metaObject()->indexOfSignal("databaseClosed()") != -1) {
        connect(hostWindow, SIGNAL(databaseClosed()), this, SLOT(close()));
    }
}

bool EditorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == textBox() &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        auto* key = static_cast<QKeyEvent*>(event);
        const int shift = shiftState(key->modifiers());
        int keyCode = platform::virtualKeyFromQtKey(key->key());
        if (keyCode == 0 || !(shift & (platform::vbCtrlMask | platform::vbAltMask))) {
            return QWidget::eventFilter(watched, event);
        }
        if (event->type() == QEvent::ShortcutOverride) {
            // The window's Alt keys come to it as key presses, not as shortcuts of other widgets.
            if (shift & platform::vbAltMask) {
                event->accept();
                return true;
            }
            return false;
        }
        mLogic->Form_KeyDown(&keyCode, shift);
        if (keyCode == 0) {
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void EditorWindow::closeEvent(QCloseEvent* event) {
    if (mUnloaded) {
        event->accept();
        return;
    }
    if (!mLogic->QueryUnload()) {
        event->ignore();
        return;
    }
    mUnloaded = true;
    hide();
    markUnloaded();
    mLogic->Unload();
    mEntry.reset();
    event->accept();
}
