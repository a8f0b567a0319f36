#include "addin/frmWatcher.h"

#include "addin/AccessConnect.h"
#include "addin/CommandBars.h"
#include "catalogue/mMainWindows.h"
#include "platform/Platform.h"
#include "platform/SettingsStore.h"
#include "platform/Timer.h"

namespace {

const QString kAppTitle = QStringLiteral("VEXOR Qorvel Editor");

void WriteSetting(const platform::Services& services, const QString& key, bool value) {
    if (auto* settings = services.settings) {
        settings->setValue(kAppTitle, QStringLiteral("Settings"), key,
                           value ? QStringLiteral("-1") : QStringLiteral("0"));
    }
}

}  // namespace

frmWatcher::frmWatcher(AddinContext& context, std::unique_ptr<platform::Timer> timer)
    : mContext(context), mTimer(std::move(timer)) {
    QObject::connect(mTimer.get(), &platform::Timer::timeout, mTimer.get(), [this] { tmrWatch_Timer(); });
    setLoadedForms(mContext.services().forms);
    markLoaded();
}

frmWatcher::~frmWatcher() {
    Unload();
}

void frmWatcher::SetInterval(int milliseconds) {
    mTimer->start(milliseconds);
}

void frmWatcher::Unload() {
    if (!mLoaded) {
        return;
    }
    mLoaded = false;
    mTimer->stop();
    mAccessConnect = nullptr;
    markUnloaded();
}

void frmWatcher::tmrWatch_Timer() {
    AccessConnect* connect = mAccessConnect;
    if (!connect || !mContext.application()) {
        return;
    }
    // Every step passes its failures over and the next one runs.
    try {
        if (connect->AddInToolbar) {
            try {
                connect->AddInToolbar->Name();
            } catch (...) {
                // The user deleted the bar.
                connect->AddInToolbar = nullptr;
            }
        }
    } catch (...) {
    }
    host::ProjectType projectType = host::ProjectType::None;
    QString fullName;
    try {
        auto& project = mContext.host().currentProject();
        fullName = project.fullName();
        projectType = project.projectType();
        const int mode = project.connectionMode();
        if (fullName.isEmpty() || projectType == host::ProjectType::ClientServer || mode == 1 || mode == 13) {
            UnloadForms(mContext);
            connect->HideMenu();
            MenuShown = false;
            LastDatabase.clear();
            return;
        }
    } catch (...) {
    }
    if (projectType != host::ProjectType::Database) {
        return;
    }
    try {
        if (auto* toolbar = dynamic_cast<CommandBarObject*>(connect->AddInToolbar)) {
            const bool visible = toolbar->Visible();
            WriteSetting(mContext.services(), QStringLiteral("ToolbarVisible"), visible);
            WriteSetting(mContext.services(), QStringLiteral("ToolbarExists"), true);
            // A hidden toolbar stops only the availability refresh: after a database was closed (which
            // hid the bar) the next one must still get its menu back.
            if (!visible && MenuShown) {
                return;
            }
        } else if (fullName.compare(LastDatabase, Qt::CaseInsensitive) != 0) {
            LastDatabase = fullName;
            MenuShown = false;
        } else if (MenuShown && !connect->ToolbarInProcess()) {
            WriteSetting(mContext.services(), QStringLiteral("ToolbarExists"), false);
        }
    } catch (...) {
    }
    try {
        if (!MenuShown) {
            connect->Show();
        }
    } catch (...) {
    }
    try {
        if (connect->AddInToolbar) {
            connect->ToolbarButtonsEnable();
        }
    } catch (...) {
    }
    MenuShown = true;
}
