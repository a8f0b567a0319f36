// Tree texts of a scenario database compared with reference files (data/shop/*.tree, LF line ends).
// QORVEL_UPDATE_REFERENCES=1 rewrites the files from the current output.
#include "TreesTestSupport.h"
#include "trees/CQorvelFind.h"
#include "trees/frmQorvel.h"

#include <QDir>

namespace {

struct TreeCase {
    const char* file;
    int mode;
    host::ObjectType objectType;
    const char* object;
    const char* find = "";
    bool wholeWord = false;
};

const TreeCase kCases[] = {
    {"uses-order-list", 1, host::ObjectType::Query, "Order List"},
    {"uses-orders-twice", 1, host::ObjectType::Query, "Orders Twice"},
    {"uses-big-orders", 1, host::ObjectType::Query, "Big Orders"},
    {"uses-sub-orders", 1, host::ObjectType::Query, "Sub Orders"},
    {"uses-deep-orders", 1, host::ObjectType::Query, "Deep Orders"},
    {"uses-reads-obrien", 1, host::ObjectType::Query, "Reads OBrien"},
    {"uses-gone-reader", 1, host::ObjectType::Query, "Gone Reader"},
    {"uses-all-names", 1, host::ObjectType::Query, "All Names"},
    {"uses-cycle-a", 1, host::ObjectType::Query, "Cycle A"},
    {"uses-order-form", 1, host::ObjectType::Form, "Order Form"},
    {"uses-plain-form", 1, host::ObjectType::Form, "Plain Form"},
    {"uses-invoice", 1, host::ObjectType::Report, "Invoice"},
    {"uses-customer-form", 1, host::ObjectType::Form, "Customer Form"},
    {"usedby-orders", 2, host::ObjectType::Table, "Orders"},
    {"usedby-customers", 2, host::ObjectType::Table, "Customers"},
    {"usedby-order-list", 2, host::ObjectType::Query, "Order List"},
    {"usedby-obrien", 2, host::ObjectType::Query, "O'Brien Orders"},
    {"usedby-cycle-a", 2, host::ObjectType::Query, "Cycle A"},
    {"usedby-unused", 2, host::ObjectType::Table, "Unused"},
    {"find-uses-custid-whole", 3, host::ObjectType::Query, "Find Longer", "CustID", true},
    {"find-uses-custid-any", 3, host::ObjectType::Query, "Find Longer", "custid", false},
    {"find-usedby-orders-custid-whole", 4, host::ObjectType::Table, "Orders", "CustID", true},
    {"find-usedby-orders-custid-any", 4, host::ObjectType::Table, "Orders", "CustID", false},
};

class ReferenceTrees : public ScenarioTest, public ::testing::WithParamInterface<TreeCase> {
protected:
    ReferenceTrees() : ScenarioTest(QStringLiteral("shop.json")) {}
};

TEST_P(ReferenceTrees, TreeTextMatchesItsReference) {
    const TreeCase& treeCase = GetParam();
    application->setCurrentObject(host::ObjectRef{treeCase.objectType, QString::fromUtf8(treeCase.object)});
    std::unique_ptr<frmQorvel> window;
    if (treeCase.mode >= frmQorvel::ModeUsesFind) {
        CQorvelFind find(context());
        find.QorvelMode = treeCase.mode;
        ASSERT_TRUE(find.mfValidDataSource());
        window = find.cmdFind_Click(QString::fromUtf8(treeCase.find), treeCase.wholeWord ? 1 : 0);
    } else {
        window = std::make_unique<frmQorvel>(context());
        if (!window->Initialize(treeCase.mode)) {
            window.reset();
        }
    }
    ASSERT_NE(window, nullptr) << prompter.messages.join(QLatin1Char('|')).toStdString();
    const QString actual = window->TreeText().replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QString file = QStringLiteral("shop/") + QString::fromUtf8(treeCase.file) + QStringLiteral(".tree");
    if (qEnvironmentVariableIsSet("QORVEL_UPDATE_REFERENCES")) {
        QDir().mkpath(QStringLiteral(QORVEL_TEST_DATA_DIR "/shop"));
        QFile out(QStringLiteral(QORVEL_TEST_DATA_DIR "/") + file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(actual.toUtf8());
    }
    EXPECT_EQ(actual.toStdString(), readTestFile(file).toStdString());
    EXPECT_TRUE(prompter.shown.empty()) << prompter.messages.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(temporaryQueries().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Shop, ReferenceTrees, ::testing::ValuesIn(kCases), [](const auto& info) {
    return QString::fromUtf8(info.param.file).replace(QLatin1Char('-'), QLatin1Char('_')).toStdString();
});

}  // namespace
