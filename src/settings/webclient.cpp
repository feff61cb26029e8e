#include "settings/webclient.h"

#include "core/appstate.h"
#include "core/prompter.h"
#include "settings/websettings.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslError>
#include <QTimer>

#include <algorithm>

namespace {

const QString NetworkFailureText =
    QStringLiteral(" Nu se pot citi online valorile pentru cursul valutar sau CIF.");

quint16 proxyPort(const QString &text)
{
    bool ok = false;
    const uint port = text.trimmed().toUInt(&ok);
    return ok && port > 0 && port <= 65535 ? static_cast<quint16>(port) : 80;
}

// Errors that only say that no known authority vouches for the certificate.
// A trusted certificate does not excuse a wrong host name or an expired date.
bool isTrustError(QSslError::SslError error)
{
    switch (error) {
    case QSslError::SelfSignedCertificate:
    case QSslError::SelfSignedCertificateInChain:
    case QSslError::UnableToGetIssuerCertificate:
    case QSslError::UnableToGetLocalIssuerCertificate:
    case QSslError::UnableToVerifyFirstCertificate:
    case QSslError::CertificateUntrusted:
        return true;
    default:
        return false;
    }
}

} // namespace

WebClient::WebClient(const WebSettings &settings, AppState &state, Prompter &prompter,
                     WebClock clock)
    : m_settings(settings), m_state(state), m_prompter(prompter), m_clock(std::move(clock)),
      m_network(std::make_unique<QNetworkAccessManager>())
{}

WebClient::~WebClient() = default;

WebReply WebClient::fetch(const WebRequest &request,
                          const std::function<bool(const QByteArray &)> &readable)
{
    if (paused())
        return {};
    WebReply reply = run(request);
    if (reply.status == WebReply::Failed) {
        fail();
        m_prompter.error(NetworkFailureText);
    } else if (readable && !readable(reply.body)) {
        reply.status = WebReply::Unreadable;
        fail();
    } else {
        m_state.onlineAccessOk = true;
    }
    return reply;
}

bool WebClient::paused() const
{
    return !m_state.onlineAccessOk && m_clock.now() < m_pausedUntil;
}

void WebClient::fail()
{
    m_state.onlineAccessOk = false;
    m_pausedUntil = m_clock.now() + std::chrono::milliseconds(m_settings.offlinePauseMs);
}

WebReply WebClient::run(const WebRequest &request)
{
    WebReply result;
    result.status = WebReply::Failed;
    if (!m_settings.useSsl && request.url.scheme().compare(u"https", Qt::CaseInsensitive) == 0)
        return result;

    QNetworkRequest req(request.url);
    if (!m_settings.userName.isEmpty()) {
        const QString credentials = m_settings.userName + u':' + m_settings.password;
        req.setRawHeader("Authorization", "Basic " + credentials.toUtf8().toBase64());
    }
    if (!request.contentType.isEmpty())
        req.setHeader(QNetworkRequest::ContentTypeHeader, request.contentType);
    const QString proxyHost = m_settings.proxyHost.trimmed();
    m_network->setProxy(proxyHost.isEmpty() ? QNetworkProxy()
                                            : QNetworkProxy(QNetworkProxy::HttpProxy, proxyHost,
                                                            proxyPort(m_settings.proxyPort)));

    std::unique_ptr<QNetworkReply> reply;
    switch (request.method) {
    case HttpMethod::Head:
        reply.reset(m_network->head(req));
        break;
    case HttpMethod::Get:
        reply.reset(m_network->get(req));
        break;
    case HttpMethod::Post:
        reply.reset(m_network->post(req, request.body));
        break;
    }

    QNetworkReply *r = reply.get();
    const QList<QSslCertificate> &trusted = m_settings.trustedCertificates;
    QObject::connect(
        r, &QNetworkReply::sslErrors, r, [r, &trusted](const QList<QSslError> &errors) {
            const bool allExcused =
                std::all_of(errors.cbegin(), errors.cend(), [&trusted](const QSslError &e) {
                    return isTrustError(e.error()) && !e.certificate().isNull() &&
                           trusted.contains(e.certificate());
                });
            if (allExcused)
                r->ignoreSslErrors(errors);
        });

    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, r, &QNetworkReply::abort);
    QObject::connect(r, &QNetworkReply::finished, &guard, &QTimer::stop);
    QObject::connect(r, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    guard.start(m_settings.timeoutMs);
    if (!r->isFinished())
        loop.exec();

    const int status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (r->error() != QNetworkReply::NoError || status < 200 || status > 299)
        return result;
    result.contentType = r->header(QNetworkRequest::ContentTypeHeader).toString();
    result.date = QString::fromLatin1(r->rawHeader("Date"));
    result.body = r->readAll();
    result.status = WebReply::Ok;
    return result;
}
