// Readable failure output for host objects in GoogleTest: "query 'Order List'" instead of bytes.
#pragma once

#include "hostapi/host.h"

#include <iterator>
#include <ostream>

namespace host {

inline void PrintTo(const ObjectRef& object, std::ostream* out) {
    static const char* const kinds[] = {"table",   "query", "form",        "report",  "macro",
                                        "module",  "page",  "server view", "diagram", "stored procedure",
                                        "function"};
    const auto code = static_cast<std::size_t>(object.type);
    *out << (code < std::size(kinds) ? kinds[code] : "object") << " '" << object.name.toStdString() << '\'';
}

}  // namespace host
