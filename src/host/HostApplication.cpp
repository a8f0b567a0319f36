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
    void close(const host::ObjectRef& object, host::SaveOption save) override;
    void selectObject(const host::ObjectRef& object, bool inDatabaseWindow) override;
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
    std::optional<host::ObjectRef> currentObject() override { return mCurrent; }

    QString accessVersion() override { return mVersion; }
    host::ObjectStates objectState(const host::ObjectRef& object) override { return state(object); }

    std::shared_ptr<host::Database> currentDb() override { return mDatabase; }
    host::CurrentProject& currentProject() override { return mProject; }

    host::AccessObjectState allQueries(const QString& name) override {
        const host::ObjectRef query{host::ObjectType::Query, name};
        const bool known = (mDatabase && exists(query)) || mStates.contains(key(query));
        if (!known) {
            throwItemNotFound(QStringLiteral("Microsoft Access"));
        }
        host::AccessObjectState result;
        result.isLoaded = state(query).testFlag(host::ObjectState::Open);
        // mViews keeps the code the query was opened with; CurrentView answers in the host's own codes.
        result.currentView = mViews.value(key(query), host::View::Normal) == host::View::Design
                                 ? host::CurrentView::Design
                                 : host::CurrentView::Datasheet;
        return result;
    }

    QString formRecordSource(const QString& form) override {
        return recordSource({host::ObjectType::Form, form}, errFormNotOpen,
                            QStringLiteral("Microsoft Access can't find the form '%1' referred to in a macro "
                                           "expression or Visual Basic code."));
    }

    QString reportRecordSource(const QString& report) override {
        return recordSource(
            {host::ObjectType::Report, report}, errReportNotOpen,
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
        mCurrent.reset();
    }
    std::shared_ptr<QdbDatabase> database() const override { return mDatabase; }
    void setCurrentObject(std::optional<host::ObjectRef> object) override { mCurrent = std::move(object); }
    void setVersion(const QString& versionText) override { mVersion = versionText; }
    void setObjectState(const host::ObjectRef& object, host::ObjectStates bits) override {
        const QString k = key(object);
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
    std::optional<host::View> openView(const host::ObjectRef& object) const override {
        const auto found = mViews.constFind(key(object));
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
    static QString key(const host::ObjectRef& object) {
        return QString::number(static_cast<int>(object.type)) + QLatin1Char(':') + foldCase(object.name);
    }

    host::ObjectStates state(const host::ObjectRef& object) const { return mStates.value(key(object)); }

    bool exists(const host::ObjectRef& object) { return storedName(object).has_value(); }

    // The name as the database spells it, or nothing when the database has no such object.
    std::optional<QString> storedName(const host::ObjectRef& object) {
        if (!mDatabase) {
            return std::nullopt;
        }
        const QString& name = object.name;
        try {
            switch (object.type) {
                case host::ObjectType::Table:
                    return mDatabase->tableDef(name)->name();
                case host::ObjectType::Query:
                    return mDatabase->queryDef(name)->name();
                case host::ObjectType::Form:
                case host::ObjectType::Report:
                    for (const QString& other : mDatabase->documentNames(object.type == host::ObjectType::Form
                                                                             ? QStringLiteral("Forms")
                                                                             : QStringLiteral("Reports"))) {
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

    void open(const QString& action, const host::ObjectRef& object, host::View view, bool visible) {
        if (!mDatabase) {
            throwNotAvailable(action);
        }
        const bool unsavedNew = state(object).testFlag(host::ObjectState::New);
        const std::optional<QString> stored = unsavedNew ? object.name : storedName(object);
        if (!stored) {
            throwCantFind(object.name);
        }
        const host::ObjectRef shown{object.type, *stored};
        const QString k = key(shown);
        mStates.insert(k, state(shown) | host::ObjectState::Open);
        mViews.insert(k, view);
        if (visible) {
            setCurrentObject(shown);
        }
        notify(action, shown);
    }

    void close(const host::ObjectRef& object) {
        // Without a name the current object is meant; with none current there is nothing to close.
        if (object.name.isEmpty() && !mCurrent) {
            return;
        }
        const host::ObjectRef closed = object.name.isEmpty() ? *mCurrent : object;
        const QString k = key(closed);
        // Closing without saving drops the unsaved changes; a never-saved object is gone.
        mStates.remove(k);
        mViews.remove(k);
        notify(QStringLiteral("Close"), closed);
    }

    void select(const host::ObjectRef& object, bool inDatabaseWindow) {
        if (object.name.isEmpty()) {
            // Selecting a page of the database window changes no object.
            notify(QStringLiteral("SelectObject"), object);
            return;
        }
        const std::optional<QString> stored = storedName(object);
        if (inDatabaseWindow) {
            if (!stored) {
                throwCantFind(object.name);
            }
        } else if (!state(object).testFlag(host::ObjectState::Open)) {
            throw host::Error(2489, QStringLiteral("The object '%1' isn't open.").arg(object.name),
                              kSourceApplication);
        }
        // An unsaved new object is open under the name it was given.
        setCurrentObject(host::ObjectRef{object.type, stored.value_or(object.name)});
        notify(QStringLiteral("SelectObject"), object);
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
                const host::ObjectRef query{host::ObjectType::Query, name};
                if (!exists(query) && !exists({host::ObjectType::Table, name}) && state(query) == 0) {
                    break;
                }
            }
            const host::ObjectRef query{host::ObjectType::Query, name};
            const QString k = key(query);
            mStates.insert(k, host::ObjectState::Open | host::ObjectState::New);
            mViews.insert(k, host::View::Design);
            setCurrentObject(query);
        }
        if (mCurrent) {
            notify(QStringLiteral("RunCommand"), *mCurrent);
        }
    }

    bool activeDatasheet() const {
        if (!mCurrent ||
            (mCurrent->type != host::ObjectType::Table && mCurrent->type != host::ObjectType::Query)) {
            return false;
        }
        return state(*mCurrent).testFlag(host::ObjectState::Open) &&
               mViews.value(key(*mCurrent), host::View::Design) == host::View::Normal;
    }

private:
    QString recordSource(const host::ObjectRef& object, int error, const QString& message) {
        if (!mDatabase || !state(object).testFlag(host::ObjectState::Open)) {
            throw host::Error(error, message.arg(object.name), kSourceApplication);
        }
        const auto specs = object.type == host::ObjectType::Form ? mDatabase->forms() : mDatabase->reports();
        for (const FormSpec& spec : specs) {
            if (compareText(spec.name, object.name) == 0) {
                return spec.recordSource;
            }
        }
        throw host::Error(error, message.arg(object.name), kSourceApplication);
    }

    void notify(const QString& action, const host::ObjectRef& object) {
        if (mObserver) {
            mObserver(action, object);
        }
    }

    HostDoCmd mDoCmd;
    HostScreen mScreen;
    HostProject mProject;
    std::shared_ptr<QdbDatabase> mDatabase;
    std::optional<host::ObjectRef> mCurrent;
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
    mApplication.open(QStringLiteral("OpenQuery"), {host::ObjectType::Query, name}, view, true);
}

void HostDoCmd::openTable(const QString& name, host::View view, host::DataMode) {
    mApplication.open(QStringLiteral("OpenTable"), {host::ObjectType::Table, name}, view, true);
}

void HostDoCmd::openForm(const QString& name, host::View view, const QString&, const QString&, host::DataMode,
                         host::WindowMode windowMode) {
    mApplication.open(QStringLiteral("OpenForm"), {host::ObjectType::Form, name}, view,
                      windowMode != host::WindowMode::Hidden);
}

void HostDoCmd::openReport(const QString& name, host::View view, host::WindowMode windowMode) {
    mApplication.open(QStringLiteral("OpenReport"), {host::ObjectType::Report, name}, view,
                      windowMode != host::WindowMode::Hidden);
}

void HostDoCmd::close(const host::ObjectRef& object, host::SaveOption) {
    mApplication.close(object);
}

void HostDoCmd::selectObject(const host::ObjectRef& object, bool inDatabaseWindow) {
    mApplication.select(object, inDatabaseWindow);
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
