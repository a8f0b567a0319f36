// The shared help object and a window's help binding: which page each call shows, the bookkeeping of the
// help windows by owner, F1 and the Help button; and the shipped help pages themselves (every mapped page
// and every link there).
#include "platform/InMemoryHelpViewer.h"
#include "support/HelpTopics.h"
#include "support/clsHtmlHelp.h"
#include "support/clsHtmlHelpForForm.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kHelp = QStringLiteral(QORVEL_SOURCE_DIR "/help");

QString page(const QString& name) {
    return QDir(kHelp).filePath(name);
}

QStringList pages(const platform::InMemoryHelpViewer& viewer) {
    QStringList shown;
    for (const auto& entry : viewer.shown()) {
        shown << QDir(kHelp).relativeFilePath(entry.page);
    }
    return shown;
}

}  // namespace

TEST(HtmlHelp, EachCallShowsItsPageOfTheDefaultOrTheGivenHelp) {
    platform::InMemoryHelpViewer viewer;
    clsHtmlHelp help(&viewer);
    help.SetFile(kHelp);
    help.OpenTOC();
    help.OpenContext(helptopic::TreeWindow);
    help.OpenContext(helptopic::Contents);
    help.OpenContext(4242);  // not in the map: the contents rather than nothing
    help.OpenTopic(QStringLiteral("trees.html#exports"));
    help.OpenIndex();
    help.OpenSearch();
    EXPECT_EQ(pages(viewer), (QStringList{"index.html", "trees.html", "index.html", "index.html",
                                          "trees.html#exports", "a-z.html", "a-z.html"}));

    help.OpenContext(helptopic::Editor, QStringLiteral("/elsewhere/help"), 9);
    EXPECT_EQ(viewer.shown().back().page, QStringLiteral("/elsewhere/help/index.html"));  // no map there
    EXPECT_EQ(viewer.shown().back().owner, 9u);
}

TEST(HtmlHelp, HelpWindowsAreRecordedByOwnerAndClosedWithIt) {
    platform::InMemoryHelpViewer viewer;
    {
        clsHtmlHelp help(&viewer);
        EXPECT_TRUE(viewer.initialized());
        help.SetFile(kHelp);
        help.OpenContext(helptopic::Editor, QString(), 11);
        help.OpenContext(helptopic::TreeWindow, QString(), 22);
        help.OpenTOC(QString(), 11);
        ASSERT_EQ(help.OpenWindows().size(), 3);
        const quintptr editorHelp = help.OpenWindows().at(0).window;
        const quintptr treeHelp = help.OpenWindows().at(1).window;
        const quintptr contents = help.OpenWindows().at(2).window;
        EXPECT_TRUE(viewer.isTopMost(editorHelp) && viewer.isTopMost(contents));

        help.CloseHelpWindows(33);  // an owner with none: nothing changes
        EXPECT_EQ(help.OpenWindows().size(), 3);
        EXPECT_TRUE(viewer.closeMessages().isEmpty());

        // The user closed one himself: it leaves the record without a close message.
        viewer.userCloses(contents);
        help.CloseHelpWindows(11);
        EXPECT_EQ(viewer.closeMessages(), QList<quintptr>{editorHelp});
        ASSERT_EQ(help.OpenWindows().size(), 1);
        EXPECT_EQ(help.OpenWindows().at(0).window, treeHelp);

        help.OpenTOC();
        help.CloseAll();
        EXPECT_TRUE(help.OpenWindows().isEmpty());
        EXPECT_TRUE(viewer.openWindows().isEmpty());

        help.OpenTOC(QString(), 11);  // left open: the help object closes it as it goes
    }
    EXPECT_TRUE(viewer.openWindows().isEmpty());
    EXPECT_FALSE(viewer.initialized());
}

TEST(HtmlHelp, APageHandedToTheBrowserRecordsNothingAndNoViewerShowsNothing) {
    platform::InMemoryHelpViewer browser(false);
    clsHtmlHelp help(&browser);
    help.SetFile(kHelp);
    help.OpenContext(helptopic::About, QString(), 5);
    EXPECT_EQ(pages(browser), QStringList{"about.html"});
    EXPECT_TRUE(help.OpenWindows().isEmpty());

    clsHtmlHelp none(nullptr);
    none.OpenTOC();
    none.CloseAll();
    EXPECT_TRUE(none.OpenWindows().isEmpty());
}

TEST(HtmlHelpForForm, F1AndTheHelpButtonOpenTheWindowsTopicAndUnloadClosesItsHelp) {
    platform::InMemoryHelpViewer viewer;
    auto help = std::make_shared<clsHtmlHelp>(&viewer);
    help->SetFile(kHelp);

    clsHtmlHelpForForm editor(help);
    editor.Init(101, helptopic::Editor);
    EXPECT_FALSE(editor.Form_KeyDown(113));  // F2
    editor.cmdHelp_Click();                  // bound without a Help button
    EXPECT_TRUE(viewer.shown().isEmpty());
    EXPECT_TRUE(editor.Form_KeyDown(clsHtmlHelpForForm::vbKeyF1));
    ASSERT_EQ(pages(viewer), QStringList{"editor.html"});
    EXPECT_EQ(viewer.shown().at(0).owner, 101u);

    clsHtmlHelpForForm about(help);
    about.Init(202, helptopic::About, true);
    about.cmdHelp_Click();
    EXPECT_EQ(pages(viewer).last(), QStringLiteral("about.html"));

    // The handler may change the topic or cancel.
    about.HelpHandler = [](int& contextId, bool& cancel, QString&, QString&) {
        if (contextId == helptopic::About) {
            contextId = helptopic::Contents;  // the contents page
        } else {
            cancel = true;
        }
    };
    about.OpenHelpEx();
    EXPECT_EQ(pages(viewer).last(), QStringLiteral("index.html"));
    about.SetHelpContextID(helptopic::Fields);
    about.OpenHelpEx();
    EXPECT_EQ(viewer.shown().size(), 3);

    about.Terminate();  // closes the About box's two help windows, not the editor's
    EXPECT_EQ(help->OpenWindows().size(), 1);
    EXPECT_EQ(help->OpenWindows().at(0).owner, 101u);
    about.OpenHelpEx();  // no longer bound
    EXPECT_EQ(viewer.shown().size(), 3);
    editor.Form_Unload();
    EXPECT_TRUE(help->OpenWindows().isEmpty());
}

TEST(HelpPages, EveryContextIdHasItsPageAndEveryLinkOfEveryPageLeadsSomewhere) {
    const QHash<int, QString> map = clsHtmlHelp::ContextMap(kHelp);
    QList<int> ids{helptopic::Contents,   helptopic::Editor,     helptopic::FindReplace,
                   helptopic::Fields,     helptopic::Completion, helptopic::Templates,
                   helptopic::TreeWindow, helptopic::Progress,   helptopic::About};
    for (int command = 0; command < helptopic::CommandCount; ++command) {
        ids << helptopic::FirstCommand + command;
    }
    for (int id : ids) {
        ASSERT_TRUE(map.contains(id)) << id;
        EXPECT_TRUE(QFile::exists(page(map.value(id)))) << map.value(id).toStdString();
    }

    static const QRegularExpression link(QStringLiteral("(?:href|src)=\"([^\"]+)\""));
    static const QRegularExpression heading(QStringLiteral("<title>([^<]+)</title>"));
    const QStringList files = QDir(kHelp).entryList({QStringLiteral("*.html")}, QDir::Files);
    EXPECT_GE(files.size(), 20);
    for (const QString& file : files) {
        QFile in(page(file));
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(in.readAll());
        EXPECT_TRUE(heading.match(text).hasMatch()) << file.toStdString();
        for (auto it = link.globalMatch(text); it.hasNext();) {
            const QString target = it.next().captured(1);
            if (target.startsWith(QLatin1String("http"))) {
                continue;
            }
            const QString targetFile = target.section(QLatin1Char('#'), 0, 0);
            const QString anchor = target.section(QLatin1Char('#'), 1);
            QFile linked(page(targetFile));
            ASSERT_TRUE(linked.open(QIODevice::ReadOnly))
                << file.toStdString() << " -> " << target.toStdString();
            if (!anchor.isEmpty()) {
                EXPECT_TRUE(
                    QString::fromUtf8(linked.readAll()).contains(QStringLiteral("id=\"%1\"").arg(anchor)))
                    << file.toStdString() << " -> " << target.toStdString();
            }
        }
    }
}
