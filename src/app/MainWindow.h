// The host's main window: menus, the database window, the windows objects are open in, the ribbon (host
// version 12 and later) or the command bars (earlier versions), and the add-ins it loads at start.
#pragma once

#include "app/DatabaseWindow.h"

#include <QMainWindow>
#include <QPointer>
#include <QSet>

#include <functional>
#include <memory>

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QAction;
class QLabel;
class QDockWidget;
class QToolBar;
class QActionGroup;

namespace qdb {
class HostApplication;
class QdbDatabase;
}  // namespace qdb

namespace host {
class Application;
class Error;
}  // namespace host

namespace app {

class AddinHost;
class DatasheetModel;
class DesktopApplication;
class ObjectWindow;
class QtCommandBars;
class Ribbon;

struct HostOptions {
    QString versionText = QStringLiteral("12.0");
    bool loadAddins = true;
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(HostOptions options, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Opens the database file, closing the one open; false (after telling the user why) when the file is
    // not a database the host can open. A host file (.mdb, .accdb) is imported into a copy in the user's
    // data folder, re-used while the file is unchanged, and the copy is opened; the file is only read.
    bool openDatabase(const QString& path);
    // Makes an empty database and opens it.
    bool newDatabase(const QString& path);
    void closeDatabase();
    bool hasDatabase() const;
    // The file open: a .qdb, or the imported copy of a host file.
    QString databasePath() const;
    // The host file (.mdb, .accdb) the open database is an imported copy of, else empty.
    QString importedFrom() const { return mImportedFrom; }
    // The files opened last, newest first (at most eight); a host file by its own path, not its copy's.
    QStringList recentFiles() const;
    // A real host file, opened through an imported copy.
    static bool isHostFile(const QString& path);
    // Where the imported copies are kept: the user's data folder.
    static QString importFolder();

    // Loads the registered add-ins and connects them (once, at start).
    void connectAddins();
    // Connects one add-in library directly (tests).
    bool connectAddin(const QString& progId, const QString& libraryPath);
    void disconnectAddins();
    AddinHost& addins() { return *mAddins; }

    // The host state and the application object the add-ins are given.
    qdb::HostApplication& state() { return *mState; }
    host::Application& application();
    bool isRibbonHost() const;

    DatabaseWindow* databaseWindow() const { return mDatabaseWindow; }
    QMdiArea* documents() const { return mDocuments; }
    Ribbon* ribbon() const { return mRibbon; }
    QtCommandBars* commandBars() const { return mCommandBars.get(); }
    // The window the object is open in, or nullptr.
    ObjectWindow* objectWindow(const host::ObjectRef& object) const;

    // Selects an object in the database window and makes it current; false when there is none.
    bool selectObject(const host::ObjectRef& object);
    // Clicks a ribbon control or a command bar control by its id (a ribbon id, a button's caption or
    // tag); false when there is no such enabled control.
    bool clickControl(const QString& id);
    // Opens the object as a double click does, or in design view.
    void openObject(const host::ObjectRef& object);
    void openDesign(const host::ObjectRef& object);

    // Where the host's messages go (a message box unless replaced, as tests do).
    using MessageSink = std::function<void(const QString& text)>;
    void setMessageSink(MessageSink sink) { mMessageSink = std::move(sink); }
    void showMessage(const QString& text);

    // The Run command: an action query runs after the user confirmed it (and its table may be replaced
    // after a second question); a query that returns rows opens its datasheet.
    void runQuery(const QString& name);
    // Where the host's yes-or-no questions go (a message box unless replaced, as tests do).
    using Confirmation = std::function<bool(const QString& text)>;
    void setConfirmation(Confirmation confirmation) { mConfirmation = std::move(confirmation); }

    // The host's wizards by entry point; false when the name is not one of them.
    bool runWizard(const QString& procedure);
    // The simple query wizard's dialog while it is up (tests fill it in).
    QWidget* activeWizard() const { return mActiveWizard; }

signals:
    void databaseOpened(const QString& path);
    // Before the database closes, while windows that work on it can still save.
    void databaseClosing();
    void databaseClosed();
    void currentObjectChanged(const std::optional<host::ObjectRef>& object);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    void buildRibbon();
    void updateRecentFiles();
    void rememberRecentFile(const QString& path);
    void onHostCommand(const QString& action, const host::ObjectRef& object);
    void showObjectWindow(const host::ObjectRef& object);
    // A query's rows for its datasheet, or nothing (after saying why, unless the user cancelled).
    std::unique_ptr<DatasheetModel> runForDatasheet(const QString& name);
    void showHostError(const host::Error& error);
    bool confirm(const QString& text);
    // Shows a page of the database window (a kind of object) and presses its button.
    void showPage(host::ObjectType type);
    void pressPage(host::ObjectType type);
    // Closes an object's window for the host, which has closed the object already or opens it anew.
    void closeFromHost(ObjectWindow* window);
    void updateCurrentObject();
    void setCurrentFromDocument(QMdiSubWindow* window);
    void onBuiltInRibbonCommand(const QString& id);
    void newQuery();
    void updateTitle();
    void updateActions();
    void mergeAddinRibbons();

    HostOptions mOptions;
    std::unique_ptr<qdb::HostApplication> mState;
    std::unique_ptr<DesktopApplication> mApplication;
    std::shared_ptr<qdb::QdbDatabase> mDatabase;
    QString mPath;
    QString mImportedFrom;
    std::unique_ptr<AddinHost> mAddins;
    std::unique_ptr<QtCommandBars> mCommandBars;

    DatabaseWindow* mDatabaseWindow = nullptr;
    QDockWidget* mDatabaseDock = nullptr;
    QToolBar* mObjectsBar = nullptr;
    QActionGroup* mPages = nullptr;
    QMdiArea* mDocuments = nullptr;
    Ribbon* mRibbon = nullptr;
    QLabel* mStatusObject = nullptr;
    QMenu* mRecentMenu = nullptr;
    QMenu* mToolsMenu = nullptr;
    QAction* mCloseAction = nullptr;
    QAction* mShowHiddenAction = nullptr;
    QAction* mDatasheetAction = nullptr;
    QAction* mDesignAction = nullptr;
    QAction* mSqlAction = nullptr;
    QAction* mRunAction = nullptr;
    QAction* mNewQueryAction = nullptr;
    bool mDocumentCurrent = false;
    bool mClosingFromHost = false;
    QSet<const QObject*> mHostClosed;  // windows closed by the host, until they are destroyed
    bool mAddinsConnected = false;
    MessageSink mMessageSink;
    Confirmation mConfirmation;
    QPointer<QWidget> mActiveWizard;
};

}  // namespace app
