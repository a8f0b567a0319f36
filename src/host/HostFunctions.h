// The host's expression functions (IIf, Nz, Left, Format, DateAdd, ...) and aggregates (First, Last,
// StDev, ...) as SQLite functions, plus the operators whose meaning differs from SQLite's (& and + on text,
// / \ Mod ^). Registered on every connection of the engine; the translator calls them by name.
//
// Values keep the engine's storage: Date/Time is text "yyyy-MM-dd HH:mm:ss", Yes/No is -1 or 0. A function
// that fails raises an SQLite error whose message is "#N text", N being the host's error number; the engine
// turns it back into that host error.
#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <optional>

struct sqlite3;

namespace qdb {

// Registers every function on the connection.
void registerHostFunctions(sqlite3* db);

// How a call of the host function of that name (any case) is written for SQLite; nothing when the host
// has no such function. Aggregates are marked so the translator knows a query groups.
struct HostFunction {
    QString sqlName;
    bool aggregate = false;
    int minArguments = 0;
    int maxArguments = 0;
};
std::optional<HostFunction> hostFunction(const QString& name);

// The names of the engine's operator functions, for the translator.
inline constexpr char kConcatFunction[] = "host_concat";   // a & b: Null is empty text
inline constexpr char kAddFunction[] = "host_add";         // a + b: numbers, text, or a date and days
inline constexpr char kSubtractFunction[] = "host_sub";    // a - b: numbers, or dates and days
inline constexpr char kDivideFunction[] = "host_div";      // a / b: always a real division
inline constexpr char kIntDivideFunction[] = "host_idiv";  // a \ b: rounded operands, truncated quotient
inline constexpr char kModFunction[] = "host_mod";         // a Mod b
inline constexpr char kPowerFunction[] = "host_pow";       // a ^ b

// A value as the host's Date/Time when it is one: a QDateTime or text of the engine's stored form
// (yyyy-MM-dd, optionally followed by " HH:mm:ss" or "THH:mm:ss").
std::optional<QDateTime> storedDateTime(const QVariant& value);
// A Date/Time in the engine's stored form.
QString dateTimeText(const QDateTime& value);
// A number in its shortest exact form with "." (no exponent).
QString numberText(double value);

}  // namespace qdb
