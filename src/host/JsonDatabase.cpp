#include "host/JsonDatabase.h"

#include "host/HostText.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <utility>

namespace qdb {

namespace {

// ---------------------------------------------------------------------------------------------------------
// Reading

QString quoted(const QString& name) {
    return QLatin1Char('\'') + name + QLatin1Char('\'');
}

// The message is one line even when a name or an SQL text in it holds line breaks: control characters are
// shown as escapes.
[[noreturn]] void fail(const QString& where, const QString& problem) {
    const QString message = where.isEmpty() ? problem : where + QStringLiteral(": ") + problem;
    QString line;
    line.reserve(message.size());
    for (const QChar c : message) {
        if (c == u'\r') {
            line += QLatin1String("\\r");
        } else if (c == u'\n') {
            line += QLatin1String("\\n");
        } else if (c == u'\t') {
            line += QLatin1String("\\t");
        } else if (c.unicode() < 0x20 || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
            line += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        } else {
            line += c;
        }
    }
    throw JsonDatabaseError(line);
}

// Where a byte offset of the UTF-8 text is: lines and columns count characters from 1.
QString lineAndColumn(const QByteArray& json, qsizetype offset) {
    const QByteArray before = json.left(std::clamp<qsizetype>(offset, 0, json.size()));
    const qsizetype lineStart = before.lastIndexOf('\n') + 1;
    const qsizetype line = before.count('\n') + 1;
    const qsizetype column = QString::fromUtf8(before.mid(lineStart)).size() + 1;
    return QStringLiteral("line %1, column %2").arg(line).arg(column);
}

// The value of the JSON string whose opening quote is at `at` in well-formed text; `at` ends after its
// closing quote.
QString jsonString(const QByteArray& json, qsizetype& at) {
    QString value;
    qsizetype start = ++at;
    while (json[at] != '"') {
        if (json[at] != '\\') {
            ++at;
            continue;
        }
        value += QString::fromUtf8(json.mid(start, at - start));
        const char escape = json[at + 1];
        at += 2;
        switch (escape) {
            case 'b':
                value += u'\b';
                break;
            case 'f':
                value += u'\f';
                break;
            case 'n':
                value += u'\n';
                break;
            case 'r':
                value += u'\r';
                break;
            case 't':
                value += u'\t';
                break;
            case 'u':
                value += QChar(char16_t(json.mid(at, 4).toUShort(nullptr, 16)));
                at += 4;
                break;
            default:
                value += QLatin1Char(escape);
                break;
        }
        start = at;
    }
    value += QString::fromUtf8(json.mid(start, at - start));
    ++at;
    return value;
}

// QJsonDocument keeps only the last of two equal keys of an object; the text a person wrote is checked for
// them first, so that nothing is dropped without a word. The text is well-formed JSON already.
void checkDuplicateKeys(const QByteArray& json) {
    struct Level {
        bool object = false;
        bool expectKey = false;
        QSet<QString> keys;
    };
    std::vector<Level> levels;
    for (qsizetype at = 0; at < json.size();) {
        const char c = json[at];
        if (c == '"') {
            const qsizetype start = at;
            const QString text = jsonString(json, at);
            if (!levels.empty() && levels.back().object && levels.back().expectKey) {
                if (levels.back().keys.contains(text)) {
                    fail(lineAndColumn(json, start), QStringLiteral("duplicate key %1").arg(quoted(text)));
                }
                levels.back().keys.insert(text);
                levels.back().expectKey = false;
            }
            continue;
        }
        if (c == '{' || c == '[') {
            levels.push_back({c == '{', c == '{', {}});
        } else if ((c == '}' || c == ']') && !levels.empty()) {
            levels.pop_back();
        } else if (c == ',' && !levels.empty() && levels.back().object) {
            levels.back().expectKey = true;
        }
        ++at;
    }
}

QString jsonTypeName(const QJsonValue& value) {
    switch (value.type()) {
        case QJsonValue::Null:
            return QStringLiteral("null");
        case QJsonValue::Bool:
            return QStringLiteral("a truth value");
        case QJsonValue::Double:
            return QStringLiteral("a number");
        case QJsonValue::String:
            return QStringLiteral("text");
        case QJsonValue::Array:
            return QStringLiteral("an array");
        case QJsonValue::Object:
            return QStringLiteral("an object");
        case QJsonValue::Undefined:
            break;
    }
    return QStringLiteral("nothing");
}

QJsonObject objectOf(const QJsonValue& value, const QString& where) {
    if (!value.isObject()) {
        fail(where, QStringLiteral("expected an object, found %1").arg(jsonTypeName(value)));
    }
    return value.toObject();
}

// Every key must be known, so that a misspelt key is reported rather than ignored.
void checkKeys(const QJsonObject& object, const QString& where, std::initializer_list<const char*> keys) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (std::none_of(keys.begin(), keys.end(),
                         [&](const char* key) { return it.key() == QLatin1String(key); })) {
            fail(where, QStringLiteral("unknown key %1").arg(quoted(it.key())));
        }
    }
}

QJsonArray arrayAt(const QJsonObject& object, const char* key, const QString& where) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined()) {
        return {};
    }
    if (!value.isArray()) {
        fail(where,
             QStringLiteral("'%1' must be an array, found %2").arg(QLatin1String(key), jsonTypeName(value)));
    }
    return value.toArray();
}

QString textAt(const QJsonObject& object, const char* key, const QString& where, bool required) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined() && !required) {
        return {};
    }
    if (value.isUndefined()) {
        fail(where, QStringLiteral("'%1' is missing").arg(QLatin1String(key)));
    }
    if (!value.isString()) {
        fail(where,
             QStringLiteral("'%1' must be text, found %2").arg(QLatin1String(key), jsonTypeName(value)));
    }
    return value.toString();
}

// The host's object-naming rules, the same the engine applies.
void checkName(const QString& name, const QString& kind) {
    const QString problem = objectNameProblem(name);
    if (!problem.isEmpty()) {
        fail(QString(), QStringLiteral("invalid %1 name %2: %3").arg(kind, quoted(name), problem));
    }
}

// Names of one kind, unique without regard to case.
class NameSet {
public:
    void add(const QString& name, const QString& kind) {
        const auto [it, inserted] = mNames.insert({foldCase(name), kind});
        if (!inserted) {
            fail(QString(), QStringLiteral("duplicate %1 name %2 (a %3 of that name comes earlier)")
                                .arg(kind, quoted(name), it->second));
        }
    }

private:
    std::map<QString, QString> mNames;  // folded name -> kind of the object that holds it
};

bool isIntegral(double value, qint64 low, qint64 high) {
    return std::trunc(value) == value && value >= double(low) && value <= double(high);
}

// Dates and times are taken as written, in UTC unless the text names a zone, so that no daylight-saving gap
// of the machine's zone can shift them.
QVariant parseDateTime(const QString& text) {
    if (text.size() == 10) {
        const QDate date = QDate::fromString(text, Qt::ISODate);
        return date.isValid() ? QVariant(QDateTime(date, QTime(0, 0), Qt::UTC)) : QVariant();
    }
    const QString time = text.mid(10);
    const bool zoned =
        time.endsWith(QLatin1Char('Z')) || time.contains(QLatin1Char('+')) || time.contains(QLatin1Char('-'));
    const QDateTime value = QDateTime::fromString(zoned ? text : text + QLatin1Char('Z'), Qt::ISODateWithMs);
    return value.isValid() ? QVariant(value) : QVariant();
}

QVariant parseValue(const QJsonValue& value, const QString& type, const QString& where) {
    if (value.isNull()) {
        return {};
    }
    const auto expected = [&](const QString& what) {
        fail(where,
             QStringLiteral("expected %1 for a %2 field, found %3").arg(what, type, jsonTypeName(value)));
    };
    if (type == QLatin1String("Text") || type == QLatin1String("Memo")) {
        if (!value.isString()) {
            expected(QStringLiteral("text"));
        }
        return value.toString();
    }
    if (type == QLatin1String("YesNo")) {
        if (!value.isBool()) {
            expected(QStringLiteral("true or false"));
        }
        return value.toBool();
    }
    if (type == QLatin1String("DateTime")) {
        const QVariant parsed = value.isString() ? parseDateTime(value.toString()) : QVariant();
        if (parsed.isNull()) {
            expected(QStringLiteral("a date as text (yyyy-MM-dd or yyyy-MM-ddTHH:mm:ss)"));
        }
        return parsed;
    }
    if (!value.isDouble()) {
        expected(QStringLiteral("a number"));
    }
    const double number = value.toDouble();
    std::pair<qint64, qint64> range{0, 0};
    if (type == QLatin1String("Byte")) {
        range = {0, 255};
    } else if (type == QLatin1String("Integer")) {
        range = {-32768, 32767};
    } else if (type == QLatin1String("Long") || type == QLatin1String("AutoNumber")) {
        range = {std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()};
    } else {
        return number;  // Single, Double, Currency
    }
    if (!isIntegral(number, range.first, range.second)) {
        expected(QStringLiteral("a whole number from %1 to %2").arg(range.first).arg(range.second));
    }
    return static_cast<qlonglong>(number);
}

TableSpec parseTable(const QJsonValue& value, int index) {
    const QString at = QStringLiteral("table %1").arg(index + 1);
    const QJsonObject object = objectOf(value, at);
    TableSpec table;
    table.name = textAt(object, "name", at, true);
    checkName(table.name, QStringLiteral("table"));
    const QString where = QStringLiteral("table %1").arg(quoted(table.name));
    checkKeys(object, where, {"name", "description", "fields", "rows"});
    table.description = textAt(object, "description", where, false);

    NameSet fieldNames;
    const QJsonArray fields = arrayAt(object, "fields", where);
    if (fields.isEmpty()) {
        fail(where, QStringLiteral("a table needs at least one field"));
    }
    for (int i = 0; i < fields.size(); ++i) {
        const QString fieldAt = where + QStringLiteral(", field %1").arg(i + 1);
        const QJsonObject fieldObject = objectOf(fields[i], fieldAt);
        checkKeys(fieldObject, fieldAt, {"name", "type"});
        FieldSpec field{textAt(fieldObject, "name", fieldAt, true),
                        textAt(fieldObject, "type", fieldAt, true)};
        try {
            checkName(field.name, QStringLiteral("field"));
            fieldNames.add(field.name, QStringLiteral("field"));
        } catch (const JsonDatabaseError& error) {
            fail(where, error.message());
        }
        if (!JsonDatabase::fieldTypes().contains(field.type)) {
            fail(where + QStringLiteral(", field %1").arg(quoted(field.name)),
                 QStringLiteral("unknown type %1 (the types are %2)")
                     .arg(quoted(field.type), JsonDatabase::fieldTypes().join(QStringLiteral(", "))));
        }
        table.fields.push_back(std::move(field));
    }

    const QJsonArray rows = arrayAt(object, "rows", where);
    for (int r = 0; r < rows.size(); ++r) {
        const QString rowAt = where + QStringLiteral(", row %1").arg(r + 1);
        if (!rows[r].isArray()) {
            fail(rowAt, QStringLiteral("expected an array, found %1").arg(jsonTypeName(rows[r])));
        }
        const QJsonArray values = rows[r].toArray();
        if (values.size() != qsizetype(table.fields.size())) {
            fail(rowAt,
                 QStringLiteral("%1 values for %2 fields").arg(values.size()).arg(table.fields.size()));
        }
        QVariantList row;
        for (int f = 0; f < values.size(); ++f) {
            row.push_back(parseValue(values[f], table.fields[f].type,
                                     rowAt + QStringLiteral(", field %1").arg(quoted(table.fields[f].name))));
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

QuerySpec parseQuery(const QJsonValue& value, int index) {
    const QString at = QStringLiteral("query %1").arg(index + 1);
    const QJsonObject object = objectOf(value, at);
    QuerySpec query;
    query.name = textAt(object, "name", at, true);
    checkName(query.name, QStringLiteral("query"));
    const QString where = QStringLiteral("query %1").arg(quoted(query.name));
    checkKeys(object, where, {"name", "sql", "description"});
    query.sql = textAt(object, "sql", where, true);
    query.description = textAt(object, "description", where, false);
    return query;
}

FormSpec parseForm(const QJsonValue& value, int index, const QString& kind) {
    const QString at = QStringLiteral("%1 %2").arg(kind).arg(index + 1);
    const QJsonObject object = objectOf(value, at);
    FormSpec form;
    form.name = textAt(object, "name", at, true);
    checkName(form.name, kind);
    const QString where = QStringLiteral("%1 %2").arg(kind, quoted(form.name));
    checkKeys(object, where, {"name", "recordSource", "description", "controls"});
    form.recordSource = textAt(object, "recordSource", where, false);
    form.description = textAt(object, "description", where, false);
    NameSet controlNames;
    const QJsonArray controls = arrayAt(object, "controls", where);
    for (int i = 0; i < controls.size(); ++i) {
        const QString controlAt = where + QStringLiteral(", control %1").arg(i + 1);
        const QJsonObject controlObject = objectOf(controls[i], controlAt);
        checkKeys(controlObject, controlAt, {"name", "rowSource"});
        ControlSpec control{textAt(controlObject, "name", controlAt, true),
                            textAt(controlObject, "rowSource", controlAt, false)};
        try {
            checkName(control.name, QStringLiteral("control"));
            controlNames.add(control.name, QStringLiteral("control"));
        } catch (const JsonDatabaseError& error) {
            fail(where, error.message());
        }
        form.controls.push_back(std::move(control));
    }
    return form;
}

// ---------------------------------------------------------------------------------------------------------
// Writing

QByteArray pad(int level) {
    return QByteArray(level * 2, ' ');
}

QByteArray compact(const QJsonValue& value) {
    const QByteArray text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return text.mid(1, text.size() - 2);
}

using Members = std::vector<std::pair<const char*, QByteArray>>;

QByteArray renderObject(const Members& members, int level) {
    QByteArray text = "{\n";
    for (std::size_t i = 0; i < members.size(); ++i) {
        text += pad(level + 1) + '"' + members[i].first + "\": " + members[i].second;
        text += i + 1 < members.size() ? ",\n" : "\n";
    }
    return text + pad(level) + '}';
}

QByteArray renderArray(const QList<QByteArray>& items, int level) {
    if (items.isEmpty()) {
        return "[]";
    }
    QByteArray text = "[\n";
    for (qsizetype i = 0; i < items.size(); ++i) {
        text += pad(level + 1) + items[i];
        text += i + 1 < items.size() ? ",\n" : "\n";
    }
    return text + pad(level) + ']';
}

QJsonValue jsonValue(const QVariant& value, const QString& type) {
    if (value.isNull()) {
        return QJsonValue::Null;
    }
    if (type == QLatin1String("Text") || type == QLatin1String("Memo")) {
        return value.toString();
    }
    if (type == QLatin1String("YesNo")) {
        return value.toBool();
    }
    if (type == QLatin1String("DateTime")) {
        const QDateTime dateTime = value.typeId() == QMetaType::QDateTime
                                       ? value.toDateTime()
                                       : parseDateTime(value.toString()).toDateTime();
        if (!dateTime.isValid()) {
            return value.toString();
        }
        const QString date = dateTime.date().toString(Qt::ISODate);
        if (dateTime.time() == QTime(0, 0)) {
            return date;
        }
        const QString format =
            dateTime.time().msec() ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss");
        return date + QLatin1Char('T') + dateTime.time().toString(format);
    }
    if (type == QLatin1String("Single") || type == QLatin1String("Double") ||
        type == QLatin1String("Currency")) {
        return value.toDouble();
    }
    return value.toLongLong();
}

QByteArray renderTable(const TableSpec& table, int level) {
    Members members{{"name", compact(table.name)}};
    if (!table.description.isEmpty()) {
        members.emplace_back("description", compact(table.description));
    }
    QList<QByteArray> fields;
    for (const auto& field : table.fields) {
        fields.push_back("{\"name\": " + compact(field.name) + ", \"type\": " + compact(field.type) + '}');
    }
    members.emplace_back("fields", renderArray(fields, level + 1));
    QList<QByteArray> rows;
    for (const auto& row : table.rows) {
        QByteArrayList values;
        for (qsizetype i = 0; i < row.size(); ++i) {
            const QString type = i < qsizetype(table.fields.size()) ? table.fields[i].type : QString();
            values.push_back(compact(jsonValue(row[i], type)));
        }
        rows.push_back('[' + values.join(", ") + ']');
    }
    members.emplace_back("rows", renderArray(rows, level + 1));
    return renderObject(members, level);
}

QByteArray renderQuery(const QuerySpec& query, int level) {
    Members members{{"name", compact(query.name)}};
    if (!query.description.isEmpty()) {
        members.emplace_back("description", compact(query.description));
    }
    members.emplace_back("sql", compact(query.sql));
    return renderObject(members, level);
}

QByteArray renderForm(const FormSpec& form, int level) {
    Members members{{"name", compact(form.name)}};
    if (!form.description.isEmpty()) {
        members.emplace_back("description", compact(form.description));
    }
    members.emplace_back("recordSource", compact(form.recordSource));
    QList<QByteArray> controls;
    for (const auto& control : form.controls) {
        controls.push_back("{\"name\": " + compact(control.name) +
                           ", \"rowSource\": " + compact(control.rowSource) + '}');
    }
    members.emplace_back("controls", renderArray(controls, level + 1));
    return renderObject(members, level);
}

template <typename Spec, typename Render>
QByteArray renderList(const std::vector<Spec>& specs, int level, Render render) {
    QList<QByteArray> items;
    for (const auto& spec : specs) {
        items.push_back(render(spec, level + 1));
    }
    return renderArray(items, level);
}

// ---------------------------------------------------------------------------------------------------------
// Building

// Runs one step of the build; a refusal by the engine names the object it concerns.
template <typename Work>
void step(const QString& where, Work work) {
    try {
        work();
    } catch (const host::Error& error) {
        fail(where, error.description());
    }
}

}  // namespace

const QStringList& JsonDatabase::fieldTypes() {
    static const QStringList types{
        QStringLiteral("Text"),    QStringLiteral("Memo"),      QStringLiteral("Byte"),
        QStringLiteral("Integer"), QStringLiteral("Long"),      QStringLiteral("Single"),
        QStringLiteral("Double"),  QStringLiteral("Currency"),  QStringLiteral("DateTime"),
        QStringLiteral("YesNo"),   QStringLiteral("AutoNumber")};
    return types;
}

DatabaseSpec JsonDatabase::parse(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        // The offset counts bytes of UTF-8.
        fail(lineAndColumn(json, error.offset), error.errorString());
    }
    checkDuplicateKeys(json);
    if (!document.isObject()) {
        fail(QString(), QStringLiteral("the text must be one JSON object"));
    }
    const QJsonObject top = document.object();
    checkKeys(top, QString(), {"tables", "queries", "forms", "reports"});

    DatabaseSpec spec;
    // Tables and queries share one name space, as they do in the engine; forms and reports have their own.
    NameSet tablesAndQueries;
    const QJsonArray tables = arrayAt(top, "tables", QString());
    for (int i = 0; i < tables.size(); ++i) {
        spec.tables.push_back(parseTable(tables[i], i));
        tablesAndQueries.add(spec.tables.back().name, QStringLiteral("table"));
    }
    const QJsonArray queries = arrayAt(top, "queries", QString());
    for (int i = 0; i < queries.size(); ++i) {
        spec.queries.push_back(parseQuery(queries[i], i));
        tablesAndQueries.add(spec.queries.back().name, QStringLiteral("query"));
    }
    NameSet forms;
    const QJsonArray formArray = arrayAt(top, "forms", QString());
    for (int i = 0; i < formArray.size(); ++i) {
        spec.forms.push_back(parseForm(formArray[i], i, QStringLiteral("form")));
        forms.add(spec.forms.back().name, QStringLiteral("form"));
    }
    NameSet reports;
    const QJsonArray reportArray = arrayAt(top, "reports", QString());
    for (int i = 0; i < reportArray.size(); ++i) {
        spec.reports.push_back(parseForm(reportArray[i], i, QStringLiteral("report")));
        reports.add(spec.reports.back().name, QStringLiteral("report"));
    }
    return spec;
}

QByteArray JsonDatabase::write(const DatabaseSpec& spec) {
    const Members members{{"tables", renderList(spec.tables, 1, renderTable)},
                          {"queries", renderList(spec.queries, 1, renderQuery)},
                          {"forms", renderList(spec.forms, 1, renderForm)},
                          {"reports", renderList(spec.reports, 1, renderForm)}};
    return renderObject(members, 0) + '\n';
}

void JsonDatabase::build(QdbDatabase& database, const DatabaseSpec& spec) {
    database.transaction([&] {
        for (const auto& table : spec.tables) {
            step(QStringLiteral("table %1").arg(quoted(table.name)), [&] {
                database.createTable(table);
                if (!table.description.isEmpty()) {
                    database.setDescription(QStringLiteral("Tables"), table.name, table.description);
                }
            });
        }
        for (const auto& query : spec.queries) {
            step(QStringLiteral("query %1").arg(quoted(query.name)), [&] {
                // Empty text makes an empty query, which the engine keeps without analysing it.
                database.createQueryDef(
                    query.name, query.sql.isEmpty() ? std::nullopt : std::optional<QString>(query.sql));
                if (!query.description.isEmpty()) {
                    database.setDescription(QStringLiteral("Tables"), query.name, query.description);
                }
            });
        }
        for (const auto& form : spec.forms) {
            step(QStringLiteral("form %1").arg(quoted(form.name)), [&] {
                database.saveForm(form);
                if (!form.description.isEmpty()) {
                    database.setDescription(QStringLiteral("Forms"), form.name, form.description);
                }
            });
        }
        for (const auto& report : spec.reports) {
            step(QStringLiteral("report %1").arg(quoted(report.name)), [&] {
                database.saveReport(report);
                if (!report.description.isEmpty()) {
                    database.setDescription(QStringLiteral("Reports"), report.name, report.description);
                }
            });
        }
    });
}

DatabaseSpec JsonDatabase::read(QdbDatabase& database) {
    return DatabaseSpec{database.tables(), database.queries(), database.forms(), database.reports()};
}

}  // namespace qdb
