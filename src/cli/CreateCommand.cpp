// qorvel create DB --from FILE.json [--force]: builds a database from its JSON text.
#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "cli/InterruptCleanup.h"
#include "host/DatabaseFile.h"
#include "host/JsonDatabase.h"

#include <QFile>

namespace cli {

namespace {

const QString kName = QStringLiteral("create");
const QString kSynopsis = QStringLiteral("DB --from FILE.json [--force]");

int run(const QStringList& arguments) {
    const QCommandLineOption from(QStringLiteral("from"),
                                  QStringLiteral("The JSON text to build from (required)."),
                                  QStringLiteral("FILE.json"));
    const QCommandLineOption force(QStringLiteral("force"), QStringLiteral("Replaces DB when it exists."));
    CommandLine line(
        kName, kSynopsis,
        QStringLiteral("Builds the database DB from the tables, queries, forms and reports of a JSON\n"
                       "file. Nothing is written when the input is bad: DB appears only once it is\n"
                       "complete, and an existing DB is kept until then."),
        {from, force}, 1, 1);
    if (const auto done = line.parse(arguments)) {
        return *done;
    }
    if (!line.isSet(QStringLiteral("from"))) {
        return line.usageError(QStringLiteral("--from FILE.json is required"));
    }
    const QString target = line.positional().constFirst();
    const QString source = line.value(QStringLiteral("from"));

    if (sameFile(target, source)) {
        return line.usageError(QStringLiteral("DB and FILE.json are the same file"));
    }
    try {
        qdb::checkDatabaseTarget(target, line.isSet(QStringLiteral("force")));
    } catch (const qdb::DatabaseFileError& error) {
        err() << "qorvel: " << error.message() << '\n';
        return exitUsage;
    }
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly)) {
        err() << "qorvel: cannot read " << quoted(source) << ": " << file.errorString() << '\n';
        return exitUsage;
    }
    qdb::DatabaseSpec spec;
    try {
        spec = qdb::JsonDatabase::parse(file.readAll());
    } catch (const qdb::JsonDatabaseError& error) {
        err() << "qorvel: " << source << ": " << error.message() << '\n';
        return exitUsage;
    }

    try {
        qdb::buildDatabaseFile(
            target, line.isSet(QStringLiteral("force")),
            [&](qdb::QdbDatabase& database) { qdb::JsonDatabase::build(database, spec); }, removeOnInterrupt);
    } catch (const qdb::DatabaseFileError& error) {
        err() << "qorvel: " << error.message() << '\n';
        return exitUsage;
    } catch (const qdb::JsonDatabaseError& error) {
        err() << "qorvel: " << error.message() << '\n';
        return exitUsage;
    } catch (const std::exception& error) {
        err() << "qorvel: cannot create " << quoted(target) << ": " << error.what() << '\n';
        return exitUsage;
    }
    return exitOk;
}

QORVEL_COMMAND({kName, kSynopsis, QStringLiteral("Builds a database from its JSON text."), run});

}  // namespace

}  // namespace cli
