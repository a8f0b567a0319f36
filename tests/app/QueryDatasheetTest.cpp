// The datasheet of a saved query: its rows through the paged model, the host's parameter prompt answered
// and cancelled, a query that fails, and action queries that run only on the Run command.
#include "DesktopTestSupport.h"

#include "app/DatasheetModel.h"
#include "app/ObjectWindows.h"
#include "common/QStringPrinter.h"
#include "host/HostApplication.h"
#include "hostapi/host.h"

#include <QInputDialog>
#include <QMdiArea>
#include <QStatusBar>
#include <QTableView>

#include <deque>
#include <optional>

using app::MainWindow;

namespace {

// Answers the host's parameter prompts from a queue (nothing in the queue: Cancel), recording each
// prompt's caption and label.
class ParameterAnswers : public QObject {
public:
    explicit ParameterAnswers(std::deque<std::optional<QString>> answers) : mAnswers(std::move(answers)) {
        connect(&mTimer, &QTimer::timeout, this, [this] {
            auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                return;
            }
            prompts << dialog->windowTitle() + QStringLiteral(": ") + dialog->labelText();
            std::optional<QString> answer;
            if (!mAnswers.empty()) {
                answer = mAnswers.front();
                mAnswers.pop_front();
            }
            if (answer) {
                dialog->setTextValue(*answer);
                dialog->accept();
            } else {
                dialog->reject();
            }
        });
        mTimer.start(5);
    }
    QStringList prompts;

private:
    std::deque<std::optional<QString>> mAnswers;
    QTimer mTimer;
};

QStringList column(const QAbstractItemModel& model, int column) {
    QStringList values;
    for (int row = 0; row < model.rowCount(); ++row) {
        values << model.data(model.index(row, column)).toString();
    }
    return values;
}

int columnOf(const QAbstractItemModel& model, const QString& name) {
    for (int i = 0; i < model.columnCount(); ++i) {
        if (model.headerData(i, Qt::Horizontal).toString() == name) {
            return i;
        }
    }
    return -1;
}

}  // namespace

class QueryDatasheetTest : public DesktopTest {
protected:
    app::DatasheetWindow* datasheet(const QString& query) {
        return qobject_cast<app::DatasheetWindow*>(mWindow->objectWindow({host::ObjectType::Query, query}));
    }
    bool isOpen(const QString& query) {
        return mWindow->state().openView({host::ObjectType::Query, query}).has_value();
    }
};

TEST_F(QueryDatasheetTest, SelectQueryShowsItsRowsInTheirOrder) {
    MainWindow& window = openHost();
    ASSERT_TRUE(window.openDatabase(mDatabasePath));
    window.openObject({host::ObjectType::Query, QStringLiteral("Customer List")});
    ASSERT_SOON(datasheet(QStringLiteral("Customer List")));
    QAbstractItemModel* rows = datasheet(QStringLiteral("Customer List"))->table()->model();
    EXPECT_EQ(column(*rows, columnOf(*rows, QStringLiteral("CompanyName"))),
              (QStringList{QStringLiteral("Aldgate Provisions"), QStringLiteral("Ashby Cellars"),
                           QStringLiteral("Brennan & O'Brien Grocers"), QStringLiteral("Corvid Mercantile"),
                           QStringLiteral("Dunmore Fine Foods"), QStringLiteral("Maison Lévêque")}));
    // Field types come with the rows: a Yes/No field is a check box, Null an empty cell.
    const int active = columnOf(*rows, QStringLiteral("Active"));
    EXPECT_EQ(rows->data(rows->index(4, active), Qt::CheckStateRole), QVariant(Qt::Unchecked));
    EXPECT_EQ(rows->data(rows->index(1, columnOf(*rows, QStringLiteral("Phone")))).toString(), QString());
    EXPECT_TRUE(mMessages.isEmpty()) << mMessages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(window.application().currentObject(),
              (host::ObjectRef{host::ObjectType::Query, QStringLiteral("Customer List")}));

    // A crosstab and a union open the same way.
    window.openObject({host::ObjectType::Query, QStringLiteral("All Contacts")});
    ASSERT_SOON(datasheet(QStringLiteral("All Contacts")));
    EXPECT_EQ(datasheet(QStringLiteral("All Contacts"))->table()->model()->rowCount(), 13);
    window.openObject({host::ObjectType::Query, QStringLiteral("Sales by Category and Quarter")});
    ASSERT_SOON(datasheet(QStringLiteral("Sales by Category and Quarter")));
}

TEST_F(QueryDatasheetTest, ParameterPromptsAnsweredAndCancelled) {
    MainWindow& window = openHost();
    ASSERT_TRUE(window.openDatabase(mDatabasePath));
    {
        ParameterAnswers answers({QStringLiteral("1/1/2024"), QStringLiteral("2/29/2024")});
        window.openObject({host::ObjectType::Query, QStringLiteral("Orders Between Dates")});
        ASSERT_SOON(datasheet(QStringLiteral("Orders Between Dates")));
        EXPECT_EQ(answers.prompts, (QStringList{QStringLiteral("Enter Parameter Value: Start Date"),
                                                QStringLiteral("Enter Parameter Value: End Date")}));
        QAbstractItemModel* rows = datasheet(QStringLiteral("Orders Between Dates"))->table()->model();
        EXPECT_EQ(column(*rows, 0), (QStringList{QStringLiteral("1003"), QStringLiteral("1004")}));
    }
    window.documents()->closeAllSubWindows();
    ASSERT_SOON(!isOpen(QStringLiteral("Orders Between Dates")));

    // Cancel at the second prompt: no datasheet, the query is not open, and nothing is said.
    {
        ParameterAnswers cancelled({QStringLiteral("1/1/2024"), std::nullopt});
        window.openObject({host::ObjectType::Query, QStringLiteral("Orders Between Dates")});
        ASSERT_SOON(cancelled.prompts.size() == 2);
        QTest::qWait(50);
    }
    EXPECT_FALSE(window.objectWindow({host::ObjectType::Query, QStringLiteral("Orders Between Dates")}));
    EXPECT_FALSE(isOpen(QStringLiteral("Orders Between Dates")));
    EXPECT_TRUE(mMessages.isEmpty()) << mMessages.join(QLatin1Char('\n')).toStdString();

    // An answer that is no value of the declared type is the engine's error, and no datasheet opens.
    ParameterAnswers wrong({QStringLiteral("someday"), QStringLiteral("2/29/2024")});
    window.openObject({host::ObjectType::Query, QStringLiteral("Orders Between Dates")});
    ASSERT_SOON(mMessages.size() == 1);
    EXPECT_TRUE(mMessages[0].contains(QStringLiteral("(Error "))) << mMessages[0].toStdString();
    QTest::qWait(20);
    EXPECT_FALSE(window.objectWindow({host::ObjectType::Query, QStringLiteral("Orders Between Dates")}));
}

TEST_F(QueryDatasheetTest, FailingQueryShowsTheHostErrorAndTheHostStaysUsable) {
    {
        auto database = qdb::QdbDatabase::open(mDatabasePath);
        database->createQueryDef(QStringLiteral("Broken"),
                                 QStringLiteral("SELECT Nonsense(Orders.OrderID) AS X FROM Orders;"));
    }
    MainWindow& window = openHost();
    ASSERT_TRUE(window.openDatabase(mDatabasePath));
    window.openObject({host::ObjectType::Query, QStringLiteral("Broken")});
    ASSERT_SOON(mMessages.size() == 1);
    EXPECT_TRUE(mMessages[0].contains(QStringLiteral("Undefined function 'Nonsense' in expression.")))
        << mMessages[0].toStdString();
    EXPECT_TRUE(mMessages[0].contains(QStringLiteral("3085")));
    QTest::qWait(20);
    EXPECT_FALSE(window.objectWindow({host::ObjectType::Query, QStringLiteral("Broken")}));
    EXPECT_FALSE(isOpen(QStringLiteral("Broken")));

    // A failing run from design view leaves the design open.
    window.openDesign({host::ObjectType::Query, QStringLiteral("Broken")});
    ASSERT_SOON(qobject_cast<app::QueryDesignWindow*>(
        window.objectWindow({host::ObjectType::Query, QStringLiteral("Broken")})));
    window.openObject({host::ObjectType::Query, QStringLiteral("Broken")});
    ASSERT_SOON(mMessages.size() == 2);
    QTest::qWait(20);
    EXPECT_TRUE(qobject_cast<app::QueryDesignWindow*>(
        window.objectWindow({host::ObjectType::Query, QStringLiteral("Broken")})));
    EXPECT_EQ(window.state().openView({host::ObjectType::Query, QStringLiteral("Broken")}),
              host::View::Design);

    window.openObject({host::ObjectType::Query, QStringLiteral("Countries")});
    ASSERT_SOON(datasheet(QStringLiteral("Countries")));
    EXPECT_EQ(column(*datasheet(QStringLiteral("Countries"))->table()->model(), 0),
              (QStringList{QStringLiteral("France"), QStringLiteral("Ireland"), QStringLiteral("UK")}));
}

TEST_F(QueryDatasheetTest, ActionQueriesRunOnlyOnTheRunCommand) {
    MainWindow& window = openHost();
    ASSERT_TRUE(window.openDatabase(mDatabasePath));
    QStringList questions;
    bool answer = false;
    window.setConfirmation([&](const QString& text) {
        questions << text;
        return answer;
    });
    const auto soapPrice = [&window] {
        const auto rows = window.application().currentDb()->openRecordset(
            QStringLiteral("SELECT UnitPrice FROM Products WHERE ProductID = 3"),
            host::RecordsetType::Snapshot);
        return rows->value(QStringLiteral("UnitPrice")).toDouble();
    };
    const double before = soapPrice();

    // Opening an action query as a datasheet runs nothing.
    window.openObject({host::ObjectType::Query, QStringLiteral("Raise Soap Prices")});
    ASSERT_SOON(mMessages.size() == 1);
    EXPECT_TRUE(mMessages[0].contains(QStringLiteral("is an action query"))) << mMessages[0].toStdString();
    QTest::qWait(20);
    EXPECT_FALSE(window.objectWindow({host::ObjectType::Query, QStringLiteral("Raise Soap Prices")}));
    EXPECT_FALSE(isOpen(QStringLiteral("Raise Soap Prices")));
    EXPECT_DOUBLE_EQ(soapPrice(), before);

    // Run asks first; No runs nothing, Yes runs it.
    window.runQuery(QStringLiteral("Raise Soap Prices"));
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].startsWith(QStringLiteral("You are about to run an update query")));
    EXPECT_DOUBLE_EQ(soapPrice(), before);
    answer = true;
    window.openObject({host::ObjectType::Table, QStringLiteral("Products")});
    ASSERT_SOON(window.objectWindow({host::ObjectType::Table, QStringLiteral("Products")}));
    auto* products = qobject_cast<app::DatasheetWindow*>(
        window.objectWindow({host::ObjectType::Table, QStringLiteral("Products")}));
    products->table()->setCurrentIndex(products->table()->model()->index(3, 1));
    const auto* shownBefore = products->table()->model();
    EXPECT_EQ(shownBefore->data(shownBefore->index(2, columnOf(*shownBefore, QStringLiteral("UnitPrice"))))
                  .toString(),
              QLocale().toCurrencyString(before, QStringLiteral("$")));
    window.runQuery(QStringLiteral("Raise Soap Prices"));
    EXPECT_NEAR(soapPrice(), before * 1.05, 1e-9);
    // The open table shows the new prices, its current cell where it was.
    const QAbstractItemModel* shown = products->table()->model();
    EXPECT_EQ(shown->data(shown->index(2, columnOf(*shown, QStringLiteral("UnitPrice")))).toString(),
              QLocale().toCurrencyString(before * 1.05, QStringLiteral("$")));
    EXPECT_EQ(products->table()->currentIndex().row(), 3);
    EXPECT_EQ(window.statusBar()->currentMessage(), QStringLiteral("2 row(s) affected."));  // both soaps

    // A make-table query: its table appears; run again, it asks before replacing the table.
    questions.clear();
    window.runQuery(QStringLiteral("Make Order Archive"));
    EXPECT_TRUE(
        window.databaseWindow()->names(host::ObjectType::Table).contains(QStringLiteral("Order Archive")));
    EXPECT_EQ(window.statusBar()->currentMessage(), QStringLiteral("2 row(s) affected."));
    window.runQuery(QStringLiteral("Make Order Archive"));
    ASSERT_EQ(questions.size(), 3);
    EXPECT_TRUE(questions[2].contains(QStringLiteral("Table 'Order Archive' already exists.")));
    EXPECT_EQ(window.statusBar()->currentMessage(), QStringLiteral("2 row(s) affected."));
    EXPECT_EQ(mMessages.size(), 1) << mMessages.join(QLatin1Char('\n')).toStdString();
}

// A query's rows are paged from memory like a table's: values either side of a page boundary, the types'
// display, and a bounded number of pages held.
TEST(QueryDatasheetModel, PagesOverTheRowsAQueryGave) {
    qdb::QueryResult result;
    result.columns = {QStringLiteral("N"), QStringLiteral("When"), QStringLiteral("Done")};
    result.fieldTypes = {QString(), QStringLiteral("DateTime"), QStringLiteral("YesNo")};
    const int total = app::DatasheetModel::kPageRows * (app::DatasheetModel::kCachedPages + 2) + 7;
    for (int i = 0; i < total; ++i) {
        result.cells.push_back(i);
        result.cells.push_back(i % 2 ? QVariant(QStringLiteral("2024-03-19 14:30:00"))
                                     : QVariant(QStringLiteral("2024-03-19 00:00:00")));
        result.cells.push_back(i % 3 ? -1 : 0);
    }
    app::DatasheetModel model(std::move(result));
    ASSERT_EQ(model.rowCount(), total);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("When"));
    EXPECT_EQ(model.pagesRead(), 0);
    const int last = app::DatasheetModel::kPageRows - 1;
    EXPECT_EQ(model.data(model.index(last, 0)).toInt(), last);
    EXPECT_EQ(model.data(model.index(last + 1, 0)).toInt(), last + 1);
    EXPECT_EQ(model.pagesRead(), 2);
    EXPECT_EQ(model.data(model.index(total - 1, 0)).toInt(), total - 1);
    EXPECT_FALSE(model.data(model.index(total, 0)).isValid());
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), QStringLiteral("2024-03-19"));
    EXPECT_EQ(model.data(model.index(1, 1)).toString(), QStringLiteral("2024-03-19 14:30:00"));
    EXPECT_EQ(model.data(model.index(0, 2), Qt::CheckStateRole), QVariant(Qt::Unchecked));
    EXPECT_EQ(model.data(model.index(1, 2), Qt::CheckStateRole), QVariant(Qt::Checked));
    EXPECT_FALSE(model.data(model.index(1, 2)).isValid());
    for (int row = 0; row < total; row += 101) {
        ASSERT_EQ(model.data(model.index(row, 0)).toInt(), row);
    }
    EXPECT_LE(model.pagesHeld(), app::DatasheetModel::kCachedPages);
}
