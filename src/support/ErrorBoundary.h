// The boundary of a procedure that catches its own failures: runs the body and hands any failure to the
// one error path with the procedure's location. Returns false when the body failed.
#pragma once

#include "support/mErrorHandle.h"

#include <QString>

#include <utility>

template <typename Body>
bool ReportFailures(const QString& moduleName, const QString& procedureName, Body&& body) {
    try {
        std::forward<Body>(body)();
        return true;
    } catch (...) {
        ErrorHandleCurrent(procedureName, moduleName);
        return false;
    }
}
