#include "cli/HostSession.h"

#include "cli/CommandLine.h"
#include "host/HostApplication.h"
#include "host/QdbDatabase.h"
#include "platform/Platform.h"

namespace cli {

namespace {

const std::pair<host::ObjectType, QLatin1StringView> kTypeWords[] = {
    {host::ObjectType::Table, QLatin1StringView("table")},
    {host::ObjectType::Query, QLatin1StringView("query")},
    {host::ObjectType::Form, QLatin1StringView("form")},
    {host::ObjectType::Report, QLatin1StringView("report")},
};

}  // namespace

std::optional<host::ObjectType> objectTypeNamed(const QString& word) {
    for (const auto& [type, text] : kTypeWords) {
        if (word.compare(text, Qt::CaseInsensitive) == 0) {
            return type;
        }
    }
    return std::nullopt;
}

QString objectTypeWord(host::ObjectType type) {
    for (const auto& [known, text] : kTypeWords) {
        if (known == type) {
            return text;
        }
    }
    return QString();
}

QList<host::ObjectRef> objectsNamed(const QString& name, host::Database& database) {
    QList<host::ObjectRef> found;
    for (const auto& [type, text] : kTypeWords) {
        if (std::optional<host::ObjectRef> object = database.findObject(type, name)) {
            found.append(std::move(*object));
        }
    }
    return found;
}

HostSession::HostSession() = default;

// The context first: it refers to the application.
HostSession::~HostSession() {
    mContext.reset();
}

bool HostSession::open(const QString& path) {
    // Commands that run the add-in write temporary queries.
    mDatabase = openDatabase(path, qdb::OpenMode::ReadWrite);
    if (!mDatabase) {
        return false;
    }
    mApplication = qdb::HostApplication::create();
    mApplication->setDatabase(mDatabase);
    platform::Services services;
    services.prompter = &mPrompter;
    mContext = std::make_unique<AddinContext>(mApplication.get(), std::move(services));
    return true;
}

}  // namespace cli
