// The host application's state: current object, version, object states, open objects and views,
// record sources of open forms and reports, project, screen, DCount and named procedures.
#include "HostTestSupport.h"

#include "host/HostApplication.h"

namespace {

class HostApplicationTest : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        db->createTable(
            {QStringLiteral("Orders"), {}, {{QStringLiteral("Id"), QStringLiteral("Long")}}, {{1}, {2}}});
        db->createQueryDef(QStringLiteral("Order List"), QStringLiteral("SELECT * FROM Orders"));
        db->saveForm({QStringLiteral("Entry"), QStringLiteral("SELECT Id FROM Orders"), QString(), {}});
        db->saveReport({QStringLiteral("Invoice"), QStringLiteral("Order List"), QString(), {}});
        app->setDatabase(db);
    }

    std::unique_ptr<qdb::HostApplication> app = qdb::HostApplication::create();
};

}  // namespace

TEST_F(HostApplicationTest, DefaultsAndProject) {
    auto bare = qdb::HostApplication::create();
    EXPECT_EQ(bare->accessVersion(), QStringLiteral("12.0"));
    EXPECT_EQ(bare->currentDb(), nullptr);
    EXPECT_EQ(bare->currentProject().fullName(), QString());
    EXPECT_EQ(bare->currentProject().projectType(), host::ProjectType::Database);
    EXPECT_EQ(bare->currentProject().connectionMode(), 16);
    EXPECT_TRUE(bare->echoOn());

    app->setVersion(QStringLiteral("9.0"));
    EXPECT_EQ(app->accessVersion(), QStringLiteral("9.0"));
    EXPECT_EQ(app->currentProject().fullName(), path());
    app->setConnectionMode(1);
    EXPECT_EQ(app->currentProject().connectionMode(), 1);
    EXPECT_EQ(app->currentDb()->queryDef(QStringLiteral("order list"))->name(), QStringLiteral("Order List"));
}

TEST_F(HostApplicationTest, OpeningAndClosingObjects) {
    EXPECT_EQ(app->objectState({host::ObjectType::Query, QStringLiteral("Order List")}),
              host::ObjectStates());
    EXPECT_FALSE(app->allQueries(QStringLiteral("Order List")).isLoaded);
    EXPECT_EQ(errorNumber([&] { app->allQueries(QStringLiteral("Nope")); }), host::errItemNotFound);

    app->doCmd().openQuery(QStringLiteral("order list"), host::View::Design, host::DataMode::Edit);
    EXPECT_EQ(app->currentObject(), (host::ObjectRef{host::ObjectType::Query, QStringLiteral("Order List")}));
    EXPECT_EQ(app->objectState({host::ObjectType::Query, QStringLiteral("Order List")}),
              host::ObjectState::Open);
    const host::AccessObjectState state = app->allQueries(QStringLiteral("Order List"));
    EXPECT_TRUE(state.isLoaded);
    EXPECT_EQ(state.currentView, host::CurrentView::Design);
    EXPECT_FALSE(app->screen().hasActiveDatasheet());
    EXPECT_NE(errorNumber([&] { app->screen().activeDatasheetSetFocus(); }), 0);

    app->doCmd().openTable(QStringLiteral("Orders"), host::View::Normal, host::DataMode::Edit);
    EXPECT_TRUE(app->screen().hasActiveDatasheet());
    app->doCmd().selectObject({host::ObjectType::Query, QStringLiteral("Order List")}, false);
    EXPECT_EQ(app->currentObject(), (host::ObjectRef{host::ObjectType::Query, QStringLiteral("Order List")}));
    EXPECT_FALSE(app->screen().hasActiveDatasheet());

    app->setObjectState({host::ObjectType::Query, QStringLiteral("Order List")},
                        host::ObjectState::Open | host::ObjectState::Dirty);
    EXPECT_EQ(app->objectState({host::ObjectType::Query, QStringLiteral("ORDER LIST")}),
              host::ObjectState::Open | host::ObjectState::Dirty);
    app->doCmd().close({host::ObjectType::Query, QStringLiteral("Order List")}, host::SaveOption::No);
    EXPECT_EQ(app->objectState({host::ObjectType::Query, QStringLiteral("Order List")}),
              host::ObjectStates());
    EXPECT_FALSE(app->openView({host::ObjectType::Query, QStringLiteral("Order List")}));
    EXPECT_EQ(errorNumber([&] {
                  app->doCmd().selectObject({host::ObjectType::Query, QStringLiteral("Order List")}, false);
              }),
              2489);

    app->doCmd().selectObject({host::ObjectType::Table, QStringLiteral("orders")}, true);
    EXPECT_EQ(app->currentObject(), (host::ObjectRef{host::ObjectType::Table, QStringLiteral("Orders")}));
    EXPECT_NE(errorNumber([&] {
                  app->doCmd().openQuery(QStringLiteral("Nope"), host::View::Normal, host::DataMode::Edit);
              }),
              0);
    EXPECT_NE(errorNumber([&] {
                  app->doCmd().selectObject({host::ObjectType::Form, QStringLiteral("Nope")}, true);
              }),
              0);
}

TEST_F(HostApplicationTest, RecordSourcesOfOpenFormsAndReports) {
    EXPECT_EQ(errorNumber([&] { app->formRecordSource(QStringLiteral("Entry")); }), 2450);
    EXPECT_EQ(errorNumber([&] { app->reportRecordSource(QStringLiteral("Invoice")); }), 2451);
    app->doCmd().openForm(QStringLiteral("Entry"), host::View::Design, QString(), QString(),
                          host::DataMode::PropertySettings, host::WindowMode::Hidden);
    EXPECT_FALSE(app->currentObject());  // a hidden window does not become current
    EXPECT_EQ(app->formRecordSource(QStringLiteral("entry")), QStringLiteral("SELECT Id FROM Orders"));
    app->doCmd().close({host::ObjectType::Form, QStringLiteral("Entry")}, host::SaveOption::No);
    EXPECT_EQ(errorNumber([&] { app->formRecordSource(QStringLiteral("Entry")); }), 2450);
    app->doCmd().openReport(QStringLiteral("Invoice"), host::View::Design, host::WindowMode::Normal);
    EXPECT_EQ(app->reportRecordSource(QStringLiteral("Invoice")), QStringLiteral("Order List"));
    EXPECT_EQ(app->currentObject(), (host::ObjectRef{host::ObjectType::Report, QStringLiteral("Invoice")}));
}

TEST_F(HostApplicationTest, NewQueryCommandOpensAnUnsavedQuery) {
    app->sendKeys(QStringLiteral("~"), false);
    app->doCmd().runCommand(host::Command::NewObjectQuery);
    EXPECT_EQ(app->sentKeys(), QStringList{QStringLiteral("~")});
    EXPECT_EQ(app->commandsRun(), QList<host::Command>{host::Command::NewObjectQuery});
    EXPECT_EQ(app->currentObject(), (host::ObjectRef{host::ObjectType::Query, QStringLiteral("Query1")}));
    EXPECT_EQ(app->objectState({host::ObjectType::Query, QStringLiteral("Query1")}),
              host::ObjectState::Open | host::ObjectState::New);
    EXPECT_EQ(app->allQueries(QStringLiteral("Query1")).currentView, host::CurrentView::Design);
    app->doCmd().openQuery(QStringLiteral("Order List"), host::View::Normal, host::DataMode::Edit);
    EXPECT_EQ(app->allQueries(QStringLiteral("Order List")).currentView, host::CurrentView::Datasheet);
}

TEST_F(HostApplicationTest, DCountAndProcedures) {
    EXPECT_EQ(app->dCount(QStringLiteral("*"), QStringLiteral("orders"), QString()), 2);
    EXPECT_EQ(
        app->dCount(QStringLiteral("*"), QStringLiteral("MsysQueries"), QStringLiteral("[Attribute]=5")), 2);
    EXPECT_EQ(app->dCount(QStringLiteral("[Id]"), QStringLiteral("Orders"), QStringLiteral("[Id] > 1")), 1);

    app->run(QStringLiteral("acwzmain.ssq_Entry"));
    app->registerProcedure(QStringLiteral("zwQueryWizard"));
    EXPECT_TRUE(app->run(QStringLiteral("zwquerywizard")).isNull());
    const int failure = errorNumber([&] { app->run(QStringLiteral("Missing")); });
    EXPECT_EQ(failure, 2517);
    EXPECT_EQ(app->procedureCalls(),
              QStringList({QStringLiteral("acwzmain.ssq_Entry"), QStringLiteral("zwquerywizard")}));
}

TEST_F(HostApplicationTest, ObserverSeesEveryCommandAndANewDatabaseClearsTheState) {
    QStringList seen;
    app->setCommandObserver([&](const QString& action, const host::ObjectRef& object) {
        seen << QStringLiteral("%1 %2 %3").arg(action).arg(static_cast<int>(object.type)).arg(object.name);
    });
    app->doCmd().openQuery(QStringLiteral("order list"), host::View::Normal, host::DataMode::Edit);
    app->doCmd().selectObject({host::ObjectType::Table, QStringLiteral("Orders")}, true);
    app->doCmd().close({host::ObjectType::Query, QStringLiteral("Order List")}, host::SaveOption::No);
    EXPECT_EQ(seen,
              QStringList({QStringLiteral("OpenQuery 1 Order List"), QStringLiteral("SelectObject 0 Orders"),
                           QStringLiteral("Close 1 Order List")}));

    app->doCmd().openQuery(QStringLiteral("Order List"), host::View::Design, host::DataMode::Edit);
    app->setDatabase(nullptr);
    EXPECT_EQ(app->currentDb(), nullptr);
    EXPECT_FALSE(app->currentObject());
    EXPECT_EQ(app->objectState({host::ObjectType::Query, QStringLiteral("Order List")}),
              host::ObjectStates());
    EXPECT_NE(errorNumber([&] {
                  app->doCmd().openQuery(QStringLiteral("Order List"), host::View::Normal,
                                         host::DataMode::Edit);
              }),
              0);
    EXPECT_NE(errorNumber([&] { app->dCount(QStringLiteral("*"), QStringLiteral("Orders"), QString()); }), 0);
}
