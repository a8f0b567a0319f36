// The one error path of the add-in: every procedure hands its caught failure here with its location.
#pragma once

#include "hostapi/host.h"
#include "platform/Platform.h"

#include <QString>

#include <exception>

// Source of the add-in's own run-time errors.
inline const QString kProjectName = QStringLiteral("plavo");

inline constexpr int errInvalidArgument = 5;
[[noreturn]] inline void RaiseInvalidArgument() {
    throw host::Error(errInvalidArgument, QStringLiteral("Invalid procedure call or argument"), kProjectName);
}

// Reports one caught error: a data access error (source "DAO.*") as a plain message, anything else as a
// problem report that offers an e-mail to support.
// The message goes through the services' prompter; their progress windows leave the top-most band meanwhile.
void ErrorHandle(const platform::Services& services, const host::Error& error, int line,
                 const QString& additionalText, const QString& procedureName, const QString& moduleName);

// The same for whatever is being handled in the current catch block: a host::Error as it is, any other
// exception as an add-in error of source kProjectName. Call only from inside a catch block.
void ErrorHandleCurrent(const platform::Services& services, const QString& procedureName,
                        const QString& moduleName, const QString& additionalText = QString());

// Builds and shows the problem message; with askToReport it offers to mail it to support, the mail
// ending in mailText. location is "module.procedure".
void ShowError(const platform::Services& services, int number, int line, const QString& description,
               const QString& additionalText, const QString& source, const QString& location,
               bool askToReport, const QString& mailText);
