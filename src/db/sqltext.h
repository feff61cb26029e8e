#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <functional>

// Token-aware handling of SQL text written in the Access dialect: quoted
// literals ('...' and "..."), bracketed names and #date# literals are never
// rewritten and never hold parameters.
namespace sqltext {

// The text with every character inside a literal, a bracketed name or a date
// literal replaced by '\x01', delimiters included. Same length as sql.
QString maskLiterals(const QString &sql);

// Replaces every match of re found outside literals, left to right, without
// rescanning replaced text. `replacement` receives the match. Returns the count.
int replaceOutsideLiterals(QString &sql, const QRegularExpression &re,
                           const std::function<QString(const QRegularExpressionMatch &)> &replacement);

// Replaces every whole-word occurrence of `word` (ASCII, case-insensitive)
// outside literals. Returns the count.
int replaceWord(QString &sql, const QString &word, const QString &replacement);

// Replaces every occurrence of `find` (case-insensitive) outside literals.
int replaceText(QString &sql, const QString &find, const QString &replacement);

struct Parameters
{
    QString sql;       // the text with every :name replaced by ?
    QStringList names; // in order of occurrence; a repeated name appears twice
};
Parameters extractParameters(const QString &sql);

// Jet spellings SQLite cannot read: DISTINCTROW, DELETE * FROM, TOP n,
// #date# literals and "double-quoted" text literals.
QString jetToSqlite(const QString &sql);

} // namespace sqltext
