// The hidden watcher window of hosts before version 12: every 200 ms it builds the Tools-menu popup and
// binds the toolbar once a writable database is open, hides them and closes the add-in's windows when
// none is, and refreshes which toolbar buttons apply to the current object.
#pragma once

#include "catalogue/AddinContext.h"
#include "catalogue/ToolWindows.h"
#include "platform/LoadedForms.h"

#include <QString>

#include <memory>

namespace platform {
class Timer;
}

class frmWatcher : public WatcherWindow, public platform::LoadedForm {
public:
    // The timer is the platform's (a window timer on the desktop, a manual one in tests). The context is
    // not owned: the connection unloads the watcher before it lets the context go.
    frmWatcher(AddinContext& context, std::unique_ptr<platform::Timer> timer);
    ~frmWatcher() override;

    void SetAccessConnect(AccessConnect* connect) override { mAccessConnect = connect; }
    void SetInterval(int milliseconds) override;
    void Unload() override;

    QString formName() const override { return QStringLiteral("frmWatcher"); }
    void unload() override { Unload(); }

    // The tick; public so that tests can run one without waiting.
    void tmrWatch_Timer();

    bool MenuShown = false;
    QString LastDatabase;

private:
    AddinContext& mContext;
    std::unique_ptr<platform::Timer> mTimer;
    AccessConnect* mAccessConnect = nullptr;
    bool mLoaded = true;
};
