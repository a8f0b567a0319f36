#include "common/QStringPrinter.h"
#include "common/TextFiles.h"

#include "platform/InMemoryPrompter.h"
#include "platform/InMemoryShell.h"
#include "platform/LoadedForms.h"
#include "platform/Platform.h"
#include "support/CMailToProtocol.h"
#include "support/mErrorHandle.h"

#include <gtest/gtest.h>

namespace {

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

const QString kCaption = QStringLiteral("VEXOR Qorvel Editor v." QORVEL_VERSION ": Error");

class ErrorHandleTest : public ::testing::Test {
protected:
    void SetUp() override {
        services.prompter = &prompter;
        services.shell = &shell;
        services.forms = std::make_shared<platform::LoadedForms>();
    }

    const platform::Message& OnlyMessage() const {
        EXPECT_EQ(prompter.messages().size(), 1u);
        return prompter.messages().back();
    }

    platform::InMemoryPrompter prompter;
    platform::InMemoryShell shell;
    platform::Services services;
};

}  // namespace

TEST_F(ErrorHandleTest, DataAccessErrorsAreShownPlainly) {
    ErrorHandle(services,
                host::Error(3078, QStringLiteral("The table 'Ordrs' does not exist."),
                            QStringLiteral("DAO.Database")),
                12, QStringLiteral("Order Totals"), QStringLiteral("GetTableFields"),
                QStringLiteral("mMain"));
    const auto& message = OnlyMessage();
    EXPECT_EQ(message.text, QStringLiteral("The table 'Ordrs' does not exist.\r\nOrder Totals"));
    EXPECT_EQ(message.buttons, MsgButtons::Ok);
    EXPECT_EQ(message.icon, MsgIcon::None);
    EXPECT_TRUE(message.title.isEmpty());
    EXPECT_TRUE(shell.opened().isEmpty());
}

TEST_F(ErrorHandleTest, OtherErrorsOfferAProblemReport) {
    prompter.answer(MsgResult::Yes);
    ErrorHandle(services, host::Error(91, QStringLiteral("Object variable not set"), QStringLiteral("plavo")),
                120, QString(), QStringLiteral("GetTableFields"), QStringLiteral("mMain"));
    const auto& message = OnlyMessage();
    EXPECT_EQ(message.text,
              QStringLiteral("Error 91: Object variable not set \r\n in plavo.mMain.GetTableFields line 120 "
                             "\r\n\r\nDo you want to report the problem?"));
    EXPECT_EQ(message.title, kCaption);
    EXPECT_EQ(message.buttons, MsgButtons::YesNo);
    EXPECT_EQ(message.icon, MsgIcon::Critical);
    EXPECT_EQ(message.defaultButton, 2);
    ASSERT_EQ(shell.opened().size(), 1);
    EXPECT_EQ(shell.opened()[0], readTextFile(QStringLiteral(QORVEL_TEST_DATA_DIR "/report-link.txt"))
                                     .trimmed()
                                     .replace(QStringLiteral("{version}"), QStringLiteral(QORVEL_VERSION)));
}

TEST_F(ErrorHandleTest, NoIsTheDefaultAnswer) {
    ErrorHandle(services, host::Error(5, QStringLiteral("Invalid call"), QStringLiteral("plavo")), 0,
                QStringLiteral("more"), QStringLiteral("Form_Load"), QStringLiteral("frmEditor"));
    EXPECT_EQ(OnlyMessage().text,
              QStringLiteral("Error 5: Invalid call \r\n in plavo.frmEditor.Form_Load line 0 "
                             "\r\n\r\nmore\r\n\r\nDo you want to report the problem?"));
    EXPECT_TRUE(shell.opened().isEmpty());
}

TEST_F(ErrorHandleTest, WithoutSourceOrLocationThereIsNoInLine) {
    ErrorHandle(services, host::Error(13, QStringLiteral("Type mismatch"), QString()), 0, QString(),
                QString(), QString());
    EXPECT_EQ(OnlyMessage().text,
              QStringLiteral("Error 13: Type mismatch  line 0 \r\n\r\nDo you want to report the problem?"));
    prompter.clear();
    ShowError(services, 13, 7, QStringLiteral("Type mismatch"), QString(), QString(), QString(), false,
              QString());
    EXPECT_EQ(OnlyMessage().text, QStringLiteral(" 13: Type mismatch  line 7 "));
    EXPECT_EQ(OnlyMessage().title, QStringLiteral("VEXOR Qorvel Editor v." QORVEL_VERSION ": "));
    EXPECT_EQ(OnlyMessage().buttons, MsgButtons::Ok);
}

TEST_F(ErrorHandleTest, AnAddressIsCutFromTheReportButNotFromAPlainMessage) {
    const QString description = QStringLiteral("Cannot send to jane@example.org now");
    ShowError(services, 1, 2, description, QString(), QStringLiteral("plavo"), QStringLiteral("m.p"), false,
              QString());
    EXPECT_EQ(OnlyMessage().text,
              QStringLiteral(" 1: Cannot send to jane@example.org now \r\n in plavo.m.p line 2 "));

    prompter.clear();
    prompter.answer(MsgResult::Yes);
    ShowError(services, 1, 2, description, QString(), QStringLiteral("plavo"), QStringLiteral("m.p"), true,
              QStringLiteral("tail"));
    EXPECT_EQ(OnlyMessage().text,
              QStringLiteral("Error 1: Cannot send to jane\r\n\r\nDo you want to report the problem?"));
    ASSERT_EQ(shell.opened().size(), 1);
    EXPECT_FALSE(shell.opened()[0].contains(QStringLiteral("example.org")));
    EXPECT_TRUE(shell.opened()[0].endsWith(QStringLiteral(
        "Body=Please%20contact%20me%20about%20the%20following%20problem:%0d%0a%0d%0aError%201:%20Cannot"
        "%20send%20to%20jane%0d%0a%0d%0aDESCRIBE%20WHAT%20YOU%20TRY%20TO%20DO:%20%0d%0a%0d%0a%0d%0a"
        "DESCRIBE%20WHAT%20HAPPENS:%20%0d%0a%0d%0a%0d%0atail%0d%0a%0d%0a")));
}

TEST_F(ErrorHandleTest, OtherExceptionsAreReportedAsTheAddinsOwn) {
    try {
        throw std::runtime_error("bad state");
    } catch (...) {
        ErrorHandleCurrent(services, QStringLiteral("Initialize"), QStringLiteral("frmQorvel"));
    }
    EXPECT_TRUE(OnlyMessage().text.startsWith(
        QStringLiteral("Error 5: bad state \r\n in plavo.frmQorvel.Initialize")));
}

namespace {

// A prompter that notes whether the progress window was top-most while the message was up.
class WatchingPrompter : public platform::InMemoryPrompter {
public:
    std::function<void()> onMessage;
    MsgResult msgBox(const platform::Message& message) override {
        onMessage();
        return InMemoryPrompter::msgBox(message);
    }
};

class ProgressForm : public platform::LoadedForm {
public:
    ProgressForm(const std::shared_ptr<platform::LoadedForms>& forms, QString name) : mName(std::move(name)) {
        setLoadedForms(forms);
        markLoaded();
    }
    QString formName() const override { return mName; }
    void setTopMost(bool on) override { topMost = on; }
    void unload() override { markUnloaded(); }
    bool topMost = true;

private:
    QString mName;
};

}  // namespace

TEST_F(ErrorHandleTest, ProgressWindowsStepBackWhileTheMessageIsUp) {
    ProgressForm progress(services.forms, QStringLiteral("frmProgressbar"));
    ProgressForm other(services.forms, QStringLiteral("frmQorvel"));
    WatchingPrompter watching;
    std::vector<bool> seen;
    watching.onMessage = [&] {
        seen.push_back(progress.topMost);
        seen.push_back(other.topMost);
    };
    services.prompter = &watching;
    ErrorHandle(services,
                host::Error(3265, QStringLiteral("Item not found"), QStringLiteral("DAO.QueryDefs")), 0,
                QString(), QStringLiteral("QueryUsedBy"), QStringLiteral("frmQorvel"));
    ErrorHandle(services, host::Error(5, QStringLiteral("Invalid call"), QStringLiteral("plavo")), 0,
                QString(), QStringLiteral("QueryUsedBy"), QStringLiteral("frmQorvel"));
    EXPECT_EQ(seen, std::vector<bool>({false, true, false, true}));
    EXPECT_TRUE(progress.topMost);
}

TEST(MailToTest, LongBodiesEndAtTheLastCompleteLineBreak) {
    QString body;
    for (int line = 1; line <= 120; ++line) {
        body += QStringLiteral("line %1 of the report\r\n").arg(line);
    }
    const QString link = CMailToProtocol::BuildLink(
        QStringLiteral("support@example.com"), QStringLiteral("Subject"), body, QString(), QString(), true);
    const QString uncut = CMailToProtocol::BuildLink(
        QStringLiteral("support@example.com"), QStringLiteral("Subject"), body, QString(), QString(), false);
    EXPECT_EQ(uncut.size(), 2003);
    EXPECT_TRUE(uncut.startsWith(link.chopped(3)));
    EXPECT_TRUE(link.endsWith(QStringLiteral("%0d%0a...")));
    EXPECT_LE(link.size(), 2003);
    EXPECT_GT(link.size(), 2003 - 40);
    // Nothing after the last complete line: the next line would have passed the limit.
    const QString next = uncut.mid(link.size() - 3);
    EXPECT_FALSE(next.chopped(3).contains(QStringLiteral("%0d%0a")));
}

TEST(MailToTest, OnlyBlanksAndLineBreaksAreEscaped) {
    EXPECT_EQ(
        CMailToProtocol::BuildLink(QStringLiteral("a@example.com"), QStringLiteral("Runtime error"),
                                   QStringLiteral("Tom & Jerry?\r\n100%"), QStringLiteral("b@example.com"),
                                   QStringLiteral("c@example.com"), true),
        QStringLiteral("mailto:a@example.com?CC=b@example.com&BCC=c@example.com&Subject=Runtime%20error&"
                       "Body=Tom%20&%20Jerry?%0d%0a100%"));
    EXPECT_EQ(CMailToProtocol::BuildLink(QStringLiteral("a@example.com"), QString(), QString(), QString(),
                                         QString(), false),
              QStringLiteral("mailto:a@example.com?Subject=&Body="));
}

TEST(MailToTest, TheShellsAnswerDecidesTheResult) {
    platform::InMemoryShell shell;
    CMailToProtocol mail(&shell);
    for (const auto& [code, expected] : {std::pair{42, 0}, std::pair{2, CMailToProtocol::kSendFailed},
                                         std::pair{32, CMailToProtocol::kSendFailed}, std::pair{43, 0}}) {
        shell.setResultCode(code);
        EXPECT_EQ(mail.Send(QStringLiteral("a@example.com"), QStringLiteral("s"), QStringLiteral("b")),
                  expected)
            << code;
    }
    EXPECT_EQ(CMailToProtocol(nullptr).Send(QStringLiteral("a@example.com"), QStringLiteral("s"),
                                            QStringLiteral("b")),
              CMailToProtocol::kSendFailed);
}
