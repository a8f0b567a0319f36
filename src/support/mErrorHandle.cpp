#include "support/mErrorHandle.h"

#include "platform/Platform.h"
#include "platform/Prompter.h"

// Provisional: shows every error plainly; the problem report comes with the support services.
void ErrorHandle(const host::Error& error, int line, const QString& additionalText, const QString& procedureName,
                 const QString& moduleName) {
    auto* prompter = platform::services().prompter;
    if (!prompter) {
        return;
    }
    platform::Message message;
    message.text = QStringLiteral("Error %1: %2 in %3.%4.%5 line %6 %7")
                       .arg(error.number())
                       .arg(error.description(), error.source(), moduleName, procedureName)
                       .arg(line)
                       .arg(additionalText);
    message.icon = platform::MsgIcon::Critical;
    prompter->msgBox(message);
}

void ErrorHandleCurrent(const QString& procedureName, const QString& moduleName, const QString& additionalText) {
    try {
        throw;
    } catch (const host::Error& error) {
        ErrorHandle(error, 0, additionalText, procedureName, moduleName);
    } catch (const std::exception& error) {
        ErrorHandle(host::Error(5, QString::fromUtf8(error.what()), kProjectName), 0, additionalText, procedureName,
                    moduleName);
    } catch (...) {
        ErrorHandle(host::Error(5, QStringLiteral("Unknown failure"), kProjectName), 0, additionalText,
                    procedureName, moduleName);
    }
}
