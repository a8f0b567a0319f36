// A connected add-in over the host stand-in with a small database (table Orders, query Order Totals, form
// Order Form, report Invoice), scripted prompts and a recording window factory. Every DoCmd action the add-in
// takes is logged as "Action type name".
#pragma once

#include "RecordingToolWindows.h"
#include "common/QStringPrinter.h"

#include "addin/AccessConnect.h"
#include "catalogue/mMainWindows.h"
#include "host/HostApplication.h"
#include "host/QdbDatabase.h"
#include "platform/InMemoryPrompter.h"
#include "platform/InMemoryShell.h"
#include "platform/Platform.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

class AddinFixture : public ::testing::Test {
protected:
    void SetUp() override {
        auto database = qdb::QdbDatabase::create(folder.filePath(QStringLiteral("addin.qdb")));
        database->createTable(
            {QStringLiteral("Orders"), QString(), {{QStringLiteral("OrderID"), QStringLiteral("Long")}}, {}});
        database->createQueryDef(QStringLiteral("Order Totals"),
                                 QStringLiteral("SELECT Orders.* FROM Orders;"));
        database->saveForm({QStringLiteral("Order Form"), QStringLiteral("Orders"), QString(), {}});
        database->saveReport({QStringLiteral("Invoice"), QStringLiteral("Order Totals"), QString(), {}});
        host->setDatabase(database);
        host->setCommandObserver([this](const QString& action, const host::ObjectRef& object) {
            actions.append(QStringLiteral("%1 %2 %3")
                               .arg(action)
                               .arg(static_cast<int>(object.type))
                               .arg(object.name)
                               .trimmed());
        });
    }

    void TearDown() override { connect.AddinInstance_OnDisconnection(); }

    void Connect(const QString& version = QStringLiteral("12.0")) {
        host->setVersion(version);
        connect.AddinInstance_OnConnection(host.get());
        windows.log.clear();
    }

    // The connection's context; valid after Connect.
    AddinContext& context() const { return *connect.context(); }

public:
    void SetCurrent(host::ObjectType type, const QString& name, host::ObjectStates state = {}) {
        host->setCurrentObject(host::ObjectRef{type, name});
        host->setObjectState({type, name}, state);
    }

protected:
    void Click(const QString& id) { connect.RunQorvel(IRibbonControl{id}); }

    QStringList MessageTexts() const {
        QStringList texts;
        for (const auto& message : prompter.messages()) {
            texts.append(message.text);
        }
        return texts;
    }

    QTemporaryDir folder;
    std::unique_ptr<qdb::HostApplication> host = qdb::HostApplication::create();
    QStringList actions;
    RecordingToolWindows windows;
    platform::InMemoryPrompter prompter;
    platform::InMemoryShell shell;
    AccessConnect connect{services(), &windows};

    platform::Services services() {
        platform::Services services;
        services.prompter = &prompter;
        services.shell = &shell;
        return services;
    }
};
