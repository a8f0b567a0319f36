// Trees at their limits: chains of queries thousands of levels deep, a database whose full Used By tree would
// outgrow any memory, and builds that would need more temporary queries than one build may make.
#include "TreesTestSupport.h"
#include "catalogue/mMain.h"
#include "trees/TreeTextRenderer.h"
#include "trees/frmQorvel.h"

#include <QSet>

namespace {

class TreeLimits : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        database = qdb::QdbDatabase::create(folder.filePath(QStringLiteral("limits.qdb")));
        database->createTable(
            {QStringLiteral("T"), QString(), {{QStringLiteral("ID"), QStringLiteral("Long")}}, {}});
        application = qdb::HostApplication::create();
        application->setDatabase(database);
        platform::Services services;
        services.prompter = &prompter;
        mContext = std::make_unique<AddinContext>(application.get(), services);
    }

    void query(const QString& name, const QString& sql) { database->createQueryDef(name, sql); }

    // Q0 reads T, Qi reads Q(i-1).
    void chain(int levels) {
        query(QStringLiteral("Q0"), QStringLiteral("SELECT ID FROM T;"));
        for (int i = 1; i < levels; ++i) {
            query(QStringLiteral("Q%1").arg(i), QStringLiteral("SELECT ID FROM [Q%1];").arg(i - 1));
        }
    }

    // F0 reads T, F1 reads F0, Fi reads F(i-1) and F(i-2): each tree of them doubles at every level.
    void fibonacci(int count) {
        query(QStringLiteral("F0"), QStringLiteral("SELECT ID FROM T;"));
        query(QStringLiteral("F1"), QStringLiteral("SELECT ID FROM F0;"));
        for (int i = 2; i < count; ++i) {
            query(QStringLiteral("F%1").arg(i),
                  QStringLiteral("SELECT a.ID FROM [F%1] AS a, [F%2] AS b;").arg(i - 1).arg(i - 2));
        }
    }

    std::unique_ptr<frmQorvel> built(int mode, const QString& object, qint64 maxNodes = 0) {
        auto window = std::make_unique<frmQorvel>(context());
        if (maxNodes > 0) {
            window->setMaxNodes(maxNodes);
        }
        EXPECT_TRUE(window->Initialize(mode, object)) << prompter.messages.join(u'|').toStdString();
        return window;
    }

    static int depth(const QorvelTree& tree, QString* deepest = nullptr) {
        int most = 0;
        ForEachItem(tree, [&](const CQorvelItem& item, int level) {
            if (level > most) {
                most = level;
                if (deepest) {
                    *deepest = item.name;
                }
            }
            return true;
        });
        return most;
    }

    QStringList temporaryQueries() const {
        QStringList names;
        for (int i = 0; i < database->queryDefCount(); ++i) {
            if (database->queryDef(i)->name().startsWith(QStringLiteral("~TemporaryQuery"))) {
                names << database->queryDef(i)->name();
            }
        }
        return names;
    }

    QTemporaryDir folder;
    std::shared_ptr<qdb::QdbDatabase> database;
    std::unique_ptr<qdb::HostApplication> application;
    RecordingPrompter prompter;
    std::unique_ptr<AddinContext> mContext;

    AddinContext& context() { return *mContext; }
};

TEST_F(TreeLimits, ChainsThousandsOfLevelsDeepAreBuiltWithoutRecursion) {
    constexpr int kLevels = 8000;
    chain(kLevels);
    QString deepest;
    auto uses = built(frmQorvel::ModeUses, QStringLiteral("Q7999"));
    EXPECT_EQ(uses->Tree().nodeCount, kLevels + 1);
    EXPECT_EQ(depth(uses->Tree(), &deepest), kLevels);
    EXPECT_EQ(deepest, QStringLiteral("T"));
    EXPECT_EQ(uses->tvQorvel().nodeCount(), kLevels + 1);

    auto usedBy = built(frmQorvel::ModeUsedBy, QStringLiteral("T"));
    EXPECT_EQ(usedBy->Tree().nodeCount, kLevels + 1);
    EXPECT_EQ(depth(usedBy->Tree(), &deepest), kLevels);
    EXPECT_EQ(deepest, QStringLiteral("Q7999"));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(TreeLimits, PastTheNodeBudgetQueriesShownElsewhereBecomeLeavesAndNothingIsLost) {
    fibonacci(12);
    // The exact Uses tree of F11: every Fi below it is expanded wherever it occurs.
    auto exact = built(frmQorvel::ModeUses, QStringLiteral("F11"));
    EXPECT_FALSE(exact->Tree().shortened);
    EXPECT_EQ(exact->Tree().nodeCount, 520);  // size(i) = 1 + size(i-1) + size(i-2), size(0) = 2, size(1) = 3
    EXPECT_TRUE(prompter.shown.empty());

    auto shortened = built(frmQorvel::ModeUses, QStringLiteral("F11"), 50);
    const QorvelTree& tree = shortened->Tree();
    EXPECT_TRUE(tree.shortened);
    EXPECT_LT(tree.nodeCount, 50 + 30);
    // Every query of the exact tree is still there, and every one shown as a leaf is expanded elsewhere.
    QSet<QString> names;
    QSet<QString> expanded;
    QSet<QString> leaves;
    ForEachItem(tree, [&](const CQorvelItem& item, int) {
        names.insert(item.name);
        (item.children.empty() ? leaves : expanded).insert(item.name);
        if (item.expandedElsewhere) {
            EXPECT_TRUE(item.children.empty());
        }
        return true;
    });
    EXPECT_EQ(names.size(), 11 + 1);  // F0 to F10 and T
    leaves.remove(QStringLiteral("T"));
    EXPECT_TRUE(expanded.contains(leaves)) << TreeText(tree).toStdString();
    EXPECT_TRUE(shortened->TreeText().contains(QStringLiteral(" (...)\r\n")));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_TRUE(prompter.shown[0].text.startsWith(QStringLiteral("The tree was shortened")));
    EXPECT_TRUE(prompter.shown[0].text.contains(QStringLiteral("50")));
}

TEST_F(TreeLimits, ForFortyDoublingQueriesTheDefaultBudgetKeepsTheTreeBounded) {
    fibonacci(40);
    auto usedBy = built(frmQorvel::ModeUsedBy, QStringLiteral("T"));
    EXPECT_TRUE(usedBy->Tree().shortened);
    EXPECT_GT(usedBy->Tree().nodeCount, 200000);
    EXPECT_LT(usedBy->Tree().nodeCount, 200000 + 1000);
    EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST_F(TreeLimits, ABuildThatNeedsTooManyTemporaryQueriesFailsAndSaysSo) {
    for (int i = 0; i < 5; ++i) {
        query(QStringLiteral("S%1").arg(i), QStringLiteral("SELECT s.ID FROM (SELECT ID FROM T) AS s;"));
    }
    query(QStringLiteral("Both"), QStringLiteral("SELECT a.ID FROM (SELECT ID FROM T) AS a, (SELECT ID FROM "
                                                 "T) AS b;"));
    auto enough = std::make_unique<frmQorvel>(context());
    enough->setMaxTemporaryQueries(7);  // one for each subquery
    ASSERT_TRUE(enough->Initialize(frmQorvel::ModeUsedBy, QStringLiteral("T")));
    EXPECT_EQ(enough->Tree().root.children.size(), 6u);

    auto tooFew = std::make_unique<frmQorvel>(context());
    tooFew->setMaxTemporaryQueries(6);
    EXPECT_FALSE(tooFew->Initialize(frmQorvel::ModeUsedBy, QStringLiteral("T")));
    EXPECT_TRUE(tooFew->BuildFailed());
    EXPECT_TRUE(tooFew->Tree().isEmpty());
    ASSERT_EQ(prompter.shown.size(), 1u);  // no "Nothing to show" after it
    EXPECT_EQ(prompter.shown[0].text,
              QStringLiteral("The tree cannot be shown: its subqueries need more than 6 "
                             "temporary queries, the most one build may make."));
    EXPECT_EQ(prompter.shown[0].icon, platform::MsgIcon::Critical);
    EXPECT_TRUE(temporaryQueries().isEmpty());

    // The product's own limit: the numbers of the temporary queries are counted in 16 bits.
    context().temporaryQueryCount() = 32766;
    EXPECT_FALSE(
        std::make_unique<frmQorvel>(context())->Initialize(frmQorvel::ModeUses, QStringLiteral("Both")));
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_TRUE(prompter.shown[1].text.contains(QStringLiteral("more than 32767 temporary queries")));
    EXPECT_EQ(context().temporaryQueryCount(), 0);
    EXPECT_TRUE(temporaryQueries().isEmpty());
}

}  // namespace
