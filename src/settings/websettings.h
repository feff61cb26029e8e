#pragma once

#include <QList>
#include <QSslCertificate>
#include <QString>

// Where the day's exchange rates come from.
enum class RateSource
{
    NationalBankFeed, // the National Bank's daily XML feed, every currency
    RatePages,        // one page per currency whose body is the bare rate (euro and dollar only)
};

// Where company registry data comes from.
enum class CompanySource
{
    VatPayerService, // the tax authority's public VAT-payer service (POST of JSON)
    CompanyJson,     // a service answering base address + fiscal code + ".json" with a flat object
};

// Everything the online look-ups need. Kept by the settings window; nothing
// here is stored by the look-ups themselves.
struct WebSettings
{
    RateSource rateSource = RateSource::NationalBankFeed;
    QString rateFeedUrl = QStringLiteral("https://www.bnr.ro/nbrfxrates.xml");
    // Pages of a rate service of the user's choice, ending in "/bnr/azi/eur" and "/bnr/azi/usd".
    QString euroPageUrl;
    QString dollarPageUrl;

    CompanySource companySource = CompanySource::VatPayerService;
    // The address carries the service version.
    QString vatPayerUrl = QStringLiteral("https://webservicesp.anaf.ro/api/PlatitorTvaRest/v9/tva");
    // A registry service of the user's choice, ending in "/api/companies/";
    // the fiscal code and ".json" are appended to it.
    QString companyJsonUrl;

    // A request that has not finished within this time is aborted.
    int timeoutMs = 3000;
    // After a failed fetch no request is made for this long.
    int offlinePauseMs = 3000;

    // Without it, https addresses are refused.
    bool useSsl = true;
    // An HTTP proxy is used when the host is not empty; a port that is not a
    // number means 80.
    QString proxyHost;
    QString proxyPort;
    // Basic authentication is sent when the user name is not empty.
    QString userName;
    QString password;
    // Certificates the user chose to trust although no known authority signed them.
    QList<QSslCertificate> trustedCertificates;
};
