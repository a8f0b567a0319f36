#include "app/AddinHost.h"

#include "plavo/AddinRegistry.h"

#include <QFileInfo>

namespace app {

namespace {

QString callEntryPoint(const QString& path, const char* name) {
    QLibrary library(QFileInfo(path).absoluteFilePath());
    if (!library.load()) {
        return QStringLiteral("The library '%1' cannot be loaded: %2").arg(path, library.errorString());
    }
    auto entry = reinterpret_cast<int (*)()>(library.resolve(name));
    if (!entry) {
        return QStringLiteral("The library '%1' has no entry point %2.").arg(path, QString::fromLatin1(name));
    }
    const int result = entry();
    if (result != addinserver::kOk) {
        return QStringLiteral("%1 of '%2' failed with code 0x%3.")
            .arg(QString::fromLatin1(name), path, QString::number(quint32(result), 16));
    }
    return QString();
}

}  // namespace

AddinHost::AddinHost(Reporter report) : mReport(std::move(report)) {}

AddinHost::~AddinHost() {
    disconnectAll();
}

void AddinHost::connectAll(host::Application* application, CommandBars* commandBars) {
    for (const addinregistry::AddinEntry& entry : addinregistry::entries()) {
        if (entry.loadBehavior == addinregistry::kLoadAtStartup) {
            connect(entry.progId, entry.friendlyName, entry.library, application, commandBars);
        }
    }
}

bool AddinHost::connect(const QString& progId, const QString& friendlyName, const QString& libraryPath,
                        host::Application* application, CommandBars* commandBars) {
    const QString shownName = friendlyName.isEmpty() ? progId : friendlyName;
    const auto fail = [&](const QString& problem) {
        if (mReport) {
            mReport(QStringLiteral("The add-in '%1' could not be loaded and will not be available.\n\n%2")
                        .arg(shownName, problem));
        }
        return false;
    };
    if (libraryPath.isEmpty()) {
        return fail(QStringLiteral("No library is registered for the class %1.").arg(progId));
    }
    auto library = std::make_unique<QLibrary>(libraryPath);
    if (!library->load()) {
        return fail(library->errorString());
    }
    auto getClassObject =
        reinterpret_cast<DllGetClassObjectFunction>(library->resolve(addinserver::kGetClassObject));
    if (!getClassObject) {
        return fail(QStringLiteral("The library has no entry point DllGetClassObject."));
    }
    AddinClassFactory* factory = nullptr;
    if (getClassObject(progId.toUtf8().constData(), &factory) != addinserver::kOk || !factory) {
        return fail(QStringLiteral("The library does not offer the class %1.").arg(progId));
    }
    std::unique_ptr<AddinInstance> instance;
    try {
        instance = factory->CreateInstance();
    } catch (const std::exception& error) {
        return fail(QString::fromUtf8(error.what()));
    }
    if (!instance) {
        return fail(QStringLiteral("The class %1 could not be created.").arg(progId));
    }
    bool connected = false;
    try {
        connected = instance->OnConnection(application, commandBars);
    } catch (const std::exception& error) {
        return fail(QStringLiteral("The connection failed: %1").arg(QString::fromUtf8(error.what())));
    } catch (...) {
        connected = false;
    }
    if (!connected) {
        return fail(QStringLiteral("The add-in refused the connection."));
    }
    mLoaded.push_back({progId, shownName, std::move(library), std::move(instance)});
    return true;
}

void AddinHost::disconnectAll() {
    // Newest first, as they were connected in order.
    while (!mLoaded.empty()) {
        Loaded loaded = std::move(mLoaded.back());
        mLoaded.pop_back();
        try {
            loaded.instance->OnDisconnection();
        } catch (...) {
        }
        loaded.instance.reset();
        // The library stays mapped: Qt keeps its own objects of it (metatypes, resources) until exit.
    }
}

QString AddinHost::registerLibrary(const QString& path) {
    return callEntryPoint(path, addinserver::kRegisterServer);
}

QString AddinHost::unregisterLibrary(const QString& path) {
    return callEntryPoint(path, addinserver::kUnregisterServer);
}

}  // namespace app
