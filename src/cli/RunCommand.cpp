// qorvel run DB QUERY | --sql TEXT: runs a saved query or SQL text on the engine and prints its rows, or
// the count of rows an action query changed.
#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "host/HostFunctions.h"
#include "host/QdbDatabase.h"

#include <QHash>

#include <algorithm>

namespace cli {

namespace {

const QString kName = QStringLiteral("run");
const QString kSynopsis =
    QStringLiteral("DB QUERY|--sql TEXT [--param NAME=VALUE]... [--format csv|table] [--replace]");

// A value as the output shows it: Null empty, numbers in their shortest exact form, Date/Time as
// YYYY-MM-DD (at midnight) or YYYY-MM-DD HH:MM:SS, Yes/No fields as True or False.
QString valueText(const QVariant& value, const QString& fieldType) {
    if (!value.isValid() || value.isNull()) {
        return {};
    }
    if (fieldType == QLatin1String("YesNo")) {
        return value.toLongLong() != 0 ? QStringLiteral("True") : QStringLiteral("False");
    }
    switch (value.typeId()) {
        case QMetaType::LongLong:
            return QString::number(value.toLongLong());
        case QMetaType::Double:
            return qdb::numberText(value.toDouble());
        case QMetaType::QByteArray:
            return QString::fromLatin1(value.toByteArray().toHex());
        default:
            break;
    }
    if (const auto date = qdb::storedDateTime(value)) {
        return date->time() == QTime(0, 0) ? date->date().toString(Qt::ISODate) : qdb::dateTimeText(*date);
    }
    return value.toString();
}

// RFC 4180: quoted only when the field holds a comma, a quote or a line break.
QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
        return text;
    }
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

void printCsv(const qdb::QueryResult& result) {
    QStringList header;
    for (const QString& column : result.columns) {
        header << csvField(column);
    }
    out() << header.join(QLatin1Char(',')) << '\n';
    for (int row = 0; row < result.rowCount(); ++row) {
        QStringList fields;
        for (int column = 0; column < result.columns.size(); ++column) {
            fields << csvField(valueText(result.cell(row, column), result.fieldTypes.value(column)));
        }
        out() << fields.join(QLatin1Char(',')) << '\n';
    }
}

// Columns padded to their widest value, numbers to the right, a rule under the header.
void printTable(const qdb::QueryResult& result) {
    const int columns = int(result.columns.size());
    std::vector<qsizetype> widths(size_t(columns), 0);
    std::vector<bool> numeric(size_t(columns), false);
    std::vector<QStringList> texts(size_t(result.rowCount()));
    for (int column = 0; column < columns; ++column) {
        widths[size_t(column)] = result.columns[column].size();
    }
    for (int row = 0; row < result.rowCount(); ++row) {
        for (int column = 0; column < columns; ++column) {
            const QVariant& value = result.cell(row, column);
            const QString text = valueText(value, result.fieldTypes.value(column))
                                     .replace(QLatin1Char('\n'), QLatin1Char(' '));
            texts[size_t(row)] << text;
            widths[size_t(column)] = std::max(widths[size_t(column)], text.size());
            if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Double) {
                numeric[size_t(column)] = result.fieldTypes.value(column) != QLatin1String("YesNo");
            }
        }
    }
    const auto line = [&](const QStringList& cells) {
        QStringList padded;
        for (int column = 0; column < columns; ++column) {
            const int width = int(widths[size_t(column)]);
            padded << (numeric[size_t(column)] ? cells[column].rightJustified(width)
                                               : cells[column].leftJustified(width));
        }
        QString text = padded.join(QStringLiteral("  "));
        while (text.endsWith(QLatin1Char(' '))) {
            text.chop(1);
        }
        out() << text << '\n';
    };
    line(result.columns);
    QStringList rules;
    for (int column = 0; column < columns; ++column) {
        rules << QString(widths[size_t(column)], QLatin1Char('-'));
    }
    line(rules);
    for (const QStringList& row : texts) {
        line(row);
    }
}

int run(const QStringList& arguments) {
    const QCommandLineOption sqlOption(
        QStringLiteral("sql"), QStringLiteral("Runs TEXT instead of a saved query."), QStringLiteral("TEXT"));
    const QCommandLineOption paramOption(
        QStringLiteral("param"), QStringLiteral("The value of a parameter, one option per parameter."),
        QStringLiteral("NAME=VALUE"));
    const QCommandLineOption formatOption(QStringLiteral("format"),
                                          QStringLiteral("csv (the default) or table."),
                                          QStringLiteral("FORMAT"), QStringLiteral("csv"));
    const QCommandLineOption replaceOption(
        QStringLiteral("replace"), QStringLiteral("Lets a make-table query replace an existing table."));
    CommandLine line(
        kName, kSynopsis,
        QStringLiteral("Runs the saved query QUERY of DB, or the SQL TEXT without saving it, with the\n"
                       "host's semantics. A query that returns rows prints a header line and its rows;\n"
                       "an action query changes DB and prints \"N row(s) affected.\"."),
        {sqlOption, paramOption, formatOption, replaceOption}, 1, 2);
    if (const auto done = line.parse(arguments)) {
        return *done;
    }
    const bool sql = line.isSet(sqlOption.names().constFirst());
    if (sql == (line.positional().size() == 2)) {
        return line.usageError(sql ? QStringLiteral("give either QUERY or --sql, not both")
                                   : QStringLiteral("missing QUERY or --sql TEXT"));
    }
    const QString format = line.value(formatOption.names().constFirst());
    if (format != QLatin1String("csv") && format != QLatin1String("table")) {
        return line.usageError(QStringLiteral("unknown format '%1'; use csv or table").arg(format));
    }
    QHash<QString, QString> given;
    for (const QString& parameter : line.values(paramOption.names().constFirst())) {
        const qsizetype equals = parameter.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            return line.usageError(QStringLiteral("--param takes NAME=VALUE, not '%1'").arg(parameter));
        }
        QString name = parameter.left(equals);
        name.remove(QLatin1Char('['));
        name.remove(QLatin1Char(']'));
        given.insert(name.toCaseFolded(), parameter.mid(equals + 1));
    }
    const auto database = openDatabase(line.positional().constFirst(), qdb::OpenMode::ReadWrite);
    if (!database) {
        return exitUsage;
    }
    QString missing;
    const qdb::ParameterValues values = [&](const qdb::ParameterRequest& request) -> std::optional<QVariant> {
        const auto found = given.constFind(request.name.toCaseFolded());
        if (found == given.constEnd()) {
            missing = request.name;
            return std::nullopt;
        }
        return QVariant(*found);
    };
    qdb::RunOptions options;
    options.replaceTable = line.isSet(replaceOption.names().constFirst());
    qdb::QueryResult result;
    try {
        result = sql ? database->runSql(line.value(sqlOption.names().constFirst()), values, options)
                     : database->runQuery(line.positional().at(1), values, options);
    } catch (const host::Error& error) {
        if (!missing.isEmpty()) {
            return line.usageError(
                QStringLiteral("no value for parameter '%1'; give it with --param %1=VALUE").arg(missing));
        }
        err() << "qorvel: error " << error.number() << ": " << error.description() << '\n';
        return exitNothing;
    }
    if (result.action) {
        out() << result.affected << " row(s) affected.\n";
    } else if (format == QLatin1String("table")) {
        printTable(result);
    } else {
        printCsv(result);
    }
    return exitOk;
}

QORVEL_COMMAND({kName, kSynopsis, QStringLiteral("Runs a saved query or SQL text and prints its rows."),
                run});

}  // namespace

}  // namespace cli
