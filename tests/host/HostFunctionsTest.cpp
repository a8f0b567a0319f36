// The host's functions and operator functions, called on a bare connection; every call and its result
// are in data/host_functions.txt.
#include "host/HostErrors.h"
#include "host/HostFunctions.h"
#include "host/HostText.h"
#include "host/SqliteConnection.h"

#include "common/QStringPrinter.h"
#include "common/TextFiles.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// One result as the reference file writes it.
QString resultText(qdb::SqliteConnection& connection, const QString& expression) {
    try {
        try {
            // Called by quoted name, as the translator writes calls: Left and IsNull are words of SQLite.
            static const QRegularExpression call(QStringLiteral("\\b([A-Za-z_]\\w*)\\("));
            QString sql = expression;
            sql.replace(call, QStringLiteral("\"\\1\"("));
            auto statement = connection.prepare(QStringLiteral("SELECT ") + sql);
            statement.step();
            const QVariant value = statement.value(0);
            if (!value.isValid()) {
                return QStringLiteral("<null>");
            }
            if (value.typeId() == QMetaType::QString) {
                return QLatin1Char('"') + value.toString() + QLatin1Char('"');
            }
            if (value.typeId() == QMetaType::Double) {
                return qdb::numberText(value.toDouble());
            }
            return value.toString();
        } catch (const qdb::SqliteError& error) {
            qdb::throwStatementError(error, qdb::kSourceDatabase);
        }
    } catch (const host::Error& error) {
        return QLatin1Char('#') + QString::number(error.number());
    }
}

TEST(HostFunctionsTest, ReferenceCalls) {
    qdb::SqliteConnection connection(QStringLiteral(":memory:"), true);
    qdb::registerHostText(connection.handle());
    qdb::registerHostFunctions(connection.handle());
    const QStringList lines =
        readTextFile(QStringLiteral(QORVEL_TEST_DATA_DIR "/host_functions.txt")).split(QLatin1Char('\n'));
    int calls = 0;
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        const qsizetype arrow = line.lastIndexOf(QLatin1String(" => "));
        ASSERT_GT(arrow, 0) << line.toStdString();
        EXPECT_EQ(resultText(connection, line.left(arrow)), line.mid(arrow + 4)) << line.toStdString();
        ++calls;
    }
    EXPECT_GT(calls, 150);
}

TEST(HostFunctionsTest, AggregatesFollowTheHostsNullRules) {
    qdb::SqliteConnection connection(QStringLiteral(":memory:"), true);
    qdb::registerHostFunctions(connection.handle());
    connection.exec(
        QStringLiteral("CREATE TABLE t (g INTEGER, v REAL); INSERT INTO t VALUES (1, NULL), (1, 2), "
                       "(1, 4), (1, NULL), (2, 5), (3, NULL);"));
    auto statement = connection.prepare(QStringLiteral(
        "SELECT g, First(v), Last(v), StDev(v), StDevP(v), Var(v), VarP(v), Sum(v), Count(v) FROM t "
        "GROUP BY g ORDER BY g"));
    QStringList rows;
    while (statement.step()) {
        QStringList values;
        for (int i = 0; i < statement.columnCount(); ++i) {
            const QVariant value = statement.value(i);
            values << (value.isValid() ? qdb::numberText(value.toDouble()) : QStringLiteral("-"));
        }
        rows << values.join(QLatin1Char(' '));
    }
    // Group 1: values 2 and 4, mean 3: sample variance 2, population variance 1.
    EXPECT_EQ(rows, QStringList({QStringLiteral("1 - - 1.4142135623730951 1 2 1 6 2"),
                                 QStringLiteral("2 5 5 - 0 - 0 5 1"), QStringLiteral("3 - - - - - - - 0")}));
}

TEST(HostFunctionsTest, SumsOfCurrencyAmountsAreExact) {
    qdb::SqliteConnection connection(QStringLiteral(":memory:"), true);
    qdb::registerHostFunctions(connection.handle());
    connection.exec(
        QStringLiteral("CREATE TABLE t (g INTEGER, v); INSERT INTO t VALUES (1, 0.1), (1, 0.2), (1, 19.45), "
                       "(1, NULL), (2, 1), (2, 2), (2, 4), (3, 0.5), (3, 0.00001), (4, NULL), "
                       "(5, 9223372036854775807), (5, 1);"));
    auto statement =
        connection.prepare(QStringLiteral("SELECT host_sum(v), host_avg(v) FROM t GROUP BY g ORDER BY g"));
    QStringList rows;
    while (statement.step()) {
        QStringList values;
        for (int i = 0; i < 2; ++i) {
            const QVariant value = statement.value(i);
            values << (!value.isValid()                        ? QStringLiteral("-")
                       : value.typeId() == QMetaType::LongLong ? value.toString() + u'i'
                                                               : qdb::numberText(value.toDouble()));
        }
        rows << values.join(QLatin1Char(' '));
    }
    // 0.1 + 0.2 + 19.45 as doubles is 19.749999999999996; the host's Currency adds exactly. Whole numbers
    // stay whole; a value of more than four decimals, or an overflow, falls back to doubles.
    EXPECT_EQ(rows,
              QStringList({QStringLiteral("19.75 6.583333333333333"), QStringLiteral("7i 2.3333333333333335"),
                           QStringLiteral("0.50001 0.250005"), QStringLiteral("- -"),
                           QStringLiteral("9223372036854775808 4611686018427387904")}));
}

TEST(HostFunctionsTest, NumbersPrintInTheirShortestExactForm) {
    EXPECT_EQ(qdb::numberText(0.1), QStringLiteral("0.1"));
    EXPECT_EQ(qdb::numberText(100000), QStringLiteral("100000"));
    EXPECT_EQ(qdb::numberText(-2.5e-7), QStringLiteral("-0.00000025"));
    EXPECT_EQ(qdb::numberText(1.0 / 3), QStringLiteral("0.3333333333333333"));
}

}  // namespace
