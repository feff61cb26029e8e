#include "smtpsender.h"

#include <QUrl>

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// libcurl counts its users; every send holds it for its duration.
class CurlLibrary
{
public:
    CurlLibrary() : m_code(curl_global_init(CURL_GLOBAL_DEFAULT)) {}
    ~CurlLibrary()
    {
        if (m_code == CURLE_OK)
            curl_global_cleanup();
    }
    CurlLibrary(const CurlLibrary &) = delete;
    CurlLibrary &operator=(const CurlLibrary &) = delete;
    CURLcode code() const { return m_code; }

private:
    CURLcode m_code;
};

struct Upload
{
    const QByteArray &data;
    qsizetype offset = 0;
};

size_t readChunk(char *buffer, size_t size, size_t count, void *userData)
{
    auto *upload = static_cast<Upload *>(userData);
    const size_t left = size_t(upload->data.size() - upload->offset);
    const size_t chunk = std::min(left, size * count);
    std::memcpy(buffer, upload->data.constData() + upload->offset, chunk);
    upload->offset += qsizetype(chunk);
    return chunk;
}

// Keeps the server's last refusal (4xx or 5xx), which says more than
// libcurl's own text.
int lastRefusal(CURL *, curl_infotype type, char *data, size_t size, void *userData)
{
    if (type == CURLINFO_HEADER_IN && size > 0 && (data[0] == '4' || data[0] == '5'))
        *static_cast<QString *>(userData) = QString::fromUtf8(data, qsizetype(size)).trimmed();
    return 0;
}

struct CurlDeleter
{
    void operator()(CURL *curl) const { curl_easy_cleanup(curl); }
};
struct ListDeleter
{
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};

} // namespace

int smtpPort(int storedPort, bool secure)
{
    if (storedPort > 0)
        return storedPort;
    return secure ? 587 : 25;
}

SmtpSecurity smtpSecurity(int port, bool secure)
{
    if (port == 465)
        return SmtpSecurity::ImplicitTls;
    return secure ? SmtpSecurity::StartTls : SmtpSecurity::Opportunistic;
}

QString sendSmtp(const SmtpAccount &account, const QString &sender, const QStringList &recipients,
                 const QByteArray &message)
{
    QUrl url;
    url.setScheme(account.security == SmtpSecurity::ImplicitTls ? QStringLiteral("smtps")
                                                                : QStringLiteral("smtp"));
    url.setHost(account.host.trimmed(), QUrl::StrictMode);
    url.setPort(account.port);
    if (!url.isValid() || url.host().isEmpty())
        return QStringLiteral("Adresa serverului SMTP este invalida: ") + account.host;

    const CurlLibrary library;
    if (library.code() != CURLE_OK)
        return QString::fromUtf8(curl_easy_strerror(library.code()));
    const std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl)
        return QString::fromUtf8(curl_easy_strerror(CURLE_FAILED_INIT));

    std::unique_ptr<curl_slist, ListDeleter> rcpt;
    for (const QString &recipient : recipients) {
        const QByteArray address = '<' + recipient.toUtf8() + '>';
        curl_slist *head = curl_slist_append(rcpt.get(), address.constData());
        if (!head)
            return QString::fromUtf8(curl_easy_strerror(CURLE_OUT_OF_MEMORY));
        if (!rcpt)
            rcpt.reset(head);
    }
    const QByteArray urlText = url.toEncoded();
    const QByteArray from = '<' + sender.toUtf8() + '>';
    const QByteArray user = account.user.toUtf8();
    const QByteArray password = account.password.toUtf8();
    const QByteArray caFile = account.caFile.toLocal8Bit();
    Upload upload{message};
    char errorText[CURL_ERROR_SIZE] = {};
    QString refusal;

    CURL *c = curl.get();
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, lastRefusal);
    curl_easy_setopt(c, CURLOPT_DEBUGDATA, &refusal);
    curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(c, CURLOPT_URL, urlText.constData());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(c, CURLOPT_USE_SSL,
                     account.security == SmtpSecurity::Opportunistic ? long(CURLUSESSL_TRY)
                                                                     : long(CURLUSESSL_ALL));
    curl_easy_setopt(c, CURLOPT_SSLVERSION, long(CURL_SSLVERSION_TLSv1_2));
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!caFile.isEmpty())
        curl_easy_setopt(c, CURLOPT_CAINFO, caFile.constData());
    if (account.authentication) {
        curl_easy_setopt(c, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(c, CURLOPT_PASSWORD, password.constData());
    }
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, rcpt.get());
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_READFUNCTION, readChunk);
    curl_easy_setopt(c, CURLOPT_READDATA, &upload);
    curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, curl_off_t(message.size()));
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, 30L);
    // A server that stops answering ends the send instead of freezing it.
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, 60L);

    const CURLcode code = curl_easy_perform(c);
    if (code == CURLE_OK)
        return {};
    QString detail = QString::fromUtf8(errorText).trimmed();
    if (detail.isEmpty())
        detail = QString::fromUtf8(curl_easy_strerror(code));
    return refusal.isEmpty() ? detail : detail + QStringLiteral(" (") + refusal + u')';
}
