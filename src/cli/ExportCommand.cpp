// qorvel export DB FILE.json: writes a database as JSON text.
#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "host/JsonDatabase.h"
#include "host/QdbDatabase.h"

#include <QSaveFile>

namespace cli {

namespace {

const QString kName = QStringLiteral("export");
const QString kSynopsis = QStringLiteral("DB FILE.json");

int run(const QStringList& arguments) {
    CommandLine line(
        kName, kSynopsis,
        QStringLiteral("Writes the tables, queries, forms and reports of DB as JSON text, indented and\n"
                       "in a fixed order, so that a database created from it exports the same text."),
        {}, 2, 2);
    if (const auto done = line.parse(arguments)) {
        return *done;
    }
    const QString path = line.positional().at(1);
    if (sameFile(path, line.positional().constFirst())) {
        return line.usageError(QStringLiteral("DB and FILE.json are the same file"));
    }
    const auto database = openDatabase(line.positional().constFirst(), qdb::OpenMode::ReadOnly);
    if (!database) {
        return exitUsage;
    }
    QByteArray json;
    try {
        json = qdb::JsonDatabase::write(qdb::JsonDatabase::read(*database));
    } catch (const std::exception& error) {
        err() << "qorvel: cannot read " << quoted(database->name()) << ": " << error.what() << '\n';
        return exitUsage;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.commit()) {
        err() << "qorvel: cannot write " << quoted(path) << ": " << file.errorString() << '\n';
        return exitUsage;
    }
    return exitOk;
}

QORVEL_COMMAND({kName, kSynopsis, QStringLiteral("Writes a database as JSON text."), run});

}  // namespace

}  // namespace cli
