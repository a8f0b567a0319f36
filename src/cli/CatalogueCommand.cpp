// qorvel catalogue DB [NAME]: the MSysQueries rows of one saved query or of all, as CSV.
#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "host/QdbDatabase.h"

namespace cli {

namespace {

const QString kName = QStringLiteral("catalogue");
const QString kSynopsis = QStringLiteral("DB [NAME]");

// The rows of every query, or (with a WHERE clause) of one; rowid is the order the engine wrote them in.
QString catalogueStatement(const QString& where) {
    return QStringLiteral(
               "SELECT MSysObjects.Name, MSysQueries.Attribute, MSysQueries.Flag, MSysQueries.Name1, "
               "MSysQueries.Name2, MSysQueries.Expression FROM MSysObjects INNER JOIN MSysQueries ON "
               "MSysObjects.Id = MSysQueries.ObjectId %1 ORDER BY MSysObjects.Id, MSysQueries.rowid;")
        .arg(where);
}

// The name as an SQL text literal.
QString textLiteral(const QString& text) {
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QLatin1String("''")) +
           QLatin1Char('\'');
}

const QStringList kColumns{QStringLiteral("Name"),  QStringLiteral("Attribute"),
                           QStringLiteral("Flag"),  QStringLiteral("Name1"),
                           QStringLiteral("Name2"), QStringLiteral("Expression")};

// A CSV field: quoted when it holds a separator, a quote or a line break, quotes doubled.
QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
        return text;
    }
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

int run(const QStringList& arguments) {
    CommandLine line(
        kName, kSynopsis,
        QStringLiteral("Prints the MSysQueries rows of the saved query NAME, or of every saved query,\n"
                       "as CSV with the header Name,Attribute,Flag,Name1,Name2,Expression: queries in\n"
                       "catalogue order, each query's rows in the engine's order. Null is an empty\n"
                       "field; a field holding a comma, a quote or a line break is quoted."),
        {}, 1, 2);
    if (const auto done = line.parse(arguments)) {
        return *done;
    }
    const auto database = openDatabase(line.positional().constFirst(), qdb::OpenMode::ReadOnly);
    if (!database) {
        return exitUsage;
    }
    const bool one = line.positional().size() == 2;
    const QString name = one ? line.positional().at(1) : QString();
    try {
        if (one) {
            database->queryDef(name);  // errItemNotFound when it is not a saved query
        }
        const auto rows = database->openRecordset(catalogueStatement(
            one ? QStringLiteral("WHERE MSysObjects.Name = %1").arg(textLiteral(name)) : QString()));
        QStringList text{kColumns.join(QLatin1Char(','))};
        for (; !rows->eof(); rows->moveNext()) {
            QStringList fields;
            for (const auto& column : kColumns) {
                fields.push_back(csvField(rows->text(column)));
            }
            text.push_back(fields.join(QLatin1Char(',')));
        }
        out() << text.join(QLatin1Char('\n')) << '\n';
    } catch (const host::Error& error) {
        return queryFailure(error, name);
    }
    return exitOk;
}

QORVEL_COMMAND({kName, kSynopsis, QStringLiteral("Prints the catalogue rows of saved queries as CSV."), run});

}  // namespace

}  // namespace cli
