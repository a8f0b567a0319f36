// A host application for the dispatch tests: the current object with its state, the version text, and a
// log of every DoCmd and Screen call. Calls can be made to fail by name.
#pragma once

#include "catalogue/host.h"

#include <QMap>
#include <QSet>
#include <QStringList>

class FakeHost : public host::Application, public host::DoCmd, public host::Screen {
public:
    QString version = QStringLiteral("12.0");
    int objectType = host::acQuery;
    QString objectName = QStringLiteral("Order Totals");
    int objectState = 0;  // of the current object
    QMap<QString, host::AccessObjectState> loadedQueries;
    bool activeDatasheet = true;
    // Names of calls that throw (for example "openQuery", "currentObjectType").
    QSet<QString> failing;
    QStringList calls;

    void setCurrent(int type, const QString& name, int state = 0) {
        objectType = type;
        objectName = name;
        objectState = state;
    }

    int currentObjectType() override {
        check(QStringLiteral("currentObjectType"));
        return objectType;
    }
    QString currentObjectName() override { return objectName; }
    QVariant sysCmd(int action, const QVariant& argument1, const QVariant& argument2) override {
        check(QStringLiteral("sysCmd"));
        if (action == host::acSysCmdAccessVer) {
            return version;
        }
        if (action == host::acSysCmdGetObjectState) {
            return argument1.toInt() == objectType && argument2.toString() == objectName ? objectState : 0;
        }
        return {};
    }
    std::shared_ptr<host::Database> currentDb() override { return nullptr; }
    host::CurrentProject& currentProject() override {
        throw host::Error(91, QStringLiteral("no project"), {});
    }
    host::AccessObjectState allQueries(const QString& name) override {
        if (!loadedQueries.contains(name)) {
            throw host::Error(host::errItemNotFound, QStringLiteral("Item not found in this collection."),
                              QStringLiteral("DAO.Container"));
        }
        return loadedQueries.value(name);
    }
    QString formRecordSource(const QString&) override { return {}; }
    QString reportRecordSource(const QString&) override { return {}; }
    host::DoCmd& doCmd() override { return *this; }
    host::Screen& screen() override { return *this; }
    void echo(bool) override {}
    void refreshDatabaseWindow() override {}
    quintptr hWndAccessApp() override { return 1; }
    long dCount(const QString&, const QString&, const QString&) override { return 0; }
    QVariant run(const QString&) override { return {}; }
    void sendKeys(const QString& keys, bool) override { log(QStringLiteral("sendKeys %1").arg(keys)); }

    void openQuery(const QString& name, int view, int dataMode) override {
        log(QStringLiteral("openQuery %1 %2 %3").arg(name).arg(view).arg(dataMode));
    }
    void openTable(const QString& name, int view, int dataMode) override {
        log(QStringLiteral("openTable %1 %2 %3").arg(name).arg(view).arg(dataMode));
    }
    void openForm(const QString& name, int, const QString&, const QString&, int, int) override {
        log(QStringLiteral("openForm %1").arg(name));
    }
    void openReport(const QString& name, int, int) override {
        log(QStringLiteral("openReport %1").arg(name));
    }
    void close(int objectType, const QString& name, int save) override {
        log(QStringLiteral("close %1 %2 %3").arg(objectType).arg(name).arg(save));
    }
    void selectObject(int objectType, const QString& name, bool inDatabaseWindow) override {
        log(QStringLiteral("selectObject %1 %2 %3").arg(objectType).arg(name).arg(inDatabaseWindow));
    }
    void runCommand(int command) override { log(QStringLiteral("runCommand %1").arg(command)); }

    int mousePointer() override { return 0; }
    void setMousePointer(int) override {}
    bool hasActiveDatasheet() override { return activeDatasheet; }
    void activeDatasheetSetFocus() override { log(QStringLiteral("activeDatasheetSetFocus")); }

private:
    void check(const QString& call) {
        if (failing.contains(call)) {
            throw host::Error(2475, QStringLiteral("%1 failed").arg(call), QStringLiteral("Qorvel Host"));
        }
    }
    // Records the call, then fails it when asked to.
    void log(const QString& call) {
        calls.append(call);
        check(call.section(u' ', 0, 0));
    }
};
