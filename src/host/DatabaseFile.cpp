#include "host/DatabaseFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QUuid>

#include <cstdio>

namespace qdb {

namespace {

void removeDatabaseFiles(const QString& path) {
    for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
        QFile::remove(path + QLatin1String(suffix));
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

void buildDatabaseFile(const QString& target, bool replace, const std::function<void(QdbDatabase&)>& build) {
    checkDatabaseTarget(target, replace);
    const QFileInfo targetInfo(target);
    const QDir folder = targetInfo.absoluteDir();
    const QString building =
        folder.filePath(QStringLiteral(".%1.%2.building")
                            .arg(targetInfo.fileName(), QUuid::createUuid().toString(QUuid::WithoutBraces)));
    auto cleanUp = qScopeGuard([&] { removeDatabaseFiles(building); });
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
