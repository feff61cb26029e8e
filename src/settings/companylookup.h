#pragma once

#include <QString>

#include <optional>

class WebClient;

// A company's identification, as the new-client window fills its fields.
struct CompanyData
{
    QString name;
    QString fiscalCode;     // as it is stored: "RO" + digits for a VAT payer
    QString registryNumber; // trade register: "J40/16655/1993"
    QString address;
    QString town;
    QString county;
    QString postalCode;
    QString phone;
    std::optional<bool> vatPayer; // unset when the source does not say
};

// The digits of a fiscal code typed with or without "RO" (in any case) and
// blanks; nullopt unless they are 2 to 10 ASCII digits.
std::optional<QString> fiscalCodeDigits(const QString &typed);

// Company registry data from the fiscal code, from the configured source.
class CompanyLookup
{
public:
    explicit CompanyLookup(WebClient &client);

    // nullopt after a message: a malformed code (no request is made), an
    // unknown company, an answer that cannot be read or a network failure.
    // An empty code stops without a message.
    std::optional<CompanyData> lookupCompany(const QString &fiscalCode);

private:
    std::optional<CompanyData> fromVatPayerService(const QString &digits);
    std::optional<CompanyData> fromCompanyJson(const QString &digits, bool vatPrefix);

    WebClient &m_client;
};
