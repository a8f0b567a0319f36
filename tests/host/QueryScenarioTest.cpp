// Running queries with the host's semantics: the statements of data/run_scenario.txt run in order on the
// database of data/run_scenario.json, each result compared with the one worked out by hand.
#include "HostTestSupport.h"

#include "host/HostFunctions.h"
#include "host/JsonDatabase.h"

#include "common/QStringPrinter.h"
#include "common/TextFiles.h"

#include <QFile>

namespace {

struct Statement {
    QString title;
    int line = 0;
    QString sql;
    QString query;  // a saved query to run instead of sql
    QHash<QString, QString> parameters;
    bool cancel = false;
    std::optional<QStringList> asked;
    bool replace = false;
    QStringList expected;
};

std::vector<Statement> readScenario(const QString& path) {
    std::vector<Statement> statements;
    const QStringList lines = readTextFile(path).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.startsWith(QLatin1String("== "))) {
            statements.push_back({line.mid(3), i + 1, {}, {}, {}, false, {}, false, {}});
            continue;
        }
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')) || statements.empty()) {
            continue;
        }
        Statement& statement = statements.back();
        if (line.startsWith(QLatin1String("@query "))) {
            statement.query = line.mid(7);
        } else if (line.startsWith(QLatin1String("@param "))) {
            const QString pair = line.mid(7);
            const qsizetype equals = pair.indexOf(QLatin1Char('='));
            statement.parameters.insert(pair.left(equals).toCaseFolded(), pair.mid(equals + 1));
        } else if (line == u"@cancel") {
            statement.cancel = true;
        } else if (line.startsWith(QLatin1String("@asked "))) {
            statement.asked = line.mid(7).split(QLatin1Char('|'));
        } else if (line == u"@replace") {
            statement.replace = true;
        } else if (line.startsWith(QLatin1String("> ")) || line == u">") {
            statement.expected << line.mid(2);
        } else if (line.startsWith(QLatin1String("! "))) {
            statement.expected << line;
        } else {
            statement.sql += (statement.sql.isEmpty() ? QString() : QStringLiteral("\n")) + line;
        }
    }
    return statements;
}

QString valueText(const QVariant& value, const QString& fieldType) {
    if (!value.isValid() || value.isNull()) {
        return QStringLiteral("<null>");
    }
    if (fieldType == QLatin1String("YesNo")) {
        return value.toLongLong() != 0 ? QStringLiteral("True") : QStringLiteral("False");
    }
    if (value.typeId() == QMetaType::Double) {
        return qdb::numberText(value.toDouble());
    }
    if (value.typeId() == QMetaType::QString) {
        if (const auto date = qdb::storedDateTime(value)) {
            return date->time() == QTime(0, 0) ? date->date().toString(Qt::ISODate)
                                               : qdb::dateTimeText(*date);
        }
    }
    return value.toString();
}

QStringList resultLines(const qdb::QueryResult& result) {
    if (result.action) {
        return {QStringLiteral("%1 row(s) affected.").arg(result.affected)};
    }
    QStringList lines{result.columns.join(QLatin1Char('|'))};
    for (int row = 0; row < result.rowCount(); ++row) {
        QStringList values;
        for (int column = 0; column < result.columns.size(); ++column) {
            values << valueText(result.cell(row, column), result.fieldTypes.value(column));
        }
        lines << values.join(QLatin1Char('|'));
    }
    return lines;
}

class QueryScenarioTest : public DatabaseTest {};

TEST_F(QueryScenarioTest, StatementsGiveTheRowsWorkedOutByHand) {
    QFile json(QStringLiteral(QORVEL_TEST_DATA_DIR "/run_scenario.json"));
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    qdb::JsonDatabase::build(*db, qdb::JsonDatabase::parse(json.readAll()));

    const std::vector<Statement> statements =
        readScenario(QStringLiteral(QORVEL_TEST_DATA_DIR "/run_scenario.txt"));
    for (const Statement& statement : statements) {
        SCOPED_TRACE(QStringLiteral("line %1: %2").arg(statement.line).arg(statement.title).toStdString());
        QStringList asked;
        const qdb::ParameterValues values =
            [&](const qdb::ParameterRequest& request) -> std::optional<QVariant> {
            asked << request.name;
            const auto found = statement.parameters.constFind(request.name.toCaseFolded());
            if (statement.cancel || found == statement.parameters.constEnd()) {
                EXPECT_TRUE(statement.cancel) << "asked for " << request.name.toStdString();
                return std::nullopt;
            }
            return QVariant(*found);
        };
        qdb::RunOptions options;
        options.replaceTable = statement.replace;
        QStringList actual;
        try {
            actual = resultLines(statement.query.isEmpty() ? db->runSql(statement.sql, values, options)
                                                           : db->runQuery(statement.query, values, options));
        } catch (const host::Error& error) {
            actual << QStringLiteral("! %1").arg(error.number());
            if (statement.expected.value(0) != actual.front()) {
                actual << error.description();
            }
        }
        EXPECT_EQ(actual, statement.expected);
        if (statement.asked) {
            EXPECT_EQ(asked, *statement.asked);
        }
    }
    EXPECT_GE(statements.size(), 60u);
}

}  // namespace
