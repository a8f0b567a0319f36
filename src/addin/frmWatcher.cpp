#include "addin/frmWatcher.h"

#include "addin/AccessConnect.h"
#include "addin/CommandBars.h"
#include "catalogue/AccessApplication.h"
#include "catalogue/mMainWindows.h"
#include "platform/Platform.h"
#include "platform/SettingsStore.h"
#include "platform/Timer.h"

namespace {

const QString kAppTitle = QStringLiteral("VEXOR Qorvel Editor");

void WriteSetting(const QString& key, bool value) {
    if (auto* settings = platform::services().settings) {
        settings->setValue(kAppTitle, QStringLiteral("Settings"), key,
                           value ? QStringLiteral("-1") : QStringLiteral("0"));
    }
}

}  // namespace

frmWatcher::frmWatcher(std::unique_ptr<platform::Timer> timer) : mTimer(std::move(timer)) {
    QObject::connect(mTimer.get(), &platform::Timer::timeout, mTimer.get(), [this] { tmrWatch_Timer(); });
    platform::registerForm(this);
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
    platform::unregisterForm(this);
}

void frmWatcher::tmrWatch_Timer() {
    AccessConnect* connect = mAccessConnect;
    if (!connect || !AccessApplication) {
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
    int projectType = 0;
    QString fullName;
    try {
        auto& project = Host().currentProject();
        fullName = project.fullName();
        projectType = project.projectType();
        const int mode = project.connectionMode();
        if (fullName.isEmpty() || projectType == host::acProjectTypeClientServer || mode == 1 || mode == 13) {
            UnloadForms();
            connect->HideMenu();
            MenuShown = false;
            LastDatabase.clear();
            return;
        }
    } catch (...) {
    }
    if (projectType != host::acProjectTypeDatabase) {
        return;
    }
    try {
        if (auto* toolbar = dynamic_cast<CommandBarObject*>(connect->AddInToolbar)) {
            const bool visible = toolbar->Visible();
            WriteSetting(QStringLiteral("ToolbarVisible"), visible);
            WriteSetting(QStringLiteral("ToolbarExists"), true);
            // A hidden toolbar stops only the availability refresh: after a database was closed (which
            // hid the bar) the next one must still get its menu back.
            if (!visible && MenuShown) {
                return;
            }
        } else if (fullName.compare(LastDatabase, Qt::CaseInsensitive) != 0) {
            LastDatabase = fullName;
            MenuShown = false;
        } else if (MenuShown && !connect->ToolbarInProcess()) {
            WriteSetting(QStringLiteral("ToolbarExists"), false);
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
