#include "db/filterexpr.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QTime>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace {

enum class CompareOp
{
    Equal,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual
};

// A number kept as an integer when it is one, so large ids compare exactly.
struct Number
{
    bool isInteger = false;
    qint64 integer = 0;
    double real = 0;

    static Number fromInteger(qint64 i) { return {true, i, static_cast<double>(i)}; }
    static Number fromReal(double d) { return {false, 0, d}; }
};

// A date and a time of day as written, compared without any time zone.
struct WallClock
{
    QDate date;
    QTime time;
};

struct Literal
{
    enum class Type
    {
        Null,
        Bool,
        Number,
        Text
    };

    Type type = Type::Null;
    int position = 0;
    QString text; // the text of a quoted literal
    bool boolean = false;
    // Set for a numeric literal, and for quoted text that reads as a number.
    std::optional<Number> number;
    // Set for quoted text that reads as a date or a date-time.
    std::optional<WallClock> when;
};

// Deep nesting of parentheses or NOT would overflow the stack while parsing and evaluating.
constexpr int MaxNesting = 200;

} // namespace

struct FilterNode
{
    enum class Kind
    {
        And,
        Or,
        Not,
        Compare,
        Like,
        IsNull,
        IsNotNull
    };

    Kind kind = Kind::Compare;
    QList<std::shared_ptr<const FilterNode>> operands; // And, Or: two or more; Not: one
    qsizetype field = -1;                              // index into the filter's field names
    CompareOp op = CompareOp::Equal;
    Literal literal;
    QList<uint> pattern; // LIKE pattern, case-folded
};

namespace {

using NodePtr = std::shared_ptr<const FilterNode>;

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

std::optional<Number> parseNumber(const QString &text)
{
    bool ok = false;
    const qint64 i = text.toLongLong(&ok);
    if (ok)
        return Number::fromInteger(i);
    const double d = text.toDouble(&ok);
    if (ok && std::isfinite(d))
        return Number::fromReal(d);
    return std::nullopt;
}

std::optional<WallClock> parseWhen(const QString &text)
{
    const QString isoDate = QStringLiteral("yyyy-MM-dd");
    for (const QString &format : {isoDate, QStringLiteral("dd.MM.yyyy")}) {
        const QDate date = QDate::fromString(text, format);
        if (date.isValid())
            return WallClock{date, QTime(0, 0)};
    }
    if (text.size() == 19 && text.at(10) == u' ') {
        const QDate date = QDate::fromString(text.left(10), isoDate);
        const QTime time = QTime::fromString(text.mid(11), QStringLiteral("HH:mm:ss"));
        if (date.isValid() && time.isValid())
            return WallClock{date, time};
    }
    return std::nullopt;
}

// ---- Tokens ----

struct Token
{
    enum class Type
    {
        Name,
        Number,
        Text,
        Operator,
        OpenParen,
        CloseParen,
        End
    };

    Type type = Type::End;
    QString text;     // name, number as written, text value or operator
    int position = 0; // 1-based
    bool bracketed = false;
};

[[noreturn]] void fail(int position, const QString &problem)
{
    const QString message = QStringLiteral("Filter syntax error at position %1: %2")
                                .arg(QString::number(position), problem);
    throw FilterSyntaxError(message.toStdString());
}

QString describe(const Token &token)
{
    switch (token.type) {
    case Token::Type::End:
        return QStringLiteral("the end of the filter");
    case Token::Type::Text: {
        QString quoted = token.text;
        quoted.replace(u'\'', QStringLiteral("''"));
        return u'\'' + quoted + u'\'';
    }
    case Token::Type::Name:
        if (token.bracketed)
            return u'[' + token.text + u']';
        break;
    case Token::Type::Number:
    case Token::Type::Operator:
    case Token::Type::OpenParen:
    case Token::Type::CloseParen:
        break;
    }
    return u'\'' + token.text + u'\'';
}

QList<Token> tokenize(const QString &text)
{
    QList<Token> tokens;
    const qsizetype n = text.size();
    qsizetype i = 0;
    for (;;) {
        while (i < n && text.at(i).isSpace())
            ++i;
        Token token;
        token.position = static_cast<int>(i) + 1;
        if (i >= n) {
            tokens.append(token);
            return tokens;
        }
        const QChar c = text.at(i);
        if (c == u'\'') {
            token.type = Token::Type::Text;
            for (++i;; ++i) {
                if (i >= n)
                    fail(token.position, QStringLiteral("the quoted text is never closed"));
                if (text.at(i) == u'\'') {
                    if (i + 1 < n && text.at(i + 1) == u'\'') {
                        token.text += u'\'';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                token.text += text.at(i);
            }
        } else if (c == u'[') {
            const qsizetype close = text.indexOf(u']', i + 1);
            if (close < 0)
                fail(token.position, QStringLiteral("the field name in brackets is never closed"));
            token.type = Token::Type::Name;
            token.bracketed = true;
            token.text = text.mid(i + 1, close - i - 1);
            if (token.text.trimmed().isEmpty())
                fail(token.position, QStringLiteral("empty field name in brackets"));
            i = close + 1;
        } else if (c.isLetter() || c == u'_') {
            const qsizetype start = i;
            while (i < n && (text.at(i).isLetterOrNumber() || text.at(i) == u'_'))
                ++i;
            token.type = Token::Type::Name;
            token.text = text.mid(start, i - start);
        } else if (isAsciiDigit(c) || (c == u'-' && i + 1 < n && isAsciiDigit(text.at(i + 1)))) {
            const qsizetype start = i++;
            while (i < n && isAsciiDigit(text.at(i)))
                ++i;
            if (i + 1 < n && text.at(i) == u'.' && isAsciiDigit(text.at(i + 1))) {
                i += 2;
                while (i < n && isAsciiDigit(text.at(i)))
                    ++i;
            }
            // "12." or "12abc" is a typo, not a number followed by something else.
            const qsizetype end = i;
            while (i < n &&
                   (text.at(i).isLetterOrNumber() || text.at(i) == u'_' || text.at(i) == u'.'))
                ++i;
            token.type = Token::Type::Number;
            token.text = text.mid(start, i - start);
            if (i != end)
                fail(token.position, u'\'' + token.text + QStringLiteral("' is not a number"));
        } else if (c == u'(' || c == u')') {
            token.type = c == u'(' ? Token::Type::OpenParen : Token::Type::CloseParen;
            token.text = c;
            ++i;
        } else if (c == u'=' || c == u'<' || c == u'>') {
            token.type = Token::Type::Operator;
            token.text = c;
            ++i;
            if (i < n && ((c == u'<' && (text.at(i) == u'>' || text.at(i) == u'=')) ||
                          (c == u'>' && text.at(i) == u'='))) {
                token.text += text.at(i);
                ++i;
            }
        } else {
            fail(token.position, QStringLiteral("unexpected character '") + c + u'\'');
        }
        tokens.append(token);
    }
}

// ---- Parser ----

class Parser
{
public:
    explicit Parser(const QString &text) : m_tokens(tokenize(text)) {}

    NodePtr parseFilter()
    {
        NodePtr root = parseOr();
        const Token &next = peek();
        if (next.type == Token::Type::CloseParen)
            fail(next.position, QStringLiteral("')' has no matching '('"));
        if (next.type != Token::Type::End)
            fail(next.position, QStringLiteral("expected AND or OR but found ") % describe(next));
        return root;
    }

    const QStringList &fields() const { return m_fields; }

private:
    const Token &peek() const { return m_tokens.at(m_pos); }

    // The End token is never consumed, so peek() stays valid.
    const Token &take()
    {
        const Token &token = m_tokens.at(m_pos);
        if (token.type != Token::Type::End)
            ++m_pos;
        return token;
    }

    static bool isKeyword(const Token &token, QStringView keyword)
    {
        return token.type == Token::Type::Name && !token.bracketed &&
               token.text.compare(keyword, Qt::CaseInsensitive) == 0;
    }

    bool accept(QStringView keyword)
    {
        if (!isKeyword(peek(), keyword))
            return false;
        take();
        return true;
    }

    static bool isReserved(const Token &token)
    {
        for (QStringView word :
             {u"and", u"or", u"not", u"is", u"null", u"like", u"true", u"false"}) {
            if (isKeyword(token, word))
                return true;
        }
        return false;
    }

    NodePtr parseOr() { return parseChain(FilterNode::Kind::Or, u"or"); }

    NodePtr parseAnd() { return parseChain(FilterNode::Kind::And, u"and"); }

    // Flat operand lists keep "id=1 or id=2 or ..." with thousands of ids shallow.
    NodePtr parseChain(FilterNode::Kind kind, QStringView keyword)
    {
        QList<NodePtr> operands{kind == FilterNode::Kind::Or ? parseAnd() : parseUnary()};
        while (accept(keyword))
            operands.append(kind == FilterNode::Kind::Or ? parseAnd() : parseUnary());
        if (operands.size() == 1)
            return operands.constFirst();
        auto node = std::make_shared<FilterNode>();
        node->kind = kind;
        node->operands = std::move(operands);
        return node;
    }

    NodePtr parseUnary()
    {
        const Token &start = peek();
        if (++m_depth > MaxNesting)
            fail(start.position, QStringLiteral("the filter is nested too deeply"));
        NodePtr result;
        if (accept(u"not")) {
            auto node = std::make_shared<FilterNode>();
            node->kind = FilterNode::Kind::Not;
            node->operands.append(parseUnary());
            result = std::move(node);
        } else if (start.type == Token::Type::OpenParen) {
            const int openPosition = take().position;
            result = parseOr();
            if (peek().type != Token::Type::CloseParen)
                fail(peek().position, QStringLiteral("expected ')' to close the '(' at position ") %
                                          QString::number(openPosition) %
                                          QStringLiteral(" but found ") % describe(peek()));
            take();
        } else {
            result = parsePredicate();
        }
        --m_depth;
        return result;
    }

    NodePtr parsePredicate()
    {
        const Token &name = take();
        if (name.type != Token::Type::Name || isReserved(name))
            fail(name.position,
                 QStringLiteral("expected a field name but found ") % describe(name));
        auto node = std::make_shared<FilterNode>();
        node->field = fieldIndex(name.text);

        if (accept(u"is")) {
            node->kind = accept(u"not") ? FilterNode::Kind::IsNotNull : FilterNode::Kind::IsNull;
            if (!accept(u"null"))
                fail(peek().position,
                     QStringLiteral("expected NULL after IS but found ") % describe(peek()));
            return node;
        }
        if (accept(u"like")) {
            const Token &pattern = take();
            if (pattern.type != Token::Type::Text)
                fail(pattern.position, QStringLiteral("expected a quoted pattern after LIKE but "
                                                      "found ") %
                                           describe(pattern));
            node->kind = FilterNode::Kind::Like;
            node->pattern = pattern.text.toCaseFolded().toUcs4();
            return node;
        }

        const Token &op = take();
        if (op.type != Token::Type::Operator)
            fail(op.position, QStringLiteral("expected a comparison operator after ") %
                                  describe(name) % QStringLiteral(" but found ") % describe(op));
        node->kind = FilterNode::Kind::Compare;
        node->op = compareOp(op.text);
        node->literal = parseLiteral(op);
        return node;
    }

    static CompareOp compareOp(const QString &text)
    {
        if (text == u"=")
            return CompareOp::Equal;
        if (text == u"<>")
            return CompareOp::NotEqual;
        if (text == u"<")
            return CompareOp::Less;
        if (text == u">")
            return CompareOp::Greater;
        if (text == u"<=")
            return CompareOp::LessEqual;
        return CompareOp::GreaterEqual;
    }

    Literal parseLiteral(const Token &op)
    {
        const Token &value = take();
        Literal literal;
        literal.position = value.position;
        if (value.type == Token::Type::Number) {
            literal.type = Literal::Type::Number;
            literal.number = parseNumber(value.text);
            if (!literal.number)
                fail(value.position, describe(value) % QStringLiteral(" is out of range"));
        } else if (value.type == Token::Type::Text) {
            literal.type = Literal::Type::Text;
            literal.text = value.text;
            literal.number = parseNumber(value.text.trimmed());
            literal.when = parseWhen(value.text);
        } else if (isKeyword(value, u"true") || isKeyword(value, u"false")) {
            literal.type = Literal::Type::Bool;
            literal.boolean = isKeyword(value, u"true");
        } else if (isKeyword(value, u"null")) {
            literal.type = Literal::Type::Null;
        } else {
            fail(value.position, QStringLiteral("expected a value after ") % describe(op) %
                                     QStringLiteral(" but found ") % describe(value));
        }
        const bool equality = op.text == u"=" || op.text == u"<>";
        if (!equality &&
            (literal.type == Literal::Type::Null || literal.type == Literal::Type::Bool))
            fail(op.position, QStringLiteral("only = and <> can compare with ") % describe(value));
        return literal;
    }

    qsizetype fieldIndex(const QString &name)
    {
        for (qsizetype i = 0; i < m_fields.size(); ++i) {
            if (m_fields.at(i).compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        m_fields.append(name);
        return m_fields.size() - 1;
    }

    QList<Token> m_tokens;
    qsizetype m_pos = 0;
    int m_depth = 0;
    QStringList m_fields;
};

// ---- Evaluation ----

using Values = QVarLengthArray<QVariant, 8>;

// A value held as a number: integer and floating point types, and custom types that convert
// to double. Text and booleans are read by the callers that accept them.
std::optional<Number> storedNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::QChar:
        return std::nullopt;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return Number::fromInteger(value.toLongLong());
    case QMetaType::ULongLong:
    case QMetaType::ULong: {
        const qulonglong u = value.toULongLong();
        if (u > static_cast<qulonglong>(std::numeric_limits<qint64>::max()))
            return Number::fromReal(static_cast<double>(u));
        return Number::fromInteger(static_cast<qint64>(u));
    }
    default:
        break;
    }
    if (!value.canConvert<double>())
        return std::nullopt;
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (!ok || std::isnan(d))
        return std::nullopt;
    return Number::fromReal(d);
}

std::optional<Number> numberOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return Number::fromInteger(value.toBool() ? 1 : 0);
    if (value.typeId() == QMetaType::QString)
        return parseNumber(value.toString().trimmed());
    return storedNumber(value);
}

// Booleans also arrive as integers, where any non-zero value (often -1) means true.
std::optional<bool> boolOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    std::optional<Number> number;
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.compare(u"true", Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(u"false", Qt::CaseInsensitive) == 0)
            return false;
        number = parseNumber(text);
    } else {
        number = storedNumber(value);
    }
    if (!number)
        return std::nullopt;
    return number->isInteger ? number->integer != 0 : number->real != 0;
}

std::optional<WallClock> wallClockOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::QDate) {
        const QDate date = value.toDate();
        return date.isValid() ? std::optional(WallClock{date, QTime(0, 0)}) : std::nullopt;
    }
    const QDateTime dateTime = value.toDateTime();
    return dateTime.isValid() ? std::optional(WallClock{dateTime.date(), dateTime.time()})
                              : std::nullopt;
}

template <typename T> int order(const T &a, const T &b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

std::optional<int> compareNumbers(const Number &a, const Number &b)
{
    if (a.isInteger && b.isInteger)
        return order(a.integer, b.integer);
    const double x = a.real;
    const double y = b.real;
    if (std::isnan(x) || std::isnan(y))
        return std::nullopt;
    // A few units in the last place: 0.1 + 0.2 computed by a query equals the literal 0.3,
    // while money amounts that differ by 0.0001 stay apart well beyond any real total.
    if (std::isfinite(x) && std::isfinite(y) &&
        std::abs(x - y) <=
            4 * std::numeric_limits<double>::epsilon() * std::max(std::abs(x), std::abs(y)))
        return 0;
    return order(x, y);
}

// The order of value against the literal, or nothing when they cannot be compared.
std::optional<int> compareToLiteral(const QVariant &value, const Literal &literal)
{
    switch (literal.type) {
    case Literal::Type::Null:
        break;
    case Literal::Type::Bool: {
        const std::optional<bool> b = boolOf(value);
        if (!b)
            return std::nullopt;
        return order(*b, literal.boolean);
    }
    case Literal::Type::Number: {
        const std::optional<Number> n = numberOf(value);
        if (!n)
            return std::nullopt;
        return compareNumbers(*n, *literal.number);
    }
    case Literal::Type::Text: {
        const int type = value.typeId();
        if (type == QMetaType::QDate || type == QMetaType::QDateTime) {
            if (!literal.when)
                fail(literal.position,
                     u'\'' + literal.text +
                         QStringLiteral("' is not a date; write it as yyyy-MM-dd, "
                                        "yyyy-MM-dd HH:mm:ss or dd.MM.yyyy"));
            const std::optional<WallClock> when = wallClockOf(value);
            if (!when)
                return std::nullopt;
            const int byDate = order(when->date, literal.when->date);
            return byDate != 0 ? byDate : order(when->time, literal.when->time);
        }
        // A number column against '10' compares as numbers, so 9 < '10'.
        if (literal.number) {
            if (const std::optional<Number> n = storedNumber(value))
                return compareNumbers(*n, *literal.number);
        }
        if (!value.canConvert<QString>())
            return std::nullopt;
        return order(QString::compare(value.toString(), literal.text, Qt::CaseInsensitive), 0);
    }
    }
    return std::nullopt;
}

bool compare(const QVariant &value, CompareOp op, const Literal &literal)
{
    if (literal.type == Literal::Type::Null)
        return op == CompareOp::Equal ? value.isNull() : !value.isNull();
    if (value.isNull())
        return false;
    const std::optional<int> result = compareToLiteral(value, literal);
    if (!result)
        return false;
    switch (op) {
    case CompareOp::Equal:
        return *result == 0;
    case CompareOp::NotEqual:
        return *result != 0;
    case CompareOp::Less:
        return *result < 0;
    case CompareOp::Greater:
        return *result > 0;
    case CompareOp::LessEqual:
        return *result <= 0;
    case CompareOp::GreaterEqual:
        return *result >= 0;
    }
    return false;
}

// % and * match any run of characters, _ and ? exactly one.
bool likeMatches(const QList<uint> &text, const QList<uint> &pattern)
{
    const auto anyRun = [](uint c) { return c == u'%' || c == u'*'; };
    const auto anyOne = [](uint c) { return c == u'_' || c == u'?'; };
    qsizetype t = 0;
    qsizetype p = 0;
    qsizetype runAt = -1; // the last any-run wildcard seen, to backtrack to
    qsizetype runText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && anyRun(pattern.at(p))) {
            runAt = p++;
            runText = t;
        } else if (p < pattern.size() && (anyOne(pattern.at(p)) || pattern.at(p) == text.at(t))) {
            ++p;
            ++t;
        } else if (runAt >= 0) {
            p = runAt + 1;
            t = ++runText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && anyRun(pattern.at(p)))
        ++p;
    return p == pattern.size();
}

bool evaluate(const FilterNode &node, const Values &values)
{
    switch (node.kind) {
    case FilterNode::Kind::And:
        for (const NodePtr &operand : node.operands) {
            if (!evaluate(*operand, values))
                return false;
        }
        return true;
    case FilterNode::Kind::Or:
        for (const NodePtr &operand : node.operands) {
            if (evaluate(*operand, values))
                return true;
        }
        return false;
    case FilterNode::Kind::Not:
        return !evaluate(*node.operands.constFirst(), values);
    case FilterNode::Kind::IsNull:
        return values.at(node.field).isNull();
    case FilterNode::Kind::IsNotNull:
        return !values.at(node.field).isNull();
    case FilterNode::Kind::Like: {
        const QVariant &value = values.at(node.field);
        if (value.isNull() || !value.canConvert<QString>())
            return false;
        return likeMatches(value.toString().toCaseFolded().toUcs4(), node.pattern);
    }
    case FilterNode::Kind::Compare:
        return compare(values.at(node.field), node.op, node.literal);
    }
    return false;
}

} // namespace

FilterExpr::FilterExpr() = default;

FilterExpr FilterExpr::parse(const QString &text)
{
    FilterExpr filter;
    if (text.trimmed().isEmpty())
        return filter;
    Parser parser(text);
    filter.m_root = parser.parseFilter();
    filter.m_fields = parser.fields();
    return filter;
}

bool FilterExpr::isEmpty() const
{
    return !m_root;
}

bool FilterExpr::matches(const std::function<QVariant(const QString &field)> &valueOf) const
{
    if (!m_root)
        return true;
    Values values;
    values.reserve(m_fields.size());
    for (const QString &name : m_fields) {
        QVariant value = valueOf(name);
        if (!value.isValid())
            throw FilterSyntaxError(
                QString(QStringLiteral("unknown field: ") % name).toStdString());
        values.append(std::move(value));
    }
    return evaluate(*m_root, values);
}

QStringList FilterExpr::fieldNames() const
{
    return m_fields;
}
