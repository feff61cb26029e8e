#include "sqltext.h"

#include <QDate>
#include <QDateTime>
#include <QHash>

namespace sqltext {
namespace {

constexpr QChar Masked = QChar(0x01);

// Length of a #date# literal starting at i, or 0 when the '#' is not one.
qsizetype dateLiteralLength(const QString &sql, qsizetype i)
{
    const qsizetype close = sql.indexOf(u'#', i + 1);
    if (close < 0 || close - i > 30)
        return 0;
    for (qsizetype k = i + 1; k < close; ++k) {
        const QChar c = sql[k];
        if (!(c.isDigit() || c == u'/' || c == u'-' || c == u'.' || c == u':' || c == u' ' ||
              c.toLower() == u'a' || c.toLower() == u'p' || c.toLower() == u'm'))
            return 0;
    }
    return close - i + 1;
}

QRegularExpression caseless(const QString &pattern)
{
    return QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption);
}

// The dialect rewrites the same few words in every statement: each pattern
// is compiled once, not once a statement.
const QRegularExpression &cachedCaseless(const QString &pattern)
{
    thread_local QHash<QString, QRegularExpression> compiled;
    auto found = compiled.constFind(pattern);
    if (found == compiled.cend())
        found = compiled.insert(pattern, caseless(pattern));
    return *found;
}

QString quoteSingle(const QString &text)
{
    QString inner = text;
    inner.replace(u'\'', QStringLiteral("''"));
    return u'\'' + inner + u'\'';
}

// Converts a Jet date literal body (m/d/yyyy or yyyy-mm-dd, optional time) to ISO text.
QString jetDateToIso(const QString &body)
{
    const QString t = body.trimmed();
    static const char *const formats[] = {"M/d/yyyy H:mm:ss",    "M/d/yyyy H:mm",    "M/d/yyyy",
                                          "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm", "yyyy-MM-dd"};
    for (const char *f : formats) {
        const QDateTime dt = QDateTime::fromString(t, QString::fromLatin1(f));
        if (dt.isValid())
            return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        const QDate d = QDate::fromString(t, QString::fromLatin1(f));
        if (d.isValid())
            return d.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00");
    }
    return t;
}

// End of the SELECT that starts at `from`: the closing parenthesis of its
// enclosing level, or the end of the text without trailing blanks and ';'.
qsizetype selectScopeEnd(const QString &masked, qsizetype from)
{
    int depth = 0;
    for (qsizetype i = from; i < masked.size(); ++i) {
        const QChar c = masked[i];
        if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            if (depth == 0)
                return i;
            --depth;
        }
    }
    qsizetype end = masked.size();
    while (end > from && (masked[end - 1].isSpace() || masked[end - 1] == u';'))
        --end;
    return end;
}

} // namespace

QString maskLiterals(const QString &sql)
{
    QString out = sql;
    qsizetype i = 0;
    const qsizetype n = sql.size();
    while (i < n) {
        const QChar c = sql[i];
        qsizetype end = -1;
        if (c == u'\'' || c == u'"') {
            qsizetype k = i + 1;
            while (k < n) {
                if (sql[k] == c) {
                    if (k + 1 < n && sql[k + 1] == c) {
                        k += 2;
                        continue;
                    }
                    break;
                }
                ++k;
            }
            end = k < n ? k + 1 : n;
        } else if (c == u'[') {
            const qsizetype close = sql.indexOf(u']', i + 1);
            end = close < 0 ? n : close + 1;
        } else if (c == u'#') {
            const qsizetype len = dateLiteralLength(sql, i);
            if (len > 0)
                end = i + len;
        }
        if (end < 0) {
            ++i;
            continue;
        }
        for (qsizetype k = i; k < end; ++k)
            out[k] = Masked;
        i = end;
    }
    return out;
}

int replaceOutsideLiterals(
    QString &sql, const QRegularExpression &re,
    const std::function<QString(const QRegularExpressionMatch &)> &replacement)
{
    const QString masked = maskLiterals(sql);
    QString out;
    out.reserve(sql.size());
    qsizetype last = 0;
    int count = 0;
    auto it = re.globalMatch(masked);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(sql).mid(last, m.capturedStart() - last);
        // The patterns never match inside a masked literal, so the match
        // carries the original text.
        out += replacement(m);
        last = m.capturedEnd();
        ++count;
    }
    if (count == 0)
        return 0;
    out += QStringView(sql).mid(last);
    sql = out;
    return count;
}

int replaceWord(QString &sql, const QString &word, const QString &replacement)
{
    const QRegularExpression &re =
        cachedCaseless(QStringLiteral("(?<![A-Za-z0-9_])") + QRegularExpression::escape(word) +
                       QStringLiteral("(?![A-Za-z0-9_])"));
    return replaceOutsideLiterals(sql, re,
                                  [&](const QRegularExpressionMatch &) { return replacement; });
}

int replaceText(QString &sql, const QString &find, const QString &replacement)
{
    const QRegularExpression &re = cachedCaseless(QRegularExpression::escape(find));
    return replaceOutsideLiterals(sql, re,
                                  [&](const QRegularExpressionMatch &) { return replacement; });
}

Parameters extractParameters(const QString &sql)
{
    static const QRegularExpression re(
        QStringLiteral("(?<![:A-Za-z0-9_]):([A-Za-z_][A-Za-z0-9_]*)"));
    Parameters p;
    p.sql = sql;
    replaceOutsideLiterals(p.sql, re, [&](const QRegularExpressionMatch &m) {
        p.names << m.captured(1);
        return QStringLiteral("?");
    });
    return p;
}

QString jetToSqlite(const QString &sql)
{
    QString out = sql;
    replaceWord(out, QStringLiteral("distinctrow"), QStringLiteral("distinct"));

    // ISNULL is an operator keyword in SQLite; the Jet function is reached
    // under its bracketed name.
    static const QRegularExpression isnullCall(QStringLiteral("(?<![A-Za-z0-9_])isnull(?=\\s*\\()"),
                                               QRegularExpression::CaseInsensitiveOption);
    replaceOutsideLiterals(out, isnullCall, [](const QRegularExpressionMatch &) {
        return QStringLiteral("[isnull]");
    });

    static const QRegularExpression deleteStar(QStringLiteral("(?<![A-Za-z0-9_])delete\\s+\\*"),
                                               QRegularExpression::CaseInsensitiveOption);
    replaceOutsideLiterals(
        out, deleteStar, [](const QRegularExpressionMatch &) { return QStringLiteral("delete"); });

    // SELECT [DISTINCT] TOP n ... becomes SELECT [DISTINCT] ... LIMIT n at the
    // end of that select, one at a time so that positions stay right.
    static const QRegularExpression top(
        QStringLiteral(
            "(?<![A-Za-z0-9_])(select\\s+(?:distinct\\s+)?)top\\s+(\\d+)(?![A-Za-z0-9_])\\s*"),
        QRegularExpression::CaseInsensitiveOption);
    for (;;) {
        const QString masked = maskLiterals(out);
        const QRegularExpressionMatch m = top.match(masked);
        if (!m.hasMatch())
            break;
        const qsizetype end = selectScopeEnd(masked, m.capturedEnd());
        const QString limit = QStringLiteral(" LIMIT ") + m.captured(2);
        out.insert(end, limit);
        out.replace(m.capturedStart(), m.capturedLength(),
                    out.mid(m.capturedStart(1), m.capturedLength(1)));
    }

    // Literals: "text" becomes 'text', #date# becomes 'yyyy-MM-dd HH:mm:ss'.
    const QString masked = maskLiterals(out);
    QString result;
    result.reserve(out.size());
    qsizetype i = 0;
    while (i < out.size()) {
        if (masked[i] != Masked) {
            result += out[i++];
            continue;
        }
        qsizetype end = i;
        while (end < out.size() && masked[end] == Masked)
            ++end;
        // A masked run may hold several adjacent literals; take them one by one.
        while (i < end) {
            const QChar open = out[i];
            qsizetype close;
            if (open == u'[') {
                close = out.indexOf(u']', i + 1);
            } else if (open == u'#') {
                close = out.indexOf(u'#', i + 1);
            } else {
                close = i + 1;
                while (close < end) {
                    if (out[close] == open) {
                        if (close + 1 < end && out[close + 1] == open) {
                            close += 2;
                            continue;
                        }
                        break;
                    }
                    ++close;
                }
            }
            if (close < 0 || close >= end)
                close = end - 1;
            const QString piece = out.mid(i, close - i + 1);
            if (open == u'"' && piece.size() >= 2) {
                QString inner = piece.mid(1, piece.size() - 2);
                inner.replace(QStringLiteral("\"\""), QStringLiteral("\""));
                result += quoteSingle(inner);
            } else if (open == u'#' && piece.size() >= 2) {
                result += quoteSingle(jetDateToIso(piece.mid(1, piece.size() - 2)));
            } else {
                result += piece;
            }
            i = close + 1;
        }
    }
    return result;
}

} // namespace sqltext
