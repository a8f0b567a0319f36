#include "host/HostApplication.h"

#include "host/HostErrors.h"
#include "host/HostText.h"
#include "host/QdbDatabase.h"
#include "host/SqliteConnection.h"

#include <QHash>
#include <QMap>

namespace qdb {

namespace {

constexpr int kDefaultConnectionMode = 16;  // share deny none: read and write
const QString kDefaultVersion = QStringLiteral("12.0");

[[noreturn]] void throwNotAvailable(const QString& action) {
    throw host::Error(errCommandNotAvailable,
                      QStringLiteral("The command or action '%1' isn't available now.").arg(action),
                      kSourceApplication);
}

[[noreturn]] void throwCantFind(const QString& name) {
    throw host::Error(7874, QStringLiteral("Microsoft Access can't find the object '%1'.").arg(name),
                      kSourceApplication);
}

class HostState;

class HostDoCmd : public host::DoCmd {
public:
    explicit HostDoCmd(HostState& application) : mApplication(application) {}
    void openQuery(const QString& name, host::View view, host::DataMode dataMode) override;
    void openTable(const QString& name, host::View view, host::DataMode dataMode) override;
    void openForm(const QString& name, host::View view, const QString& filterName,
                  const QString& whereCondition, host::DataMode dataMode,
                  host::WindowMode windowMode) override;
    void openReport(const QString& name, host::View view, host::WindowMode windowMode) override;
    void close(int objectType, const QString& name, host::SaveOption save) override;
    void selectObject(int objectType, const QString& name, bool inDatabaseWindow) override;
    void runCommand(host::Command command) override;

private:
    HostState& mApplication;
};

class HostScreen : public host::Screen {
public:
    explicit HostScreen(HostState& application) : mApplication(application) {}
    host::MousePointer mousePointer() override { return mPointer; }
    void setMousePointer(host::MousePointer pointer) override { mPointer = pointer; }
    bool hasActiveDatasheet() override;
    void activeDatasheetSetFocus() override;

private:
    HostState& mApplication;
    host::MousePointer mPointer = host::MousePointer::Default;
};

class HostProject : public host::CurrentProject {
public:
    explicit HostProject(HostState& application) : mApplication(application) {}
    QString fullName() override;
    host::ProjectType projectType() override { return host::ProjectType::Database; }
    int connectionMode() override { return mMode; }
    void setMode(int mode) { mMode = mode; }

private:
    HostState& mApplication;
    int mMode = kDefaultConnectionMode;
};

class HostState : public HostApplication {
public:
    HostState() : mDoCmd(*this), mScreen(*this), mProject(*this) {
        // The query wizards' entry points that every installation of the host has.
        mProcedures << QStringLiteral("acwzmain.ssq_Entry") << QStringLiteral("acwzmain.xtq_Entry")
                    << QStringLiteral("acwztool.dup_Entry") << QStringLiteral("acwztool.dwz_Entry");
    }

    // host::Application
    int currentObjectType() override { return mCurrentType; }
    QString currentObjectName() override { return mCurrentName; }

    QString accessVersion() override { return mVersion; }
    host::ObjectStates objectState(int objectType, const QString& name) override {
        return state(objectType, name);
    }

    std::shared_ptr<host::Database> currentDb() override { return mDatabase; }
    host::CurrentProject& currentProject() override { return mProject; }

    host::AccessObjectState allQueries(const QString& name) override {
        const bool known =
            (mDatabase && exists(host::acQuery, name)) || mStates.contains(key(host::acQuery, name));
        if (!known) {
            throwItemNotFound(QStringLiteral("Microsoft Access"));
        }
        host::AccessObjectState result;
        result.isLoaded = (state(host::acQuery, name) & host::ObjectState::Open) != 0;
        // mViews keeps the code the query was opened with; CurrentView answers in the host's own codes.
        result.currentView = mViews.value(key(host::acQuery, name), host::View::Normal) == host::View::Design
                                 ? host::CurrentView::Design
                                 : host::CurrentView::Datasheet;
        return result;
    }

    QString formRecordSource(const QString& form) override {
        return recordSource(host::acForm, form, errFormNotOpen,
                            QStringLiteral("Microsoft Access can't find the form '%1' referred to in a macro "
                                           "expression or Visual Basic code."));
    }

    QString reportRecordSource(const QString& report) override {
        return recordSource(
            host::acReport, report, errReportNotOpen,
            QStringLiteral("Microsoft Access can't find the report '%1' referred to in a macro "
                           "expression or Visual Basic code."));
    }

    host::DoCmd& doCmd() override { return mDoCmd; }
    host::Screen& screen() override { return mScreen; }
    void echo(bool on) override { mEcho = on; }
    void refreshDatabaseWindow() override {}
    quintptr hWndAccessApp() override { return mMainWindow; }

    long dCount(const QString& expression, const QString& domain, const QString& criteria) override {
        if (!mDatabase) {
            throwNotAvailable(QStringLiteral("DCount"));
        }
        // The domain is a table or query name, as the host's own SQL writes one.
        QString sql =
            QStringLiteral("SELECT Count(%1) FROM [%2]")
                .arg(expression.trimmed() == QLatin1String("*") ? QStringLiteral("*") : expression, domain);
        if (!criteria.trimmed().isEmpty()) {
            sql += QStringLiteral(" WHERE ") + criteria;
        }
        auto recordset = mDatabase->openRecordset(sql, host::RecordsetType::Snapshot);
        return long(recordset->value(recordset->fieldName(0)).toLongLong());
    }

    QVariant run(const QString& procedure) override {
        for (const QString& known : mProcedures) {
            if (compareText(known, procedure) == 0) {
                mProcedureCalls << procedure;
                return {};
            }
        }
        throw host::Error(errProcedureNotFound,
                          QStringLiteral("Microsoft Access can't find the procedure '%1.'").arg(procedure),
                          kSourceApplication);
    }

    void sendKeys(const QString& keys, bool) override { mSentKeys << keys; }

    // HostApplication
    void setDatabase(std::shared_ptr<QdbDatabase> database) override {
        mDatabase = std::move(database);
        mStates.clear();
        mViews.clear();
        mCurrentType = -1;
        mCurrentName.clear();
    }
    std::shared_ptr<QdbDatabase> database() const override { return mDatabase; }
    void setCurrentObject(int objectType, const QString& name) override {
        mCurrentType = objectType;
        mCurrentName = name;
    }
    void setVersion(const QString& versionText) override { mVersion = versionText; }
    void setObjectState(int objectType, const QString& name, host::ObjectStates bits) override {
        const QString k = key(objectType, name);
        if (bits == 0) {
            mStates.remove(k);
            mViews.remove(k);
            return;
        }
        mStates.insert(k, bits);
        if ((bits & host::ObjectState::Open) && !mViews.contains(k)) {
            mViews.insert(k, host::View::Normal);
        }
        if (!(bits & host::ObjectState::Open)) {
            mViews.remove(k);
        }
    }
    void setConnectionMode(int mode) override { mProject.setMode(mode); }
    void registerProcedure(const QString& name) override { mProcedures << name; }
    QStringList procedureCalls() const override { return mProcedureCalls; }
    std::optional<host::View> openView(int objectType, const QString& name) const override {
        const auto found = mViews.constFind(key(objectType, name));
        if (found == mViews.constEnd()) {
            return std::nullopt;
        }
        return *found;
    }
    bool echoOn() const override { return mEcho; }
    QStringList sentKeys() const override { return mSentKeys; }
    QList<host::Command> commandsRun() const override { return mCommands; }
    void setMainWindowHandle(quintptr handle) override { mMainWindow = handle; }
    void setCommandObserver(CommandObserver observer) override { mObserver = std::move(observer); }

    // Used by DoCmd and Screen.
    static QString key(int type, const QString& name) {
        return QString::number(type) + QLatin1Char(':') + foldCase(name);
    }

    host::ObjectStates state(int type, const QString& name) const { return mStates.value(key(type, name)); }

    bool exists(int type, const QString& name) { return storedName(type, name).has_value(); }

    // The name as the database spells it, or nothing when the database has no such object.
    std::optional<QString> storedName(int type, const QString& name) {
        if (!mDatabase) {
            return std::nullopt;
        }
        try {
            switch (type) {
                case host::acTable:
                    return mDatabase->tableDef(name)->name();
                case host::acQuery:
                    return mDatabase->queryDef(name)->name();
                case host::acForm:
                case host::acReport:
                    for (const QString& other : mDatabase->documentNames(
                             type == host::acForm ? QStringLiteral("Forms") : QStringLiteral("Reports"))) {
                        if (compareText(other, name) == 0) {
                            return other;
                        }
                    }
                    return std::nullopt;
                default:
                    return std::nullopt;
            }
        } catch (const host::Error&) {
            return std::nullopt;
        }
    }

    void open(const QString& action, int type, const QString& name, host::View view, bool visible) {
        if (!mDatabase) {
            throwNotAvailable(action);
        }
        const bool unsavedNew = state(type, name) & host::ObjectState::New;
        const std::optional<QString> stored = unsavedNew ? name : storedName(type, name);
        if (!stored) {
            throwCantFind(name);
        }
        const QString& shown = *stored;
        const QString k = key(type, shown);
        mStates.insert(k, state(type, shown) | host::ObjectState::Open);
        mViews.insert(k, view);
        if (visible) {
            setCurrentObject(type, shown);
        }
        notify(action, type, shown);
    }

    void close(int type, const QString& name) {
        const int objectType = name.isEmpty() ? mCurrentType : type;
        const QString objectName = name.isEmpty() ? mCurrentName : name;
        const QString k = key(objectType, objectName);
        // Closing without saving drops the unsaved changes; a never-saved object is gone.
        mStates.remove(k);
        mViews.remove(k);
        notify(QStringLiteral("Close"), objectType, objectName);
    }

    void select(int type, const QString& name, bool inDatabaseWindow) {
        if (name.isEmpty()) {
            // Selecting a page of the database window changes no object.
            notify(QStringLiteral("SelectObject"), type, name);
            return;
        }
        const std::optional<QString> stored = storedName(type, name);
        if (inDatabaseWindow) {
            if (!stored) {
                throwCantFind(name);
            }
        } else if (!(state(type, name) & host::ObjectState::Open)) {
            throw host::Error(2489, QStringLiteral("The object '%1' isn't open.").arg(name),
                              kSourceApplication);
        }
        // An unsaved new object is open under the name it was given.
        setCurrentObject(type, stored.value_or(name));
        notify(QStringLiteral("SelectObject"), type, name);
    }

    void command(host::Command command) {
        mCommands << command;
        if (command == host::Command::NewObjectQuery) {
            if (!mDatabase) {
                throwNotAvailable(QStringLiteral("NewObjectQuery"));
            }
            // The new-query dialog's default choice: a new, unsaved query open in design view.
            QString name;
            for (int n = 1;; ++n) {
                name = QStringLiteral("Query%1").arg(n);
                if (!exists(host::acQuery, name) && !exists(host::acTable, name) &&
                    state(host::acQuery, name) == 0) {
                    break;
                }
            }
            const QString k = key(host::acQuery, name);
            mStates.insert(k, host::ObjectState::Open | host::ObjectState::New);
            mViews.insert(k, host::View::Design);
            setCurrentObject(host::acQuery, name);
        }
        notify(QStringLiteral("RunCommand"), mCurrentType, mCurrentName);
    }

    bool activeDatasheet() const {
        if (mCurrentType != host::acTable && mCurrentType != host::acQuery) {
            return false;
        }
        const QString k = key(mCurrentType, mCurrentName);
        return (state(mCurrentType, mCurrentName) & host::ObjectState::Open) &&
               mViews.value(k, host::View::Design) == host::View::Normal;
    }

private:
    QString recordSource(int type, const QString& name, int error, const QString& message) {
        if (!mDatabase || !(state(type, name) & host::ObjectState::Open)) {
            throw host::Error(error, message.arg(name), kSourceApplication);
        }
        const auto objects = type == host::acForm ? mDatabase->forms() : mDatabase->reports();
        for (const FormSpec& object : objects) {
            if (compareText(object.name, name) == 0) {
                return object.recordSource;
            }
        }
        throw host::Error(error, message.arg(name), kSourceApplication);
    }

    void notify(const QString& action, int type, const QString& name) {
        if (mObserver) {
            mObserver(action, type, name);
        }
    }

    HostDoCmd mDoCmd;
    HostScreen mScreen;
    HostProject mProject;
    std::shared_ptr<QdbDatabase> mDatabase;
    int mCurrentType = -1;
    QString mCurrentName;
    QString mVersion = kDefaultVersion;
    QHash<QString, host::ObjectStates> mStates;
    QHash<QString, host::View> mViews;
    QStringList mProcedures;
    QStringList mProcedureCalls;
    QStringList mSentKeys;
    QList<host::Command> mCommands;
    bool mEcho = true;
    quintptr mMainWindow = 0;
    CommandObserver mObserver;
};

void HostDoCmd::openQuery(const QString& name, host::View view, host::DataMode) {
    mApplication.open(QStringLiteral("OpenQuery"), host::acQuery, name, view, true);
}

void HostDoCmd::openTable(const QString& name, host::View view, host::DataMode) {
    mApplication.open(QStringLiteral("OpenTable"), host::acTable, name, view, true);
}

void HostDoCmd::openForm(const QString& name, host::View view, const QString&, const QString&, host::DataMode,
                         host::WindowMode windowMode) {
    mApplication.open(QStringLiteral("OpenForm"), host::acForm, name, view,
                      windowMode != host::WindowMode::Hidden);
}

void HostDoCmd::openReport(const QString& name, host::View view, host::WindowMode windowMode) {
    mApplication.open(QStringLiteral("OpenReport"), host::acReport, name, view,
                      windowMode != host::WindowMode::Hidden);
}

void HostDoCmd::close(int objectType, const QString& name, host::SaveOption) {
    mApplication.close(objectType, name);
}

void HostDoCmd::selectObject(int objectType, const QString& name, bool inDatabaseWindow) {
    mApplication.select(objectType, name, inDatabaseWindow);
}

void HostDoCmd::runCommand(host::Command command) {
    mApplication.command(command);
}

bool HostScreen::hasActiveDatasheet() {
    return mApplication.activeDatasheet();
}

void HostScreen::activeDatasheetSetFocus() {
    if (!mApplication.activeDatasheet()) {
        throw host::Error(2484, QStringLiteral("There is no active datasheet."), kSourceApplication);
    }
}

QString HostProject::fullName() {
    const auto database = mApplication.database();
    return database ? database->name() : QString();
}

}  // namespace

std::unique_ptr<HostApplication> HostApplication::create() {
    return std::make_unique<HostState>();
}

}  // namespace qdb
