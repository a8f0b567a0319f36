#include "host/QdbDatabase.h"

#include "host/HostErrors.h"
#include "host/QdbEngine.h"

#include <QFileInfo>

namespace qdb {

std::shared_ptr<QdbDatabase> QdbDatabase::create(const QString& path) {
    if (QFileInfo::exists(path)) {
        throw host::Error(3204, QStringLiteral("Database already exists."), QStringLiteral("DAO.DBEngine"));
    }
    try {
        return std::make_shared<QdbEngine>(path, OpenMode::Create);
    } catch (const SqliteError& error) {
        throw host::Error(errCannotOpenDatabase,
                          QStringLiteral("Could not create '%1': %2").arg(path, error.message()),
                          QStringLiteral("DAO.DBEngine"));
    }
}

std::shared_ptr<QdbDatabase> QdbDatabase::open(const QString& path, OpenMode mode) {
    if (!QFileInfo(path).isFile()) {
        throw host::Error(errCannotOpenDatabase, QStringLiteral("Could not find file '%1'.").arg(path),
                          QStringLiteral("DAO.DBEngine"));
    }
    try {
        return std::make_shared<QdbEngine>(path, mode);
    } catch (const SqliteError& error) {
        if ((error.code() & 0xff) == 26 /* SQLITE_NOTADB */) {
            throw host::Error(3343, QStringLiteral("Unrecognized database format '%1'.").arg(path),
                              QStringLiteral("DAO.DBEngine"));
        }
        throw host::Error(errCannotOpenDatabase,
                          QStringLiteral("Could not open '%1': %2").arg(path, error.message()),
                          QStringLiteral("DAO.DBEngine"));
    }
}

}  // namespace qdb
