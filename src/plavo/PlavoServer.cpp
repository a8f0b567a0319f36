// The add-in library's server entry points and its one class, plavo.AccessConnect: the connection object
// with the desktop's platform services and windows.
#include "addin/AccessConnect.h"
#include "platform/Platform.h"
#include "platform/QtClipboard.h"
#include "platform/QtEventPump.h"
#include "platform/QtPrompter.h"
#include "platform/QtSettingsStore.h"
#include "platform/QtShell.h"
#include "platform/ShellHelpViewer.h"
#include "plavo/AddinRegistry.h"
#include "plavo/AddinServer.h"
#include "plavo/DesktopHostWindows.h"
#include "plavo/DesktopToolWindows.h"
#include "plavo/DraftRecovery.h"

#include <dlfcn.h>

#include <QFileInfo>
#include <QWidget>

#include <atomic>

#define PLAVO_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

const QString kProgId = QStringLiteral("plavo.AccessConnect");
const QString kFriendlyName = QStringLiteral("Qorvel Editor");
const QString kDescription = QStringLiteral(
    "Qorvel Editor is an add-in for Microsoft® Access® indispensable for developers who use queries as the "
    "core "
    "of their applications.");

std::atomic<int> liveInstances{0};

class PlavoInstance : public AddinInstance {
public:
    PlavoInstance()
        : mPrompter(QStringLiteral("VEXOR Qorvel Editor")), mHostWindows([this] {
              return connected() ? mConnect.context()->application()->hWndAccessApp() : 0;
          }) {
        ++liveInstances;
    }
    ~PlavoInstance() override {
        if (connected()) {
            mConnect.AddinInstance_OnDisconnection();
        }
        --liveInstances;
    }

    bool OnConnection(host::Application* application, CommandBars* commandBars) override {
        if (!application) {
            return false;
        }
        mConnect.HostCommandBars = commandBars;
        mConnect.AddinInstance_OnConnection(application);
        if (!connected() || mConnect.context()->application() != application) {
            return false;
        }
        // The drafts of unsaved editor text are offered whenever the host opens a database.
        QWidget* hostWindow = QWidget::find(WId(application->hWndAccessApp()));
        mDrafts =
            std::make_unique<DraftRecovery>(*mConnect.context(), hostWindow ? hostWindow->window() : nullptr);
        return true;
    }

    void OnDisconnection() override {
        mDrafts.reset();
        mConnect.AddinInstance_OnDisconnection();
    }

    QString GetCustomUI(const QString& ribbonId) override {
        return mConnect.IRibbonExtensibility_GetCustomUI(ribbonId);
    }

    bool InvokeRibbonCallback(const QString& callback, const QString& controlId) override {
        if (callback != QLatin1String("RunQorvel")) {
            return false;
        }
        mConnect.RunQorvel(IRibbonControl{controlId});
        return true;
    }

private:
    bool connected() const { return mConnect.context() && mConnect.context()->application(); }
    platform::Services services() {
        platform::Services services;
        services.prompter = &mPrompter;
        services.shell = &mShell;
        services.settings = &mSettings;
        services.events = &mEvents;
        services.hostWindows = &mHostWindows;
        services.clipboard = &mClipboard;
        services.help = &mHelp;
        return services;
    }

    platform::QtPrompter mPrompter;
    platform::QtShell mShell;
    platform::QtSettingsStore mSettings;
    platform::QtEventPump mEvents;
    platform::QtClipboard mClipboard;
    // Help pages open in the desktop's browser.
    platform::ShellHelpViewer mHelp{mShell};
    DesktopToolWindows mWindows;
    DesktopHostWindows mHostWindows;
    AccessConnect mConnect{services(), &mWindows};
    std::unique_ptr<DraftRecovery> mDrafts;
};

class Factory : public AddinClassFactory {
public:
    std::unique_ptr<AddinInstance> CreateInstance() override { return std::make_unique<PlavoInstance>(); }
};

QString libraryPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&liveInstances), &info) && info.dli_fname) {
        return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath();
    }
    return QString();
}

}  // namespace

PLAVO_EXPORT int DllRegisterServer() {
    const QString path = libraryPath();
    if (path.isEmpty()) {
        return addinserver::kFail;
    }
    addinregistry::writeEntry({kProgId, kFriendlyName, kDescription, addinregistry::kLoadAtStartup, path});
    return addinserver::kOk;
}

PLAVO_EXPORT int DllUnregisterServer() {
    addinregistry::removeEntry(kProgId);
    return addinserver::kOk;
}

PLAVO_EXPORT int DllGetClassObject(const char* progId, AddinClassFactory** factory) {
    if (!factory) {
        return addinserver::kFail;
    }
    *factory = nullptr;
    if (!progId || QString::fromUtf8(progId) != kProgId) {
        return addinserver::kClassNotAvailable;
    }
    static Factory instance;
    *factory = &instance;
    return addinserver::kOk;
}

PLAVO_EXPORT int DllCanUnloadNow() {
    return liveInstances == 0 ? addinserver::kOk : addinserver::kFalse;
}
