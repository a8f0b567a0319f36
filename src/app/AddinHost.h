// Loads the registered add-ins the host's way: reads the per-user add-in list, loads the library of each
// entry with load behaviour 3, creates its class through DllGetClassObject and sends the connection
// event; at exit the disconnection events. A library that cannot be loaded or connected is reported once
// and left out.
#pragma once

#include "plavo/AddinServer.h"

#include <QLibrary>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace app {

class AddinHost {
public:
    struct Loaded {
        QString progId;
        QString friendlyName;
        std::unique_ptr<QLibrary> library;
        std::unique_ptr<AddinInstance> instance;
    };
    using Reporter = std::function<void(const QString& message)>;

    explicit AddinHost(Reporter report);
    ~AddinHost();
    AddinHost(const AddinHost&) = delete;
    AddinHost& operator=(const AddinHost&) = delete;

    // Loads and connects every entry with load behaviour 3.
    void connectAll(host::Application* application, CommandBars* commandBars);
    // Loads and connects one library (an entry or a test's library); false when it was reported.
    bool connect(const QString& progId, const QString& friendlyName, const QString& libraryPath,
                 host::Application* application, CommandBars* commandBars);
    void disconnectAll();
    std::vector<Loaded>& loaded() { return mLoaded; }

    // Registers or unregisters the library as its own entry points do; the error text, or empty.
    static QString registerLibrary(const QString& path);
    static QString unregisterLibrary(const QString& path);

private:
    Reporter mReport;
    std::vector<Loaded> mLoaded;
};

}  // namespace app
