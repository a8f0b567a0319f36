#include "app/MainWindow.h"

#include "app/AddinHost.h"
#include "app/AddinsDialog.h"
#include "app/CatalogueReader.h"
#include "app/DatasheetModel.h"
#include "app/DesktopApplication.h"
#include "app/ObjectIcons.h"
#include "app/ObjectWindows.h"
#include "app/QtCommandBars.h"
#include "app/QueryWizards.h"
#include "app/Ribbon.h"
#include "host/DatabaseFile.h"
#include "host/HostApplication.h"
#include "host/HostErrors.h"
#include "host/QdbDatabase.h"
#include "host/mdb/MdbFile.h"
#include "host/mdb/MdbImporter.h"
#include "hostapi/host.h"
#include "plavo/AddinRegistry.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace app {

namespace {

constexpr int kMaxRecentFiles = 8;
const QString kRecentKey = QStringLiteral("HKEY_CURRENT_USER/Software/Qorvel/qorvel-host/RecentFiles");

double majorVersion(const QString& text) {
    bool ok = false;
    const double value = text.section(QLatin1Char('.'), 0, 0).trimmed().toDouble(&ok);
    return ok ? value : 0;
}

}  // namespace

MainWindow::MainWindow(HostOptions options, QWidget* parent)
    : QMainWindow(parent), mOptions(std::move(options)), mState(qdb::HostApplication::create()) {
    setObjectName(QStringLiteral("QorvelHostMainWindow"));
    mState->setVersion(mOptions.versionText);
    mState->setMainWindowHandle(quintptr(winId()));
    mApplication = std::make_unique<DesktopApplication>(
        *mState, [this](const QString& procedure) { return runWizard(procedure); });
    mState->setCommandObserver(
        [this](const QString& action, const host::ObjectRef& object) { onHostCommand(action, object); });
    mAddins = std::make_unique<AddinHost>([this](const QString& text) { showMessage(text); });

    setAcceptDrops(true);
    setWindowIcon(objectIcon(host::ObjectType::Query));
    resize(1180, 760);

    mDocuments = new QMdiArea;
    mDocuments->setObjectName(QStringLiteral("MDIClient"));
    mDocuments->setBackground(QColor(0xe9, 0xec, 0xf1));
    if (isRibbonHost()) {
        mDocuments->setViewMode(QMdiArea::TabbedView);
        mDocuments->setTabsClosable(true);
        mDocuments->setTabsMovable(true);
        mDocuments->setDocumentMode(true);
    }
    setCentralWidget(mDocuments);
    connect(mDocuments, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        if (window) {
            setCurrentFromDocument(window);
        } else if (mDocuments->subWindowList().isEmpty()) {
            mDocumentCurrent = false;
            updateCurrentObject();
        }
    });

    mDatabaseWindow = new DatabaseWindow;
    mDatabaseDock =
        new QDockWidget(isRibbonHost() ? QStringLiteral("All Access Objects") : QStringLiteral("Database"));
    mDatabaseDock->setObjectName(QStringLiteral("DatabaseDock"));
    // The "Database objects" bar: one button per page of the database window, the pressed one the page
    // shown (the kind of the selected object). The add-in reads it to learn the page (Tables 1773,
    // Queries 1774).
    mObjectsBar = new QToolBar(QStringLiteral("Database objects"));
    mObjectsBar->setObjectName(QStringLiteral("Database objects"));
    mObjectsBar->setIconSize(QSize(16, 16));
    mObjectsBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    mPages = new QActionGroup(mObjectsBar);
    mPages->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const struct {
        host::ObjectType type;
        int id;
        const char* caption;
    } pages[] = {{host::ObjectType::Table, 1773, "Tables"},
                 {host::ObjectType::Query, 1774, "Queries"},
                 {host::ObjectType::Form, 1775, "Forms"},
                 {host::ObjectType::Report, 1776, "Reports"}};
    for (const auto& page : pages) {
        QAction* action = mObjectsBar->addAction(objectIcon(page.type), QString::fromLatin1(page.caption));
        action->setCheckable(true);
        action->setProperty("commandBarId", page.id);
        action->setData(QVariant::fromValue(page.type));
        mPages->addAction(action);
        connect(action, &QAction::triggered, this, [this, type = page.type] { showPage(type); });
    }
    auto* objects = new QWidget;
    auto* objectsLayout = new QVBoxLayout(objects);
    objectsLayout->setContentsMargins(0, 0, 0, 0);
    objectsLayout->setSpacing(0);
    objectsLayout->addWidget(mObjectsBar);
    objectsLayout->addWidget(mDatabaseWindow, 1);
    mDatabaseDock->setWidget(objects);
    mDatabaseDock->setFeatures(QDockWidget::DockWidgetMovable);
    mDatabaseDock->setMinimumWidth(230);
    addDockWidget(Qt::LeftDockWidgetArea, mDatabaseDock);
    connect(mDatabaseWindow, &DatabaseWindow::selectionChangedTo, this,
            [this](const std::optional<host::ObjectRef>& object) {
                mDocumentCurrent = false;
                if (object) {
                    pressPage(object->type);
                }
                updateCurrentObject();
            });
    connect(mDatabaseWindow, &DatabaseWindow::openRequested, this, &MainWindow::openObject);
    connect(mDatabaseWindow, &DatabaseWindow::designRequested, this, &MainWindow::openDesign);

    buildMenus();
    if (isRibbonHost()) {
        buildRibbon();
    } else {
        mCommandBars = std::make_unique<QtCommandBars>(this, mToolsMenu);
    }

    mStatusObject = new QLabel;
    statusBar()->addWidget(mStatusObject, 1);
    auto* version = new QLabel(QStringLiteral("Host version %1").arg(mOptions.versionText));
    version->setObjectName(QStringLiteral("VersionLabel"));
    statusBar()->addPermanentWidget(version);
    updateTitle();
    updateActions();
    updateCurrentObject();
}

MainWindow::~MainWindow() {
    // The object windows go while the host state they report to still exists.
    // Windows closed already but not yet deleted are deleted here too, and none of them reports back.
    mClosingFromHost = true;
    const auto windows = mDocuments->findChildren<QMdiSubWindow*>();
    for (QMdiSubWindow* window : windows) {
        if (window->widget()) {
            disconnect(window->widget(), nullptr, this, nullptr);
        }
    }
    qDeleteAll(windows);
    if (mCommandBars) {
        mCommandBars->save();
    }
    disconnectAddins();
    mState->setCommandObserver(nullptr);
}

host::Application& MainWindow::application() {
    return *mApplication;
}

bool MainWindow::isRibbonHost() const {
    return majorVersion(mOptions.versionText) >= 12;
}

void MainWindow::showMessage(const QString& text) {
    if (mMessageSink) {
        mMessageSink(text);
        return;
    }
    QMessageBox::warning(this, QStringLiteral("Qorvel Host"), text);
}

void MainWindow::showHostError(const host::Error& error) {
    showMessage(QStringLiteral("%1\n\n(Error %2)").arg(error.description()).arg(error.number()));
}

bool MainWindow::confirm(const QString& text) {
    if (mConfirmation) {
        return mConfirmation(text);
    }
    return QMessageBox::question(this, QStringLiteral("Qorvel Host"), text,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File"));
    file->addAction(QIcon(), QStringLiteral("&New Database..."), QKeySequence::New, this, [this] {
        QString path = QFileDialog::getSaveFileName(this, QStringLiteral("New Database"), QString(),
                                                    QStringLiteral("Qorvel databases (*.qdb)"));
        if (path.isEmpty()) {
            return;
        }
        if (QFileInfo(path).suffix().isEmpty()) {
            path += QStringLiteral(".qdb");
        }
        // The file dialog asked whether to replace it.
        QFile::remove(path);
        newDatabase(path);
    });
    file->addAction(QIcon(), QStringLiteral("&Open Database..."), QKeySequence::Open, this, [this] {
        const QString path =
            QFileDialog::getOpenFileName(this, QStringLiteral("Open Database"), QString(),
                                         QStringLiteral("Databases (*.qdb *.mdb *.accdb);;Qorvel databases "
                                                        "(*.qdb);;Host databases, opened as an imported copy "
                                                        "(*.mdb *.accdb);;All files (*)"));
        if (!path.isEmpty()) {
            openDatabase(path);
        }
    });
    mRecentMenu = file->addMenu(QStringLiteral("&Recent Databases"));
    mCloseAction = file->addAction(QStringLiteral("&Close Database"), this, &MainWindow::closeDatabase);
    file->addSeparator();
    file->addAction(QStringLiteral("E&xit"), QKeySequence::Quit, this, &QWidget::close);
    updateRecentFiles();

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("View"));
    mDatasheetAction = view->addAction(imageMso(QStringLiteral("ViewsDatasheetView")),
                                       QStringLiteral("&Datasheet View"), this, [this] {
                                           if (const auto current = mState->currentObject()) {
                                               openObject(*current);
                                           }
                                       });
    mDesignAction = view->addAction(imageMso(QStringLiteral("ViewsDesignView")),
                                    QStringLiteral("D&esign View"), this, [this] {
                                        if (const auto current = mState->currentObject()) {
                                            openDesign(*current);
                                        }
                                    });
    mSqlAction = view->addAction(
        imageMso(QStringLiteral("AdpStoredProcedureEditSql")), QStringLiteral("&SQL View"), this, [this] {
            const std::optional<host::ObjectRef> current = mState->currentObject();
            if (!current || current->type != host::ObjectType::Query) {
                return;
            }
            const host::ObjectRef query = *current;
            openDesign(query);
            if (auto* design = qobject_cast<QueryDesignWindow*>(objectWindow(query))) {
                design->showSqlView();
            }
        });
    view->addSeparator();
    QMenu* query = menuBar()->addMenu(QStringLiteral("&Query"));
    query->setObjectName(QStringLiteral("Query"));
    mRunAction =
        query->addAction(imageMso(QStringLiteral("QueryRunQuery")), QStringLiteral("&Run"), this, [this] {
            const std::optional<host::ObjectRef> current = mState->currentObject();
            if (current && current->type == host::ObjectType::Query) {
                runQuery(current->name);
            }
        });
    mShowHiddenAction = view->addAction(QStringLiteral("Show &Hidden Objects"));
    mShowHiddenAction->setCheckable(true);
    connect(mShowHiddenAction, &QAction::toggled, mDatabaseWindow, &DatabaseWindow::setShowHidden);
    view->addAction(QStringLiteral("&Refresh"), QKeySequence::Refresh, mDatabaseWindow,
                    &DatabaseWindow::refresh);

    QMenu* insert = menuBar()->addMenu(QStringLiteral("&Insert"));
    insert->setObjectName(QStringLiteral("Insert"));
    mNewQueryAction = insert->addAction(objectIcon(host::ObjectType::Query), QStringLiteral("&Query..."),
                                        this, &MainWindow::newQuery);

    mToolsMenu = menuBar()->addMenu(QStringLiteral("&Tools"));
    mToolsMenu->setObjectName(QStringLiteral("Tools"));
    mToolsMenu->addAction(QStringLiteral("&Add-ins..."), this, [this] {
        AddinsDialog dialog(this);
        dialog.exec();
    });

    QMenu* windowMenu = menuBar()->addMenu(QStringLiteral("&Window"));
    windowMenu->addAction(QStringLiteral("&Cascade"), mDocuments, &QMdiArea::cascadeSubWindows);
    windowMenu->addAction(QStringLiteral("&Tile"), mDocuments, &QMdiArea::tileSubWindows);
    windowMenu->addAction(QStringLiteral("Close &All"), mDocuments, &QMdiArea::closeAllSubWindows);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&About Qorvel Host"), this, [this] {
        QMessageBox::about(
            this, QStringLiteral("About Qorvel Host"),
            QStringLiteral("<b>Qorvel Host</b><br>A desktop database host for the Qorvel Editor add-in."
                           "<br>Host version %1.")
                .arg(mOptions.versionText.toHtmlEscaped()));
    });
}

void MainWindow::buildRibbon() {
    mRibbon = new Ribbon([this](const QString& id) { onBuiltInRibbonCommand(id); });
    auto* holder = new QToolBar(QStringLiteral("Ribbon"));
    holder->setObjectName(QStringLiteral("RibbonBar"));
    holder->setMovable(false);
    holder->setFloatable(false);
    holder->toggleViewAction()->setEnabled(false);
    holder->addWidget(mRibbon);
    holder->setStyleSheet(QStringLiteral("QToolBar { border: 0; padding: 0; spacing: 0; }"));
    addToolBar(Qt::TopToolBarArea, holder);
    mRibbon->selectTab(QStringLiteral("TabCreate"));
}

void MainWindow::onBuiltInRibbonCommand(const QString& id) {
    if (id == QLatin1String("ViewsDatasheetView")) {
        mDatasheetAction->trigger();
    } else if (id == QLatin1String("ViewsDesignView")) {
        mDesignAction->trigger();
    } else if (id == QLatin1String("QueryRunQuery")) {
        mRunAction->trigger();
    } else if (id == QLatin1String("Refresh")) {
        mDatabaseWindow->refresh();
    } else if (id == QLatin1String("CreateQueryInDesignView")) {
        if (hasDatabase()) {
            mApplication->doCmd().runCommand(host::Command::NewObjectQuery);
        }
    } else if (id == QLatin1String("CreateQueryFromWizard")) {
        newQuery();
    } else {
        showMessage(QStringLiteral("This command isn't available in Qorvel Host."));
    }
}

void MainWindow::newQuery() {
    if (!hasDatabase()) {
        return;
    }
    NewQueryDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const QString choice = dialog.choice();
    try {
        if (choice == QLatin1String("Design View")) {
            mApplication->doCmd().runCommand(host::Command::NewObjectQuery);
        } else {
            mApplication->run(choice);
        }
    } catch (const host::Error& error) {
        showMessage(error.description());
    }
}

bool MainWindow::runWizard(const QString& procedure) {
    if (procedure.compare(QLatin1String(kSimpleQueryWizard), Qt::CaseInsensitive) == 0) {
        if (!hasDatabase()) {
            return true;
        }
        SimpleQueryWizard wizard(mDatabase, mPath, this);
        mActiveWizard = &wizard;
        const bool saved = wizard.exec() == QDialog::Accepted;
        mActiveWizard = nullptr;
        if (saved && !wizard.savedQuery().isEmpty()) {
            mDatabaseWindow->refresh();
            mApplication->doCmd().openQuery(wizard.savedQuery(), host::View::Normal, host::DataMode::Edit);
        }
        return true;
    }
    for (const char* known : {kCrosstabQueryWizard, kFindDuplicatesWizard, kFindUnmatchedWizard}) {
        if (procedure.compare(QLatin1String(known), Qt::CaseInsensitive) == 0) {
            showMessage(
                QStringLiteral("Qorvel Host can't start this wizard.\n\nThe wizard is not installed with "
                               "this host."));
            return true;
        }
    }
    return false;
}

void MainWindow::updateRecentFiles() {
    mRecentMenu->clear();
    auto registry = addinregistry::openRegistry();
    const QStringList files = registry->value(kRecentKey).toStringList();
    for (const QString& path : files) {
        mRecentMenu->addAction(QFileInfo(path).fileName() + QStringLiteral("  (") +
                                   QFileInfo(path).absolutePath() + QLatin1Char(')'),
                               this, [this, path] { openDatabase(path); });
    }
    mRecentMenu->setEnabled(!files.isEmpty());
}

QStringList MainWindow::recentFiles() const {
    return addinregistry::openRegistry()->value(kRecentKey).toStringList();
}

void MainWindow::rememberRecentFile(const QString& path) {
    auto registry = addinregistry::openRegistry();
    QStringList files = registry->value(kRecentKey).toStringList();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > kMaxRecentFiles) {
        files.removeLast();
    }
    registry->setValue(kRecentKey, files);
    registry->sync();
    updateRecentFiles();
}

bool MainWindow::isHostFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    return suffix.compare(QLatin1String("mdb"), Qt::CaseInsensitive) == 0 ||
           suffix.compare(QLatin1String("accdb"), Qt::CaseInsensitive) == 0;
}

QString MainWindow::importFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("Imported"));
}

bool MainWindow::openDatabase(const QString& path) {
    const QFileInfo info(path);
    QString problem;
    if (!info.exists()) {
        problem = QStringLiteral("the file does not exist");
    } else if (!info.isFile()) {
        problem = QStringLiteral("it is not a file");
    } else if (!info.isReadable()) {
        problem = QStringLiteral("the file cannot be read (permission denied)");
    }
    // A real host file is opened through its imported copy, made again only when the file changed; the
    // file itself is only read.
    QString openPath = path;
    if (problem.isEmpty() && isHostFile(path)) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        statusBar()->showMessage(QStringLiteral("Importing %1...").arg(info.fileName()));
        mStatusObject->repaint();
        statusBar()->repaint();
        try {
            openPath = mdb::importedCopy(info.absoluteFilePath(), importFolder());
        } catch (const mdb::MdbFileError& error) {
            // The message names the file, which the host's message names already.
            problem = error.message();
            const QString named = QStringLiteral("'%1' ").arg(info.absoluteFilePath());
            if (problem.startsWith(named)) {
                problem = QStringLiteral("it ") + problem.mid(named.size());
            }
        } catch (const qdb::DatabaseFileError& error) {
            problem = QString::fromUtf8(error.what());
        } catch (const host::Error& error) {
            problem = error.description();
        } catch (const std::exception& error) {
            problem = QString::fromUtf8(error.what());
        }
        statusBar()->clearMessage();
        QGuiApplication::restoreOverrideCursor();
    }
    if (problem.isEmpty()) {
        problem = catalogueProblem(openPath);
    }
    std::shared_ptr<qdb::QdbDatabase> database;
    if (problem.isEmpty()) {
        try {
            database = qdb::QdbDatabase::open(openPath);
        } catch (const host::Error& error) {
            problem = error.description();
        } catch (const std::exception& error) {
            problem = QString::fromUtf8(error.what());
        }
    }
    if (!database) {
        showMessage(QStringLiteral("Qorvel Host can't open the database '%1': %2.")
                        .arg(QDir::toNativeSeparators(path),
                             problem.endsWith(QLatin1Char('.')) ? problem.chopped(1) : problem));
        return false;
    }
    closeDatabase();
    mDatabase = std::move(database);
    mPath = QFileInfo(openPath).absoluteFilePath();
    mImportedFrom = openPath == path ? QString() : info.absoluteFilePath();
    mState->setDatabase(mDatabase);
    mDatabaseWindow->setDatabase(mDatabase);
    rememberRecentFile(mImportedFrom.isEmpty() ? mPath : mImportedFrom);
    updateTitle();
    updateActions();
    updateCurrentObject();
    emit databaseOpened(mPath);
    return true;
}

bool MainWindow::newDatabase(const QString& path) {
    try {
        qdb::QdbDatabase::create(path);
    } catch (const host::Error& error) {
        showMessage(
            QStringLiteral("Qorvel Host can't create the database '%1': %2").arg(path, error.description()));
        return false;
    } catch (const std::exception& error) {
        showMessage(QStringLiteral("Qorvel Host can't create the database '%1': %2")
                        .arg(path, QString::fromUtf8(error.what())));
        return false;
    }
    return openDatabase(path);
}

void MainWindow::closeDatabase() {
    if (!mDatabase) {
        return;
    }
    emit databaseClosing();
    for (QMdiSubWindow* window : mDocuments->subWindowList()) {
        closeFromHost(qobject_cast<ObjectWindow*>(window->widget()));
    }
    mState->setDatabase(nullptr);
    mDatabaseWindow->setDatabase(nullptr);
    mDatabase.reset();
    mPath.clear();
    mImportedFrom.clear();
    mDocumentCurrent = false;
    updateTitle();
    updateActions();
    updateCurrentObject();
    emit databaseClosed();
}

bool MainWindow::hasDatabase() const {
    return mDatabase != nullptr;
}

QString MainWindow::databasePath() const {
    return mPath;
}

void MainWindow::connectAddins() {
    if (mAddinsConnected || !mOptions.loadAddins) {
        return;
    }
    mAddinsConnected = true;
    mAddins->connectAll(mApplication.get(), mCommandBars.get());
    if (mCommandBars) {
        mCommandBars->reloadFaces();
    }
    mergeAddinRibbons();
}

bool MainWindow::connectAddin(const QString& progId, const QString& libraryPath) {
    mAddinsConnected = true;
    const bool connected =
        mAddins->connect(progId, QString(), libraryPath, mApplication.get(), mCommandBars.get());
    if (connected) {
        mergeAddinRibbons();
    }
    return connected;
}

void MainWindow::mergeAddinRibbons() {
    if (!mRibbon) {
        return;
    }
    mRibbon->removeCustomGroups();
    for (AddinHost::Loaded& loaded : mAddins->loaded()) {
        QString xml;
        try {
            xml = loaded.instance->GetCustomUI(QStringLiteral("Microsoft.Access.Database"));
        } catch (...) {
            continue;
        }
        if (xml.isEmpty()) {
            continue;
        }
        AddinInstance* instance = loaded.instance.get();
        const QString problem =
            mRibbon->mergeCustomUI(xml, [this, instance](const QString& callback, const QString& id) {
                try {
                    if (!instance->InvokeRibbonCallback(callback, id)) {
                        showMessage(
                            QStringLiteral("The add-in has no macro or callback named '%1'.").arg(callback));
                    }
                } catch (const std::exception& error) {
                    showMessage(QString::fromUtf8(error.what()));
                }
            });
        if (!problem.isEmpty()) {
            showMessage(QStringLiteral(
                            "The ribbon definition of the add-in '%1' is not well-formed and is ignored: %2")
                            .arg(loaded.friendlyName, problem));
        }
    }
}

void MainWindow::disconnectAddins() {
    if (mAddins) {
        mAddins->disconnectAll();
    }
}

ObjectWindow* MainWindow::objectWindow(const host::ObjectRef& object) const {
    for (QMdiSubWindow* window : mDocuments->subWindowList()) {
        auto* shown = qobject_cast<ObjectWindow*>(window->widget());
        if (shown && !shown->property("closing").toBool() && shown->objectType() == object.type &&
            shown->name().compare(object.name, Qt::CaseInsensitive) == 0) {
            return shown;
        }
    }
    return nullptr;
}

bool MainWindow::selectObject(const host::ObjectRef& object) {
    if (!mDatabaseWindow->selectObject(object)) {
        return false;
    }
    mDatabaseWindow->setFocus();
    mDocumentCurrent = false;
    updateCurrentObject();
    return true;
}

bool MainWindow::clickControl(const QString& id) {
    if (mRibbon && mRibbon->click(id)) {
        return true;
    }
    return mCommandBars && mCommandBars->click(id);
}

void MainWindow::openObject(const host::ObjectRef& object) {
    const QString& name = object.name;
    try {
        switch (object.type) {
            case host::ObjectType::Table:
                mApplication->doCmd().openTable(name, host::View::Normal, host::DataMode::Edit);
                break;
            case host::ObjectType::Query:
                mApplication->doCmd().openQuery(name, host::View::Normal, host::DataMode::Edit);
                break;
            case host::ObjectType::Form:
                mApplication->doCmd().openForm(name, host::View::Normal, QString(), QString(),
                                               host::DataMode::PropertySettings, host::WindowMode::Normal);
                break;
            case host::ObjectType::Report:
                mApplication->doCmd().openReport(name, host::View::Preview, host::WindowMode::Normal);
                break;
            default:
                break;
        }
    } catch (const host::Error& error) {
        showMessage(error.description());
    }
}

void MainWindow::openDesign(const host::ObjectRef& object) {
    const QString& name = object.name;
    try {
        switch (object.type) {
            case host::ObjectType::Table:
                mApplication->doCmd().openTable(name, host::View::Design, host::DataMode::Edit);
                break;
            case host::ObjectType::Query:
                mApplication->doCmd().openQuery(name, host::View::Design, host::DataMode::Edit);
                break;
            case host::ObjectType::Form:
                mApplication->doCmd().openForm(name, host::View::Design, QString(), QString(),
                                               host::DataMode::PropertySettings, host::WindowMode::Normal);
                break;
            case host::ObjectType::Report:
                mApplication->doCmd().openReport(name, host::View::Design, host::WindowMode::Normal);
                break;
            default:
                break;
        }
    } catch (const host::Error& error) {
        showMessage(error.description());
    }
}

void MainWindow::onHostCommand(const QString& action, const host::ObjectRef& object) {
    if (action.startsWith(QLatin1String("Open"))) {
        // Opened hidden to be read and closed at once (the add-in reading a record source), an object gets
        // no window: the window is made once the caller has finished.
        // A visible open has made the object current already; a hidden one has not.
        const std::optional<host::ObjectRef> current = mState->currentObject();
        const bool visible = current && current->type == object.type &&
                             current->name.compare(object.name, Qt::CaseInsensitive) == 0;
        QTimer::singleShot(0, this, [this, object, visible] {
            if (visible && mState->openView(object).has_value()) {
                showObjectWindow(object);
            }
        });
    } else if (action == QLatin1String("Close")) {
        closeFromHost(objectWindow(object));
        updateCurrentObject();
    } else if (action == QLatin1String("RunCommand")) {
        const auto commands = mState->commandsRun();
        if (!commands.isEmpty() && commands.last() == host::Command::NewObjectQuery &&
            object.type == host::ObjectType::Query) {
            showObjectWindow(object);
        }
    } else if (action == QLatin1String("SelectObject") && object.name.isEmpty()) {
        // A page of the database window; one it does not have (macros, modules) leaves no button pressed.
        showPage(object.type);
    } else if (action == QLatin1String("SelectObject")) {
        if (ObjectWindow* window = objectWindow(object)) {
            mDocuments->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(window->parentWidget()));
        } else {
            mDatabaseWindow->selectObject(object);
        }
    }
}

void MainWindow::showObjectWindow(const host::ObjectRef& object) {
    const host::ObjectType type = object.type;
    const QString& name = object.name;
    const std::optional<host::View> view = mState->openView(object);
    if (!view || !mDatabase) {
        return;
    }
    const bool design = *view == host::View::Design;
    ObjectWindow* existing = objectWindow(object);
    if (existing && (existing->view() == host::View::Design) == design) {
        mDocuments->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(existing->parentWidget()));
        return;
    }
    std::unique_ptr<DatasheetModel> rows;
    if (type == host::ObjectType::Query && !design) {
        rows = runForDatasheet(name);
        if (!rows) {
            // No datasheet opens: the query is not open (its other view, if any, stays).
            try {
                if (existing) {
                    mState->doCmd().openQuery(name, existing->view(), host::DataMode::Edit);
                } else {
                    mState->doCmd().close(object, host::SaveOption::No);
                }
            } catch (const host::Error&) {
            }
            return;
        }
    }
    if (existing) {
        // Switching views replaces the window, as the host does.
        closeFromHost(existing);
    }
    ObjectWindow* window = nullptr;
    if (type == host::ObjectType::Query && design) {
        const bool isNew = mState->objectState(object).testFlag(host::ObjectState::New);
        window = new QueryDesignWindow(*mDatabase, mPath, name, isNew);
    } else if (type == host::ObjectType::Table) {
        window = new DatasheetWindow(mPath, name);
    } else if (type == host::ObjectType::Query) {
        window = new DatasheetWindow(name, std::move(rows));
    } else {
        window = new DocumentWindow(*mDatabase, type, name, *view);
    }
    QMdiSubWindow* sub = mDocuments->addSubWindow(window);
    sub->setWindowIcon(window->windowIcon());
    sub->resize(720, 460);
    const host::ObjectRef closed = object;
    connect(window, &QObject::destroyed, this, [this, window, closed] {
        // A window the user closed closes its object in the host.
        // The window goes after the event loop's deferred delete: by then the host may have opened the
        // object again in another view, which a window the host closed must leave open.
        if (!mHostClosed.remove(window) && !mClosingFromHost && mState->openView(closed).has_value()) {
            try {
                mState->doCmd().close(closed, host::SaveOption::No);
            } catch (const host::Error&) {
            }
        }
        QTimer::singleShot(0, this, [this] {
            if (!mDocuments->activeSubWindow()) {
                mDocumentCurrent = false;
            }
            updateCurrentObject();
        });
    });
    window->show();
    mDocuments->setActiveSubWindow(sub);
    setCurrentFromDocument(sub);
}

std::unique_ptr<DatasheetModel> MainWindow::runForDatasheet(const QString& name) {
    try {
        const auto definition = mDatabase->queryDef(name);
        if (isActionQueryType(definition->type())) {
            showMessage(QStringLiteral("'%1' is an action query: it changes data and has no datasheet.\n\n"
                                       "Use Run on the Query menu to run it.")
                            .arg(definition->name()));
            return nullptr;
        }
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
        return queryRows(*mDatabase, definition->name(), [this](const qdb::ParameterRequest& parameter) {
            QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
            const auto restoreWait = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
            return askParameterValue(this, parameter.name);
        });
    } catch (const host::Error& error) {
        // Cancelling a parameter prompt ends the run quietly, as in the host.
        if (error.number() != host::errCancelled) {
            showHostError(error);
        }
    } catch (const std::exception& error) {
        showMessage(QString::fromUtf8(error.what()));
    }
    return nullptr;
}

void MainWindow::runQuery(const QString& name) {
    if (!mDatabase) {
        return;
    }
    QString shown;
    host::QueryType type = host::QueryType::Select;
    try {
        const auto definition = mDatabase->queryDef(name);
        shown = definition->name();
        type = definition->type();
    } catch (const host::Error& error) {
        showHostError(error);
        return;
    }
    if (!isActionQueryType(type)) {
        openObject({host::ObjectType::Query, shown});
        return;
    }
    const QString kind = type == host::QueryType::Append      ? QStringLiteral("an append")
                         : type == host::QueryType::Update    ? QStringLiteral("an update")
                         : type == host::QueryType::Delete    ? QStringLiteral("a delete")
                         : type == host::QueryType::MakeTable ? QStringLiteral("a make-table")
                                                              : QStringLiteral("a data-definition");
    if (!confirm(QStringLiteral("You are about to run %1 query that will modify data in your table.\n\nAre "
                                "you sure you want to run this type of action query?")
                     .arg(kind))) {
        return;
    }
    // A run repeated to replace a table asks for no parameter twice.
    QHash<QString, std::optional<QVariant>> answers;
    const auto prompt = [this, &answers](const qdb::ParameterRequest& parameter) {
        const QString key = parameter.name.toCaseFolded();
        if (!answers.contains(key)) {
            answers.insert(key, askParameterValue(this, parameter.name));
        }
        return answers.value(key);
    };
    qdb::RunOptions options;
    for (;;) {
        try {
            const qdb::QueryResult result = mDatabase->runQuery(shown, prompt, options);
            statusBar()->showMessage(QStringLiteral("%1 row(s) affected.").arg(result.affected));
            // Open tables show the rows as they are now.
            for (QMdiSubWindow* sub : mDocuments->subWindowList()) {
                if (auto* datasheet = qobject_cast<DatasheetWindow*>(sub->widget())) {
                    datasheet->reload();
                }
            }
        } catch (const host::Error& error) {
            if (error.number() == qdb::errTableExists && type == host::QueryType::MakeTable &&
                !options.replaceTable &&
                confirm(error.description() +
                        QStringLiteral("\n\nThe existing table will be deleted before you run the query. Do "
                                       "you want to continue anyway?"))) {
                options.replaceTable = true;
                continue;
            }
            if (error.number() != host::errCancelled) {
                showHostError(error);
            }
        }
        break;
    }
    // A make-table or data-definition query may have added or removed objects.
    mDatabaseWindow->refresh();
}

void MainWindow::pressPage(host::ObjectType type) {
    for (QAction* page : mPages->actions()) {
        page->setChecked(page->data().value<host::ObjectType>() == type);
    }
}

void MainWindow::showPage(host::ObjectType type) {
    pressPage(type);
    mDatabaseWindow->showPage(type);
}

void MainWindow::closeFromHost(ObjectWindow* window) {
    if (!window) {
        return;
    }
    window->setProperty("closing", true);
    mHostClosed.insert(window);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
        sub->close();
    }
}

void MainWindow::setCurrentFromDocument(QMdiSubWindow* window) {
    if (qobject_cast<ObjectWindow*>(window->widget())) {
        mDocumentCurrent = true;
        updateCurrentObject();
    }
}

void MainWindow::updateCurrentObject() {
    std::optional<host::ObjectRef> current;
    QMdiSubWindow* active = mDocuments->activeSubWindow();
    auto* object = active ? qobject_cast<ObjectWindow*>(active->widget()) : nullptr;
    if (mDocumentCurrent && object) {
        current = host::ObjectRef{object->objectType(), object->name()};
    } else {
        current = mDatabaseWindow->selectedObject();
    }
    if (current != mState->currentObject()) {
        mState->setCurrentObject(current);
        emit currentObjectChanged(current);
    }
    mStatusObject->setText(
        current ? current->name
                : (hasDatabase() ? QStringLiteral("Ready") : QStringLiteral("No database open")));
    updateActions();
}

void MainWindow::updateTitle() {
    // An imported copy says so, under the name of the file it was made from.
    const QString shown = mImportedFrom.isEmpty()
                              ? QFileInfo(mPath).completeBaseName()
                              : QFileInfo(mImportedFrom).fileName() + QStringLiteral(" (imported copy)");
    setWindowTitle(mPath.isEmpty() ? QStringLiteral("Qorvel Host")
                                   : QStringLiteral("%1 : Database - Qorvel Host").arg(shown));
}

void MainWindow::updateActions() {
    const bool open = hasDatabase();
    const std::optional<host::ObjectRef> current = mState->currentObject();
    const bool query = current && current->type == host::ObjectType::Query;
    mCloseAction->setEnabled(open);
    mNewQueryAction->setEnabled(open);
    mDatasheetAction->setEnabled(open && current.has_value());
    mDesignAction->setEnabled(open && current.has_value());
    mSqlAction->setEnabled(open && query);
    mRunAction->setEnabled(open && query);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    closeDatabase();
    disconnectAddins();
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && event->mimeData()->urls().first().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const auto urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) {
        event->acceptProposedAction();
        const QString path = urls.first().toLocalFile();
        // Opening may show a message; the drop finishes first.
        QTimer::singleShot(0, this, [this, path] { openDatabase(path); });
    }
}

}  // namespace app
