// The analyser against reference files: data/NAME.sql holds a query, data/NAME.rows the type code and the
// catalogue rows expected for it. Set QORVEL_UPDATE_REFERENCES=1 to rewrite the .rows files from the current
// output (then review the diff). data/errors.txt lists texts that must fail, with their number and message.
#include "host/jet/Analyser.h"

#include "common/TextFiles.h"
#include "hostapi/host.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTextStream>

namespace {

const QString kDataDir = QStringLiteral(QORVEL_TEST_DATA_DIR);

// Line breaks, the column separator and the escape character itself are escaped, so that one row is one
// line of the reference file.
QString field(const QVariant& value) {
    if (value.isNull()) {
        return QStringLiteral("<null>");
    }
    QString text = value.toString();
    text.replace(u'\\', QLatin1String("\\\\"));
    text.replace(u'|', QLatin1String("\\|"));
    text.replace(u'\r', QLatin1String("\\r"));
    text.replace(u'\n', QLatin1String("\\n"));
    return text;
}

QString render(const jet::QueryAnalysis& analysis) {
    QString text = QStringLiteral("type %1\n").arg(analysis.type);
    for (const jet::CatalogueRow& row : analysis.rows) {
        text += QStringLiteral("%1|%2|%3|%4|%5\n")
                    .arg(row.attribute)
                    .arg(field(row.flag), field(row.name1), field(row.name2), field(row.expression));
    }
    return text;
}

QStringList referenceNames() {
    QStringList names;
    for (const QFileInfo& info :
         QDir(kDataDir).entryInfoList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name)) {
        names << info.completeBaseName();
    }
    return names;
}

class Reference : public testing::TestWithParam<QString> {};

TEST_P(Reference, GivesTheExpectedRows) {
    const QString sql = readTextFile(kDataDir + u'/' + GetParam() + QLatin1String(".sql"));
    const QString rowsPath = kDataDir + u'/' + GetParam() + QLatin1String(".rows");
    QString actual;
    try {
        actual = render(jet::analyse(sql));
    } catch (const host::Error& error) {
        FAIL() << error.number() << " " << error.description().toStdString();
    }
    if (qEnvironmentVariableIsSet("QORVEL_UPDATE_REFERENCES")) {
        QFile file(rowsPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(actual.toUtf8());
        return;
    }
    EXPECT_EQ(actual.toStdString(), readTextFile(rowsPath).toStdString());
}

// The subquery expansion saves every derived table and union part as a query of its own: its text must be
// a statement the analyser accepts.
TEST_P(Reference, SourceExpressionsAreQueriesThemselves) {
    const jet::QueryAnalysis analysis =
        jet::analyse(readTextFile(kDataDir + u'/' + GetParam() + QLatin1String(".sql")));
    for (const jet::CatalogueRow& row : analysis.rows) {
        if (row.attribute == 5 && !row.expression.isNull()) {
            EXPECT_FALSE(row.name2.isNull()) << row.expression.toString().toStdString();
            EXPECT_NO_THROW(jet::analyse(row.expression.toString()))
                << row.expression.toString().toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Analyser, Reference, testing::ValuesIn(referenceNames()),
                         [](const testing::TestParamInfo<QString>& info) {
                             return info.param.toStdString();
                         });

struct ErrorCase {
    QString sql;
    int number = 0;
    QString description;
};

// errors.txt: blocks of an "sql:" line (\n stands for a line break) and an "error:" line with the number and
// the description; blank lines and lines starting with "#" between blocks are ignored.
std::vector<ErrorCase> errorCases() {
    std::vector<ErrorCase> cases;
    const QStringList lines = readTextFile(kDataDir + QLatin1String("/errors.txt")).split(u'\n');
    ErrorCase current;
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1String("sql:"))) {
            current.sql = line.mid(4).trimmed().replace(QLatin1String("\\n"), QLatin1String("\n"));
            if (line.mid(4).trimmed() == QLatin1String("<empty>")) {
                current.sql.clear();
            }
        } else if (line.startsWith(QLatin1String("error:"))) {
            const QString rest = line.mid(6).trimmed();
            current.number = rest.section(u' ', 0, 0).toInt();
            current.description = rest.section(u' ', 1);
            cases.push_back(current);
        }
    }
    return cases;
}

TEST(AnalyserErrors, BrokenTextFailsWithTheHostsNumberAndMessage) {
    const std::vector<ErrorCase> cases = errorCases();
    ASSERT_FALSE(cases.empty());
    for (const ErrorCase& errorCase : cases) {
        SCOPED_TRACE(errorCase.sql.toStdString());
        try {
            jet::analyse(errorCase.sql);
            ADD_FAILURE() << "no error";
        } catch (const host::Error& error) {
            EXPECT_EQ(error.number(), errorCase.number);
            EXPECT_EQ(error.description().toStdString(), errorCase.description.toStdString());
            EXPECT_EQ(error.source(), QLatin1String("DAO.QueryDef"));
        }
    }
}

TEST(Analyser, AcceptsTheDialect) {
    const QStringList lines = readTextFile(kDataDir + QLatin1String("/accepted.txt")).split(u'\n');
    int count = 0;
    for (const QString& line : lines) {
        if (line.isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        const QString sql = line.section(u'|', 1).replace(QLatin1String("\\n"), QLatin1String("\n"));
        SCOPED_TRACE(sql.toStdString());
        try {
            EXPECT_EQ(jet::analyse(sql).type, line.section(u'|', 0, 0).toInt());
        } catch (const host::Error& error) {
            ADD_FAILURE() << error.number() << " " << error.description().toStdString();
        }
        ++count;
    }
    EXPECT_GT(count, 0);
}

// Every prefix of a valid query, and every copy with one character removed, either analyses or fails with
// one of the two numbers the editor handles; nothing else escapes, and nothing crashes.
TEST(AnalyserErrors, DamagedQueriesFailOnlyWithTheEditorsNumbers) {
    for (const QString& name : referenceNames()) {
        const QString sql = readTextFile(kDataDir + u'/' + name + QLatin1String(".sql"));
        QStringList damaged;
        for (qsizetype i = 0; i < sql.size(); ++i) {
            damaged << sql.left(i) << sql.left(i) + sql.mid(i + 1);
        }
        for (const QString& text : damaged) {
            try {
                jet::analyse(text);
            } catch (const host::Error& error) {
                if (error.number() != 3075 && error.number() != 3129) {
                    ADD_FAILURE() << error.number() << " for " << text.toStdString();
                }
            }
        }
    }
}

// Nesting beyond any real query must end in the host's error, not in a stack overflow.
TEST(AnalyserErrors, AbsurdNestingFailsCleanly) {
    const QString parentheses =
        QStringLiteral("SELECT a FROM t WHERE ") + QString(100000, u'(') + u'1' + QString(100000, u')');
    const QString derived = QStringLiteral("SELECT * FROM ") +
                            QStringLiteral("(SELECT * FROM ").repeated(5000) + u't' + QString(5000, u')');
    for (const QString& sql : {parentheses, derived}) {
        try {
            jet::analyse(sql);
            ADD_FAILURE() << "no error";
        } catch (const host::Error& error) {
            EXPECT_EQ(error.number(), 3075);
            EXPECT_EQ(error.description(), QLatin1String("Query is too complex."));
        }
    }
}

// Derived tables and union parts nest as deep as a person writes them; each level stays one source row of
// the level above.
TEST(Analyser, ModerateNestingIsAccepted) {
    QString sql = QStringLiteral("SELECT a FROM t");
    for (int level = 0; level < 20; ++level) {
        sql = QStringLiteral("SELECT a FROM (%1) AS x%2 UNION SELECT a FROM u").arg(sql).arg(level);
    }
    const jet::QueryAnalysis analysis = jet::analyse(sql);
    EXPECT_EQ(analysis.type, 128);
}

// Derived tables joined inside parentheses, nested deep: each level is read once (reading it twice per level
// took seconds at 20 levels and never finished at 40), both when the text is sound and when its tail is
// broken.
TEST(Analyser, NestedJoinedDerivedTablesAreReadOnce) {
    for (const QString& tail : {QStringLiteral("t"), QStringLiteral("t WHERE")}) {
        QString from = tail;
        for (int level = 1; level <= 60; ++level) {
            from = QStringLiteral("((SELECT a FROM %1) AS X%2 INNER JOIN u%2 ON X%2.a = u%2.a)")
                       .arg(from)
                       .arg(level);
        }
        const QString sql = QStringLiteral("SELECT * FROM ") + from;
        SCOPED_TRACE(tail.toStdString());
        if (tail == QLatin1String("t")) {
            const jet::QueryAnalysis analysis = jet::analyse(sql);
            const auto sources =
                std::count_if(analysis.rows.begin(), analysis.rows.end(),
                              [](const jet::CatalogueRow& row) { return row.attribute == 5; });
            EXPECT_EQ(sources, 2);
        } else {
            EXPECT_THROW(jet::analyse(sql), host::Error);
        }
    }
}

}  // namespace
