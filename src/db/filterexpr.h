#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <stdexcept>

// Thrown for a filter text that cannot be parsed, and by FilterExpr::matches() for a field the
// row does not have; what() is a readable English message.
class FilterSyntaxError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// One node of a parsed filter; defined in filterexpr.cpp.
struct FilterNode;

// A local filter over the rows of a dataset, such as
//     (moneda='RON' or moneda='EUR') and achitat=true
// parsed once and then tested against each row.
//
// A NULL value (a QVariant that isNull()) satisfies no comparison, "<>" included; only IS NULL
// and "= null" find it. A value that cannot be read as the literal's type (text "abc" against
// 5) satisfies no comparison either. Text compares case-insensitively.
//
// Copies share the parsed tree, so a FilterExpr is cheap to pass around.
class FilterExpr
{
public:
    FilterExpr(); // empty: matches every row
    // Throws FilterSyntaxError; blank text gives an empty filter.
    static FilterExpr parse(const QString &text);

    bool isEmpty() const;

    // valueOf returns the row's value of a field (looked up case-insensitively), or an invalid
    // QVariant when the row has no such field; every field of the filter is read before
    // anything is compared, so an unknown field throws FilterSyntaxError("unknown field: <name>")
    // on the first row whatever the other values are. A dataset that wants the error when the
    // filter is set can check fieldNames() against its columns.
    bool matches(const std::function<QVariant(const QString &field)> &valueOf) const;

    // The fields the filter reads, once each (compared case-insensitively), spelled as first
    // written.
    QStringList fieldNames() const;

private:
    std::shared_ptr<const FilterNode> m_root;
    QStringList m_fields;
};
