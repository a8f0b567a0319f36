#include "host/HostFunctions.h"

#include "host/HostText.h"

#include <sqlite3.h>

#include <QHash>
#include <QRegularExpression>

#include <charconv>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace qdb {

namespace {

// A failure with the host's error number, raised inside a function.
struct Failure {
    int number;
    const char* text;
};

const Failure kInvalidCall{5, "Invalid procedure call or argument"};
const Failure kOverflow{6, "Overflow"};
const Failure kDivisionByZero{11, "Division by zero"};
const Failure kTypeMismatch{13, "Type mismatch"};
const Failure kInvalidNull{94, "Invalid use of Null"};

// One argument, read once.
struct Value {
    enum Kind { Null, Integer, Real, Text } kind = Null;
    qint64 integer = 0;
    double real = 0;
    QString text;
    qint64 bytes = 0;  // the size of the value as stored: UTF-16 text, or a binary's bytes

    bool isNull() const { return kind == Null; }
};

Value readValue(sqlite3_value* value) {
    Value result;
    switch (sqlite3_value_type(value)) {
        case SQLITE_INTEGER:
            result.kind = Value::Integer;
            result.integer = sqlite3_value_int64(value);
            break;
        case SQLITE_FLOAT:
            result.kind = Value::Real;
            result.real = sqlite3_value_double(value);
            break;
        case SQLITE_NULL:
            break;
        case SQLITE_BLOB:
            // A binary (an OLE object) reads as text only for its size.
            result.kind = Value::Text;
            result.bytes = sqlite3_value_bytes(value);
            return result;
        default:
            result.kind = Value::Text;
            result.text = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(value)),
                                            sqlite3_value_bytes(value));
            result.bytes = result.text.size() * 2;
            break;
    }
    return result;
}

using Args = std::vector<Value>;
// A result: a null QVariant is Null; qlonglong, double or QString otherwise.
using Result = QVariant;

// --- Dates ---------------------------------------------------------------------------------------------

const QDate kSerialEpoch(1899, 12, 30);

QDateTime makeDateTime(QDate date, QTime time = QTime(0, 0)) {
    return QDateTime(date, time, Qt::UTC);
}

double serialOf(const QDateTime& value) {
    const double days = double(kSerialEpoch.daysTo(value.date()));
    return days + value.time().msecsSinceStartOfDay() / 86400000.0;
}

QDateTime fromSerial(double serial) {
    if (!std::isfinite(serial) || std::abs(serial) > 3.0e6) {
        throw kOverflow;
    }
    const double days = std::floor(serial);
    const qint64 seconds = std::llround((serial - days) * 86400.0);
    return makeDateTime(kSerialEpoch.addDays(qint64(days))).addSecs(seconds);
}

// Two-digit years as the host reads them: 00 to 29 this century, 30 to 99 the last one.
int fullYear(int year) {
    if (year < 30) {
        return 2000 + year;
    }
    if (year < 100) {
        return 1900 + year;
    }
    return year;
}

int hourOf(int hour, const QString& meridiem) {
    if (meridiem.isEmpty()) {
        return hour;
    }
    const bool pm = meridiem.compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0;
    return hour % 12 + (pm ? 12 : 0);
}

// Text the host reads as a date: the stored form, the host's US order (M/D/Y, with an optional time), or
// a time alone (on the host's day zero).
std::optional<QDateTime> parseDateText(const QString& input) {
    const QString text = input.trimmed();
    if (auto stored = storedDateTime(text)) {
        return stored;
    }
    static const QRegularExpression us(
        QStringLiteral(
            "^(\\d{1,2})/(\\d{1,2})/(\\d{1,4})(?:\\s+(\\d{1,2}):(\\d{2})(?::(\\d{2}))?\\s*(AM|PM)?)?$"),
        QRegularExpression::CaseInsensitiveOption);
    if (const auto match = us.match(text); match.hasMatch()) {
        const QDate date(fullYear(match.captured(3).toInt()), match.captured(1).toInt(),
                         match.captured(2).toInt());
        const QTime time(hourOf(match.captured(4).toInt(), match.captured(7)), match.captured(5).toInt(),
                         match.captured(6).toInt());
        if (date.isValid() && time.isValid()) {
            return makeDateTime(date, time);
        }
        return std::nullopt;
    }
    static const QRegularExpression timeOnly(
        QStringLiteral("^(\\d{1,2}):(\\d{2})(?::(\\d{2}))?\\s*(AM|PM)?$"),
        QRegularExpression::CaseInsensitiveOption);
    if (const auto match = timeOnly.match(text); match.hasMatch()) {
        const QTime time(hourOf(match.captured(1).toInt(), match.captured(4)), match.captured(2).toInt(),
                         match.captured(3).toInt());
        if (time.isValid()) {
            return makeDateTime(kSerialEpoch, time);
        }
    }
    return std::nullopt;
}

std::optional<double> parseNumberText(const QString& input) {
    const QString text = input.trimmed();
    if (text.isEmpty()) {
        return std::nullopt;
    }
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (ok && std::isfinite(number)) {
        return number;
    }
    return std::nullopt;
}

QDateTime toDate(const Value& value) {
    switch (value.kind) {
        case Value::Null:
            throw kInvalidNull;
        case Value::Integer:
            return fromSerial(double(value.integer));
        case Value::Real:
            return fromSerial(value.real);
        case Value::Text:
            if (auto date = parseDateText(value.text)) {
                return *date;
            }
            if (auto number = parseNumberText(value.text)) {
                return fromSerial(*number);
            }
            throw kTypeMismatch;
    }
    throw kTypeMismatch;
}

double toNumber(const Value& value) {
    switch (value.kind) {
        case Value::Null:
            throw kInvalidNull;
        case Value::Integer:
            return double(value.integer);
        case Value::Real:
            return value.real;
        case Value::Text:
            if (auto number = parseNumberText(value.text)) {
                return *number;
            }
            if (auto date = parseDateText(value.text)) {
                return serialOf(*date);
            }
            throw kTypeMismatch;
    }
    throw kTypeMismatch;
}

bool isNumberValue(const Value& value) {
    return value.kind == Value::Integer || value.kind == Value::Real;
}

QString toText(const Value& value) {
    switch (value.kind) {
        case Value::Null:
            throw kInvalidNull;
        case Value::Integer:
            return QString::number(value.integer);
        case Value::Real:
            return numberText(value.real);
        case Value::Text:
            return value.text;
    }
    return {};
}

// The host's banker's rounding to a number of decimals: a half goes to the even neighbour.
double roundHalfEven(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    const double floor = std::floor(scaled);
    const double fraction = scaled - floor;
    double rounded = 0;
    // A half that floating point shows as a hair below or above one is still a half.
    if (std::abs(fraction - 0.5) < 1e-9 * std::max(1.0, std::abs(scaled))) {
        rounded = std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
    } else {
        rounded = std::round(scaled);
    }
    return rounded / scale;
}

qint64 toWhole(const Value& value, double low, double high) {
    const double rounded = roundHalfEven(toNumber(value), 0);
    if (rounded < low || rounded > high) {
        throw kOverflow;
    }
    return qint64(rounded);
}

int toInt(const Value& value) {
    return int(toWhole(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

bool isTrue(const Value& value) {
    if (value.isNull()) {
        return false;
    }
    return toNumber(value) != 0;
}

Result numberResult(double value) {
    if (std::floor(value) == value && std::abs(value) < 9.0e15) {
        return QVariant(qlonglong(value));
    }
    return QVariant(value);
}

Result dateResult(const QDateTime& value) {
    if (!value.isValid() || value.date().year() < 100 || value.date().year() > 9999) {
        throw kOverflow;
    }
    return dateTimeText(value);
}

Result truth(bool value) {
    return QVariant(qlonglong(value ? -1 : 0));
}

bool binaryCompare(const Args& args, size_t index) {
    return args.size() > index && !args[index].isNull() && toInt(args[index]) == 0;
}

Qt::CaseSensitivity sensitivity(bool binary) {
    return binary ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

// --- Intervals of DateAdd, DateDiff, DatePart ----------------------------------------------------------

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

Interval toInterval(const Value& value) {
    static const QHash<QString, Interval> intervals = {
        {"yyyy", Interval::Year},   {"q", Interval::Quarter}, {"m", Interval::Month},
        {"y", Interval::DayOfYear}, {"d", Interval::Day},     {"w", Interval::Weekday},
        {"ww", Interval::Week},     {"h", Interval::Hour},    {"n", Interval::Minute},
        {"s", Interval::Second},
    };
    const auto found = intervals.constFind(toText(value).trimmed().toLower());
    if (found == intervals.constEnd()) {
        throw kInvalidCall;
    }
    return *found;
}

// The weekday 1 to 7 counted from the given first day (1 Sunday, ..., 7 Saturday).
int weekdayOf(QDate date, int firstDay) {
    const int sundayBased = date.dayOfWeek() % 7 + 1;  // 1 Sunday
    return (sundayBased - firstDay + 7) % 7 + 1;
}

int firstDayArgument(const Args& args, size_t index) {
    if (args.size() <= index || args[index].isNull()) {
        return 1;
    }
    const int day = toInt(args[index]);
    if (day == 0) {
        return 1;  // the system's setting, which is Sunday here
    }
    if (day < 1 || day > 7) {
        throw kInvalidCall;
    }
    return day;
}

QDateTime addMonths(const QDateTime& value, qint64 months) {
    // Qt clamps the day to the end of a shorter month, as the host does.
    return makeDateTime(value.date().addMonths(int(months)), value.time());
}

// The week of the year: week 1 holds January 1.
int weekOfYear(QDate date, int firstDay) {
    const QDate first(date.year(), 1, 1);
    const int offset = weekdayOf(first, firstDay) - 1;
    return int((first.daysTo(date) + offset) / 7) + 1;
}

// --- Format --------------------------------------------------------------------------------------------

const char* const kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
const char* const kDayNames[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                 "Friday", "Saturday", "Sunday"};

QString monthName(int month, bool shortName) {
    const QString name = QLatin1String(kMonthNames[month - 1]);
    return shortName ? name.left(3) : name;
}

QString dayName(QDate date, bool shortName) {
    const QString name = QLatin1String(kDayNames[date.dayOfWeek() - 1]);
    return shortName ? name.left(3) : name;
}

QString twoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString formatDate(const QDateTime& value, const QString& format);

// The host's named date and time formats, in its US settings.
std::optional<QString> namedDateFormat(const QString& name) {
    static const QHash<QString, QString> named = {
        {"short date", "m/d/yyyy"}, {"medium date", "dd-mmm-yy"},   {"long date", "dddd, mmmm d, yyyy"},
        {"short time", "hh:nn"},    {"medium time", "hh:nn AM/PM"}, {"long time", "h:nn:ss AM/PM"},
    };
    const auto found = named.constFind(name.toLower());
    if (found == named.constEnd()) {
        return std::nullopt;
    }
    return *found;
}

QString generalDate(const QDateTime& value) {
    QString text;
    if (value.date() != kSerialEpoch) {
        text = formatDate(value, QStringLiteral("m/d/yyyy"));
    }
    if (value.time() != QTime(0, 0) || text.isEmpty()) {
        if (!text.isEmpty()) {
            text += QLatin1Char(' ');
        }
        text += formatDate(value, QStringLiteral("h:nn:ss AM/PM"));
    }
    return text;
}

QString formatDate(const QDateTime& value, const QString& format) {
    const QDate date = value.date();
    const QTime time = value.time();
    const bool twelveHour = format.contains(QLatin1String("AM/PM"), Qt::CaseInsensitive) ||
                            format.contains(QLatin1String("A/P"), Qt::CaseInsensitive);
    QString out;
    bool afterHour = false;  // m right after h means minutes
    qsizetype i = 0;
    const auto run = [&](QChar c) {
        qsizetype n = 0;
        while (i + n < format.size() && format[i + n].toLower() == c) {
            ++n;
        }
        return n;
    };
    while (i < format.size()) {
        const QChar c = format[i];
        const QChar lower = c.toLower();
        if (c == QLatin1Char('"')) {
            const qsizetype end = format.indexOf(QLatin1Char('"'), i + 1);
            out += format.mid(i + 1, end < 0 ? -1 : end - i - 1);
            i = end < 0 ? format.size() : end + 1;
            continue;
        }
        if (c == QLatin1Char('\\') && i + 1 < format.size()) {
            out += format[i + 1];
            i += 2;
            continue;
        }
        if (format.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            const QString marker = time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
            out += format[i].isLower() ? marker.toLower() : marker;
            i += 5;
            continue;
        }
        if (format.mid(i, 3).compare(QLatin1String("A/P"), Qt::CaseInsensitive) == 0) {
            const QChar marker = time.hour() < 12 ? QLatin1Char('A') : QLatin1Char('P');
            out += format[i].isLower() ? marker.toLower() : marker;
            i += 3;
            continue;
        }
        const qsizetype n = run(lower);
        if (lower == u'd') {
            if (n >= 5) {
                out += formatDate(value, QStringLiteral("m/d/yyyy"));
            } else if (n == 4) {
                out += dayName(date, false);
            } else if (n == 3) {
                out += dayName(date, true);
            } else {
                out += n == 2 ? twoDigits(date.day()) : QString::number(date.day());
            }
            afterHour = false;
        } else if (lower == u'm') {
            if (afterHour && n <= 2) {
                out += n == 2 ? twoDigits(time.minute()) : QString::number(time.minute());
            } else if (n >= 4) {
                out += monthName(date.month(), false);
            } else if (n == 3) {
                out += monthName(date.month(), true);
            } else {
                out += n == 2 ? twoDigits(date.month()) : QString::number(date.month());
            }
            afterHour = false;
        } else if (lower == u'y') {
            if (n >= 3) {
                out += QString::number(date.year());
            } else if (n == 2) {
                out += twoDigits(date.year() % 100);
            } else {
                out += QString::number(date.dayOfYear());
            }
            afterHour = false;
        } else if (lower == u'h') {
            int hour = time.hour();
            if (twelveHour) {
                hour = hour % 12 == 0 ? 12 : hour % 12;
            }
            out += n >= 2 ? twoDigits(hour) : QString::number(hour);
            afterHour = true;
        } else if (lower == u'n') {
            out += n >= 2 ? twoDigits(time.minute()) : QString::number(time.minute());
            afterHour = false;
        } else if (lower == u's') {
            out += n >= 2 ? twoDigits(time.second()) : QString::number(time.second());
            afterHour = false;
        } else if (lower == u'q') {
            out += QString::number((date.month() - 1) / 3 + 1);
        } else if (lower == u'w') {
            out += n >= 2 ? QString::number(weekOfYear(date, 1)) : QString::number(weekdayOf(date, 1));
        } else if (lower == u't' && n >= 5) {
            out += formatDate(value, QStringLiteral("h:nn:ss AM/PM"));
        } else if (lower == u'c') {
            out += generalDate(value);
        } else {
            out += c;
            i += 1;
            continue;
        }
        i += n;
    }
    return out;
}

bool isNamedNumberFormat(const QString& format) {
    static const QStringList named = {
        QStringLiteral("general number"), QStringLiteral("currency"),   QStringLiteral("fixed"),
        QStringLiteral("standard"),       QStringLiteral("percent"),    QStringLiteral("scientific"),
        QStringLiteral("yes/no"),         QStringLiteral("true/false"), QStringLiteral("on/off")};
    return named.contains(format.toLower());
}

bool looksLikeDateFormat(const QString& format) {
    if (isNamedNumberFormat(format)) {
        return false;
    }
    static const QRegularExpression dateLetters(QStringLiteral("[dmyhnsqw]|AM/PM|ttttt"),
                                                QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression numberLetters(QStringLiteral("[0#]"));
    return dateLetters.match(format).hasMatch() && !numberLetters.match(format).hasMatch();
}

QString groupThousands(const QString& digits) {
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) {
            out += QLatin1Char(',');
        }
        out += digits[i];
    }
    return out;
}

// Literal text of a number format section: quoted parts and \c unquoted, the rest as it is.
QString literalText(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('"')) {
            const qsizetype end = text.indexOf(QLatin1Char('"'), i + 1);
            out += text.mid(i + 1, end < 0 ? -1 : end - i - 1);
            i = end < 0 ? text.size() : end;
        } else if (text[i] == QLatin1Char('\\') && i + 1 < text.size()) {
            out += text[++i];
        } else {
            out += text[i];
        }
    }
    return out;
}

// One section of a number format ("#,##0.00", "0%", "$#,##0.00"), applied to a value's magnitude.
QString formatNumberSection(double magnitude, const QString& section) {
    // Placeholders outside quoted text.
    qsizetype first = -1;
    qsizetype last = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (!quoted && (c == QLatin1Char('0') || c == QLatin1Char('#') ||
                               ((c == QLatin1Char('.') || c == QLatin1Char(',')) && first >= 0))) {
            if (first < 0) {
                first = i;
            }
            last = i;
        } else if (!quoted && c == QLatin1Char('.') && first < 0) {
            first = last = i;
        }
    }
    if (first < 0) {
        return literalText(section);
    }
    const QString core = section.mid(first, last - first + 1);
    const QString prefix = literalText(section.left(first));
    const QString suffix = literalText(section.mid(last + 1));
    if (section.contains(QLatin1Char('%'))) {
        magnitude *= 100;
    }
    const qsizetype point = core.indexOf(QLatin1Char('.'));
    const QString integerPattern = point < 0 ? core : core.left(point);
    const QString decimalPattern = point < 0 ? QString() : core.mid(point + 1);
    const int minInteger = int(integerPattern.count(QLatin1Char('0')));
    const int minDecimals = int(decimalPattern.count(QLatin1Char('0')));
    const int maxDecimals = minDecimals + int(decimalPattern.count(QLatin1Char('#')));
    // Halves round away from zero in Format, unlike Round.
    const double scale = std::pow(10.0, maxDecimals);
    const double rounded = std::round(magnitude * scale + 1e-9) / scale;
    QString fixed = QString::number(rounded, 'f', maxDecimals);
    QString integer = fixed.section(QLatin1Char('.'), 0, 0);
    QString decimals = maxDecimals > 0 ? fixed.section(QLatin1Char('.'), 1, 1) : QString();
    while (decimals.size() > minDecimals && decimals.endsWith(QLatin1Char('0'))) {
        decimals.chop(1);
    }
    if (integer == QLatin1String("0") && minInteger == 0) {
        integer.clear();
    }
    while (integer.size() < minInteger) {
        integer.prepend(QLatin1Char('0'));
    }
    if (integerPattern.contains(QLatin1Char(','))) {
        integer = groupThousands(integer);
    }
    QString number = integer;
    if (point >= 0) {
        number += QLatin1Char('.') + decimals;
    }
    return prefix + number + suffix;
}

QString formatNumber(double value, const QString& format) {
    const QString lower = format.toLower();
    if (lower == QLatin1String("general number")) {
        return numberText(value);
    }
    if (lower == QLatin1String("currency")) {
        const QString text = formatNumberSection(std::abs(value), QStringLiteral("$#,##0.00"));
        return value < 0 ? QLatin1Char('(') + text + QLatin1Char(')') : text;
    }
    static const QHash<QString, QString> named = {
        {"fixed", "0.00"}, {"standard", "#,##0.00"}, {"percent", "0.00%"}};
    if (const auto found = named.constFind(lower); found != named.constEnd()) {
        return (value < 0 ? QStringLiteral("-") : QString()) + formatNumberSection(std::abs(value), *found);
    }
    if (lower == QLatin1String("scientific")) {
        return QString::number(value, 'E', 2);
    }
    if (lower == QLatin1String("yes/no")) {
        return value != 0 ? QStringLiteral("Yes") : QStringLiteral("No");
    }
    if (lower == QLatin1String("true/false")) {
        return value != 0 ? QStringLiteral("True") : QStringLiteral("False");
    }
    if (lower == QLatin1String("on/off")) {
        return value != 0 ? QStringLiteral("On") : QStringLiteral("Off");
    }
    const QStringList sections = format.split(QLatin1Char(';'));
    if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty()) {
        return formatNumberSection(-value, sections[1]);
    }
    if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty()) {
        return formatNumberSection(0, sections[2]);
    }
    const QString text = formatNumberSection(std::abs(value), sections[0]);
    return value < 0 && text != formatNumberSection(0, sections[0]) ? QLatin1Char('-') + text : text;
}

// The text a value shows without a format: dates at midnight without their time.
QString displayText(const Value& value) {
    if (value.kind == Value::Text) {
        if (const auto date = storedDateTime(value.text)) {
            return date->time() == QTime(0, 0) ? date->date().toString(Qt::ISODate) : dateTimeText(*date);
        }
    }
    return toText(value);
}

Result format(const Args& args) {
    const Value& value = args[0];
    if (value.isNull()) {
        return {};
    }
    const QString format = args.size() > 1 && !args[1].isNull() ? toText(args[1]) : QString();
    if (format.isEmpty()) {
        return displayText(value);
    }
    const QString lower = format.toLower();
    std::optional<QDateTime> date;
    if (isNamedNumberFormat(format)) {
        // A number format shows a date as its serial number.
    } else if (value.kind == Value::Text) {
        date = parseDateText(value.text);
    } else if (lower == QLatin1String("general date") || namedDateFormat(format) ||
               looksLikeDateFormat(format)) {
        date = fromSerial(toNumber(value));
    }
    if (date) {
        if (lower == QLatin1String("general date")) {
            return generalDate(*date);
        }
        if (const auto named = namedDateFormat(format)) {
            return formatDate(*date, *named);
        }
        if (looksLikeDateFormat(format)) {
            return formatDate(*date, format);
        }
        return formatNumber(serialOf(*date), format);
    }
    if (value.kind == Value::Text && !parseNumberText(value.text)) {
        return value.text;
    }
    return formatNumber(toNumber(value), format);
}

// --- The functions ---------------------------------------------------------------------------------------

// Text functions give Null for a Null text.
#define NULL_IF_NULL(index)                            \
    if (args.size() > (index) && args[index].isNull()) \
        return {};

Result valueOf(const Value& value) {
    switch (value.kind) {
        case Value::Integer:
            return QVariant(qlonglong(value.integer));
        case Value::Real:
            return QVariant(value.real);
        case Value::Text:
            return value.text;
        default:
            return {};
    }
}

Result left(const Args& args) {
    NULL_IF_NULL(0);
    const int n = toInt(args[1]);
    if (n < 0) {
        throw kInvalidCall;
    }
    return toText(args[0]).left(n);
}

Result right(const Args& args) {
    NULL_IF_NULL(0);
    const int n = toInt(args[1]);
    if (n < 0) {
        throw kInvalidCall;
    }
    return toText(args[0]).right(n);
}

Result mid(const Args& args) {
    NULL_IF_NULL(0);
    const int start = toInt(args[1]);
    if (start < 1) {
        throw kInvalidCall;
    }
    const QString text = toText(args[0]);
    if (args.size() > 2 && !args[2].isNull()) {
        const int length = toInt(args[2]);
        if (length < 0) {
            throw kInvalidCall;
        }
        return text.mid(start - 1, length);
    }
    return text.mid(start - 1);
}

Result instr(const Args& args) {
    // InStr([start,] text, sought[, compare])
    size_t at = 0;
    qsizetype start = 1;
    if (args.size() >= 3) {
        if (args[0].isNull()) {
            throw kInvalidNull;
        }
        start = toInt(args[0]);
        if (start < 1) {
            throw kInvalidCall;
        }
        at = 1;
    }
    if (args[at].isNull() || args[at + 1].isNull()) {
        return {};
    }
    const QString text = toText(args[at]);
    const QString sought = toText(args[at + 1]);
    if (start > text.size()) {
        return qlonglong(0);
    }
    if (sought.isEmpty()) {
        return qlonglong(start);
    }
    const bool binary = args.size() == 4 && binaryCompare(args, 3);
    return qlonglong(text.indexOf(sought, start - 1, sensitivity(binary)) + 1);
}

Result instrrev(const Args& args) {
    // InStrRev(text, sought[, start[, compare]])
    if (args[0].isNull() || args[1].isNull()) {
        return {};
    }
    const QString text = toText(args[0]);
    const QString sought = toText(args[1]);
    qsizetype start = args.size() > 2 && !args[2].isNull() ? toInt(args[2]) : -1;
    if (start == 0 || start < -1) {
        throw kInvalidCall;
    }
    if (start == -1) {
        start = text.size();
    }
    if (sought.isEmpty()) {
        return qlonglong(start);
    }
    if (start > text.size()) {
        return qlonglong(0);
    }
    const qsizetype from = start - sought.size();
    if (from < 0) {
        return qlonglong(0);
    }
    return qlonglong(text.lastIndexOf(sought, from, sensitivity(binaryCompare(args, 3))) + 1);
}

Result replace(const Args& args) {
    // Replace(text, sought, replacement[, start[, count[, compare]]])
    NULL_IF_NULL(0);
    if (args[1].isNull() || args[2].isNull()) {
        throw kInvalidNull;
    }
    QString text = toText(args[0]);
    const QString sought = toText(args[1]);
    const QString replacement = toText(args[2]);
    const int start = args.size() > 3 && !args[3].isNull() ? toInt(args[3]) : 1;
    const int count = args.size() > 4 && !args[4].isNull() ? toInt(args[4]) : -1;
    if (start < 1 || count < -1) {
        throw kInvalidCall;
    }
    // As the host: the result starts at the start position.
    text = text.mid(start - 1);
    if (sought.isEmpty() || count == 0) {
        return text;
    }
    const Qt::CaseSensitivity cs = sensitivity(binaryCompare(args, 5));
    QString out;
    qsizetype from = 0;
    int done = 0;
    while (count < 0 || done < count) {
        const qsizetype at = text.indexOf(sought, from, cs);
        if (at < 0) {
            break;
        }
        out += QStringView(text).sliced(from, at - from);
        out += replacement;
        from = at + sought.size();
        ++done;
    }
    out += QStringView(text).sliced(from);
    return out;
}

QString trimmedLeft(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' ')) {
        ++i;
    }
    return text.mid(i);
}

QString trimmedRight(const QString& text) {
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == QLatin1Char(' ')) {
        --n;
    }
    return text.left(n);
}

Result repeated(qint64 count, QChar c) {
    if (count < 0 || count > 65535 * 16) {
        throw kInvalidCall;
    }
    return QString(qsizetype(count), c);
}

Result stringFunction(const Args& args) {
    if (args[0].isNull()) {
        throw kInvalidNull;
    }
    NULL_IF_NULL(1);
    const qint64 count = toInt(args[0]);
    if (isNumberValue(args[1])) {
        return repeated(count, QChar(char16_t(toInt(args[1]) % 256)));
    }
    const QString text = toText(args[1]);
    if (text.isEmpty()) {
        throw kInvalidCall;
    }
    return repeated(count, text.front());
}

Result strcomp(const Args& args) {
    if (args[0].isNull() || args[1].isNull()) {
        return {};
    }
    const bool binary = args.size() < 3 || args[2].isNull() ? false : toInt(args[2]) == 0;
    const QString a = toText(args[0]);
    const QString b = toText(args[1]);
    const int c = binary ? a.compare(b, Qt::CaseSensitive) : compareText(a, b);
    return qlonglong(c < 0 ? -1 : c > 0 ? 1 : 0);
}

// Val: the number at the start of the text, blanks ignored; 0 when there is none.
Result val(const Args& args) {
    if (args[0].isNull()) {
        throw kInvalidNull;
    }
    if (isNumberValue(args[0])) {
        return valueOf(args[0]);
    }
    QString text = toText(args[0]);
    text.remove(QLatin1Char(' '));
    text.remove(QLatin1Char('\t'));
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eEdD][+-]?\\d+)?"));
    const auto match = number.match(text);
    if (!match.hasMatch()) {
        return qlonglong(0);
    }
    QString found = match.captured(0);
    found.replace(QLatin1Char('d'), QLatin1Char('e')).replace(QLatin1Char('D'), QLatin1Char('e'));
    return numberResult(found.toDouble());
}

Result str(const Args& args) {
    NULL_IF_NULL(0);
    const double number = toNumber(args[0]);
    const QString text = numberText(number);
    return number < 0 ? text : QLatin1Char(' ') + text;
}

Result cstr(const Args& args) {
    return displayText(args[0]);
}

Result cbool(const Args& args) {
    if (args[0].isNull()) {
        throw kInvalidNull;
    }
    if (args[0].kind == Value::Text) {
        const QString text = args[0].text.trimmed();
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
            text.compare(QLatin1String("Yes"), Qt::CaseInsensitive) == 0 ||
            text.compare(QLatin1String("On"), Qt::CaseInsensitive) == 0) {
            return truth(true);
        }
        if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 ||
            text.compare(QLatin1String("No"), Qt::CaseInsensitive) == 0 ||
            text.compare(QLatin1String("Off"), Qt::CaseInsensitive) == 0) {
            return truth(false);
        }
    }
    return truth(toNumber(args[0]) != 0);
}

Result isnumeric(const Args& args) {
    const Value& value = args[0];
    if (isNumberValue(value)) {
        return truth(true);
    }
    return truth(value.kind == Value::Text && parseNumberText(value.text).has_value());
}

Result isdate(const Args& args) {
    return truth(args[0].kind == Value::Text && parseDateText(args[0].text).has_value());
}

Result datePart(Interval interval, const QDateTime& date, int firstDay) {
    switch (interval) {
        case Interval::Year:
            return qlonglong(date.date().year());
        case Interval::Quarter:
            return qlonglong((date.date().month() - 1) / 3 + 1);
        case Interval::Month:
            return qlonglong(date.date().month());
        case Interval::DayOfYear:
            return qlonglong(date.date().dayOfYear());
        case Interval::Day:
            return qlonglong(date.date().day());
        case Interval::Weekday:
            return qlonglong(weekdayOf(date.date(), firstDay));
        case Interval::Week:
            return qlonglong(weekOfYear(date.date(), firstDay));
        case Interval::Hour:
            return qlonglong(date.time().hour());
        case Interval::Minute:
            return qlonglong(date.time().minute());
        case Interval::Second:
            return qlonglong(date.time().second());
    }
    return {};
}

Result dateadd(const Args& args) {
    if (args[2].isNull()) {
        return {};
    }
    const Interval interval = toInterval(args[0]);
    // The count is rounded to a whole number, as the host does.
    const qint64 n = toWhole(args[1], -1.0e7, 1.0e7);
    const QDateTime date = toDate(args[2]);
    switch (interval) {
        case Interval::Year:
            return dateResult(addMonths(date, n * 12));
        case Interval::Quarter:
            return dateResult(addMonths(date, n * 3));
        case Interval::Month:
            return dateResult(addMonths(date, n));
        case Interval::DayOfYear:
        case Interval::Day:
        case Interval::Weekday:
            return dateResult(date.addDays(n));
        case Interval::Week:
            return dateResult(date.addDays(n * 7));
        case Interval::Hour:
            return dateResult(date.addSecs(n * 3600));
        case Interval::Minute:
            return dateResult(date.addSecs(n * 60));
        case Interval::Second:
            return dateResult(date.addSecs(n));
    }
    return {};
}

// DateDiff counts the boundaries crossed between the two dates: DateDiff("d") the midnights, "yyyy" the
// new years.
Result datediff(const Args& args) {
    if (args[1].isNull() || args[2].isNull()) {
        return {};
    }
    const Interval interval = toInterval(args[0]);
    const QDateTime a = toDate(args[1]);
    const QDateTime b = toDate(args[2]);
    const qint64 days = a.date().daysTo(b.date());
    const auto seconds = [](const QDateTime& d) {
        return qint64(kSerialEpoch.daysTo(d.date())) * 86400 + d.time().msecsSinceStartOfDay() / 1000;
    };
    switch (interval) {
        case Interval::Year:
            return qlonglong(b.date().year() - a.date().year());
        case Interval::Quarter:
            return qlonglong((b.date().year() * 4 + (b.date().month() - 1) / 3) -
                             (a.date().year() * 4 + (a.date().month() - 1) / 3));
        case Interval::Month:
            return qlonglong((b.date().year() * 12 + b.date().month()) -
                             (a.date().year() * 12 + a.date().month()));
        case Interval::DayOfYear:
        case Interval::Day:
            return qlonglong(days);
        case Interval::Weekday:
            return qlonglong(days / 7);
        case Interval::Week: {
            // Weeks: the first days of the week crossed.
            const int firstDay = firstDayArgument(args, 3);
            const auto weekStart = [&](QDate d) { return d.addDays(-(weekdayOf(d, firstDay) - 1)); };
            return qlonglong(weekStart(a.date()).daysTo(weekStart(b.date())) / 7);
        }
        case Interval::Hour:
            return qlonglong(std::floor(seconds(b) / 3600.0) - std::floor(seconds(a) / 3600.0));
        case Interval::Minute:
            return qlonglong(std::floor(seconds(b) / 60.0) - std::floor(seconds(a) / 60.0));
        case Interval::Second:
            return qlonglong(seconds(b) - seconds(a));
    }
    return {};
}

Result datepart(const Args& args) {
    if (args[1].isNull()) {
        return {};
    }
    return datePart(toInterval(args[0]), toDate(args[1]), firstDayArgument(args, 2));
}

Result dateserial(const Args& args) {
    for (const Value& value : args) {
        if (value.isNull()) {
            return {};
        }
    }
    // Months and days outside their range carry into the neighbouring months and years.
    const int year = fullYear(toInt(args[0]));
    const int month = toInt(args[1]);
    const int day = toInt(args[2]);
    const QDate first = QDate(year, 1, 1).addMonths(month - 1);
    if (!first.isValid()) {
        throw kInvalidCall;
    }
    return dateResult(makeDateTime(first.addDays(day - 1)));
}

Result datevalue(const Args& args) {
    NULL_IF_NULL(0);
    return dateResult(makeDateTime(toDate(args[0]).date()));
}

Result cdate(const Args& args) {
    if (args[0].isNull()) {
        throw kInvalidNull;
    }
    return dateResult(toDate(args[0]));
}

Result weekday(const Args& args) {
    NULL_IF_NULL(0);
    return qlonglong(weekdayOf(toDate(args[0]).date(), firstDayArgument(args, 1)));
}

template <Interval interval>
Result datePartOf(const Args& args) {
    NULL_IF_NULL(0);
    return datePart(interval, toDate(args[0]), 1);
}

QDateTime currentDateTime() {
    const QDateTime now = QDateTime::currentDateTime();
    return makeDateTime(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()));
}

Result sqr(const Args& args) {
    NULL_IF_NULL(0);
    const double x = toNumber(args[0]);
    if (x < 0) {
        throw kInvalidCall;
    }
    return numberResult(std::sqrt(x));
}

Result round(const Args& args) {
    NULL_IF_NULL(0);
    const int decimals = args.size() > 1 && !args[1].isNull() ? toInt(args[1]) : 0;
    if (decimals < 0) {
        throw kInvalidCall;
    }
    return numberResult(roundHalfEven(toNumber(args[0]), decimals));
}

Result ccur(const Args& args) {
    if (args[0].isNull()) {
        throw kInvalidNull;
    }
    const double value = roundHalfEven(toNumber(args[0]), 4);
    if (std::abs(value) > 922337203685477.0) {
        throw kOverflow;
    }
    return numberResult(value);
}

Result choose(const Args& args) {
    NULL_IF_NULL(0);
    const double index = std::trunc(toNumber(args[0]));
    if (index < 1 || index >= double(args.size())) {
        return {};
    }
    return valueOf(args[size_t(index)]);
}

Result switchFunction(const Args& args) {
    if (args.size() % 2 != 0) {
        throw kInvalidCall;
    }
    for (size_t i = 0; i + 1 < args.size(); i += 2) {
        if (isTrue(args[i])) {
            return valueOf(args[i + 1]);
        }
    }
    return {};
}

// --- Operators -------------------------------------------------------------------------------------------

Result concat(const Args& args) {
    if (args[0].isNull() && args[1].isNull()) {
        return {};
    }
    QString text;
    for (const Value& value : args) {
        if (!value.isNull()) {
            text += displayText(value);
        }
    }
    return text;
}

// A date's text, for the arithmetic that adds days to it.
std::optional<QDateTime> dateOperand(const Value& value) {
    return value.kind == Value::Text ? storedDateTime(value.text) : std::nullopt;
}

Result add(const Args& args) {
    if (args[0].isNull() || args[1].isNull()) {
        return {};
    }
    const Value& a = args[0];
    const Value& b = args[1];
    if (a.kind == Value::Text && b.kind == Value::Text) {
        return a.text + b.text;  // + joins two texts
    }
    if (const auto date = dateOperand(a)) {
        return dateResult(fromSerial(serialOf(*date) + toNumber(b)));
    }
    if (const auto date = dateOperand(b)) {
        return dateResult(fromSerial(toNumber(a) + serialOf(*date)));
    }
    if (a.kind == Value::Integer && b.kind == Value::Integer) {
        qint64 sum = 0;
        if (!__builtin_add_overflow(a.integer, b.integer, &sum)) {
            return qlonglong(sum);
        }
    }
    return numberResult(toNumber(a) + toNumber(b));
}

Result subtract(const Args& args) {
    if (args[0].isNull() || args[1].isNull()) {
        return {};
    }
    const auto dateA = dateOperand(args[0]);
    const auto dateB = dateOperand(args[1]);
    if (dateA && dateB) {
        return numberResult(serialOf(*dateA) - serialOf(*dateB));
    }
    if (dateA) {
        return dateResult(fromSerial(serialOf(*dateA) - toNumber(args[1])));
    }
    if (args[0].kind == Value::Integer && args[1].kind == Value::Integer) {
        qint64 difference = 0;
        if (!__builtin_sub_overflow(args[0].integer, args[1].integer, &difference)) {
            return qlonglong(difference);
        }
    }
    return numberResult(toNumber(args[0]) - toNumber(args[1]));
}

Result divide(const Args& args) {
    if (args[0].isNull() || args[1].isNull()) {
        return {};
    }
    const double divisor = toNumber(args[1]);
    if (divisor == 0) {
        throw kDivisionByZero;
    }
    return QVariant(toNumber(args[0]) / divisor);
}

qint64 roundedOperand(const Value& value) {
    return toWhole(value, -9.0e15, 9.0e15);
}

Result integerDivide(const Args& args) {
    if (args[0].isNull() || args[1].isNull()) {
        return {};
    }
    const qint64 divisor = roundedOperand(args[1]);
    if (divisor == 0) {
        throw kDivisionByZero;
    }
    return qlonglong(roundedOperand(args[0]) / divisor);
}

Result modulo(const Args& args) {
    if (args[0].isNull() || args[1].isNull()) {
        return {};
    }
    const qint64 divisor = roundedOperand(args[1]);
    if (divisor == 0) {
        throw kDivisionByZero;
    }
    return qlonglong(roundedOperand(args[0]) % divisor);
}

Result power(const Args& args) {
    if (args[0].isNull() || args[1].isNull()) {
        return {};
    }
    const double base = toNumber(args[0]);
    const double exponent = toNumber(args[1]);
    if (base < 0 && std::trunc(exponent) != exponent) {
        throw kInvalidCall;
    }
    const double result = std::pow(base, exponent);
    if (!std::isfinite(result)) {
        throw kOverflow;
    }
    return numberResult(result);
}

// --- Registration ----------------------------------------------------------------------------------------

struct ScalarEntry {
    const char* hostName;
    int minArgs;
    int maxArgs;
    std::function<Result(const Args&)> body;
    bool deterministic = true;
};

void setResult(sqlite3_context* context, const Result& result) {
    switch (result.typeId()) {
        case QMetaType::LongLong:
            sqlite3_result_int64(context, result.toLongLong());
            break;
        case QMetaType::Double:
            sqlite3_result_double(context, result.toDouble());
            break;
        case QMetaType::QString: {
            const QByteArray utf8 = result.toString().toUtf8();
            sqlite3_result_text64(context, utf8.constData(), sqlite3_uint64(utf8.size()), SQLITE_TRANSIENT,
                                  SQLITE_UTF8);
            break;
        }
        default:
            sqlite3_result_null(context);
            break;
    }
}

void fail(sqlite3_context* context, const Failure& failure) {
    const QByteArray message = QByteArray("#") + QByteArray::number(failure.number) + ' ' + failure.text;
    sqlite3_result_error(context, message.constData(), int(message.size()));
}

void callScalar(sqlite3_context* context, int argc, sqlite3_value** argv) {
    const auto* entry = static_cast<const ScalarEntry*>(sqlite3_user_data(context));
    Args args;
    args.reserve(size_t(argc));
    for (int i = 0; i < argc; ++i) {
        args.push_back(readValue(argv[i]));
    }
    try {
        setResult(context, entry->body(args));
    } catch (const Failure& failure) {
        fail(context, failure);
    }
}

const std::vector<ScalarEntry>& scalarEntries() {
    static const std::vector<ScalarEntry> entries = {
        {"IIf", 3, 3, [](const Args& a) { return valueOf(a[isTrue(a[0]) ? 1 : 2]); }},
        {"Nz", 1, 2,
         [](const Args& a) {
             if (!a[0].isNull()) {
                 return valueOf(a[0]);
             }
             return a.size() > 1 ? valueOf(a[1]) : Result(QString());
         }},
        {"Switch", 2, 64, switchFunction},
        {"Choose", 2, 64, choose},
        {"Left", 2, 2, left},
        {"Right", 2, 2, right},
        {"Mid", 2, 3, mid},
        {"Len", 1, 1,
         [](const Args& a) { return a[0].isNull() ? Result() : Result(qlonglong(toText(a[0]).size())); }},
        {"LenB", 1, 1,
         [](const Args& a) { return a[0].isNull() ? Result() : Result(qlonglong(a[0].bytes)); }},
        {"Trim", 1, 1,
         [](const Args& a) {
             return a[0].isNull() ? Result() : Result(trimmedLeft(trimmedRight(toText(a[0]))));
         }},
        {"LTrim", 1, 1,
         [](const Args& a) { return a[0].isNull() ? Result() : Result(trimmedLeft(toText(a[0]))); }},
        {"RTrim", 1, 1,
         [](const Args& a) { return a[0].isNull() ? Result() : Result(trimmedRight(toText(a[0]))); }},
        {"UCase", 1, 1,
         [](const Args& a) { return a[0].isNull() ? Result() : Result(toText(a[0]).toUpper()); }},
        {"LCase", 1, 1,
         [](const Args& a) { return a[0].isNull() ? Result() : Result(toText(a[0]).toLower()); }},
        {"InStr", 2, 4, instr},
        {"InStrRev", 2, 4, instrrev},
        {"Replace", 3, 6, replace},
        {"Space", 1, 1,
         [](const Args& a) {
             if (a[0].isNull()) {
                 throw kInvalidNull;
             }
             return repeated(toInt(a[0]), QLatin1Char(' '));
         }},
        {"String", 2, 2, stringFunction},
        {"StrComp", 2, 3, strcomp},
        {"Format", 1, 4, format},
        {"Val", 1, 1, val},
        {"Str", 1, 1, str},
        {"CStr", 1, 1, cstr},
        {"CInt", 1, 1, [](const Args& a) { return Result(qlonglong(toWhole(a[0], -32768, 32767))); }},
        {"CLng", 1, 1,
         [](const Args& a) { return Result(qlonglong(toWhole(a[0], -2147483648.0, 2147483647.0))); }},
        {"CDbl", 1, 1, [](const Args& a) { return Result(toNumber(a[0])); }},
        {"CCur", 1, 1, ccur},
        {"CDate", 1, 1, cdate},
        {"CBool", 1, 1, cbool},
        {"IsNull", 1, 1, [](const Args& a) { return truth(a[0].isNull()); }},
        {"IsNumeric", 1, 1, isnumeric},
        {"IsDate", 1, 1, isdate},
        {"Date", 0, 0, [](const Args&) { return dateResult(makeDateTime(currentDateTime().date())); }, false},
        {"Time", 0, 0,
         [](const Args&) { return dateResult(makeDateTime(kSerialEpoch, currentDateTime().time())); }, false},
        {"Now", 0, 0, [](const Args&) { return dateResult(currentDateTime()); }, false},
        {"Year", 1, 1, datePartOf<Interval::Year>},
        {"Month", 1, 1, datePartOf<Interval::Month>},
        {"Day", 1, 1, datePartOf<Interval::Day>},
        {"Hour", 1, 1, datePartOf<Interval::Hour>},
        {"Minute", 1, 1, datePartOf<Interval::Minute>},
        {"Second", 1, 1, datePartOf<Interval::Second>},
        {"Weekday", 1, 2, weekday},
        {"DateAdd", 3, 3, dateadd},
        {"DateDiff", 3, 5, datediff},
        {"DatePart", 2, 4, datepart},
        {"DateSerial", 3, 3, dateserial},
        {"DateValue", 1, 1, datevalue},
        {"Abs", 1, 1,
         [](const Args& a) {
             if (a[0].isNull()) {
                 return Result();
             }
             if (a[0].kind == Value::Integer && a[0].integer != std::numeric_limits<qint64>::min()) {
                 return Result(qlonglong(std::abs(a[0].integer)));
             }
             return numberResult(std::abs(toNumber(a[0])));
         }},
        {"Int", 1, 1,
         [](const Args& a) { return a[0].isNull() ? Result() : numberResult(std::floor(toNumber(a[0]))); }},
        {"Fix", 1, 1,
         [](const Args& a) { return a[0].isNull() ? Result() : numberResult(std::trunc(toNumber(a[0]))); }},
        {"Round", 1, 2, round},
        {"Sgn", 1, 1,
         [](const Args& a) {
             if (a[0].isNull()) {
                 return Result();
             }
             const double x = toNumber(a[0]);
             return Result(qlonglong(x > 0 ? 1 : x < 0 ? -1 : 0));
         }},
        {"Sqr", 1, 1, sqr},
        {kConcatFunction, 2, 2, concat},
        {kAddFunction, 2, 2, add},
        {kSubtractFunction, 2, 2, subtract},
        {kDivideFunction, 2, 2, divide},
        {kIntDivideFunction, 2, 2, integerDivide},
        {kModFunction, 2, 2, modulo},
        {kPowerFunction, 2, 2, power},
    };
    return entries;
}

// --- Aggregates ------------------------------------------------------------------------------------------

// First and Last: the value of the first or last row of the group, Null included.
struct PickState {
    sqlite3_value* value;
    bool seen;
};

template <bool last>
void pickStep(sqlite3_context* context, int, sqlite3_value** argv) {
    auto* state = static_cast<PickState*>(sqlite3_aggregate_context(context, sizeof(PickState)));
    if (!state) {
        sqlite3_result_error_nomem(context);
        return;
    }
    if (!state->seen || last) {
        sqlite3_value_free(state->value);
        state->value = sqlite3_value_dup(argv[0]);
        state->seen = true;
    }
}

void pickFinal(sqlite3_context* context) {
    auto* state = static_cast<PickState*>(sqlite3_aggregate_context(context, 0));
    if (state && state->value) {
        sqlite3_result_value(context, state->value);
        sqlite3_value_free(state->value);
        state->value = nullptr;
    } else {
        sqlite3_result_null(context);
    }
}

// StDev, StDevP, Var, VarP over the non-Null values (Welford's running mean and sum of squares).
struct SpreadState {
    qint64 count;
    double mean;
    double squares;
};

void spreadStep(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        return;
    }
    auto* state = static_cast<SpreadState*>(sqlite3_aggregate_context(context, sizeof(SpreadState)));
    if (!state) {
        sqlite3_result_error_nomem(context);
        return;
    }
    double x = 0;
    try {
        x = toNumber(readValue(argv[0]));
    } catch (const Failure& failure) {
        fail(context, failure);
        return;
    }
    ++state->count;
    const double delta = x - state->mean;
    state->mean += delta / double(state->count);
    state->squares += delta * (x - state->mean);
}

enum class Spread { SampleDeviation, PopulationDeviation, SampleVariance, PopulationVariance };

template <Spread kind>
void spreadFinal(sqlite3_context* context) {
    auto* state = static_cast<SpreadState*>(sqlite3_aggregate_context(context, 0));
    const bool sample = kind == Spread::SampleDeviation || kind == Spread::SampleVariance;
    const qint64 count = state ? state->count : 0;
    if (count < (sample ? 2 : 1)) {
        sqlite3_result_null(context);
        return;
    }
    const double variance = state->squares / double(sample ? count - 1 : count);
    const bool deviation = kind == Spread::SampleDeviation || kind == Spread::PopulationDeviation;
    sqlite3_result_double(context, deviation ? std::sqrt(variance) : variance);
}

// Sum and Avg. Whole numbers add exactly; so do numbers of at most four decimals (the host's Currency),
// as whole ten-thousandths, so that 0.1 + 0.2 is 0.3 as the host shows it. Anything else adds as a double.
struct SumState {
    qint64 count;
    qint64 whole;   // the sum while every value is a whole number
    qint64 scaled;  // the sum in ten-thousandths while every value has at most four decimals
    double real;    // the sum as doubles, always kept
    bool notWhole;
    bool notScaled;
};

constexpr double kScale = 10000.0;

void sumStep(sqlite3_context* context, int, sqlite3_value** argv) {
    const int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_NULL) {
        return;
    }
    auto* state = static_cast<SumState*>(sqlite3_aggregate_context(context, sizeof(SumState)));
    if (!state) {
        sqlite3_result_error_nomem(context);
        return;
    }
    double x = 0;
    if (type == SQLITE_INTEGER) {
        const qint64 n = sqlite3_value_int64(argv[0]);
        x = double(n);
        state->notWhole = state->notWhole || __builtin_add_overflow(state->whole, n, &state->whole);
    } else {
        try {
            x = type == SQLITE_FLOAT ? sqlite3_value_double(argv[0]) : toNumber(readValue(argv[0]));
        } catch (const Failure& failure) {
            fail(context, failure);
            return;
        }
        state->notWhole = true;
    }
    if (!state->notScaled) {
        const double scaled = std::round(x * kScale);
        state->notScaled = std::abs(scaled) > 9.0e15 || scaled / kScale != x ||
                           __builtin_add_overflow(state->scaled, qint64(scaled), &state->scaled);
    }
    state->real += x;
    ++state->count;
}

template <bool average>
void sumFinal(sqlite3_context* context) {
    auto* state = static_cast<SumState*>(sqlite3_aggregate_context(context, 0));
    if (!state || state->count == 0) {
        sqlite3_result_null(context);
        return;
    }
    if (!average && !state->notWhole) {
        sqlite3_result_int64(context, state->whole);
    } else if (!state->notScaled) {
        sqlite3_result_double(context,
                              double(state->scaled) / (kScale * (average ? double(state->count) : 1)));
    } else {
        sqlite3_result_double(context, state->real / (average ? double(state->count) : 1));
    }
}

struct AggregateEntry {
    const char* hostName;
    void (*step)(sqlite3_context*, int, sqlite3_value**);
    void (*final)(sqlite3_context*);
};

const AggregateEntry kAggregates[] = {
    {"First", pickStep<false>, pickFinal},
    {"Last", pickStep<true>, pickFinal},
    {"StDev", spreadStep, spreadFinal<Spread::SampleDeviation>},
    {"StDevP", spreadStep, spreadFinal<Spread::PopulationDeviation>},
    {"Var", spreadStep, spreadFinal<Spread::SampleVariance>},
    {"VarP", spreadStep, spreadFinal<Spread::PopulationVariance>},
    {"host_sum", sumStep, sumFinal<false>},
    {"host_avg", sumStep, sumFinal<true>},
};

// SQLite's own aggregates already follow the host's rules (Null ignored; Min of no value is Null).
const char* const kBuiltInAggregates[] = {"Count", "Min", "Max"};

}  // namespace

void registerHostFunctions(sqlite3* db) {
    for (const ScalarEntry& entry : scalarEntries()) {
        const int flags = SQLITE_UTF8 | (entry.deterministic ? SQLITE_DETERMINISTIC : 0);
        sqlite3_create_function_v2(db, entry.hostName, -1, flags, const_cast<ScalarEntry*>(&entry),
                                   callScalar, nullptr, nullptr, nullptr);
    }
    for (const AggregateEntry& entry : kAggregates) {
        sqlite3_create_function_v2(db, entry.hostName, 1, SQLITE_UTF8, nullptr, nullptr, entry.step,
                                   entry.final, nullptr);
    }
}

std::optional<HostFunction> hostFunction(const QString& name) {
    static const QHash<QString, HostFunction> functions = [] {
        QHash<QString, HostFunction> all;
        for (const ScalarEntry& entry : scalarEntries()) {
            const QString hostName = QString::fromLatin1(entry.hostName);
            if (!hostName.startsWith(QLatin1String("host_"))) {
                all.insert(hostName.toLower(), {hostName, false, entry.minArgs, entry.maxArgs});
            }
        }
        for (const AggregateEntry& entry : kAggregates) {
            QString hostName = QString::fromLatin1(entry.hostName);
            const QString sqlName = hostName;
            hostName.remove(QLatin1String("host_"));
            all.insert(hostName.toLower(), {sqlName, true, 1, 1});
        }
        for (const char* name : kBuiltInAggregates) {
            all.insert(QString::fromLatin1(name).toLower(), {QString::fromLatin1(name), true, 1, 1});
        }
        return all;
    }();
    const auto found = functions.constFind(name.toLower());
    if (found == functions.constEnd()) {
        return std::nullopt;
    }
    return *found;
}

std::optional<QDateTime> storedDateTime(const QVariant& value) {
    if (value.typeId() == QMetaType::QDateTime) {
        return value.toDateTime();
    }
    if (value.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    static const QRegularExpression stored(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})(?:[ T](\\d{2}):(\\d{2}):(\\d{2}))?$"));
    const auto match = stored.match(value.toString());
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    const QTime time(match.captured(4).toInt(), match.captured(5).toInt(), match.captured(6).toInt());
    if (!date.isValid() || !time.isValid()) {
        return std::nullopt;
    }
    return makeDateTime(date, time);
}

std::optional<QDateTime> hostDateTime(const QString& text) {
    return parseDateText(text);
}

QString dateTimeText(const QDateTime& value) {
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString numberText(double value) {
    if (value == 0) {
        return QStringLiteral("0");
    }
    char buffer[400];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (error != std::errc()) {
        return QString::number(value, 'g', 17);
    }
    return QString::fromLatin1(buffer, end - buffer);
}

}  // namespace qdb
