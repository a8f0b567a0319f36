// The sample database keeps covering every shape of catalogue row the tools have to deal with.
#include "QorvelRun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

struct Row {
    QString name;
    int attribute = 0;
    QString flag, name1, name2, expression;
};

// Reads the CSV of qorvel catalogue: quoted fields may hold commas, quotes and line breaks.
std::vector<Row> parseCatalogue(const QString& csv) {
    std::vector<QStringList> records{{}};
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < csv.size(); ++i) {
        const QChar c = csv[i];
        if (quoted && c == '"' && i + 1 < csv.size() && csv[i + 1] == '"') {
            field += c;
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == ',') {
            records.back() << field;
            field.clear();
        } else if (!quoted && c == '\n') {
            records.back() << field;
            field.clear();
            records.emplace_back();
        } else {
            field += c;
        }
    }
    std::vector<Row> rows;
    for (size_t i = 1; i < records.size(); ++i) {  // after the header
        if (records[i].size() == 6) {
            const QStringList& r = records[i];
            rows.push_back({r[0], r[1].toInt(), r[2], r[3], r[4], r[5]});
        }
    }
    return rows;
}

TEST(SampleDatabase, CoversEveryCatalogueShape) {
    QTemporaryDir folder;
    const QString db = folder.filePath("sample.qdb");
    ASSERT_EQ(runQorvel({"create", db, "--from", sourceFile("samples/sample.json")}).exitCode, 0);
    const QorvelRun catalogue = runQorvel({"catalogue", db});
    ASSERT_EQ(catalogue.exitCode, 0);
    const std::vector<Row> rows = parseCatalogue(QString::fromUtf8(catalogue.out));

    QSet<QString> kinds, hiddenPrefixes;
    std::map<QString, QSet<QString>> sources;  // query -> named sources
    bool parameters = false, derivedInDerived = false, tableUnderTwoAliases = false;
    for (const Row& row : rows) {
        if (row.attribute == 1) {
            kinds << row.flag;
        }
        parameters = parameters || row.attribute == 2;
        if (row.name.startsWith("~sq_")) {
            hiddenPrefixes << row.name.left(5);
        }
        if (row.attribute == 5 && row.name1.isEmpty() && !row.name2.startsWith("%$##@_Alias")) {
            derivedInDerived = derivedInDerived || row.expression.contains("(SELECT");
        }
        if (row.attribute == 5 && !row.name1.isEmpty()) {
            tableUnderTwoAliases =
                tableUnderTwoAliases || (sources[row.name].contains(row.name1) && !row.name2.isEmpty());
            sources[row.name] << row.name1;
        }
    }
    EXPECT_EQ(kinds, (QSet<QString>{"1", "2", "3", "4", "5", "6", "9"}));
    EXPECT_EQ(hiddenPrefixes, (QSet<QString>{"~sq_f", "~sq_c", "~sq_r", "~sq_d"}));
    EXPECT_TRUE(parameters);
    EXPECT_TRUE(derivedInDerived);
    EXPECT_TRUE(tableUnderTwoAliases);

    // A chain of saved queries at least four deep, and a source that is neither a table nor a query.
    QStringList tables;
    const QJsonObject sample = QJsonDocument::fromJson(readFile(sourceFile("samples/sample.json"))).object();
    for (const auto& table : sample.value(QStringLiteral("tables")).toArray()) {
        tables << table.toObject().value(QStringLiteral("name")).toString();
    }
    std::function<int(const QString&)> depth = [&](const QString& query) {
        int deepest = 0;
        for (const QString& source : sources[query]) {
            if (sources.count(source) && source != query) {
                deepest = std::max(deepest, depth(source));
            }
        }
        return deepest + 1;
    };
    int longest = 0;
    bool missingSource = false;
    for (const auto& [query, named] : sources) {
        longest = std::max(longest, depth(query));
        for (const QString& source : named) {
            missingSource = missingSource || (!sources.count(source) && !tables.contains(source));
        }
    }
    EXPECT_GE(longest, 4);
    EXPECT_TRUE(missingSource);

    EXPECT_TRUE(runQorvel({"sql", db, "Shipper Names"}).out.startsWith("\r\n"));
}

}  // namespace
