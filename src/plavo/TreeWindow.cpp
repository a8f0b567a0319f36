#include "plavo/TreeWindow.h"

#include "catalogue/AddinContext.h"
#include "catalogue/mClipboard.h"
#include "hostapi/host.h"
#include "platform/Clipboard.h"
#include "platform/EventPump.h"
#include "platform/Platform.h"
#include "platform/Prompter.h"
#include "platform/QtProgressWindow.h"
#include "platform/QtTreeControl.h"
#include "platform/Shell.h"
#include "plavo/CCapture.h"
#include "plavo/HelpBinding.h"
#include "plavo/TreeWindowImages.h"
#include "support/ErrorBoundary.h"
#include "support/HelpTopics.h"
#include "trees/frmQorvel.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimer>
#include <QToolBar>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString kModule = QStringLiteral("frmQorvel");

// The toolbar in its order: key, tip, image; an empty key is a separator.
struct Button {
    const char* key;
    const char* tip;
    const char* image;
};
const Button kButtons[] = {
    {"Open", "Open", "OpenDatasheet"}, {"Design", "Design", "Design"},           {"", "", ""},
    {"Edit", "Edit", "SQLEditor"},     {"Text", "Output to Notepad", "Notepad"}, {"Bitmap", "Bitmap", "bmp"},
};

// The tree's image keys, as the logic adds them to the image list.
const char* const kTreeImages[] = {"q0",   "q128", "q64",  "q80",  "q16",   "q96",  "q32",
                                   "q112", "q48",  "q144", "q224", "Table", "Form", "Report"};

// Keeps the user's clipboard while an export passes its own data through it, and puts it back however the
// export ends. When nothing was kept (an empty clipboard), what the export put there is taken away again.
class ClipboardKept {
public:
    explicit ClipboardKept(platform::Clipboard* clipboard) : mClipboard(clipboard) {
        SaveClipboard(mClipboard, mSaved);
    }
    ~ClipboardKept() {
        const bool nothingKept = mSaved.format == 0;
        RestoreClipboard(mClipboard, mSaved);
        if (nothingKept && mClipboard) {
            mClipboard->clear();
        }
    }
    ClipboardKept(const ClipboardKept&) = delete;
    ClipboardKept& operator=(const ClipboardKept&) = delete;

private:
    platform::Clipboard* mClipboard;
    SavedClipboard mSaved;
};

void letMessagesRun(const platform::Services& services) {
    if (services.events) {
        services.events->processPendingEvents();
    }
}

// 250 twips at the screen's resolution (1440 twips to the inch).
int indentationPixels(const QWidget& widget) {
    return qRound(250.0 * widget.logicalDpiX() / 1440.0);
}

QString currentDatabase(const AddinContext& context) {
    try {
        return context.application() ? context.application()->currentProject().fullName() : QString();
    } catch (...) {
        return QString();
    }
}

}  // namespace

TreeWindow::TreeWindow(AddinContext& context, QWidget* hostWindow)
    : QWidget(hostWindow, Qt::Window),
      mContext(context),
      mContextHeld(context.weak_from_this().lock()),
      mProgressWindows(std::make_unique<platform::QtProgressWindowFactory>(hostWindow)) {
    setObjectName(QStringLiteral("frmQorvel"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto treeControl = std::make_unique<platform::QtTreeControl>(this);
    mTreeControl = treeControl.get();
    mLogic = std::make_unique<frmQorvel>(mContext, std::move(treeControl), mProgressWindows.get());
    for (const char* key : kTreeImages) {
        const QString imageKey = QString::fromLatin1(key);
        mTreeControl->setImagePicture(imageKey, treewindowimages::treeImage(imageKey));
    }
    QTreeWidget* view = tree();
    view->setObjectName(QStringLiteral("tvQorvel"));
    view->setIndentation(indentationPixels(*this));
    // The window decides itself whether a double click folds (see the event filter).
    view->setExpandsOnDoubleClick(false);
    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);
    view->viewport()->setMouseTracking(true);

    mToolbar = new QToolBar(this);
    mToolbar->setObjectName(QStringLiteral("tbButtons"));
    mToolbar->setIconSize(QSize(16, 16));
    for (const Button& button : kButtons) {
        const QString key = QString::fromLatin1(button.key);
        if (key.isEmpty()) {
            mToolbar->addSeparator();
            continue;
        }
        QAction* action =
            mToolbar->addAction(treewindowimages::toolbarImage(QString::fromLatin1(button.image)),
                                QString::fromLatin1(button.tip));
        action->setObjectName(key);
        action->setToolTip(QString::fromLatin1(button.tip));
        connect(action, &QAction::triggered, this, [this, key] { tbButtons_ButtonClick(key); });
    }
    mOpen = mToolbar->findChild<QAction*>(QStringLiteral("Open"));
    mEdit = mToolbar->findChild<QAction*>(QStringLiteral("Edit"));

    mPopUp = new QMenu(this);
    mPopUp->setObjectName(QStringLiteral("mnuPopUp"));
    const auto addItem = [this](const char* name, const char* caption, const char* key) {
        QAction* item = mPopUp->addAction(QString::fromLatin1(caption));
        item->setObjectName(QString::fromLatin1(name));
        const QString command = QString::fromLatin1(key);
        connect(item, &QAction::triggered, this, [this, command] { tbButtons_ButtonClick(command); });
        return item;
    };
    mMenuOpen = addItem("mnuOpen", "Open", "Open");
    addItem("mnuDesign", "Design", "Design");
    mMenuEdit = addItem("mnuEdit", "Edit", "Edit");
    mPopUp->addSeparator()->setObjectName(QStringLiteral("mnuSep1"));
    addItem("mnuText", "Text", "Text");
    addItem("mnuBmp", "Bmp", "Bitmap");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(mToolbar);
    layout->addWidget(view, 1);
    resize(360, 480);

    // The logic hears a click first (it connected first), then the buttons follow its enabling. Keys move
    // the selection too, and count as a click on the node they reach.
    connect(mTreeControl, &platform::TreeControl::nodeClicked, this, &TreeWindow::refreshCommands);
    connect(view, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current) {
            mLogic->tvQorvel_NodeClick(mTreeControl->selectedNode());
        }
        refreshCommands();
    });
    connect(mLogic.get(), &frmQorvel::closed, this, &QWidget::close);
    refreshCommands();
    new HelpBinding(*this, mContext, helptopic::TreeWindow);
    watchDatabase(hostWindow);
    setLoadedForms(mContext.services().forms);
    markLoaded();
}

TreeWindow::~TreeWindow() {
    markUnloaded();
    if (!mUnloaded) {
        mUnloaded = true;
        mLogic->disconnect(this);
        mLogic->Close();
    }
}

QTreeWidget* TreeWindow::tree() const {
    return mTreeControl->widget();
}

quintptr TreeWindow::windowHandle() const {
    return quintptr(const_cast<TreeWindow*>(this)->winId());
}

bool TreeWindow::Initialize(int mode, const QString& objectName) {
    const bool shown = mLogic->Initialize(mode, objectName);
    setWindowTitle(mLogic->Caption());
    setWindowIcon(treewindowimages::windowIcon(mLogic->IconNumber()));
    refreshCommands();
    return shown;
}

// The host's main window says when its database closes; a host that does not is watched for a change of
// its current database instead.
void TreeWindow::watchDatabase(QWidget* hostWindow) {
    mDatabase = currentDatabase(mContext);
    if (hostWindow && hostWindow->metaObject()->indexOfSignal("databaseClosed()") != -1) {
        connect(hostWindow, SIGNAL(databaseClosed()), this, SLOT(close()));
        return;
    }
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] {
        if (currentDatabase(mContext) != mDatabase) {
            close();
        }
    });
    timer->start(500);
}

void TreeWindow::refreshCommands() {
    const bool open = mLogic->OpenEnabled();
    const bool edit = mLogic->EditEnabled();
    mOpen->setEnabled(open);
    mMenuOpen->setEnabled(open);
    mEdit->setEnabled(edit);
    mMenuEdit->setEnabled(edit);
}

void TreeWindow::tbButtons_ButtonClick(const QString& key) {
    if (key == QLatin1String("Text")) {
        TextToNotepad();
    } else if (key == QLatin1String("Bitmap")) {
        TreeView2Bitmap();
    } else {
        mLogic->tbButtons_ButtonClick(key);
    }
}

bool TreeWindow::eventFilter(QObject* watched, QEvent* event) {
    QTreeWidget* view = tree();
    if (watched == view && event->type() == QEvent::KeyPress) {
        mLogic->tvQorvel_KeyDown();
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
            mTreeControl->selectedNode() != platform::TreeControl::noNode) {
            mLogic->OpenObject(host::View::Normal);
            return true;
        }
        if (key == Qt::Key_Menu && mTreeControl->selectedNode() != platform::TreeControl::noNode) {
            mPopUp->popup(view->viewport()->mapToGlobal(view->visualItemRect(view->currentItem()).center()));
            return true;
        }
        return false;
    }
    if (watched != view->viewport()) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            mLogic->tvQorvel_MouseDown();
            // The right button does not select: its menu is for the node already selected.
            return static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
        case QEvent::MouseButtonRelease: {
            // The press has selected the node by now; the tree reports the click after this.
            auto* mouse = static_cast<QMouseEvent*>(event);
            const bool right = mouse->button() == Qt::RightButton;
            if (mLogic->tvQorvel_MouseUp(right, mTreeControl->nodeAt(mouse->position().toPoint())) && right) {
                mPopUp->popup(mouse->globalPosition().toPoint());
            }
            return right;
        }
        case QEvent::MouseButtonDblClick: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            QTreeWidgetItem* item = view->itemAt(mouse->position().toPoint());
            // A double click on the selected node opens it and leaves it folded or unfolded as it was.
            if (item && mouse->button() == Qt::LeftButton && !mLogic->ExpandBlocked()) {
                item->setExpanded(!item->isExpanded());
            }
            break;
        }
        case QEvent::ToolTip: {
            auto* help = static_cast<QHelpEvent*>(event);
            const int node = mTreeControl->nodeAt(help->pos());
            const QString text =
                node == platform::TreeControl::noNode ? QString() : mLogic->NodeDescription(node);
            if (text.isEmpty()) {
                QToolTip::hideText();
            } else {
                QToolTip::showText(help->globalPos(), text, view->viewport());
            }
            return true;
        }
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void TreeWindow::closeEvent(QCloseEvent* event) {
    if (!mUnloaded) {
        mUnloaded = true;
        hide();
        markUnloaded();
        mLogic->Close();
    }
    event->accept();
}

QString TreeWindow::ExportFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString TreeWindow::ExportFileName(const QString& folder, const QString& objectName,
                                   const QString& extension) {
    return TreeExportFileName(folder, objectName, extension);
}

TreePictureLook TreeWindow::PictureLook() const {
    TreePictureLook look;
    look.font = tree()->font();
    look.indentation = tree()->indentation();
    if (tree()->iconSize().isValid()) {
        look.iconSize = tree()->iconSize();
    }
    return look;
}

QString TreeWindow::TextToNotepad() {
    const QString treeText = mLogic->TreeText();
    if (treeText.isEmpty()) {
        platform::showMessage(mContext.services(), QStringLiteral("Nothing to give out!"),
                              platform::MsgIcon::Information);
        return QString();
    }
    return ErrorBoundary(mContext.services(), QStringLiteral("TextToNotepad"), kModule, QString(), [&] {
        QString text = windowTitle() + QStringLiteral("\r\n\r\n") + treeText;
#ifndef Q_OS_WIN
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
#endif
        const platform::Services& services = mContext.services();
        ClipboardKept kept(services.clipboard);
        // The text editor takes the text from the clipboard as a paste would: here it reads it from a file
        // written with what the clipboard holds, since another program cannot be sent keystrokes.
        if (platform::Clipboard* clipboard = services.clipboard) {
            clipboard->clear();
            clipboard->setText(text);
            text = clipboard->text();
        }
        const QString folder = ExportFolder();
        QDir().mkpath(folder);
        const QString file = ExportFileName(folder, mLogic->ObjectName(), QStringLiteral(".txt"));
        QSaveFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(text.toUtf8()) < 0 || !out.commit()) {
            throw host::Error(75, QStringLiteral("Path/File access error: '%1'").arg(file), kModule);
        }
        if (platform::Shell* shell = services.shell) {
            shell->open(file);
        }
        letMessagesRun(services);
        return file;
    });
}

QString TreeWindow::TreeView2Bitmap() {
    return ErrorBoundary(mContext.services(), QStringLiteral("TreeView2Bitmap"), kModule, QString(), [&] {
        const platform::Services& services = mContext.services();
        ClipboardKept kept(services.clipboard);
        const QString folder = ExportFolder();
        QDir().mkpath(folder);
        const QString file = ExportFileName(folder, mLogic->ObjectName(), QStringLiteral(".png"));
        QFile::remove(file);
        letMessagesRun(services);
        if (!CCapture::CaptureToFile(*mTreeControl, PictureLook(), file, services.clipboard)) {
            throw host::Error(75, QStringLiteral("Path/File access error: '%1'").arg(file), kModule);
        }
        letMessagesRun(services);
        if (platform::Shell* shell = services.shell) {
            shell->open(file);
        }
        return file;
    });
}
