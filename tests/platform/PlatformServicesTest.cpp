#include "platform/InMemoryPrompter.h"
#include "platform/InMemorySettingsStore.h"
#include "platform/QtSettingsStore.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::Message;
using platform::MsgButtons;
using platform::MsgResult;

TEST(InMemoryPrompterTest, AnUnansweredMessageTakesItsDefaultButton) {
    platform::InMemoryPrompter prompter;
    const std::tuple<MsgButtons, int, MsgResult> cases[] = {
        {MsgButtons::Ok, 1, MsgResult::Ok},
        {MsgButtons::YesNo, 2, MsgResult::No},
        {MsgButtons::YesNoCancel, 3, MsgResult::Cancel},
        {MsgButtons::YesNoCancel, 1, MsgResult::Yes},
        {MsgButtons::OkCancel, 2, MsgResult::Cancel},
        {MsgButtons::RetryCancel, 1, MsgResult::Retry},
        {MsgButtons::YesNo, 3, MsgResult::Yes},
    };
    for (const auto& [buttons, defaultButton, expected] : cases) {
        Message message;
        message.buttons = buttons;
        message.defaultButton = defaultButton;
        EXPECT_EQ(prompter.msgBox(message), expected);
    }
    // A scripted answer wins over the default, once.
    Message question;
    question.text = QStringLiteral("Save?");
    question.buttons = MsgButtons::YesNo;
    question.defaultButton = 2;
    prompter.answer(MsgResult::Yes);
    EXPECT_EQ(prompter.msgBox(question), MsgResult::Yes);
    EXPECT_EQ(prompter.msgBox(question), MsgResult::No);
    EXPECT_EQ(prompter.messages().size(), 9u);
    EXPECT_EQ(prompter.messages().back().text, QStringLiteral("Save?"));
}

TEST(InMemoryPrompterTest, ACancelledInputIsNotAnEmptyAnswer) {
    platform::InMemoryPrompter prompter;
    prompter.answerInput(std::nullopt);
    prompter.answerInput(QString());
    EXPECT_FALSE(prompter.inputBox(QStringLiteral("Name"), QString(), QStringLiteral("Query1")).has_value());
    const auto empty = prompter.inputBox(QStringLiteral("Name"), QString(), QStringLiteral("Query1"));
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->isEmpty());
    EXPECT_EQ(prompter.inputBox(QStringLiteral("Name"), QString(), QStringLiteral("Query1")),
              QStringLiteral("Query1"));
    EXPECT_EQ(prompter.inputs().size(), 3u);
}

TEST(SettingsStoreTest, BothStoresReadBackWhatWasWrittenIgnoringCase) {
    QTemporaryDir folder;
    platform::InMemorySettingsStore memory;
    platform::QtSettingsStore qt(folder.filePath(QStringLiteral("settings.ini")));
    for (platform::SettingsStore* store :
         {static_cast<platform::SettingsStore*>(&memory), static_cast<platform::SettingsStore*>(&qt)}) {
        const QString app = QStringLiteral("VEXOR Qorvel Editor");
        const QString section = QStringLiteral("Settings");
        EXPECT_EQ(store->value(app, section, QStringLiteral("ToolbarVisible"), QStringLiteral("none")),
                  QStringLiteral("none"));
        store->setValue(app, section, QStringLiteral("ToolbarVisible"), QStringLiteral("-1"));
        store->setValue(app, section, QStringLiteral("ToolbarExists"), QStringLiteral("0"));
        EXPECT_EQ(store->value(app, section, QStringLiteral("ToolbarVisible"), QString()),
                  QStringLiteral("-1"));
        EXPECT_EQ(store->value(app, section, QStringLiteral("ToolbarExists"), QString()),
                  QStringLiteral("0"));
        EXPECT_EQ(store->value(app, QStringLiteral("Other"), QStringLiteral("ToolbarExists"), QString()),
                  QString());
    }
    EXPECT_EQ(memory.value(QStringLiteral("vexor qorvel editor"), QStringLiteral("SETTINGS"),
                           QStringLiteral("toolbarvisible"), QString()),
              QStringLiteral("-1"));
}
