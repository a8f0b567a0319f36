#include "host/QueryRunner.h"

#include "host/HostErrors.h"
#include "host/HostFunctions.h"
#include "host/HostText.h"
#include "host/QdbEngine.h"
#include "host/SqliteConnection.h"
#include "host/jet/Tokenizer.h"

#include <cmath>

namespace qdb {

namespace {

// Data access type codes of declared parameters.
constexpr int kTypeYesNo = 1;
constexpr int kTypeDateTime = 8;
constexpr int kTypeText = 10;
constexpr int kTypeMemo = 12;

bool isWholeType(int type) {
    return type >= 2 && type <= 4;
}

bool isNumberType(int type) {
    return type == 5 || type == 6 || type == 7 || type == 20;
}

[[noreturn]] void failConversion(const ParameterRequest& parameter, const QString& text) {
    throw host::Error(3421,
                      QStringLiteral("Data type conversion error: the value '%1' given for parameter '%2' "
                                     "cannot be read as its declared type.")
                          .arg(text, parameter.name),
                      kSourceDatabase);
}

// A parameter value as the engine stores values of its type. An undeclared parameter takes a number or a
// date when its text reads as one, so that it compares with fields of those types.
QVariant parameterValue(const ParameterRequest& parameter, const QVariant& given) {
    if (!given.isValid() || given.isNull()) {
        return {};
    }
    if (given.typeId() != QMetaType::QString) {
        return given;
    }
    const QString text = given.toString();
    bool ok = false;
    if (parameter.type == kTypeYesNo) {
        const QString lower = text.trimmed().toLower();
        if (lower == u"true" || lower == u"yes" || lower == u"on" || lower == u"-1") {
            return qlonglong(-1);
        }
        if (lower == u"false" || lower == u"no" || lower == u"off" || lower == u"0") {
            return qlonglong(0);
        }
        failConversion(parameter, text);
    }
    if (isWholeType(parameter.type)) {
        const qlonglong number = text.trimmed().toLongLong(&ok);
        if (!ok) {
            failConversion(parameter, text);
        }
        return number;
    }
    if (isNumberType(parameter.type)) {
        const double number = text.trimmed().toDouble(&ok);
        if (!ok) {
            failConversion(parameter, text);
        }
        return number;
    }
    if (parameter.type == kTypeDateTime) {
        const auto date = hostDateTime(text);
        if (!date) {
            failConversion(parameter, text);
        }
        return dateTimeText(*date);
    }
    if (parameter.type == kTypeText || parameter.type == kTypeMemo) {
        return text;
    }
    const qlonglong whole = text.trimmed().toLongLong(&ok);
    if (ok) {
        return whole;
    }
    const double number = text.trimmed().toDouble(&ok);
    if (ok) {
        return number;
    }
    if (const auto date = hostDateTime(text)) {
        return dateTimeText(*date);
    }
    return text;
}

// The host's field type for a column of a new table, from the values it gets.
QString inferredType(const std::vector<QVariant>& cells, int columns, int column) {
    bool whole = true;
    bool number = true;
    bool date = true;
    bool any = false;
    int longest = 0;
    for (size_t i = size_t(column); i < cells.size(); i += size_t(columns)) {
        const QVariant& value = cells[i];
        if (!value.isValid() || value.isNull()) {
            continue;
        }
        any = true;
        switch (value.typeId()) {
            case QMetaType::LongLong:
                date = false;
                whole = whole && std::abs(value.toLongLong()) <= 2147483647LL;
                break;
            case QMetaType::Double:
                date = false;
                whole = false;
                break;
            default:
                whole = false;
                number = false;
                date = date && storedDateTime(value).has_value();
                longest = std::max(longest, int(value.toString().size()));
                break;
        }
    }
    if (!any) {
        return QStringLiteral("Text");
    }
    if (whole) {
        return QStringLiteral("Long");
    }
    if (number) {
        return QStringLiteral("Double");
    }
    if (date) {
        return QStringLiteral("DateTime");
    }
    return longest > 255 ? QStringLiteral("Memo") : QStringLiteral("Text");
}

}  // namespace

QueryRunner::QueryRunner(QdbEngine& engine) : mEngine(engine) {}

std::optional<SourceCatalogue::Source> QueryRunner::source(const QString& name) {
    const auto found = mEngine.findSource(name);
    if (!found) {
        return privateTable(name);
    }
    const auto& [stored, type, id] = *found;
    Source source{stored, type == kTypeQuery, {}, {}};
    if (source.isQuery) {
        source.sql = mEngine.querySql(id);
    } else {
        source.fields = mEngine.tableFieldNames(id);
    }
    return source;
}

// The engine's own tables (MSysQdb...) are not in the catalogue but may be read like the catalogue's.
std::optional<SourceCatalogue::Source> QueryRunner::privateTable(const QString& name) {
    if (!name.startsWith(QLatin1String("MSys"), Qt::CaseInsensitive)) {
        return std::nullopt;
    }
    auto& connection = mEngine.connection();
    auto table = connection.prepare(
        QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'table' AND name = ? COLLATE NOCASE"));
    table.bind(1, name);
    if (!table.step()) {
        return std::nullopt;
    }
    Source source{table.text(0), false, {}, {}};
    auto columns = connection.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?)"));
    columns.bind(1, source.name);
    while (columns.step()) {
        source.fields << columns.text(0);
    }
    return source;
}

std::vector<QVariant> QueryRunner::crosstabHeadings(const Translation& headingsQuery) {
    return rows(headingsQuery).cells;
}

QueryResult QueryRunner::run(const QString& sql, const ParameterValues& parameters, const RunOptions& options,
                             bool rowsOnly) {
    mParameters = parameters;
    mAnswers.clear();
    jet::Query query = jet::Parser(sql).parse();
    const bool returnsRows = query.kind == jet::StatementKind::Select ||
                             query.kind == jet::StatementKind::Union ||
                             query.kind == jet::StatementKind::Crosstab;
    if (rowsOnly && !returnsRows) {
        throw host::Error(3219, QStringLiteral("Invalid operation."), kSourceDatabase);
    }
    QueryTranslator translator(*this);
    const jet::StatementTree& tree = *query.tree;
    QueryResult result;
    switch (query.kind) {
        case jet::StatementKind::Select:
        case jet::StatementKind::Union:
            return rows(translator.translateSelect(tree));
        case jet::StatementKind::Crosstab:
            return crosstab(tree);
        case jet::StatementKind::MakeTable:
            return makeTable(query, options);
        case jet::StatementKind::Append: {
            if (!query.targetDatabase.isEmpty()) {
                throw host::Error(3024, QStringLiteral("Could not find file '%1'.").arg(query.targetDatabase),
                                  kSourceDatabase);
            }
            const Translation translation = translator.translateAppend(tree, query.target);
            result.action = true;
            mEngine.transaction([&] { result.affected = change(translation); });
            return result;
        }
        case jet::StatementKind::Update:
        case jet::StatementKind::Delete: {
            const Translation translation = query.kind == jet::StatementKind::Update
                                                ? translator.translateUpdate(tree)
                                                : translator.translateDelete(tree);
            result.action = true;
            mEngine.transaction([&] { result.affected = change(translation); });
            return result;
        }
        case jet::StatementKind::DataDefinition:
            return dataDefinition(sql);
    }
    return result;
}

std::vector<QVariant> QueryRunner::values(const std::vector<QueryParameter>& wanted) {
    std::vector<QVariant> values;
    for (const QueryParameter& parameter : wanted) {
        const QString key = foldCase(parameter.name);
        if (!mAnswers.contains(key)) {
            if (!mParameters) {
                throw host::Error(3061, QStringLiteral("Too few parameters. Expected %1.").arg(wanted.size()),
                                  kSourceDatabase);
            }
            const ParameterRequest request{parameter.name, parameter.type};
            const auto given = mParameters(request);
            if (!given) {
                throw host::Error(host::errCancelled, QStringLiteral("You canceled the previous operation."),
                                  kSourceDatabase);
            }
            mAnswers.insert(key, parameterValue(request, *given));
        }
        values.push_back(mAnswers.value(key));
    }
    return values;
}

SqliteStatement QueryRunner::prepare(const Translation& translation) {
    const std::vector<QVariant> bound = values(translation.parameters);
    try {
        SqliteStatement statement = mEngine.connection().prepare(translation.sql);
        for (size_t i = 0; i < bound.size(); ++i) {
            statement.bind(int(i) + 1, bound[i]);
        }
        return statement;
    } catch (const SqliteError& error) {
        throwStatementError(error, kSourceDatabase);
    }
}

QueryResult QueryRunner::rows(const Translation& translation) {
    SqliteStatement statement = prepare(translation);
    QueryResult result;
    result.columns = translation.columns;
    const int count = statement.columnCount();
    try {
        while (statement.step()) {
            for (int i = 0; i < count; ++i) {
                result.cells.push_back(statement.value(i));
            }
        }
    } catch (const SqliteError& error) {
        throwStatementError(error, kSourceDatabase);
    }
    for (int i = 0; i < count; ++i) {
        const QString table = statement.originTable(i);
        result.fieldTypes << (table.isEmpty() ? QString()
                                              : mEngine.fieldType(table, statement.originColumn(i)));
    }
    return result;
}

qint64 QueryRunner::change(const Translation& translation) {
    SqliteStatement statement = prepare(translation);
    try {
        statement.run();
    } catch (const SqliteError& error) {
        throwStatementError(error, kSourceDatabase);
    }
    return mEngine.connection().changes();
}

QueryResult QueryRunner::crosstab(const jet::StatementTree& tree) {
    QueryTranslator translator(*this);
    std::vector<QVariant> headings;
    if (tree.pivotIn.empty()) {
        const QueryResult found = rows(translator.crosstabHeadingsQuery(tree));
        headings = found.cells;
    }
    return rows(translator.translateCrosstab(tree, headings));
}

QueryResult QueryRunner::makeTable(const jet::Query& query, const RunOptions& options) {
    if (!query.targetDatabase.isEmpty()) {
        throw host::Error(3024, QStringLiteral("Could not find file '%1'.").arg(query.targetDatabase),
                          kSourceDatabase);
    }
    QueryTranslator translator(*this);
    QueryResult result;
    result.action = true;
    mEngine.transaction([&] {
        const QueryResult source = rows(translator.translateSelect(*query.tree));
        TableSpec table{query.target, {}, {}, {}};
        const int columns = int(source.columns.size());
        for (int i = 0; i < columns; ++i) {
            QString name = source.columns[i];
            // A column named after its source ("Orders.ID") keeps its field name alone.
            name = name.section(u'.', -1);
            const QString type = source.fieldTypes.value(i);
            const bool autoNumber = type == QLatin1String("AutoNumber");
            table.fields.push_back({name, type.isEmpty() ? inferredType(source.cells, columns, i)
                                          : autoNumber   ? QStringLiteral("Long")
                                                         : type});
        }
        for (int row = 0; row < source.rowCount(); ++row) {
            QVariantList values;
            for (int i = 0; i < columns; ++i) {
                QVariant value = source.cell(row, i);
                if (table.fields[size_t(i)].type == QLatin1String("YesNo") && value.isValid()) {
                    value = value.toLongLong() != 0;
                }
                values << value;
            }
            table.rows.push_back(std::move(values));
        }
        if (const auto existing = mEngine.findSource(query.target)) {
            if (std::get<1>(*existing) != kTypeTable || !options.replaceTable) {
                throw host::Error(errTableExists,
                                  QStringLiteral("Table '%1' already exists.").arg(query.target),
                                  kSourceDatabase);
            }
            mEngine.dropTable(std::get<0>(*existing));
        }
        mEngine.createTable(table);
        result.affected = source.rowCount();
    });
    return result;
}

// CREATE TABLE, CREATE INDEX, ALTER TABLE ... ADD/DROP COLUMN, DROP TABLE, DROP INDEX: the engine's own
// operations, so that the catalogue stays true.
QueryResult QueryRunner::dataDefinition(const QString& sql) {
    const std::vector<jet::Token> tokens = jet::tokenize(sql);
    size_t pos = 0;
    const auto text = [&](size_t at) {
        const jet::Token& token = tokens[std::min(at, tokens.size() - 1)];
        QString word = sql.mid(token.start, token.end - token.start);
        if (token.kind == jet::TokenKind::Bracketed) {
            word = word.mid(1, word.size() - 2);
        }
        return word;
    };
    const auto is = [&](size_t at, const char* word) {
        return text(at).compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    };
    const auto syntax = [&]() -> void {
        throw host::Error(3290,
                          QStringLiteral("Syntax error in CREATE TABLE, ALTER TABLE or DROP statement."),
                          kSourceDatabase);
    };
    // A field type as the host writes it in DDL, mapped to the engine's field types.
    const auto fieldType = [&](const QString& written) {
        static const QHash<QString, QString> types = {
            {"text", "Text"},          {"char", "Text"},
            {"varchar", "Text"},       {"string", "Text"},
            {"memo", "Memo"},          {"longtext", "Memo"},
            {"byte", "Byte"},          {"short", "Integer"},
            {"smallint", "Integer"},   {"long", "Long"},
            {"int", "Long"},           {"integer", "Long"},
            {"single", "Single"},      {"real", "Single"},
            {"double", "Double"},      {"float", "Double"},
            {"currency", "Currency"},  {"money", "Currency"},
            {"datetime", "DateTime"},  {"date", "DateTime"},
            {"time", "DateTime"},      {"bit", "YesNo"},
            {"yesno", "YesNo"},        {"logical", "YesNo"},
            {"counter", "AutoNumber"}, {"autoincrement", "AutoNumber"},
        };
        const QString type = types.value(written.toLower());
        if (type.isEmpty()) {
            throw host::Error(3292, QStringLiteral("Syntax error in field definition."), kSourceDatabase);
        }
        return type;
    };
    // Skips a field's size and constraints up to the next comma or closing parenthesis of its level.
    const auto skipFieldRest = [&]() {
        int depth = 0;
        while (tokens[pos].kind != jet::TokenKind::End) {
            const QString word = text(pos);
            if (depth == 0 && (word == u"," || word == u")" || word == u";")) {
                return;
            }
            if (word == u"(") {
                ++depth;
            } else if (word == u")") {
                --depth;
            }
            ++pos;
        }
    };
    QueryResult result;
    result.action = true;
    if (is(0, "CREATE") && is(1, "TABLE")) {
        TableSpec table{text(2), {}, {}, {}};
        pos = 3;
        if (text(pos) != u"(") {
            syntax();
        }
        ++pos;
        while (tokens[pos].kind != jet::TokenKind::End && text(pos) != u")") {
            if (is(pos, "CONSTRAINT") || is(pos, "PRIMARY") || is(pos, "UNIQUE") || is(pos, "FOREIGN")) {
                skipFieldRest();
            } else {
                const QString name = text(pos++);
                const QString type = fieldType(text(pos++));
                table.fields.push_back({name, type});
                skipFieldRest();
            }
            if (text(pos) == u",") {
                ++pos;
            }
        }
        mEngine.createTable(table);
        return result;
    }
    if (is(0, "DROP") && is(1, "TABLE")) {
        mEngine.dropTable(text(2));
        return result;
    }
    auto& connection = mEngine.connection();
    const auto tableName = [&](const QString& name) {
        const auto found = mEngine.findSource(name);
        if (!found || std::get<1>(*found) != kTypeTable) {
            throw host::Error(
                errInputTableNotFound,
                QStringLiteral("The Microsoft Access database engine cannot find the input table or "
                               "query '%1'. Make sure it exists and that its name is spelled "
                               "correctly.")
                    .arg(name),
                kSourceDatabase);
        }
        return std::get<0>(*found);
    };
    const auto sqlite = [&](const QString& statement) {
        try {
            connection.exec(statement);
        } catch (const SqliteError& error) {
            throwStatementError(error, kSourceDatabase);
        }
    };
    if (is(0, "CREATE")) {
        // CREATE [UNIQUE] INDEX name ON table (field [ASC|DESC], ...): index names are the table's own.
        pos = 1;
        const bool unique = is(pos, "UNIQUE");
        pos += unique ? 1 : 0;
        if (!is(pos, "INDEX") || !is(pos + 2, "ON")) {
            syntax();
        }
        const QString index = text(pos + 1);
        const QString table = tableName(text(pos + 3));
        pos += 4;
        QStringList fields;
        if (text(pos++) != u"(") {
            syntax();
        }
        while (tokens[pos].kind != jet::TokenKind::End && text(pos) != u")") {
            QString field = SqliteConnection::quote(text(pos++));
            if (is(pos, "ASC") || is(pos, "DESC")) {
                field += u' ' + text(pos++).toUpper();
            }
            fields << field;
            if (text(pos) == u",") {
                ++pos;
            }
        }
        sqlite(QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                   .arg(unique ? QStringLiteral("UNIQUE ") : QString(),
                        SqliteConnection::quote(table + QLatin1Char('.') + index),
                        SqliteConnection::quote(table), fields.join(QStringLiteral(", "))));
        return result;
    }
    if (is(0, "DROP") && is(1, "INDEX") && is(3, "ON")) {
        const QString table = tableName(text(4));
        sqlite(
            QStringLiteral("DROP INDEX %1").arg(SqliteConnection::quote(table + QLatin1Char('.') + text(2))));
        return result;
    }
    if (is(0, "ALTER") && is(1, "TABLE")) {
        const QString table = tableName(text(2));
        pos = 3;
        const bool add = is(pos, "ADD");
        if (!add && !is(pos, "DROP")) {
            throw host::Error(3293, QStringLiteral("Syntax error in ALTER TABLE statement."),
                              kSourceDatabase);
        }
        ++pos;
        if (is(pos, "COLUMN")) {
            ++pos;
        }
        const QString field = text(pos++);
        mEngine.transaction([&] {
            if (add) {
                mEngine.addField(table, {field, fieldType(text(pos))});
            } else {
                mEngine.dropField(table, field);
            }
        });
        return result;
    }
    syntax();
    return result;
}

}  // namespace qdb
