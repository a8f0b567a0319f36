// qorvel create DB --from FILE.json [--force]: builds a database from its JSON text.
#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "cli/InterruptCleanup.h"
#include "host/JsonDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QUuid>

#include <signal.h>
#include <cerrno>
#include <cstdio>

namespace cli {

namespace {

const QString kName = QStringLiteral("create");
const QString kSynopsis = QStringLiteral("DB --from FILE.json [--force]");

const char* const kDatabaseFileSuffixes[] = {"", "-journal", "-wal", "-shm"};

QStringList databaseFiles(const QString& path) {
    QStringList files;
    for (const char* suffix : kDatabaseFileSuffixes) {
        files << path + QLatin1String(suffix);
    }
    return files;
}

void removeDatabaseFiles(const QString& path) {
    for (const QString& file : databaseFiles(path)) {
        QFile::remove(file);
    }
}

// The hidden name a build of `target` runs under. It holds the process id, so that a later run can tell the
// debris of a run that was killed (its process is gone) from a build still going on beside it.
QString buildingName(const QFileInfo& target) {
    return QStringLiteral(".%1.%2-%3.building")
        .arg(target.fileName())
        .arg(QCoreApplication::applicationPid())
        .arg(QUuid::createUuid().toString(QUuid::WithoutBraces));
}

// Removes what earlier runs for the same target left when they were killed (SIGKILL, a power cut): their
// hidden databases with the -wal and -shm files beside them.
void removeDebris(const QDir& folder, const QFileInfo& target) {
    const QString prefix = QLatin1Char('.') + target.fileName() + QLatin1Char('.');
    const QStringList found =
        folder.entryList({prefix + QStringLiteral("*.building*")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : found) {
        QString base = name;
        for (const char* suffix : kDatabaseFileSuffixes) {
            if (*suffix && base.endsWith(QLatin1String(suffix))) {
                base.chop(qsizetype(qstrlen(suffix)));
            }
        }
        if (!base.endsWith(QLatin1String(".building"))) {
            continue;
        }
        // Either "<pid>-<uuid>", or a bare uuid from before the id was part of the name.
        const QString run = base.mid(prefix.size()).chopped(9);
        bool numeric = false;
        const qint64 pid = run.section(u'-', 0, 0).toLongLong(&numeric);
        if (numeric && run.count(u'-') == 5 && pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM)) {
            continue;  // still running
        }
        QFile::remove(folder.filePath(name));
    }
}

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
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() && !targetInfo.isFile()) {
        err() << "qorvel: cannot create " << quoted(target) << ": not a file\n";
        return exitUsage;
    }
    if (targetInfo.exists() && !line.isSet(QStringLiteral("force"))) {
        err() << "qorvel: " << quoted(target) << " exists; use --force to replace it\n";
        return exitUsage;
    }
    const QDir folder = targetInfo.absoluteDir();
    if (!folder.exists()) {
        err() << "qorvel: cannot create " << quoted(target) << ": no folder " << quoted(folder.path())
              << '\n';
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

    // The database is built under a hidden name beside the target and renamed into place only when complete,
    // so a failure never leaves a partial file and --force keeps the old one until then.
    removeDebris(folder, targetInfo);
    const QString building = folder.filePath(buildingName(targetInfo));
    auto cleanUp = qScopeGuard([&] { removeDatabaseFiles(building); });
    const FilesRemovedOnInterrupt interrupted(databaseFiles(building));
    try {
        auto database = qdb::QdbDatabase::create(building);
        qdb::JsonDatabase::build(*database, spec);
    } catch (const qdb::JsonDatabaseError& error) {
        err() << "qorvel: " << error.message() << '\n';
        return exitUsage;
    } catch (const std::exception& error) {
        err() << "qorvel: cannot create " << quoted(target) << ": " << error.what() << '\n';
        return exitUsage;
    }
    // Without --force a file that appeared meanwhile is still not replaced.
    if (!line.isSet(QStringLiteral("force")) && QFileInfo::exists(target)) {
        err() << "qorvel: " << quoted(target) << " exists; use --force to replace it\n";
        return exitUsage;
    }
    // rename() replaces the target in one step.
    if (std::rename(QFile::encodeName(building).constData(), QFile::encodeName(target).constData()) != 0) {
        err() << "qorvel: cannot create " << quoted(target) << ": " << qt_error_string() << '\n';
        return exitUsage;
    }
    cleanUp.dismiss();
    return exitOk;
}

QORVEL_COMMAND({kName, kSynopsis, QStringLiteral("Builds a database from its JSON text."), run});

}  // namespace

}  // namespace cli
