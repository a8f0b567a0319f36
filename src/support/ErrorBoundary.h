// The boundary of a procedure that catches its own failures: runs its body, and hands any failure to the one
// error path with the procedure's location, so that the body reads without a try block of its own.
#pragma once

#include "support/mErrorHandle.h"

#include <QString>

#include <type_traits>
#include <utility>

// Runs work and returns its result; on a failure reports it and returns failureValue.
template <typename Work, typename Result = std::invoke_result_t<Work>>
Result ErrorBoundary(const platform::Services& services, const QString& procedureName,
                     const QString& moduleName, Result failureValue, Work&& work) {
    try {
        return std::forward<Work>(work)();
    } catch (...) {
        ErrorHandleCurrent(services, procedureName, moduleName);
        return failureValue;
    }
}

// The same for a body without a result; true when it ran to its end.
template <typename Work>
bool ErrorBoundary(const platform::Services& services, const QString& procedureName,
                   const QString& moduleName, Work&& work) {
    try {
        std::forward<Work>(work)();
        return true;
    } catch (...) {
        ErrorHandleCurrent(services, procedureName, moduleName);
        return false;
    }
}
