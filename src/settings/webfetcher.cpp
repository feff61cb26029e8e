#include "settings/webfetcher.h"

#include "core/prompter.h"

#include <QRegularExpression>
#include <QUrl>
#include <QXmlStreamReader>

namespace {

const QString RateUnreadableText = QStringLiteral("Nu am putut citi cursul online");
const QString FeedNamespace = QStringLiteral("http://www.bnr.ro/xsd");
const QString ExampleFiscalCode = QStringLiteral("4264242");

// A positive rate written with "." or "," as exact decimal text with ".".
std::optional<QString> readRateText(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(\d{1,9})(?:[.,](\d{1,12}))?\s*$)"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QString whole = m.captured(1);
    const QString fraction = m.captured(2);
    const QString digits = whole + fraction;
    if (digits.count(u'0') == digits.size())
        return std::nullopt;
    return fraction.isEmpty() ? whole : QString(whole + u'.' + fraction);
}

// The decimal text divided by a power of ten, exactly; nullopt for any other divisor.
std::optional<QString> perUnit(const QString &decimal, int multiplier)
{
    if (multiplier < 1)
        return std::nullopt;
    int shift = 0;
    for (int m = multiplier; m > 1; m /= 10) {
        if (m % 10 != 0)
            return std::nullopt;
        ++shift;
    }
    if (shift == 0)
        return decimal;
    const qsizetype dot = decimal.indexOf(u'.');
    const QString whole = dot < 0 ? decimal : decimal.left(dot);
    const QString fraction = dot < 0 ? QString() : decimal.mid(dot + 1);
    QString digits = whole + fraction;
    qsizetype point = whole.size() - shift;
    if (point < 1) {
        digits.prepend(QString(1 - point, u'0'));
        point = 1;
    }
    QString newWhole = digits.left(point);
    while (newWhole.size() > 1 && newWhole.startsWith(u'0'))
        newWhole.remove(0, 1);
    return QString(newWhole + u'.' + digits.mid(point));
}

std::optional<RateQuote> makeQuote(const QString &currency, const QString &quoted, int multiplier,
                                   const QDate &date, RateSource source)
{
    const std::optional<QString> exact = perUnit(quoted, multiplier);
    if (!exact)
        return std::nullopt;
    const std::optional<Money> rate = Money::parse(*exact);
    if (!rate)
        return std::nullopt;
    return RateQuote{currency, *exact, *rate, multiplier, date, source};
}

// The currency's rate from the feed; with several days, the latest.
std::optional<RateQuote> readFeed(const QByteArray &xml, const QString &currency)
{
    QXmlStreamReader reader(xml);
    std::optional<RateQuote> latest;
    QDate day;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement() || reader.namespaceUri() != FeedNamespace)
            continue;
        if (reader.name() == u"Cube") {
            day = QDate::fromString(reader.attributes().value(QLatin1StringView("date")).toString(),
                                    Qt::ISODate);
        } else if (reader.name() == u"Rate" &&
                   reader.attributes()
                           .value(QLatin1StringView("currency"))
                           .compare(currency, Qt::CaseInsensitive) == 0) {
            const QStringView multiplierText =
                reader.attributes().value(QLatin1StringView("multiplier"));
            bool ok = true;
            const int multiplier = multiplierText.isEmpty() ? 1 : multiplierText.toInt(&ok);
            const std::optional<QString> quoted = readRateText(reader.readElementText());
            if (!ok || !quoted || !day.isValid())
                return std::nullopt;
            const std::optional<RateQuote> quote =
                makeQuote(currency, *quoted, multiplier, day, RateSource::NationalBankFeed);
            if (!quote)
                return std::nullopt;
            if (!latest || quote->date > latest->date)
                latest = quote;
        }
    }
    if (reader.hasError())
        return std::nullopt;
    return latest;
}

// Rates are shown with the decimal comma of the Romanian locale.
QString boxText(const QString &exactRate)
{
    QString text = exactRate;
    return text.replace(u'.', u',');
}

} // namespace

WebFetcher::WebFetcher(WebClient &client) : m_client(client), m_url(urls().constFirst()) {}

QStringList WebFetcher::urls() const
{
    const WebSettings &s = m_client.settings();
    return {s.euroPageUrl, s.dollarPageUrl, s.companyJsonUrl + ExampleFiscalCode + u".json"};
}

std::optional<RateQuote> WebFetcher::fetchRate(const QString &currency)
{
    const QString code = currency.trimmed().toUpper();
    const WebSettings &s = m_client.settings();
    std::optional<RateQuote> quote;
    WebReply reply;
    if (s.rateSource == RateSource::RatePages) {
        const QString address = code == u"EUR"   ? s.euroPageUrl
                                : code == u"USD" ? s.dollarPageUrl
                                                 : QString();
        if (address.isEmpty()) {
            rateUnreadable();
            return std::nullopt;
        }
        const QDate today = m_client.today();
        reply = m_client.fetch(
            {HttpMethod::Get, QUrl(address.trimmed()), {}, {}}, [&](const QByteArray &body) {
                const std::optional<QString> text = readRateText(QString::fromUtf8(body));
                if (text)
                    quote = makeQuote(code, *text, 1, today, RateSource::RatePages);
                return quote.has_value();
            });
    } else {
        reply = m_client.fetch({HttpMethod::Get, QUrl(s.rateFeedUrl.trimmed()), {}, {}},
                               [&](const QByteArray &body) {
                                   quote = readFeed(body, code);
                                   return quote.has_value();
                               });
    }

    switch (reply.status) {
    case WebReply::Skipped:
        resetRates();
        return std::nullopt;
    case WebReply::Failed:
        return std::nullopt;
    case WebReply::Unreadable:
        rateUnreadable();
        return std::nullopt;
    case WebReply::Ok:
        break;
    }
    if (code == u"EUR")
        m_euroRate = boxText(quote->exactRate);
    else if (code == u"USD")
        m_dollarRate = boxText(quote->exactRate);
    return quote;
}

bool WebFetcher::webFetch()
{
    m_memoHtml.clear();
    const QString address = m_url.trimmed();
    const bool ratePage =
        m_method == HttpMethod::Get && (address.contains(u"eur", Qt::CaseInsensitive) ||
                                        address.contains(u"usd", Qt::CaseInsensitive));
    WebRequest request{m_method, QUrl(address), {}, {}};
    if (m_method == HttpMethod::Post) {
        request.body = m_postData;
        request.contentType = m_postContentType;
    }
    std::optional<QString> rate;
    std::function<bool(const QByteArray &)> readable;
    if (ratePage) {
        readable = [&rate](const QByteArray &body) {
            rate = readRateText(QString::fromUtf8(body));
            return rate.has_value();
        };
    }
    const WebReply reply = m_client.fetch(request, readable);

    switch (reply.status) {
    case WebReply::Skipped:
        resetRates();
        return false;
    case WebReply::Failed:
        return false;
    case WebReply::Unreadable:
        m_memoHtml = QString::fromUtf8(reply.body);
        rateUnreadable();
        return false;
    case WebReply::Ok:
        break;
    }
    if (m_method == HttpMethod::Head) {
        m_memo1 = QStringList{
            QStringLiteral("This is an example of some of the headers returned: "),
            QStringLiteral("---------------------------------------------------"),
            QStringLiteral("Content-Type: ") + reply.contentType,
            QStringLiteral("Date: ") + reply.date,
            QString(),
            QStringLiteral("You can view all the headers by examining HTTP.Response"),
        };
        return true;
    }
    m_memoHtml = QString::fromUtf8(reply.body);
    if (rate) {
        if (address.contains(u"eur", Qt::CaseInsensitive))
            m_euroRate = boxText(*rate);
        if (address.contains(u"usd", Qt::CaseInsensitive))
            m_dollarRate = boxText(*rate);
    }
    return true;
}

void WebFetcher::rateUnreadable()
{
    m_client.prompter().error(RateUnreadableText);
    resetRates();
}

void WebFetcher::resetRates()
{
    m_euroRate = QStringLiteral("1");
    m_dollarRate = QStringLiteral("1");
}
