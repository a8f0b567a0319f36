#include "cli/HostSession.h"

#include "catalogue/AccessApplication.h"
#include "cli/Command.h"
#include "host/HostApplication.h"
#include "host/QdbDatabase.h"
#include "platform/Platform.h"

#include <QFileInfo>

namespace cli {

HostSession::HostSession() {
    if (!platform::services().prompter) {
        platform::services().prompter = &mPrompter;
    }
}

HostSession::~HostSession() {
    if (AccessApplication == mApplication.get()) {
        AccessApplication = nullptr;
    }
    if (platform::services().prompter == &mPrompter) {
        platform::services().prompter = nullptr;
    }
}

bool HostSession::open(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        err() << "qorvel: no database file '" << path << "'\n";
        return false;
    }
    try {
        mDatabase = qdb::QdbDatabase::open(path);
        mApplication = qdb::HostApplication::create();
        mApplication->setDatabase(mDatabase);
    } catch (const std::exception& error) {
        err() << "qorvel: cannot open '" << path << "': " << error.what() << '\n';
        return false;
    }
    AccessApplication = mApplication.get();
    return true;
}

}  // namespace cli
