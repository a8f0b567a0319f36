// The JSON format itself: what reading accepts and refuses, and the exact shape of the text it writes.
#include "CliTestFiles.h"

#include "host/JsonDatabase.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

using qdb::JsonDatabase;
using qdb::JsonDatabaseError;

QString parseError(const QByteArray& json) {
    try {
        JsonDatabase::parse(json);
    } catch (const JsonDatabaseError& error) {
        return error.message();
    }
    return QStringLiteral("no error");
}

TEST(JsonDatabase, SyntaxErrorsGiveLineAndColumnInCharacters) {
    // Columns count characters, not the bytes of their UTF-8 form.
    EXPECT_EQ(parseError("{\"queries\": [\n  {\"name\": \"Café\" \"sql\": \"\"}\n]}"),
              "line 2, column 20: unterminated object");
    EXPECT_EQ(parseError("{\"tables\": []"), "line 1, column 14: unterminated object");
    EXPECT_EQ(parseError("[]"), "the text must be one JSON object");
}

// A second value under one key would silently replace the first: refused at every level, at the key's place.
TEST(JsonDatabase, DuplicateKeysAreRefusedWithTheirPlace) {
    EXPECT_EQ(parseError("{\"queries\": [],\n \"queries\": []}"),
              "line 2, column 2: duplicate key 'queries'");
    EXPECT_EQ(parseError("{\"queries\": [{\"name\": \"Q\", \"sql\": \"SELECT 1\", \"sql\": \"x\"}]}"),
              "line 1, column 47: duplicate key 'sql'");
    // An escape spells the same key; equal keys in different objects are fine.
    EXPECT_EQ(parseError("{\"tables\": [{\"name\": \"T\", \"na\\u006de\": \"U\"}]}"),
              "line 1, column 27: duplicate key 'name'");
    EXPECT_NO_THROW(JsonDatabase::parse(R"({"queries": [{"name": "A", "sql": "SELECT 1"},
                                                        {"name": "B", "sql": "SELECT \"name\", 2"}]})"));
}

// Found by fuzzing: a name quoted in a message may hold line breaks; the message stays one line.
TEST(JsonDatabase, MessagesStayOneLine) {
    EXPECT_EQ(
        parseError(
            R"({"queries": [{"name": "Two\r\nlines\tand a long tail to pass the limit of 64 characters", "sql": "SELECT 1"}]})"),
        R"(invalid query name 'Two\r\nlines\tand a long tail to pass the limit of 64 characters': the name contains a control character)");
}

TEST(JsonDatabase, EveryFieldTypeSurvivesWritingAndReading) {
    qdb::DatabaseSpec spec;
    qdb::TableSpec table{"Every Type", "All of them, \"quoted\".", {}, {}};
    const QVariantList values{QString("Ünïcode, \"quoted\""),
                              QString("line one\r\nline two"),
                              255,
                              -32768,
                              2147483647,
                              1.5,
                              0.1,
                              1234.5678,
                              QDateTime(QDate(2024, 3, 19), QTime(14, 30), Qt::UTC),
                              true,
                              7};
    for (const auto& type : JsonDatabase::fieldTypes()) {
        table.fields.push_back({type + "Field", type});
    }
    table.rows.push_back(values);
    table.rows.push_back(QVariantList(values.size()));  // every field Null
    spec.tables.push_back(table);

    const qdb::DatabaseSpec back = JsonDatabase::parse(JsonDatabase::write(spec));
    ASSERT_EQ(back.tables.size(), 1u);
    EXPECT_EQ(back.tables[0].name, table.name);
    EXPECT_EQ(back.tables[0].description, table.description);
    ASSERT_EQ(back.tables[0].rows.size(), 2u);
    for (qsizetype i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(table.fields[i].type.toStdString());
        EXPECT_EQ(back.tables[0].fields[i].type, table.fields[i].type);
        EXPECT_EQ(back.tables[0].rows[0][i].toString(), values[i].toString());
        EXPECT_TRUE(back.tables[0].rows[1][i].isNull());
    }
}

TEST(JsonDatabase, WritesAFixedReadableShape) {
    const qdb::DatabaseSpec spec = JsonDatabase::parse(readFileBytes(testData("shape_input.json")));
    EXPECT_EQ(QString::fromUtf8(JsonDatabase::write(spec)),
              QString::fromUtf8(readFileBytes(testData("shape_output.json"))));
}

TEST(JsonDatabase, DatesAreTextInIsoForm) {
    const auto parsed =
        JsonDatabase::parse(R"({"tables": [{"name": "T", "fields": [{"name": "D", "type": "DateTime"}],
        "rows": [["2024-03-19"], ["2024-03-19T14:30:05"], ["2024-03-19T14:30:05.250"]]}]})");
    const auto& rows = parsed.tables.at(0).rows;
    EXPECT_EQ(rows.at(0).at(0).toDateTime(), QDateTime(QDate(2024, 3, 19), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(rows.at(1).at(0).toDateTime(), QDateTime(QDate(2024, 3, 19), QTime(14, 30, 5), Qt::UTC));
    EXPECT_EQ(rows.at(2).at(0).toDateTime(), QDateTime(QDate(2024, 3, 19), QTime(14, 30, 5, 250), Qt::UTC));
    EXPECT_EQ(
        parseError(R"({"tables": [{"name": "T", "fields": [{"name": "D", "type": "DateTime"}],
        "rows": [["19/03/2024"]]}]})"),
        "table 'T', row 1, field 'D': expected a date as text (yyyy-MM-dd or yyyy-MM-ddTHH:mm:ss) for a "
        "DateTime field, found text");
}

TEST(JsonDatabase, ShapeErrorsNameTheObject) {
    EXPECT_EQ(parseError(R"({"tables": [{"name": "T", "fields": []}]})"),
              "table 'T': a table needs at least one field");
    EXPECT_EQ(parseError(R"({"tables": [{"name": "T", "fields": [{"name": "A", "type": "Long"},
        {"name": "a", "type": "Text"}]}]})"),
              "table 'T': duplicate field name 'a' (a field of that name comes earlier)");
    EXPECT_EQ(parseError(R"({"queries": [{"name": "Q"}]})"), "query 'Q': 'sql' is missing");
    EXPECT_EQ(parseError(R"({"queries": [{"name": " Q", "sql": ""}]})"),
              "invalid query name ' Q': the name begins with a blank");
    EXPECT_EQ(parseError(R"({"reports": [{"name": "R", "controls": [{"name": "C"}, {"name": "c"}]}]})"),
              "report 'R': duplicate control name 'c' (a control of that name comes earlier)");
    EXPECT_EQ(parseError(R"({"forms": {"name": "F"}})"), "'forms' must be an array, found an object");
    EXPECT_EQ(parseError(R"({"tables": [{"name": "T", "fields": [{"name": "A", "type": "YesNo"}],
        "rows": [[1]]}]})"),
              "table 'T', row 1, field 'A': expected true or false for a YesNo field, found a number");
    EXPECT_EQ(parseError(R"({"tables": [{"name": "T", "fields": [{"name": "A", "type": "Byte"}],
        "rows": [[256]]}]})"),
              "table 'T', row 1, field 'A': expected a whole number from 0 to 255 for a Byte field, found a "
              "number");
    EXPECT_EQ(
        parseError(R"({"tables": [{"name": "T", "fields": [{"name": "A", "type": "Long"}],
        "rows": [[2147483648]]}]})"),
        "table 'T', row 1, field 'A': expected a whole number from -2147483648 to 2147483647 for a Long "
        "field, found a number");
    // A form and a table may share a name; a table and a query may not.
    EXPECT_EQ(parseError(R"({"tables": [{"name": "T", "fields": [{"name": "A", "type": "Long"}]}],
        "forms": [{"name": "T"}], "reports": [{"name": "T"}]})"),
              "no error");
}

}  // namespace
