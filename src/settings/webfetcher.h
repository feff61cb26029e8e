#pragma once

#include "core/money.h"
#include "settings/webclient.h"
#include "settings/websettings.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

// The day's rate of one currency unit in lei.
struct RateQuote
{
    QString currency; // upper case: "EUR"
    // The rate of ONE unit, exact, as decimal text with ".": the feed quotes
    // HUF as 1.2936 for 100 units, which gives "0.012936".
    QString exactRate;
    // exactRate rounded to Money's four decimals, halves away from zero
    // (HUF: 0.0129). Use exactRate where more decimals matter.
    Money rate;
    int multiplier = 1; // how many units the source quoted the rate for
    QDate date;         // the day the rate applies to
    RateSource source = RateSource::NationalBankFeed;
};

// The page fetch and rate reader of the settings window. The window shows
// the URL list, the method, the post data, the response (memoHtml, memo1) and
// the two rate boxes, and its "Go!" runs webFetch. Screens that need a rate
// call fetchRate.
class WebFetcher
{
public:
    explicit WebFetcher(WebClient &client);

    // The day's rate of one unit of `currency` from the configured source.
    // EUR and USD also go into their rate box. On failure: nullopt after the
    // message, and when the rate could not be read both boxes read "1";
    // while online access is paused no request is made, no message is shown
    // and both boxes read "1".
    std::optional<RateQuote> fetchRate(const QString &currency);

    // Fetches url() with method(). The body goes into memoHtml(); a HEAD puts
    // the header lines into memo1(); a GET of an address containing "eur" or
    // "usd" takes the body, a bare rate with "." or ",", into the euro or
    // dollar box. Returns true on success.
    bool webFetch();

    // The addresses offered in "URL": the euro page, the dollar page and an
    // example registry address, in that order.
    QStringList urls() const;

    QString url() const { return m_url; }
    void setUrl(const QString &url) { m_url = url; }
    HttpMethod method() const { return m_method; }
    void setMethod(HttpMethod method) { m_method = method; }
    // What a POST sends: the post-data memo or the chosen file's contents.
    QByteArray postData() const { return m_postData; }
    void setPostData(const QByteArray &data) { m_postData = data; }
    QByteArray postContentType() const { return m_postContentType; }
    void setPostContentType(const QByteArray &type) { m_postContentType = type; }

    QString memoHtml() const { return m_memoHtml; }
    QStringList memo1() const { return m_memo1; }

    // The rate boxes "1 EUR" and "1 $", shown with a decimal comma; the user may edit them.
    QString euroRate() const { return m_euroRate; }
    void setEuroRate(const QString &text) { m_euroRate = text; }
    QString dollarRate() const { return m_dollarRate; }
    void setDollarRate(const QString &text) { m_dollarRate = text; }

private:
    void rateUnreadable();
    void resetRates();

    WebClient &m_client;
    QString m_url;
    HttpMethod m_method = HttpMethod::Get;
    QByteArray m_postData;
    QByteArray m_postContentType = QByteArrayLiteral("application/x-www-form-urlencoded");
    QString m_memoHtml;
    QStringList m_memo1;
    QString m_euroRate = QStringLiteral("1");
    QString m_dollarRate = QStringLiteral("1");
};
