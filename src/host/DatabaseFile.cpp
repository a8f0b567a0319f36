#include "host/DatabaseFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QUuid>

#include <signal.h>
#include <cerrno>
#include <cstdio>

namespace qdb {

namespace {

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

}  // namespace

QString quotedPath(const QString& path) {
    return QLatin1Char('\'') + path + QLatin1Char('\'');
}

void checkDatabaseTarget(const QString& target, bool replace) {
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() && !targetInfo.isFile()) {
        throw DatabaseFileError(QStringLiteral("cannot create %1: not a file").arg(quotedPath(target)));
    }
    if (targetInfo.exists() && !replace) {
        throw DatabaseFileError(
            QStringLiteral("%1 exists; use --force to replace it").arg(quotedPath(target)));
    }
    const QDir folder = targetInfo.absoluteDir();
    if (!folder.exists()) {
        throw DatabaseFileError(QStringLiteral("cannot create %1: no folder %2")
                                    .arg(quotedPath(target), quotedPath(folder.path())));
    }
}

void buildDatabaseFile(const QString& target, bool replace, const std::function<void(QdbDatabase&)>& build,
                       const std::function<std::shared_ptr<void>(const QStringList&)>& watch) {
    checkDatabaseTarget(target, replace);
    const QFileInfo targetInfo(target);
    const QDir folder = targetInfo.absoluteDir();
    removeDebris(folder, targetInfo);
    const QString building = folder.filePath(buildingName(targetInfo));
    auto cleanUp = qScopeGuard([&] { removeDatabaseFiles(building); });
    const auto watching = watch ? watch(databaseFiles(building)) : nullptr;
    {
        // Closed before the rename, so that no journal is left beside the finished file.
        auto database = QdbDatabase::create(building);
        build(*database);
    }
    // Without replace a file that appeared meanwhile is still not replaced.
    if (!replace && QFileInfo::exists(target)) {
        throw DatabaseFileError(
            QStringLiteral("%1 exists; use --force to replace it").arg(quotedPath(target)));
    }
    // rename() replaces the target in one step.
    if (std::rename(QFile::encodeName(building).constData(), QFile::encodeName(target).constData()) != 0) {
        throw DatabaseFileError(
            QStringLiteral("cannot create %1: %2").arg(quotedPath(target), qt_error_string()));
    }
    removeDatabaseFiles(building);
    cleanUp.dismiss();
}

}  // namespace qdb
