#include "support/mErrorHandle.h"

#include "platform/LoadedForms.h"
#include "platform/Prompter.h"
#include "support/AppVersion.h"
#include "support/CMailToProtocol.h"
#include "support/SupportAddresses.h"

#include <vector>

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

// While a message is up, the progress windows leave the top-most band so that they cannot hide it.
class ProgressWindowsLowered {
public:
    explicit ProgressWindowsLowered(std::shared_ptr<platform::LoadedForms> forms) : mForms(std::move(forms)) {
        if (!mForms) {
            return;
        }
        for (auto* form : mForms->forms()) {
            if (form->formName() == QLatin1String("frmProgressbar")) {
                mLowered.push_back(form);
                form->setTopMost(false);
            }
        }
    }
    ~ProgressWindowsLowered() {
        for (auto* form : mLowered) {
            if (mForms->contains(form)) {
                form->setTopMost(true);
            }
        }
    }
    ProgressWindowsLowered(const ProgressWindowsLowered&) = delete;
    ProgressWindowsLowered& operator=(const ProgressWindowsLowered&) = delete;

private:
    std::shared_ptr<platform::LoadedForms> mForms;
    std::vector<platform::LoadedForm*> mLowered;
};

platform::MsgResult Show(const platform::Services& services, const platform::Message& message) {
    auto* prompter = services.prompter;
    return prompter ? prompter->msgBox(message) : platform::MsgResult::Ok;
}

}  // namespace

void ErrorHandle(const platform::Services& services, const host::Error& error, int line,
                 const QString& additionalText, const QString& procedureName, const QString& moduleName) {
    try {
        // Callers that pass their location in the additional text give no location here.
        const QString location =
            moduleName.isEmpty() && procedureName.isEmpty() ? QString() : moduleName + u'.' + procedureName;
        const ProgressWindowsLowered lowered(services.forms);
        if (error.source().startsWith(QLatin1String("DAO."))) {
            platform::Message message;
            message.text = error.description() + kLineBreak + additionalText;
            Show(services, message);
        } else {
            ShowError(services, error.number(), line, error.description(), additionalText, error.source(),
                      location, true, QString());
        }
    } catch (...) {
        // The error path never raises.
    }
}

void ErrorHandleCurrent(const platform::Services& services, const QString& procedureName,
                        const QString& moduleName, const QString& additionalText) {
    try {
        throw;
    } catch (const host::Error& error) {
        ErrorHandle(services, error, 0, additionalText, procedureName, moduleName);
    } catch (const std::exception& error) {
        ErrorHandle(services, host::Error(5, QString::fromUtf8(error.what()), kProjectName), 0,
                    additionalText, procedureName, moduleName);
    } catch (...) {
        ErrorHandle(services, host::Error(5, QStringLiteral("Unknown failure"), kProjectName), 0,
                    additionalText, procedureName, moduleName);
    }
}

void ShowError(const platform::Services& services, int number, int line, const QString& description,
               const QString& additionalText, const QString& source, const QString& location,
               bool askToReport, const QString& mailText) {
    const QString extra = additionalText.isEmpty() ? QString() : kLineBreak + kLineBreak + additionalText;
    const QString where = location.isEmpty() && source.isEmpty()
                              ? location
                              : kLineBreak + QStringLiteral(" in ") + source + u'.' + location;

    const QString titleLine = AppTitleAndVersion();
    QString caption = askToReport ? QStringLiteral("Error") : QString();
    QString text = caption;
    if (!titleLine.isEmpty()) {
        caption = titleLine + QStringLiteral(": ") + caption;
    }
    text += u' ' + QString::number(number) + QStringLiteral(": ") + description + u' ' + where +
            QStringLiteral(" line ") + QString::number(line) + u' ' + extra;

    platform::Message message;
    message.title = caption;
    message.icon = platform::MsgIcon::Critical;
    if (!askToReport) {
        message.text = text;
        Show(services, message);
        return;
    }

    // An address in the text is the user's business, not support's.
    const qsizetype at = text.indexOf(u'@');
    if (at >= 0) {
        text.truncate(at);
    }
    const QString body = QStringLiteral("Please contact me about the following problem:") + kLineBreak +
                         kLineBreak + text + kLineBreak + kLineBreak +
                         QStringLiteral("DESCRIBE WHAT YOU TRY TO DO: ") + kLineBreak + kLineBreak +
                         kLineBreak + QStringLiteral("DESCRIBE WHAT HAPPENS: ") + kLineBreak + kLineBreak +
                         kLineBreak + mailText + kLineBreak + kLineBreak;

    message.text = text + kLineBreak + kLineBreak + QStringLiteral("Do you want to report the problem?");
    message.buttons = platform::MsgButtons::YesNo;
    message.defaultButton = 2;
    if (Show(services, message) == platform::MsgResult::Yes) {
        CMailToProtocol(services.shell)
            .Send(kSupportAddress, QStringLiteral("Runtime error in ") + titleLine, body, QString(),
                  QString(), true);
    }
}
