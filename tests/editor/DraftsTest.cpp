// Drafts of unsaved editor text: when they are written and removed, what the store reads back, and the
// offer of a database's drafts with every answer.
#include "editor/DraftOffer.h"
#include "editor/DraftStore.h"
#include "editor/DraftWriter.h"
#include "platform/InMemoryTimer.h"
#include "trees/TreesTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class DraftsTest : public ScenarioTest {
protected:
    DraftsTest() : ScenarioTest(QStringLiteral("find.json")) {}

    void SetUp() override {
        ScenarioTest::SetUp();
        ASSERT_TRUE(mDrafts.isValid());
        store = std::make_unique<DraftStore>(mDrafts.filePath(QStringLiteral("Drafts")));
    }

    // An editor of the query as the writer sees it.
    std::unique_ptr<DraftWriter> editor(const QString& query, QString& text, QString saved,
                                        platform::InMemoryTimer& timer) {
        auto writer = std::make_unique<DraftWriter>(*store, timer);
        writer->currentText = [&text] { return text; };
        writer->savedText = [saved] { return saved; };
        writer->database = databasePath();
        writer->query = query;
        return writer;
    }
    QString databasePath() const { return mFolder.filePath(QStringLiteral("trees.qdb")); }
    QStringList draftFiles() const {
        return QDir(store->folder()).entryList(QDir::Files | QDir::NoDotAndDotDot);
    }

    QTemporaryDir mDrafts;
    std::unique_ptr<DraftStore> store;
};

const QString kSaved = QStringLiteral("SELECT * FROM Orders WHERE Orders.CustID = 7;");

}  // namespace

TEST_F(DraftsTest, ADraftIsWrittenWithinTheDelayWhileTheTextDiffersAndGoesWhenNothingIsLeftToKeep) {
    platform::InMemoryTimer timer;
    QString text = kSaved;
    auto writer = editor(QStringLiteral("By Customer"), text, kSaved, timer);

    text += QStringLiteral(" x");
    writer->textChanged();
    EXPECT_TRUE(draftFiles().isEmpty());
    ASSERT_TRUE(timer.isActive());
    EXPECT_EQ(timer.interval(), DraftWriter::kDelay);
    // Typing on does not push the write back: the delay runs from the first unsaved change.
    text += QStringLiteral("y");
    writer->textChanged();
    ASSERT_TRUE(timer.fire());
    auto drafts = store->draftsFor(databasePath());
    ASSERT_EQ(drafts.size(), 1);
    EXPECT_EQ(drafts[0].query, QStringLiteral("By Customer"));
    EXPECT_EQ(drafts[0].text, kSaved + QStringLiteral(" xy"));
    EXPECT_EQ(drafts[0].database, DraftStore::databaseKey(databasePath()));
    EXPECT_LE(drafts[0].time.secsTo(QDateTime::currentDateTimeUtc()), 60);

    // Back to the saved text (undo): the draft goes.
    text = kSaved;
    writer->textChanged();
    timer.fire();
    EXPECT_TRUE(draftFiles().isEmpty());

    // Saved, or closed without saving: gone at once, also with a write pending.
    for (bool save : {true, false}) {
        text = QStringLiteral("SELECT 1;");
        writer->textChanged();
        timer.fire();
        EXPECT_EQ(draftFiles().size(), 1);
        writer->textChanged();
        save ? writer->saved(QStringLiteral("New Name")) : writer->discard();
        EXPECT_FALSE(timer.isActive());
        EXPECT_TRUE(draftFiles().isEmpty());
    }
    EXPECT_EQ(writer->query, QStringLiteral("New Name"));
}

TEST_F(DraftsTest, EachEditorKeepsItsOwnDraftAndTheStoreReadsOnlyDraftsOfTheDatabase) {
    platform::InMemoryTimer firstTimer;
    platform::InMemoryTimer secondTimer;
    QString first = QStringLiteral("SELECT 1;");
    QString second = QStringLiteral("SELECT 2;");
    auto a = editor(QString(), first, QString(), firstTimer);  // two new, unnamed queries
    auto b = editor(QString(), second, QString(), secondTimer);
    a->flush();
    b->flush();
    EXPECT_EQ(store->draftsFor(databasePath()).size(), 2);

    // Another database's draft, a damaged file, a file of another format, and a name that is no draft.
    Draft other{DraftStore::NewId(), mFolder.filePath(QStringLiteral("other.qdb")), QString(), "x", {}};
    ASSERT_TRUE(store->write(other));
    const auto put = [&](const char* name, const QByteArray& content) {
        QFile file(QDir(store->folder()).filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    };
    put("damaged.json", "{\"format\": 1, \"text\": \"SEL");
    put("future.json", "{\"format\": 2, \"database\": \"" + databasePath().toUtf8() + "\", \"text\": \"x\"}");
    put("notes.txt", "hello");
    QStringList texts;
    for (const Draft& draft : store->draftsFor(databasePath())) {
        texts << draft.text;
    }
    texts.sort();
    EXPECT_EQ(texts, (QStringList{"SELECT 1;", "SELECT 2;"}));

    // The database is found under another spelling of its path.
    const QString link = mDrafts.filePath(QStringLiteral("link.qdb"));
    ASSERT_TRUE(QFile::link(databasePath(), link));
    EXPECT_EQ(store->draftsFor(link).size(), 2);

    // An id is a file name inside the folder, nothing more.
    Draft escape{QStringLiteral("../escape"), databasePath(), QString(), "x", {}};
    EXPECT_FALSE(store->write(escape));
    EXPECT_FALSE(QFile::exists(mDrafts.filePath(QStringLiteral("escape.json"))));
}

TEST_F(DraftsTest, TheOfferRestoresShowsTheDifferenceDiscardsOrKeepsAndNeverSavesByItself) {
    const auto put = [&](const QString& query, const QString& text) {
        Draft draft{DraftStore::NewId(), databasePath(), query, text, QDateTime::currentDateTimeUtc()};
        EXPECT_TRUE(store->write(draft));
        return draft.id;
    };
    const QString changed = QStringLiteral("SELECT *\r\nFROM Orders\r\nWHERE Orders.CustID = 8;");
    const QString restoreId = put(QStringLiteral("By Customer"), changed);
    const QString unchangedId = put(QStringLiteral("By Customer"), kSaved);
    const QString discardId = put(QString(), QStringLiteral("SELECT 3;"));
    const QString laterId = put(QStringLiteral("Gone Query"), QStringLiteral("SELECT 4;"));
    const QString failedId = put(QStringLiteral("Names"), QStringLiteral("SELECT 5;"));

    DraftOffer offer(context(), *store);
    QStringList asked;
    QStringList differences;
    QStringList restored;
    bool showedDifference = false;
    offer.ask = [&](const Draft& draft, const QString& saved) {
        asked << draft.id;
        if (draft.id == restoreId) {
            EXPECT_EQ(saved, kSaved);
            if (!showedDifference) {
                showedDifference = true;
                return DraftOffer::Choice::ShowDifference;
            }
            return DraftOffer::Choice::Restore;
        }
        if (draft.id == discardId) {
            EXPECT_TRUE(saved.isEmpty());
            return DraftOffer::Choice::Discard;
        }
        if (draft.id == failedId) {
            return DraftOffer::Choice::Restore;
        }
        return DraftOffer::Choice::Later;
    };
    offer.showDifference = [&](const Draft&, const QString& difference) { differences << difference; };
    offer.restore = [&](const Draft& draft) {
        restored << draft.text;
        return draft.id != failedId;
    };
    EXPECT_EQ(offer.Offer(databasePath()), 1);

    EXPECT_EQ(asked.count(restoreId), 2);  // again after the difference
    EXPECT_FALSE(asked.contains(unchangedId));
    EXPECT_EQ(differences,
              QStringList{QStringLiteral("- SELECT * FROM Orders WHERE Orders.CustID = 7;\n"
                                         "+ SELECT *\n+ FROM Orders\n+ WHERE Orders.CustID = 8;")});
    EXPECT_EQ(restored, (QStringList{changed, QStringLiteral("SELECT 5;")}));
    // The restored editor goes on with its draft; discarded and unchanged ones are gone, the rest wait.
    EXPECT_TRUE(store->read(restoreId));
    EXPECT_FALSE(store->read(unchangedId));
    EXPECT_FALSE(store->read(discardId));
    EXPECT_TRUE(store->read(laterId));
    EXPECT_TRUE(store->read(failedId));
    EXPECT_EQ(database->queryDef(QStringLiteral("By Customer"))->sql(), kSaved);
}

TEST(DraftDifference, KeepsCommonLinesAndMarksTheChangedOnes) {
    EXPECT_EQ(DraftOffer::Difference(QStringLiteral("SELECT a\r\nFROM t\r\nWHERE x"),
                                     QStringLiteral("SELECT a, b\r\nFROM t\r\nWHERE x\r\nORDER BY a")),
              QStringLiteral("- SELECT a\n+ SELECT a, b\n  FROM t\n  WHERE x\n+ ORDER BY a"));
    EXPECT_EQ(DraftOffer::Difference(QString(), QStringLiteral("x")), QStringLiteral("+ x"));
}
