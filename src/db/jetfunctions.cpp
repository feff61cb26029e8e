#include "db/jetfunctions.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QRegularExpression>
#include <QString>

#include <sqlite3.h>

#include <cmath>

namespace {

constexpr int secondsPerDay = 86400;
// Julian days of Jet's date range, 0100-01-01 .. 9999-12-31, and of its day zero, 1899-12-30.
constexpr qint64 minJulianDay = 1757585;
constexpr qint64 maxJulianDay = 5373484;
constexpr qint64 jetEpochJulianDay = 2415019;

// A calendar date and a time of day, kept apart from QDateTime so that local time zone
// transitions never shift a stored value.
struct DateValue
{
    QDate date;
    int seconds = 0;
};

QString argText(sqlite3_value *value)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
    return QString::fromUtf8(text, sqlite3_value_bytes(value));
}

void resultText(sqlite3_context *ctx, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void resultError(sqlite3_context *ctx, const QString &message)
{
    const QByteArray utf8 = message.toUtf8();
    sqlite3_result_error(ctx, utf8.constData(), int(utf8.size()));
}

bool inRange(qint64 julianDay)
{
    return julianDay >= minJulianDay && julianDay <= maxJulianDay;
}

QString formatDate(const DateValue &value)
{
    const int s = value.seconds;
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", value.date.year(), value.date.month(),
                             value.date.day(), s / 3600, s / 60 % 60, s % 60);
}

bool makeDate(int year, int month, int day, int hour, int minute, int second, DateValue *out)
{
    const QDate date(year, month, day);
    if (!date.isValid() || !inRange(date.toJulianDay()) || hour > 23 || minute > 59 ||
        second > 59) {
        return false;
    }
    *out = {date, hour * 3600 + minute * 60 + second};
    return true;
}

bool parseDateText(const QString &raw, DateValue *out)
{
    // Fractional seconds are dropped: values are kept to the second.
    static const QRegularExpression iso(QStringLiteral(
        R"(^(\d{4})-(\d{2})-(\d{2})(?:[ T](\d{2}):(\d{2})(?::(\d{2})(?:\.\d+)?)?)?$)"));
    static const QRegularExpression romanian(
        QStringLiteral(R"(^(\d{1,2})\.(\d{1,2})\.(\d{4})(?: (\d{1,2}):(\d{2})(?::(\d{2}))?)?$)"));

    const QString text = raw.trimmed();
    QRegularExpressionMatch m = iso.match(text);
    if (m.hasMatch()) {
        return makeDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(),
                        m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt(), out);
    }
    m = romanian.match(text);
    if (m.hasMatch()) {
        return makeDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt(),
                        m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt(), out);
    }
    return false;
}

// Jet serial: whole days since 1899-12-30; the fraction is the time of day, also for
// negative serials (-1.25 is 1899-12-29 06:00).
bool fromSerial(double serial, DateValue *out)
{
    if (!std::isfinite(serial) || std::fabs(serial) > 3e6) {
        return false;
    }
    const double whole = std::trunc(serial);
    qint64 days = qint64(whole);
    qint64 seconds = std::llround(std::fabs(serial - whole) * secondsPerDay);
    if (seconds == secondsPerDay) {
        ++days;
        seconds = 0;
    }
    const qint64 julianDay = jetEpochJulianDay + days;
    if (!inRange(julianDay)) {
        return false;
    }
    *out = {QDate::fromJulianDay(julianDay), int(seconds)};
    return true;
}

// Reads a date argument that is not NULL. On failure the SQL error is already set.
bool readDate(sqlite3_context *ctx, sqlite3_value *value, const char *function, DateValue *out)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        if (fromSerial(sqlite3_value_double(value), out)) {
            return true;
        }
        break;
    default:
        if (parseDateText(argText(value), out)) {
            return true;
        }
        break;
    }
    resultError(ctx,
                QString::fromLatin1(function) + QStringLiteral(": not a date: ") + argText(value));
    return false;
}

void nowFunction(sqlite3_context *ctx, int, sqlite3_value **)
{
    resultText(ctx, QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

void cdateFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        return sqlite3_result_null(ctx);
    }
    DateValue value;
    if (readDate(ctx, argv[0], "cdate", &value)) {
        resultText(ctx, formatDate(value));
    }
}

void isnullFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    sqlite3_result_int(ctx, sqlite3_value_type(argv[0]) == SQLITE_NULL ? 1 : 0);
}

// Jet's proper case starts a word after whitespace only: "ana-maria" gives "Ana-maria".
QString properCase(const QString &text)
{
    QList<uint> codePoints = text.toLower().toUcs4();
    bool wordStart = true;
    for (uint &c : codePoints) {
        const bool separator = c == 0 || QChar::isSpace(c);
        if (wordStart && !separator) {
            c = QChar::toTitleCase(c);
        }
        wordStart = separator;
    }
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(codePoints.constData()),
                             codePoints.size());
}

void strconvFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        return sqlite3_result_null(ctx);
    }
    const QString text = argText(argv[0]);
    switch (sqlite3_value_int(argv[1])) {
    case 1:
        return resultText(ctx, text.toUpper());
    case 2:
        return resultText(ctx, text.toLower());
    case 3:
        return resultText(ctx, properCase(text));
    default:
        return sqlite3_result_value(ctx, argv[0]);
    }
}

enum class DatePart
{
    Year,
    Month,
    Day
};

template <DatePart part> void datePartFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        return sqlite3_result_null(ctx);
    }
    static constexpr const char *names[] = {"year", "month", "day"};
    DateValue value;
    if (!readDate(ctx, argv[0], names[int(part)], &value)) {
        return;
    }
    switch (part) {
    case DatePart::Year:
        return sqlite3_result_int(ctx, value.date.year());
    case DatePart::Month:
        return sqlite3_result_int(ctx, value.date.month());
    case DatePart::Day:
        return sqlite3_result_int(ctx, value.date.day());
    }
}

bool addMonths(const DateValue &from, qint64 months, DateValue *out)
{
    const qint64 total = qint64(from.date.year()) * 12 + from.date.month() - 1 + months;
    const qint64 year = total >= 0 ? total / 12 : (total - 11) / 12;
    if (year < 100 || year > 9999) {
        return false;
    }
    const int month = int(total - year * 12) + 1;
    const int lastDay = QDate(int(year), month, 1).daysInMonth();
    *out = {QDate(int(year), month, qMin(from.date.day(), lastDay)), from.seconds};
    return true;
}

bool addSeconds(const DateValue &from, qint64 seconds, DateValue *out)
{
    const qint64 total = from.date.toJulianDay() * secondsPerDay + from.seconds + seconds;
    const qint64 julianDay = total / secondsPerDay; // Julian days here are all positive
    if (!inRange(julianDay)) {
        return false;
    }
    *out = {QDate::fromJulianDay(julianDay), int(total % secondsPerDay)};
    return true;
}

void dateaddFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL ||
        sqlite3_value_type(argv[2]) == SQLITE_NULL) {
        return sqlite3_result_null(ctx);
    }
    const QString interval = argText(argv[0]).toLower();
    qint64 monthFactor = 0;
    qint64 secondFactor = 0;
    if (interval == QLatin1String("yyyy")) {
        monthFactor = 12;
    } else if (interval == QLatin1String("q")) {
        monthFactor = 3;
    } else if (interval == QLatin1String("m")) {
        monthFactor = 1;
    } else if (interval == QLatin1String("y") || interval == QLatin1String("d") ||
               interval == QLatin1String("w")) {
        secondFactor = secondsPerDay;
    } else if (interval == QLatin1String("ww")) {
        secondFactor = 7 * secondsPerDay;
    } else if (interval == QLatin1String("h")) {
        secondFactor = 3600;
    } else if (interval == QLatin1String("n")) {
        secondFactor = 60;
    } else if (interval == QLatin1String("s")) {
        secondFactor = 1;
    } else {
        return resultError(ctx, QStringLiteral("dateadd: unknown interval: ") + argText(argv[0]));
    }

    const int numberType = sqlite3_value_numeric_type(argv[1]);
    if (numberType != SQLITE_INTEGER && numberType != SQLITE_FLOAT) {
        return resultError(ctx, QStringLiteral("dateadd: not a number: ") + argText(argv[1]));
    }
    DateValue from;
    if (!readDate(ctx, argv[2], "dateadd", &from)) {
        return;
    }
    // Like Jet, a fractional count is rounded to a whole number (ties to even). Any count
    // beyond 1e12 leaves the date range whatever the interval, and keeps the products exact.
    const double rounded = std::nearbyint(sqlite3_value_double(argv[1]));
    DateValue result;
    const bool ok = std::fabs(rounded) <= 1e12 &&
                    (monthFactor != 0 ? addMonths(from, qint64(rounded) * monthFactor, &result)
                                      : addSeconds(from, qint64(rounded) * secondFactor, &result));
    if (!ok) {
        return resultError(ctx, QStringLiteral("dateadd: result out of range"));
    }
    resultText(ctx, formatDate(result));
}

} // namespace

bool registerJetFunctions(sqlite3 *db)
{
    using Function = void (*)(sqlite3_context *, int, sqlite3_value **);
    struct Registration
    {
        const char *name;
        int argCount;
        bool deterministic;
        Function function;
    };
    static constexpr Registration registrations[] = {
        {"now", 0, false, nowFunction},
        {"cdate", 1, true, cdateFunction},
        {"isnull", 1, true, isnullFunction},
        {"strconv", 2, true, strconvFunction},
        {"year", 1, true, datePartFunction<DatePart::Year>},
        {"month", 1, true, datePartFunction<DatePart::Month>},
        {"day", 1, true, datePartFunction<DatePart::Day>},
        {"dateadd", 3, true, dateaddFunction},
    };
    for (const Registration &r : registrations) {
        const int flags =
            SQLITE_UTF8 | SQLITE_INNOCUOUS | (r.deterministic ? SQLITE_DETERMINISTIC : 0);
        if (sqlite3_create_function_v2(db, r.name, r.argCount, flags, nullptr, r.function, nullptr,
                                       nullptr, nullptr) != SQLITE_OK) {
            return false;
        }
    }
    return true;
}
