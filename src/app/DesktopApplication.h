// The host application object that the add-in is given: the stand-in's state (current object, version,
// object states, DoCmd) with the desktop's own answers where a window has to appear, such as the query
// wizards that Run starts.
#pragma once

#include "hostapi/host.h"

#include <functional>

namespace qdb {
class HostApplication;
}

namespace app {

class DesktopApplication : public host::Application {
public:
    // Shows the wizard of a named entry point; false when the name is not one of the host's wizards.
    using WizardRunner = std::function<bool(const QString& procedure)>;

    DesktopApplication(qdb::HostApplication& state, WizardRunner wizards);

    std::optional<host::ObjectRef> currentObject() override;
    QString accessVersion() override;
    host::ObjectStates objectState(const host::ObjectRef& object) override;
    std::shared_ptr<host::Database> currentDb() override;
    host::CurrentProject& currentProject() override;
    host::AccessObjectState allQueries(const QString& name) override;
    QString formRecordSource(const QString& form) override;
    QString reportRecordSource(const QString& report) override;
    host::DoCmd& doCmd() override;
    host::Screen& screen() override;
    void echo(bool on) override;
    void refreshDatabaseWindow() override;
    quintptr hWndAccessApp() override;
    long dCount(const QString& expression, const QString& domain, const QString& criteria) override;
    QVariant run(const QString& procedure) override;
    void sendKeys(const QString& keys, bool wait) override;

private:
    qdb::HostApplication& mState;
    WizardRunner mWizards;
};

}  // namespace app
