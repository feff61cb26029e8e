#include "settings/companylookup.h"

#include "core/prompter.h"
#include "settings/webclient.h"
#include "settings/websettings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <algorithm>

namespace {

const QString ReadErrorText = QStringLiteral("Eroare la citirea datelor online");
const QString DigitCountText = QStringLiteral("Nr de cifre incorect");
const QString NotDigitsText = QStringLiteral("Codul fiscal trebuie sa contina doar cifre");

// The typed code without surrounding blanks and without an "RO" prefix.
QString withoutPrefix(const QString &typed, bool &hadPrefix)
{
    const QString code = typed.trimmed();
    hadPrefix = code.startsWith(u"RO", Qt::CaseInsensitive);
    return hadPrefix ? code.mid(2).trimmed() : code;
}

// Only ASCII digits: other scripts' digits would not be a Romanian code.
bool asciiDigits(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

bool validLength(const QString &digits)
{
    return digits.size() >= 2 && digits.size() <= 10;
}

QString member(const QJsonObject &object, const char *name)
{
    return object.value(QLatin1StringView(name)).toString().trimmed();
}

} // namespace

std::optional<QString> fiscalCodeDigits(const QString &typed)
{
    bool hadPrefix = false;
    const QString code = withoutPrefix(typed, hadPrefix);
    if (!asciiDigits(code) || !validLength(code))
        return std::nullopt;
    return code;
}

CompanyLookup::CompanyLookup(WebClient &client) : m_client(client) {}

std::optional<CompanyData> CompanyLookup::lookupCompany(const QString &fiscalCode)
{
    bool hadPrefix = false;
    const QString code = withoutPrefix(fiscalCode, hadPrefix);
    if (code.isEmpty() && !hadPrefix)
        return std::nullopt;
    if (!asciiDigits(code)) {
        m_client.prompter().error(NotDigitsText);
        return std::nullopt;
    }
    if (!validLength(code)) {
        m_client.prompter().error(DigitCountText);
        return std::nullopt;
    }
    return m_client.settings().companySource == CompanySource::VatPayerService
               ? fromVatPayerService(code)
               : fromCompanyJson(code, hadPrefix);
}

std::optional<CompanyData> CompanyLookup::fromVatPayerService(const QString &digits)
{
    const QJsonArray query{QJsonObject{
        {QStringLiteral("cui"), digits.toLongLong()},
        {QStringLiteral("data"), m_client.today().toString(Qt::ISODate)},
    }};
    const WebRequest request{HttpMethod::Post, QUrl(m_client.settings().vatPayerUrl.trimmed()),
                             QJsonDocument(query).toJson(QJsonDocument::Compact),
                             QByteArrayLiteral("application/json")};

    bool notFound = false;
    std::optional<CompanyData> company;
    const WebReply reply = m_client.fetch(request, [&](const QByteArray &body) {
        const QJsonObject answer = QJsonDocument::fromJson(body).object();
        const QJsonValue found = answer.value(u"found");
        const QJsonValue missing = answer.value(u"notFound");
        if (!found.isArray() || !missing.isArray())
            return false;
        if (!missing.toArray().isEmpty() || found.toArray().isEmpty()) {
            notFound = true;
            return true;
        }
        const QJsonObject record = found.toArray().first().toObject();
        const QJsonObject general = record.value(u"date_generale").toObject();
        const QJsonObject seat = record.value(u"adresa_sediu_social").toObject();
        CompanyData data;
        data.name = member(general, "denumire");
        if (data.name.isEmpty())
            return false;
        data.vatPayer = record.value(u"inregistrare_scop_Tva").toObject().value(u"scpTVA").toBool();
        data.fiscalCode = *data.vatPayer ? QString(u"RO" + digits) : digits;
        data.registryNumber = member(general, "nrRegCom");
        data.address = member(general, "adresa");
        data.town = member(seat, "sdenumire_Localitate");
        data.county = member(seat, "sdenumire_Judet");
        data.postalCode = member(general, "codPostal");
        if (data.postalCode.isEmpty())
            data.postalCode = member(seat, "scod_Postal");
        data.phone = member(general, "telefon");
        company = data;
        return true;
    });

    if (reply.status == WebReply::Unreadable)
        m_client.prompter().error(ReadErrorText);
    else if (reply.status == WebReply::Ok && notFound)
        m_client.prompter().information(QStringLiteral("Codul fiscal ") + digits +
                                        QStringLiteral(" nu a fost gasit"));
    return company;
}

std::optional<CompanyData> CompanyLookup::fromCompanyJson(const QString &digits, bool vatPrefix)
{
    const QString address = m_client.settings().companyJsonUrl.trimmed() +
                            QString::fromLatin1(QUrl::toPercentEncoding(digits)) + u".json";

    std::optional<CompanyData> company;
    const WebReply reply =
        m_client.fetch({HttpMethod::Get, QUrl(address), {}, {}}, [&](const QByteArray &body) {
            const QJsonObject object = QJsonDocument::fromJson(body).object();
            CompanyData data;
            data.name = member(object, "name");
            if (data.name.isEmpty())
                return false;
            data.fiscalCode = vatPrefix ? QString(u"RO" + digits) : digits;
            data.registryNumber = member(object, "registration");
            data.address = member(object, "address");
            data.county = member(object, "state");
            data.town = member(object, "city");
            company = data;
            return true;
        });

    if (reply.status == WebReply::Unreadable)
        m_client.prompter().error(ReadErrorText);
    return company;
}
