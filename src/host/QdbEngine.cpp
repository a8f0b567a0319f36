#include "host/QdbEngine.h"

#include "host/HostErrors.h"
#include "host/HostFunctions.h"
#include "host/HostText.h"
#include "host/QueryRunner.h"
#include "host/Snapshot.h"

#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

namespace qdb {

namespace {

const QString kFormatKey = QStringLiteral("format");
const QString kFormatValue = QStringLiteral("qdb 1");

// The host's field types and how SQLite declares them. Text columns fold case like the host.
struct FieldType {
    const char* name;
    const char* declaration;
};
constexpr FieldType kFieldTypes[] = {
    {"Text", "TEXT COLLATE HOSTTEXT"},
    {"Memo", "TEXT COLLATE HOSTTEXT"},
    {"Byte", "INTEGER"},
    {"Integer", "INTEGER"},
    {"Long", "INTEGER"},
    {"Single", "REAL"},
    {"Double", "REAL"},
    {"Currency", "NUMERIC"},
    {"DateTime", "DATETIME"},
    {"YesNo", "INTEGER"},
    {"AutoNumber", "INTEGER PRIMARY KEY AUTOINCREMENT"},
    // Types of tables imported from the real engine's files.
    {"OLEObject", "BLOB"},
    {"Attachment", "BLOB"},
    {"ReplicationID", "TEXT COLLATE HOSTTEXT"},
    {"Decimal", "NUMERIC"},
};

const FieldType* findFieldType(const QString& name) {
    for (const FieldType& type : kFieldTypes) {
        if (name.compare(QLatin1String(type.name), Qt::CaseInsensitive) == 0) {
            return &type;
        }
    }
    return nullptr;
}

bool isType(const FieldType& type, const char* name) {
    return qstrcmp(type.name, name) == 0;
}

// A value as a field of that type stores it: Yes/No as the host's -1 and 0, whole numbers in text
// fields without a decimal point (values read from JSON arrive as doubles).
QVariant storedValue(const FieldType& type, const QVariant& value) {
    if (value.isNull()) {
        return value;
    }
    if (isType(type, "YesNo")) {
        return value.toBool() ? -1 : 0;
    }
    const bool isDouble = value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float;
    if (isDouble && (isType(type, "Text") || isType(type, "Memo"))) {
        const double number = value.toDouble();
        if (std::floor(number) == number && std::abs(number) < 9.0e15) {
            return QString::number(qlonglong(number));
        }
        return QString::number(number, 'g', 17);
    }
    return value;
}

QString now() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString typeList(const std::vector<int>& types) {
    QStringList parts;
    for (int type : types) {
        parts << QString::number(type);
    }
    return parts.join(QLatin1Char(','));
}

// Creation needs a name that follows the host's rules.
void checkName(const QString& name, const QString& source) {
    if (!objectNameProblem(name).isEmpty()) {
        throwInvalidName(name, source);
    }
}

// An object type's container name.
QString sourceOfType(int type) {
    return type == kTypeForm ? QStringLiteral("Forms") : QStringLiteral("Reports");
}

}  // namespace

bool isSqlStatement(const QString& source) {
    static const QRegularExpression statement(QStringLiteral("^\\s*(\\(|(select|transform|parameters)\\b)"),
                                              QRegularExpression::CaseInsensitiveOption);
    return statement.match(source).hasMatch();
}

QString hiddenRecordSourceQueryName(int catalogueType, const QString& owner) {
    return (catalogueType == kTypeForm ? QStringLiteral("~sq_f") : QStringLiteral("~sq_r")) + owner;
}

QString hiddenRowSourceQueryName(int catalogueType, const QString& owner, const QString& control) {
    const QString marker = catalogueType == kTypeForm ? QStringLiteral("~sq_c") : QStringLiteral("~sq_d");
    return marker + owner + marker + control;
}

// A saved query, known by its id so that it follows the object and notices its deletion.
class QdbQueryDef : public host::QueryDef {
public:
    QdbQueryDef(std::shared_ptr<QdbEngine> engine, qint64 id) : mEngine(std::move(engine)), mId(id) {}
    QString name() const override { return mEngine->objectName(mId, kTypeQuery, kSourceQueryDef); }
    QString sql() const override { return mEngine->querySql(mId); }
    void setSql(const QString& sql) override { mEngine->setQuerySql(mId, sql); }
    host::QueryType type() const override { return static_cast<host::QueryType>(mEngine->queryType(mId)); }

private:
    std::shared_ptr<QdbEngine> mEngine;
    qint64 mId;
};

class QdbTableDef : public host::TableDef {
public:
    QdbTableDef(std::shared_ptr<QdbEngine> engine, qint64 id) : mEngine(std::move(engine)), mId(id) {}
    QString name() const override {
        return mEngine->objectName(mId, kTypeTable, QStringLiteral("DAO.TableDef"));
    }
    QStringList fieldNames() const override { return mEngine->tableFieldNames(mId); }

private:
    std::shared_ptr<QdbEngine> mEngine;
    qint64 mId;
};

QdbEngine::QdbEngine(const QString& path, OpenMode mode)
    : mPath(QFileInfo(path).absoluteFilePath()), mConnection(path, mode == OpenMode::Create) {
    registerHostText(mConnection.handle());
    registerHostFunctions(mConnection.handle());
    mRunner = std::make_unique<QueryRunner>(*this);
    // The schema is checked before anything is written, so that a file that is no database of ours (an
    // empty file, another program's SQLite file) is refused unchanged.
    if (mode != OpenMode::Create) {
        checkSchema();
    }
    if (mode == OpenMode::ReadOnly) {
        // Not SQLite's read-only open: that one cannot remove the -wal and -shm files it makes.
        mConnection.exec(QStringLiteral("PRAGMA query_only=ON;"));
        return;
    }
    mConnection.exec(QStringLiteral("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"));
    if (mode == OpenMode::Create) {
        createSchema();
    }
}

QdbEngine::~QdbEngine() = default;

void QdbEngine::createSchema() {
    transaction([this] {
        mConnection.exec(QStringLiteral(
            "CREATE TABLE MSysObjects (Id INTEGER PRIMARY KEY AUTOINCREMENT, ParentId INTEGER, Name TEXT "
            "COLLATE HOSTTEXT NOT "
            "NULL, Type INTEGER NOT NULL, Flags INTEGER NOT NULL DEFAULT 0, DateCreate TEXT, DateUpdate "
            "TEXT, "
            "Connect TEXT, Database TEXT, ForeignName TEXT COLLATE HOSTTEXT, Owner BLOB, Lv BLOB, LvProp "
            "BLOB, "
            "LvModule BLOB, LvExtra BLOB, RmtInfoShort BLOB, RmtInfoLong BLOB);"
            "CREATE INDEX MSysObjectsName ON MSysObjects (Name);"
            "CREATE TABLE MSysQueries (ObjectId INTEGER NOT NULL, Attribute INTEGER NOT NULL, Expression "
            "TEXT "
            "COLLATE HOSTTEXT, Flag INTEGER, LvExtra BLOB, Name1 TEXT COLLATE HOSTTEXT, Name2 TEXT COLLATE "
            "HOSTTEXT, \"Order\" BLOB);"
            "CREATE INDEX MSysQueriesObjectId ON MSysQueries (ObjectId);"
            "CREATE TABLE MSysQdbInfo (Key TEXT PRIMARY KEY, Value TEXT);"
            "CREATE TABLE MSysQdbQueryText (ObjectId INTEGER PRIMARY KEY, Sql TEXT NOT NULL);"
            "CREATE TABLE MSysQdbFields (ObjectId INTEGER NOT NULL, Position INTEGER NOT NULL, Name TEXT "
            "COLLATE "
            "HOSTTEXT NOT NULL, Type TEXT NOT NULL, PRIMARY KEY (ObjectId, Position));"
            "CREATE TABLE MSysQdbForms (ObjectId INTEGER PRIMARY KEY, RecordSource TEXT NOT NULL);"
            "CREATE TABLE MSysQdbControls (ObjectId INTEGER NOT NULL, Position INTEGER NOT NULL, Name TEXT "
            "COLLATE "
            "HOSTTEXT NOT NULL, RowSource TEXT NOT NULL, PRIMARY KEY (ObjectId, Position));"
            "CREATE TABLE MSysQdbHiddenQueries (QueryId INTEGER PRIMARY KEY, OwnerId INTEGER NOT NULL);"
            "CREATE INDEX MSysQdbHiddenQueriesOwner ON MSysQdbHiddenQueries (OwnerId);"
            "CREATE TABLE MSysQdbDescriptions (ObjectId INTEGER PRIMARY KEY, Description TEXT NOT NULL);"));
        mConnection.prepare(QStringLiteral("INSERT INTO MSysQdbInfo (Key, Value) VALUES (?, ?)"))
            .bind(1, kFormatKey)
            .bind(2, kFormatValue)
            .run();
        insertObject(QStringLiteral("MSysObjects"), kTypeTable, kFlagsSystem);
        insertObject(QStringLiteral("MSysQueries"), kTypeTable, kFlagsSystem);
    });
}

void QdbEngine::checkSchema() {
    QString missing;
    try {
        auto statement = mConnection.prepare(QStringLiteral("SELECT Value FROM MSysQdbInfo WHERE Key = ?"));
        statement.bind(1, kFormatKey);
        if (statement.step() && statement.text(0) == kFormatValue) {
            // A file whose catalogue was damaged by hand is refused as a whole, not table by table later.
            auto table = mConnection.prepare(
                QStringLiteral("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?"));
            for (const char* name :
                 {"MSysObjects", "MSysQueries", "MSysQdbQueryText", "MSysQdbFields", "MSysQdbForms",
                  "MSysQdbControls", "MSysQdbHiddenQueries", "MSysQdbDescriptions"}) {
                table.reset();
                table.bind(1, QString::fromLatin1(name));
                if (!table.step()) {
                    missing = QString::fromLatin1(name);
                    break;
                }
            }
            if (missing.isEmpty()) {
                return;
            }
        }
    } catch (const SqliteError&) {
    }
    throw host::Error(3343,
                      missing.isEmpty()
                          ? QStringLiteral("Unrecognized database format '%1'.").arg(mPath)
                          : QStringLiteral("Unrecognized database format '%1': its table %2 is missing.")
                                .arg(mPath, missing),
                      kSourceDatabase);
}

template <typename Work>
auto QdbEngine::guarded(const QString& source, Work&& work) -> decltype(work()) {
    try {
        return work();
    } catch (const SqliteError& error) {
        throwDatabaseError(error, source);
    }
}

void QdbEngine::transaction(const std::function<void()>& work) {
    const QString savepoint = QStringLiteral("qdb%1").arg(++mSavepointDepth);
    try {
        mConnection.exec(QStringLiteral("SAVEPOINT ") + savepoint);
    } catch (const SqliteError& error) {
        --mSavepointDepth;
        throwDatabaseError(error, kSourceDatabase);
    }
    try {
        work();
        mConnection.exec(QStringLiteral("RELEASE ") + savepoint);
        --mSavepointDepth;
    } catch (...) {
        try {
            mConnection.exec(QStringLiteral("ROLLBACK TO ") + savepoint);
            mConnection.exec(QStringLiteral("RELEASE ") + savepoint);
        } catch (const SqliteError&) {
            // The rollback itself failed: SQLite has rolled the whole transaction back already.
        }
        --mSavepointDepth;
        invalidateCaches();
        try {
            throw;
        } catch (const SqliteError& error) {
            throwDatabaseError(error, kSourceDatabase);
        }
    }
}

QString QdbEngine::name() const {
    return mPath;
}

std::optional<QdbEngine::ObjectRow> QdbEngine::findObject(const QString& name,
                                                          const std::vector<int>& types) {
    return guarded(kSourceDatabase, [&]() -> std::optional<ObjectRow> {
        auto statement = mConnection.prepare(
            QStringLiteral("SELECT Id, Name, Type, Flags FROM MSysObjects WHERE Name = ? AND Type IN (%1) "
                           "ORDER BY Id LIMIT 1")
                .arg(typeList(types)));
        statement.bind(1, name);
        if (!statement.step()) {
            return std::nullopt;
        }
        return ObjectRow{statement.integer(0), statement.text(1), int(statement.integer(2)),
                         statement.integer(3)};
    });
}

std::optional<host::ObjectRef> QdbEngine::findObject(host::ObjectType type, const QString& name) {
    int engineType = kTypeTable;
    switch (type) {
        case host::ObjectType::Table:
            engineType = kTypeTable;
            break;
        case host::ObjectType::Query:
            engineType = kTypeQuery;
            break;
        case host::ObjectType::Form:
            engineType = kTypeForm;
            break;
        case host::ObjectType::Report:
            engineType = kTypeReport;
            break;
        default:
            return std::nullopt;  // the engine keeps no macros, modules or server objects
    }
    if (const std::optional<ObjectRow> row = findObject(name, {engineType})) {
        return host::ObjectRef{type, row->name};
    }
    return std::nullopt;
}

QdbEngine::ObjectRow QdbEngine::requireObject(const QString& name, const std::vector<int>& types,
                                              const QString& source) {
    auto row = findObject(name, types);
    if (!row) {
        throwItemNotFound(source);
    }
    return *row;
}

const std::vector<qint64>& QdbEngine::objectIds(int type) {
    auto& cache = type == kTypeQuery ? mQueryIds : mTableIds;
    // Another connection to the same file (another program, a second QdbDatabase) may have changed it.
    const qint64 version = guarded(kSourceDatabase, [&] {
        auto statement = mConnection.prepare(QStringLiteral("PRAGMA data_version"));
        statement.step();
        return statement.integer(0);
    });
    if (version != mDataVersion) {
        invalidateCaches();
        mDataVersion = version;
    }
    if (!cache) {
        guarded(kSourceDatabase, [&] {
            std::vector<qint64> ids;
            auto statement =
                mConnection.prepare(QStringLiteral("SELECT Id FROM MSysObjects WHERE Type = ? ORDER BY Id"));
            statement.bind(1, type);
            while (statement.step()) {
                ids.push_back(statement.integer(0));
            }
            cache = std::move(ids);
        });
    }
    return *cache;
}

qint64 QdbEngine::objectIdAt(int type, int index, const QString& source) {
    const auto& ids = objectIds(type);
    if (index < 0 || size_t(index) >= ids.size()) {
        throwItemNotFound(source);
    }
    return ids[size_t(index)];
}

void QdbEngine::invalidateCaches() {
    mQueryIds.reset();
    mTableIds.reset();
}

qint64 QdbEngine::insertObject(const QString& name, int type, qint64 flags) {
    const QString stamp = now();
    mConnection
        .prepare(
            QStringLiteral("INSERT INTO MSysObjects (ParentId, Name, Type, Flags, DateCreate, DateUpdate) "
                           "VALUES (NULL, ?, ?, ?, ?, ?)"))
        .bind(1, name)
        .bind(2, type)
        .bind(3, flags)
        .bind(4, stamp)
        .bind(5, stamp)
        .run();
    invalidateCaches();
    return mConnection.lastInsertId();
}

void QdbEngine::deleteObjectRows(qint64 id) {
    for (const char* statement :
         {"DELETE FROM MSysObjects WHERE Id = ?", "DELETE FROM MSysQueries WHERE ObjectId = ?",
          "DELETE FROM MSysQdbQueryText WHERE ObjectId = ?", "DELETE FROM MSysQdbFields WHERE ObjectId = ?",
          "DELETE FROM MSysQdbForms WHERE ObjectId = ?", "DELETE FROM MSysQdbControls WHERE ObjectId = ?",
          "DELETE FROM MSysQdbHiddenQueries WHERE QueryId = ?",
          "DELETE FROM MSysQdbDescriptions WHERE ObjectId = ?"}) {
        mConnection.prepare(QString::fromLatin1(statement)).bind(1, id).run();
    }
    invalidateCaches();
}

// --- Queries ---------------------------------------------------------------------------------------------

int QdbEngine::queryDefCount() {
    return int(objectIds(kTypeQuery).size());
}

std::shared_ptr<host::QueryDef> QdbEngine::queryDef(int index) {
    return std::make_shared<QdbQueryDef>(shared_from_this(), objectIdAt(kTypeQuery, index, kSourceQueryDefs));
}

std::shared_ptr<host::QueryDef> QdbEngine::queryDef(const QString& name) {
    return std::make_shared<QdbQueryDef>(shared_from_this(),
                                         requireObject(name, {kTypeQuery}, kSourceQueryDefs).id);
}

void QdbEngine::refreshQueryDefs() {
    // The collection is read again from the catalogue whenever it changed; this only forces it.
    invalidateCaches();
}

void QdbEngine::deleteQueryDef(const QString& name) {
    const ObjectRow row = requireObject(name, {kTypeQuery}, kSourceQueryDefs);
    transaction([&] { deleteQuery(row.id); });
}

void QdbEngine::deleteQuery(qint64 id) {
    deleteObjectRows(id);
}

std::shared_ptr<host::QueryDef> QdbEngine::createQueryDef(const QString& name,
                                                          const std::optional<QString>& sql) {
    checkName(name, kSourceDatabase);
    // An empty query has only its begin and end rows.
    jet::QueryAnalysis analysis;
    if (sql) {
        analysis = jet::analyse(*sql);
    } else {
        analysis.rows = {jet::CatalogueRow{0, {}, {}, {}, {}}, jet::CatalogueRow{255, {}, {}, {}, {}}};
    }
    qint64 id = 0;
    transaction([&] { id = insertQuery(name, sql.value_or(QString()), analysis, false); });
    return std::make_shared<QdbQueryDef>(shared_from_this(), id);
}

qint64 QdbEngine::insertQuery(const QString& name, const QString& sql, const jet::QueryAnalysis& analysis,
                              bool hidden) {
    const qint64 id = insertQueryObject(name, sql, analysis.type + (hidden ? kFlagsHiddenQuery : 0));
    writeCatalogueRows(id, analysis.rows);
    return id;
}

qint64 QdbEngine::insertQueryObject(const QString& name, const QString& sql, qint64 flags) {
    if (findObject(name, {kTypeTable, kTypeQuery})) {
        throwObjectExists(name, kSourceDatabase);
    }
    const qint64 id = insertObject(name, kTypeQuery, flags);
    mConnection.prepare(QStringLiteral("INSERT INTO MSysQdbQueryText (ObjectId, Sql) VALUES (?, ?)"))
        .bind(1, id)
        .bind(2, sql)
        .run();
    return id;
}

void QdbEngine::insertCatalogueQuery(const CatalogueQuerySpec& query) {
    // Hidden names join two names and may pass 64 characters; the real engine wrote them, so they stand.
    if (!query.name.startsWith(QLatin1String("~sq_"))) {
        checkName(query.name, kSourceDatabase);
    }
    transaction([&] {
        const qint64 id = insertQueryObject(query.name, query.sql, query.flags);
        writeCatalogueRows(id, query.rows);
        setObjectDescription(id, query.description);
    });
}

void QdbEngine::writeCatalogueRows(qint64 id, const std::vector<jet::CatalogueRow>& rows) {
    auto insert = mConnection.prepare(QStringLiteral(
        "INSERT INTO MSysQueries (ObjectId, Attribute, Expression, Flag, LvExtra, Name1, Name2, "
        "\"Order\") VALUES (?, ?, ?, ?, NULL, ?, ?, ?)"));
    int order = 0;
    for (const jet::CatalogueRow& row : rows) {
        insert.bind(1, id)
            .bind(2, row.attribute)
            .bind(3, row.expression)
            .bind(4, row.flag)
            .bind(5, row.name1)
            .bind(6, row.name2)
            .bind(7, QByteArray::number(order++).rightJustified(8, '0'));
        insert.run();
        insert.reset();
    }
}

QString QdbEngine::objectName(qint64 id, int type, const QString& source) {
    return guarded(source, [&] {
        auto statement =
            mConnection.prepare(QStringLiteral("SELECT Name FROM MSysObjects WHERE Id = ? AND Type = ?"));
        statement.bind(1, id).bind(2, type);
        if (!statement.step()) {
            throwObjectInvalid(source);
        }
        return statement.text(0);
    });
}

QString QdbEngine::querySql(qint64 id) {
    objectName(id, kTypeQuery, kSourceQueryDef);
    return guarded(kSourceQueryDef, [&] {
        auto statement =
            mConnection.prepare(QStringLiteral("SELECT Sql FROM MSysQdbQueryText WHERE ObjectId = ?"));
        statement.bind(1, id);
        return statement.step() ? statement.text(0) : QString();
    });
}

int QdbEngine::queryType(qint64 id) {
    return guarded(kSourceQueryDef, [&] {
        auto statement =
            mConnection.prepare(QStringLiteral("SELECT Flags FROM MSysObjects WHERE Id = ? AND Type = ?"));
        statement.bind(1, id).bind(2, kTypeQuery);
        if (!statement.step()) {
            throwObjectInvalid(kSourceQueryDef);
        }
        return int(statement.integer(0) & ~qint64(15));
    });
}

void QdbEngine::setQuerySql(qint64 id, const QString& sql) {
    objectName(id, kTypeQuery, kSourceQueryDef);
    const jet::QueryAnalysis analysis = jet::analyse(sql);
    transaction([&] {
        mConnection
            .prepare(QStringLiteral(
                "UPDATE MSysObjects SET Flags = ? + (Flags & 15), DateUpdate = ? WHERE Id = ?"))
            .bind(1, analysis.type)
            .bind(2, now())
            .bind(3, id)
            .run();
        mConnection
            .prepare(QStringLiteral("INSERT OR REPLACE INTO MSysQdbQueryText (ObjectId, Sql) VALUES (?, ?)"))
            .bind(1, id)
            .bind(2, sql)
            .run();
        mConnection.prepare(QStringLiteral("DELETE FROM MSysQueries WHERE ObjectId = ?")).bind(1, id).run();
        writeCatalogueRows(id, analysis.rows);
    });
}

// --- Tables ----------------------------------------------------------------------------------------------

int QdbEngine::tableDefCount() {
    return int(objectIds(kTypeTable).size());
}

std::shared_ptr<host::TableDef> QdbEngine::tableDef(int index) {
    return std::make_shared<QdbTableDef>(shared_from_this(), objectIdAt(kTypeTable, index, kSourceTableDefs));
}

std::shared_ptr<host::TableDef> QdbEngine::tableDef(const QString& name) {
    return std::make_shared<QdbTableDef>(shared_from_this(),
                                         requireObject(name, {kTypeTable}, kSourceTableDefs).id);
}

QStringList QdbEngine::tableFieldNames(qint64 id) {
    const QString table = objectName(id, kTypeTable, QStringLiteral("DAO.TableDef"));
    return guarded(QStringLiteral("DAO.TableDef"), [&] {
        QStringList names;
        auto statement = mConnection.prepare(
            QStringLiteral("SELECT Name FROM MSysQdbFields WHERE ObjectId = ? ORDER BY Position"));
        statement.bind(1, id);
        while (statement.step()) {
            names << statement.text(0);
        }
        if (names.isEmpty()) {
            // The catalogue's own tables have no field list of their own.
            auto columns = mConnection.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?)"));
            columns.bind(1, table);
            while (columns.step()) {
                names << columns.text(0);
            }
        }
        return names;
    });
}

void QdbEngine::createTable(const TableSpec& table) {
    checkName(table.name, kSourceTableDefs);
    if (table.fields.empty()) {
        throw host::Error(3264, QStringLiteral("No field defined--cannot append TableDef or Index."),
                          kSourceTableDefs);
    }
    QStringList columns;
    QStringList seen;
    std::vector<const FieldType*> types;
    bool autoNumber = false;
    for (const FieldSpec& field : table.fields) {
        checkName(field.name, QStringLiteral("DAO.Fields"));
        for (const QString& other : seen) {
            if (compareText(other, field.name) == 0) {
                throw host::Error(errFieldDefinedTwice, QStringLiteral("Cannot define field more than once."),
                                  QStringLiteral("DAO.Fields"));
            }
        }
        seen << field.name;
        const FieldType* type = findFieldType(field.type);
        if (!type ||
            (autoNumber && field.type.compare(QLatin1String("AutoNumber"), Qt::CaseInsensitive) == 0)) {
            throw host::Error(errInvalidFieldType,
                              QStringLiteral("Invalid field data type '%1' of field '%2' in table '%3'.")
                                  .arg(field.type, field.name, table.name),
                              QStringLiteral("DAO.Field"));
        }
        autoNumber = autoNumber || QLatin1String(type->name) == QLatin1String("AutoNumber");
        types.push_back(type);
        columns << SqliteConnection::quote(field.name) + QLatin1Char(' ') + QLatin1String(type->declaration);
    }
    for (const QVariantList& row : table.rows) {
        if (row.size() != qsizetype(table.fields.size())) {
            throw host::Error(3421,
                              QStringLiteral("A row of table '%1' has %2 values for %3 fields.")
                                  .arg(table.name)
                                  .arg(row.size())
                                  .arg(table.fields.size()),
                              kSourceTableDefs);
        }
    }
    transaction([&] {
        if (findObject(table.name, {kTypeTable, kTypeQuery})) {
            throwObjectExists(table.name, kSourceTableDefs);
        }
        // SQLite's own objects (the engine's private tables) share the name space, ignoring ASCII case.
        auto clash =
            mConnection.prepare(QStringLiteral("SELECT 1 FROM sqlite_schema WHERE name = ? COLLATE NOCASE"));
        clash.bind(1, table.name);
        if (clash.step()) {
            throwObjectExists(table.name, kSourceTableDefs);
        }
        mConnection.exec(QStringLiteral("CREATE TABLE %1 (%2)")
                             .arg(SqliteConnection::quote(table.name), columns.join(QStringLiteral(", "))));
        const qint64 id = insertObject(table.name, kTypeTable, 0);
        auto field = mConnection.prepare(
            QStringLiteral("INSERT INTO MSysQdbFields (ObjectId, Position, Name, Type) VALUES (?, ?, ?, ?)"));
        for (size_t i = 0; i < table.fields.size(); ++i) {
            field.bind(1, id)
                .bind(2, qlonglong(i))
                .bind(3, table.fields[i].name)
                .bind(4, QString::fromLatin1(types[i]->name));
            field.run();
            field.reset();
        }
        if (!table.description.isEmpty()) {
            setObjectDescription(id, table.description);
        }
        if (!table.rows.empty()) {
            QStringList marks;
            for (size_t i = 0; i < table.fields.size(); ++i) {
                marks << QStringLiteral("?");
            }
            auto insert = mConnection.prepare(
                QStringLiteral("INSERT INTO %1 VALUES (%2)")
                    .arg(SqliteConnection::quote(table.name), marks.join(QLatin1Char(','))));
            for (const QVariantList& row : table.rows) {
                for (qsizetype i = 0; i < row.size(); ++i) {
                    insert.bind(int(i) + 1, storedValue(*types[size_t(i)], row[i]));
                }
                try {
                    insert.run();
                } catch (const SqliteError& error) {
                    throw host::Error(3022,
                                      QStringLiteral("A row of table '%1' cannot be added: %2")
                                          .arg(table.name, error.message()),
                                      kSourceTableDefs);
                }
                insert.reset();
            }
        }
    });
}

void QdbEngine::dropTable(const QString& name) {
    const ObjectRow row = requireObject(name, {kTypeTable}, kSourceTableDefs);
    if (row.flags == kFlagsSystem) {
        throw host::Error(
            3033,
            QStringLiteral("You do not have the necessary permissions to use the '%1' object.").arg(row.name),
            kSourceTableDefs);
    }
    transaction([&] {
        mConnection.exec(QStringLiteral("DROP TABLE %1").arg(SqliteConnection::quote(row.name)));
        deleteObjectRows(row.id);
    });
}

// --- Forms and reports -----------------------------------------------------------------------------------

void QdbEngine::saveForm(const FormSpec& form) {
    saveFormOrReport(form, kTypeForm);
}

void QdbEngine::saveReport(const FormSpec& report) {
    saveFormOrReport(report, kTypeReport);
}

void QdbEngine::saveImportedForm(const FormSpec& form, bool report) {
    saveFormOrReport(form, report ? kTypeReport : kTypeForm, true);
}

void QdbEngine::deleteForm(const QString& name) {
    deleteFormOrReport(name, kTypeForm);
}

void QdbEngine::deleteReport(const QString& name) {
    deleteFormOrReport(name, kTypeReport);
}

void QdbEngine::saveFormOrReport(const FormSpec& form, int type, bool imported) {
    const QString source = sourceOfType(type);
    checkName(form.name, source);
    QStringList seen;
    for (const ControlSpec& control : form.controls) {
        checkName(control.name, source);
        for (const QString& other : seen) {
            if (compareText(other, control.name) == 0) {
                throwObjectExists(control.name, source);
            }
        }
        seen << control.name;
    }
    // Analysed before anything is written: an invalid statement leaves the database as it was.
    const auto analysed = [imported](const QString& source) -> std::optional<jet::QueryAnalysis> {
        if (!isSqlStatement(source)) {
            return std::nullopt;
        }
        // An imported source's hidden query is there already, with the rows its engine wrote.
        return imported ? jet::QueryAnalysis{} : jet::analyse(source);
    };
    const std::optional<jet::QueryAnalysis> recordSource = analysed(form.recordSource);
    std::vector<std::optional<jet::QueryAnalysis>> rowSources;
    for (const ControlSpec& control : form.controls) {
        rowSources.push_back(analysed(control.rowSource));
    }
    transaction([&] {
        qint64 id = 0;
        if (const auto existing = findObject(form.name, {type})) {
            id = existing->id;
            // Replacing the object replaces every hidden query it owned.
            deleteHiddenQueries(id);
            mConnection.prepare(QStringLiteral("DELETE FROM MSysQdbControls WHERE ObjectId = ?"))
                .bind(1, id)
                .run();
            mConnection
                .prepare(QStringLiteral("UPDATE MSysObjects SET Name = ?, DateUpdate = ? WHERE Id = ?"))
                .bind(1, form.name)
                .bind(2, now())
                .bind(3, id)
                .run();
        } else {
            id = insertObject(form.name, type, 0);
        }
        mConnection
            .prepare(
                QStringLiteral("INSERT OR REPLACE INTO MSysQdbForms (ObjectId, RecordSource) VALUES (?, ?)"))
            .bind(1, id)
            .bind(2, form.recordSource)
            .run();
        setObjectDescription(id, form.description);
        auto own = mConnection.prepare(
            QStringLiteral("INSERT INTO MSysQdbHiddenQueries (QueryId, OwnerId) VALUES (?, ?)"));
        const auto addHidden = [&](const QString& name, const QString& sql,
                                   const jet::QueryAnalysis& analysis) {
            // Hidden names join two names and may pass 64 characters; only their parts are held to the rules.
            qint64 query = 0;
            if (imported) {
                const auto existing = findObject(name, {kTypeQuery});
                if (!existing) {
                    throwItemNotFound(kSourceQueryDefs);
                }
                query = existing->id;
            } else {
                query = insertQuery(name, sql, analysis, true);
            }
            own.bind(1, query).bind(2, id);
            own.run();
            own.reset();
        };
        if (recordSource) {
            addHidden(hiddenRecordSourceQueryName(type, form.name), form.recordSource, *recordSource);
        }
        auto control = mConnection.prepare(QStringLiteral(
            "INSERT INTO MSysQdbControls (ObjectId, Position, Name, RowSource) VALUES (?, ?, ?, ?)"));
        for (size_t i = 0; i < form.controls.size(); ++i) {
            control.bind(1, id)
                .bind(2, qlonglong(i))
                .bind(3, form.controls[i].name)
                .bind(4, form.controls[i].rowSource);
            control.run();
            control.reset();
            if (rowSources[i]) {
                addHidden(hiddenRowSourceQueryName(type, form.name, form.controls[i].name),
                          form.controls[i].rowSource, *rowSources[i]);
            }
        }
    });
}

void QdbEngine::deleteFormOrReport(const QString& name, int type) {
    const ObjectRow row = requireObject(name, {type}, sourceOfType(type));
    transaction([&] {
        deleteHiddenQueries(row.id);
        deleteObjectRows(row.id);
    });
}

void QdbEngine::deleteHiddenQueries(qint64 ownerId) {
    // Read first: deleting while the statement runs would change the rows it walks.
    std::vector<qint64> hidden;
    auto owned =
        mConnection.prepare(QStringLiteral("SELECT QueryId FROM MSysQdbHiddenQueries WHERE OwnerId = ?"));
    owned.bind(1, ownerId);
    while (owned.step()) {
        hidden.push_back(owned.integer(0));
    }
    for (qint64 query : hidden) {
        deleteQuery(query);
    }
}

std::vector<FormSpec> QdbEngine::readFormsOrReports(int type) {
    return guarded(kSourceDatabase, [&] {
        std::vector<FormSpec> result;
        auto objects =
            mConnection.prepare(QStringLiteral("SELECT o.Id, o.Name, f.RecordSource, d.Description FROM "
                                               "MSysObjects o LEFT JOIN MSysQdbForms f ON "
                                               "f.ObjectId = o.Id LEFT JOIN MSysQdbDescriptions d ON "
                                               "d.ObjectId = o.Id WHERE o.Type = ? ORDER BY o.Id"));
        objects.bind(1, type);
        auto controls = mConnection.prepare(QStringLiteral(
            "SELECT Name, RowSource FROM MSysQdbControls WHERE ObjectId = ? ORDER BY Position"));
        while (objects.step()) {
            FormSpec form{objects.text(1), objects.text(2), objects.text(3), {}};
            controls.bind(1, objects.integer(0));
            while (controls.step()) {
                form.controls.push_back({controls.text(0), controls.text(1)});
            }
            controls.reset();
            result.push_back(std::move(form));
        }
        return result;
    });
}

std::vector<FormSpec> QdbEngine::forms() {
    return readFormsOrReports(kTypeForm);
}

std::vector<FormSpec> QdbEngine::reports() {
    return readFormsOrReports(kTypeReport);
}

// --- Reading back ----------------------------------------------------------------------------------------

std::vector<TableSpec> QdbEngine::tables() {
    return guarded(kSourceDatabase, [&] {
        std::vector<TableSpec> result;
        auto objects =
            mConnection.prepare(QStringLiteral("SELECT o.Id, o.Name, d.Description FROM MSysObjects o LEFT "
                                               "JOIN MSysQdbDescriptions d ON d.ObjectId = "
                                               "o.Id WHERE o.Type = ? AND o.Flags <> ? ORDER BY o.Id"));
        objects.bind(1, kTypeTable).bind(2, kFlagsSystem);
        auto fields = mConnection.prepare(
            QStringLiteral("SELECT Name, Type FROM MSysQdbFields WHERE ObjectId = ? ORDER BY Position"));
        while (objects.step()) {
            TableSpec table{objects.text(1), objects.text(2), {}, {}};
            fields.bind(1, objects.integer(0));
            QStringList columns;
            while (fields.step()) {
                table.fields.push_back({fields.text(0), fields.text(1)});
                columns << SqliteConnection::quote(fields.text(0));
            }
            fields.reset();
            auto rows = mConnection.prepare(
                QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                    .arg(columns.join(QStringLiteral(", ")), SqliteConnection::quote(table.name)));
            while (rows.step()) {
                QVariantList row;
                for (int i = 0; i < int(table.fields.size()); ++i) {
                    QVariant value = rows.value(i);
                    if (table.fields[size_t(i)].type == QLatin1String("YesNo") && !value.isNull()) {
                        // Read back as the truth value it was given as.
                        value = value.toLongLong() != 0;
                    }
                    row << value;
                }
                table.rows.push_back(std::move(row));
            }
            result.push_back(std::move(table));
        }
        return result;
    });
}

std::vector<QuerySpec> QdbEngine::queries() {
    return guarded(kSourceDatabase, [&] {
        std::vector<QuerySpec> result;
        auto objects =
            mConnection.prepare(QStringLiteral("SELECT o.Name, t.Sql, d.Description FROM MSysObjects o LEFT "
                                               "JOIN MSysQdbQueryText t ON t.ObjectId = "
                                               "o.Id LEFT JOIN MSysQdbDescriptions d ON d.ObjectId = o.Id "
                                               "WHERE o.Type = ? AND o.Id NOT IN (SELECT "
                                               "QueryId FROM MSysQdbHiddenQueries) ORDER BY o.Id"));
        objects.bind(1, kTypeQuery);
        while (objects.step()) {
            result.push_back({objects.text(0), objects.text(1), objects.text(2)});
        }
        return result;
    });
}

// --- Containers and descriptions -------------------------------------------------------------------------

std::vector<int> QdbEngine::containerTypes(const QString& container) {
    if (container.compare(QLatin1String("Tables"), Qt::CaseInsensitive) == 0) {
        return {kTypeTable, kTypeQuery};
    }
    if (container.compare(QLatin1String("Forms"), Qt::CaseInsensitive) == 0) {
        return {kTypeForm};
    }
    if (container.compare(QLatin1String("Reports"), Qt::CaseInsensitive) == 0) {
        return {kTypeReport};
    }
    // Containers the stand-in keeps nothing in.
    for (const char* empty :
         {"Modules", "Scripts", "Relationships", "Databases", "DataAccessPages", "SysRel"}) {
        if (container.compare(QLatin1String(empty), Qt::CaseInsensitive) == 0) {
            return {};
        }
    }
    throwItemNotFound(kSourceContainers);
}

QStringList QdbEngine::documentNames(const QString& container) {
    const std::vector<int> types = containerTypes(container);
    if (types.empty()) {
        return {};
    }
    return guarded(kSourceContainers, [&] {
        QStringList list;
        auto statement =
            mConnection.prepare(QStringLiteral("SELECT Name FROM MSysObjects WHERE Type IN (%1) ORDER BY Id")
                                    .arg(typeList(types)));
        while (statement.step()) {
            list << statement.text(0);
        }
        return list;
    });
}

QdbEngine::ObjectRow QdbEngine::requireDocument(const QString& container, const QString& document) {
    const std::vector<int> types = containerTypes(container);
    if (types.empty()) {
        throwItemNotFound(QStringLiteral("DAO.Documents"));
    }
    return requireObject(document, types, QStringLiteral("DAO.Documents"));
}

QVariant QdbEngine::documentProperty(const QString& container, const QString& document,
                                     const QString& property) {
    const ObjectRow row = requireDocument(container, document);
    if (property.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0) {
        return row.name;
    }
    if (property.compare(QLatin1String("Description"), Qt::CaseInsensitive) == 0) {
        if (const auto description = objectDescription(row.id)) {
            return *description;
        }
    }
    throw host::Error(host::errPropertyNotFound, QStringLiteral("Property not found."),
                      QStringLiteral("DAO.Properties"));
}

void QdbEngine::setDescription(const QString& container, const QString& document, const QString& text) {
    const ObjectRow row = requireDocument(container, document);
    transaction([&] { setObjectDescription(row.id, text); });
}

void QdbEngine::setObjectDescription(qint64 id, const QString& text) {
    if (text.isEmpty()) {
        mConnection.prepare(QStringLiteral("DELETE FROM MSysQdbDescriptions WHERE ObjectId = ?"))
            .bind(1, id)
            .run();
    } else {
        mConnection
            .prepare(QStringLiteral(
                "INSERT OR REPLACE INTO MSysQdbDescriptions (ObjectId, Description) VALUES (?, ?)"))
            .bind(1, id)
            .bind(2, text)
            .run();
    }
}

std::optional<QString> QdbEngine::objectDescription(qint64 id) {
    return guarded(kSourceDatabase, [&]() -> std::optional<QString> {
        auto statement = mConnection.prepare(
            QStringLiteral("SELECT Description FROM MSysQdbDescriptions WHERE ObjectId = ?"));
        statement.bind(1, id);
        if (statement.step()) {
            return statement.text(0);
        }
        return std::nullopt;
    });
}

// --- Recordsets ------------------------------------------------------------------------------------------

std::unique_ptr<host::Recordset> QdbEngine::openRecordset(const QString& sql,
                                                          host::RecordsetType /*always a snapshot*/) {
    QString statementText = sql;
    // The name of a table or saved query opens its rows.
    if (!isSqlStatement(sql) && !sql.trimmed().isEmpty()) {
        if (const auto object = findObject(sql.trimmed(), {kTypeTable, kTypeQuery})) {
            statementText = object->type == kTypeTable
                                ? QStringLiteral("SELECT * FROM [%1]").arg(object->name)
                                : querySql(object->id);
        }
    }
    // A recordset has no one to ask for parameter values: a parameter query fails with 3061.
    QueryResult result = mRunner->run(statementText, {}, {}, true);
    auto data = std::make_shared<const SnapshotData>(result.columns, std::move(result.cells));
    return std::make_unique<SnapshotRecordset>(std::move(data));
}

// --- Running queries -------------------------------------------------------------------------------------

QueryResult QdbEngine::runQuery(const QString& name, const ParameterValues& parameters,
                                const RunOptions& options) {
    const ObjectRow row = requireObject(name, {kTypeQuery}, kSourceQueryDefs);
    return mRunner->run(querySql(row.id), parameters, options);
}

QueryResult QdbEngine::runSql(const QString& sql, const ParameterValues& parameters,
                              const RunOptions& options) {
    return mRunner->run(sql, parameters, options);
}

std::optional<std::tuple<QString, int, qint64>> QdbEngine::findSource(const QString& name) {
    const auto row = findObject(name, {kTypeTable, kTypeQuery});
    if (!row) {
        return std::nullopt;
    }
    return std::make_tuple(row->name, row->type, row->id);
}

QString QdbEngine::fieldType(const QString& table, const QString& field) {
    return guarded(kSourceDatabase, [&] {
        auto statement = mConnection.prepare(QStringLiteral(
            "SELECT f.Type FROM MSysQdbFields f JOIN MSysObjects o ON o.Id = f.ObjectId WHERE o.Name = ? AND "
            "o.Type = ? AND f.Name = ?"));
        statement.bind(1, table).bind(2, kTypeTable).bind(3, field);
        return statement.step() ? statement.text(0) : QString();
    });
}

void QdbEngine::addField(const QString& table, const FieldSpec& field) {
    const ObjectRow row = requireObject(table, {kTypeTable}, kSourceTableDefs);
    checkName(field.name, QStringLiteral("DAO.Fields"));
    const FieldType* type = findFieldType(field.type);
    if (!type || isType(*type, "AutoNumber")) {
        throw host::Error(errInvalidFieldType,
                          QStringLiteral("Invalid field data type '%1' of field '%2' in table '%3'.")
                              .arg(field.type, field.name, row.name),
                          QStringLiteral("DAO.Field"));
    }
    const QStringList existing = tableFieldNames(row.id);
    for (const QString& name : existing) {
        if (compareText(name, field.name) == 0) {
            throw host::Error(errFieldDefinedTwice, QStringLiteral("Cannot define field more than once."),
                              QStringLiteral("DAO.Fields"));
        }
    }
    transaction([&] {
        mConnection.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                             .arg(SqliteConnection::quote(row.name), SqliteConnection::quote(field.name),
                                  QLatin1String(type->declaration)));
        mConnection
            .prepare(QStringLiteral(
                "INSERT INTO MSysQdbFields (ObjectId, Position, Name, Type) VALUES (?, ?, ?, ?)"))
            .bind(1, row.id)
            .bind(2, qlonglong(existing.size()))
            .bind(3, field.name)
            .bind(4, QString::fromLatin1(type->name))
            .run();
    });
}

void QdbEngine::dropField(const QString& table, const QString& field) {
    const ObjectRow row = requireObject(table, {kTypeTable}, kSourceTableDefs);
    QString stored;
    for (const QString& name : tableFieldNames(row.id)) {
        if (compareText(name, field) == 0) {
            stored = name;
        }
    }
    if (stored.isEmpty()) {
        throwItemNotFound(QStringLiteral("DAO.Fields"));
    }
    transaction([&] {
        mConnection.exec(QStringLiteral("ALTER TABLE %1 DROP COLUMN %2")
                             .arg(SqliteConnection::quote(row.name), SqliteConnection::quote(stored)));
        mConnection.prepare(QStringLiteral("DELETE FROM MSysQdbFields WHERE ObjectId = ? AND Name = ?"))
            .bind(1, row.id)
            .bind(2, stored)
            .run();
        // Positions close up behind the dropped field.
        std::vector<std::pair<qint64, qint64>> positions;
        auto read = mConnection.prepare(
            QStringLiteral("SELECT rowid FROM MSysQdbFields WHERE ObjectId = ? ORDER BY Position"));
        read.bind(1, row.id);
        while (read.step()) {
            positions.emplace_back(read.integer(0), qint64(positions.size()));
        }
        for (const auto& [rowid, position] : positions) {
            mConnection.prepare(QStringLiteral("UPDATE MSysQdbFields SET Position = ? WHERE rowid = ?"))
                .bind(1, -1 - position)
                .bind(2, rowid)
                .run();
        }
        mConnection
            .prepare(QStringLiteral("UPDATE MSysQdbFields SET Position = -1 - Position WHERE ObjectId = ?"))
            .bind(1, row.id)
            .run();
    });
}

}  // namespace qdb
