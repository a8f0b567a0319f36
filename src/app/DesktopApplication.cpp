#include "app/DesktopApplication.h"

#include "host/HostApplication.h"

namespace app {

DesktopApplication::DesktopApplication(qdb::HostApplication& state, WizardRunner wizards)
    : mState(state), mWizards(std::move(wizards)) {}

std::optional<host::ObjectRef> DesktopApplication::currentObject() {
    return mState.currentObject();
}
QString DesktopApplication::accessVersion() {
    return mState.accessVersion();
}

host::ObjectStates DesktopApplication::objectState(const host::ObjectRef& object) {
    return mState.objectState(object);
}
std::shared_ptr<host::Database> DesktopApplication::currentDb() {
    return mState.currentDb();
}
host::CurrentProject& DesktopApplication::currentProject() {
    return mState.currentProject();
}
host::AccessObjectState DesktopApplication::allQueries(const QString& name) {
    return mState.allQueries(name);
}
QString DesktopApplication::formRecordSource(const QString& form) {
    return mState.formRecordSource(form);
}
QString DesktopApplication::reportRecordSource(const QString& report) {
    return mState.reportRecordSource(report);
}
host::DoCmd& DesktopApplication::doCmd() {
    return mState.doCmd();
}
host::Screen& DesktopApplication::screen() {
    return mState.screen();
}
void DesktopApplication::echo(bool on) {
    mState.echo(on);
}
void DesktopApplication::refreshDatabaseWindow() {
    mState.refreshDatabaseWindow();
}
quintptr DesktopApplication::hWndAccessApp() {
    return mState.hWndAccessApp();
}
long DesktopApplication::dCount(const QString& expression, const QString& domain, const QString& criteria) {
    return mState.dCount(expression, domain, criteria);
}

QVariant DesktopApplication::run(const QString& procedure) {
    // The state records the call and refuses names the host does not have; the desktop then shows it.
    QVariant result = mState.run(procedure);
    if (mWizards) {
        mWizards(procedure);
    }
    return result;
}

void DesktopApplication::sendKeys(const QString& keys, bool wait) {
    mState.sendKeys(keys, wait);
}

}  // namespace app
