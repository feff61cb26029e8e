#include "smime.h"

#include "mimemessage.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/pkcs12.h>
#include <openssl/x509v3.h>

#include <memory>

namespace {

template <auto Free> struct Deleter
{
    template <class T> void operator()(T *p) const { Free(p); }
};
struct X509StackDeleter
{
    void operator()(STACK_OF(X509) * stack) const { sk_X509_pop_free(stack, X509_free); }
};
using BioPtr = std::unique_ptr<BIO, Deleter<BIO_free_all>>;
using X509Ptr = std::unique_ptr<X509, Deleter<X509_free>>;
using KeyPtr = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY_free>>;
using CmsPtr = std::unique_ptr<CMS_ContentInfo, Deleter<CMS_ContentInfo_free>>;
using Pkcs12Ptr = std::unique_ptr<PKCS12, Deleter<PKCS12_free>>;
using X509StackPtr = std::unique_ptr<STACK_OF(X509), X509StackDeleter>;

const QString NotFoundForSigning = QStringLiteral("Not cert found for signing: ");
const QByteArray Crlf = QByteArrayLiteral("\r\n");

// The reasons OpenSSL queued on this thread, emptying the queue.
QString opensslError()
{
    QStringList reasons;
    while (const unsigned long code = ERR_get_error()) {
        const char *reason = ERR_reason_error_string(code);
        reasons << (reason ? QString::fromLatin1(reason) : QString::number(code, 16));
    }
    return reasons.isEmpty() ? QStringLiteral("eroare necunoscuta")
                             : reasons.join(QStringLiteral("; "));
}

BioPtr readBio(const QByteArray &data)
{
    return BioPtr(BIO_new_mem_buf(data.constData(), int(data.size())));
}

QByteArray cmsDer(CMS_ContentInfo *cms)
{
    const BioPtr out(BIO_new(BIO_s_mem()));
    if (!i2d_CMS_bio(out.get(), cms))
        return {};
    BUF_MEM *buffer = nullptr;
    BIO_get_mem_ptr(out.get(), &buffer);
    return QByteArray(buffer->data, qsizetype(buffer->length));
}

QByteArray certificateDer(X509 *cert)
{
    const int length = i2d_X509(cert, nullptr);
    if (length <= 0)
        return {};
    QByteArray out(length, '\0');
    auto *p = reinterpret_cast<unsigned char *>(out.data());
    i2d_X509(cert, &p);
    return out;
}

// Mail addresses are compared without regard to case, as users type them.
bool madeOutTo(X509 *cert, const QString &address)
{
    STACK_OF(OPENSSL_STRING) *emails = X509_get1_email(cert);
    bool found = false;
    for (int i = 0; i < sk_OPENSSL_STRING_num(emails) && !found; ++i)
        found = QString::fromUtf8(sk_OPENSSL_STRING_value(emails, i))
                    .compare(address, Qt::CaseInsensitive) == 0;
    X509_email_free(emails);
    return found;
}

// Empty when the certificate is valid now.
QString validityProblem(X509 *cert)
{
    if (X509_cmp_current_time(X509_get0_notBefore(cert)) >= 0)
        return QStringLiteral("nu este inca valabil");
    if (X509_cmp_current_time(X509_get0_notAfter(cert)) <= 0)
        return QStringLiteral("a expirat");
    return {};
}

// Every certificate of a PEM file, or the one of a DER file.
std::vector<X509Ptr> readCertificates(const QByteArray &data)
{
    std::vector<X509Ptr> certs;
    const BioPtr pem = readBio(data);
    while (X509 *cert = PEM_read_bio_X509(pem.get(), nullptr, nullptr, nullptr))
        certs.emplace_back(cert);
    if (certs.empty()) {
        const auto *p = reinterpret_cast<const unsigned char *>(data.constData());
        if (X509 *cert = d2i_X509(nullptr, &p, long(data.size())))
            certs.emplace_back(cert);
    }
    ERR_clear_error(); // the end of a PEM file is queued as an error
    return certs;
}

QByteArray smimePart(const QByteArray &contentType, const char *fileName, const QByteArray &der)
{
    return "Content-Type: " + contentType + "; name=\"" + fileName + '"' + Crlf +
           "Content-Transfer-Encoding: base64" + Crlf +
           "Content-Disposition: attachment; filename=\"" + fileName + '"' + Crlf + Crlf +
           mime::base64Lines(der);
}

} // namespace

SmimeResult signEntity(const QByteArray &entity, const QString &pkcs12File, const QString &password,
                       const QString &senderAddress)
{
    if (pkcs12File.isEmpty())
        return {{},
                NotFoundForSigning +
                    QStringLiteral(
                        "nu a fost ales in setari un certificat de semnatura (fisier PKCS#12)")};
    QFile file(pkcs12File);
    if (!file.open(QIODevice::ReadOnly))
        return {{},
                NotFoundForSigning + QStringLiteral("nu pot citi ") + pkcs12File +
                    QStringLiteral(": ") + file.errorString()};
    const QByteArray bytes = file.readAll();
    ERR_clear_error();
    const BioPtr in = readBio(bytes);
    const Pkcs12Ptr p12(d2i_PKCS12_bio(in.get(), nullptr));
    if (!p12)
        return {{},
                NotFoundForSigning + pkcs12File + QStringLiteral(" nu este un fisier PKCS#12 (") +
                    opensslError() + u')'};
    EVP_PKEY *rawKey = nullptr;
    X509 *rawCert = nullptr;
    STACK_OF(X509) *rawChain = nullptr;
    const QByteArray secret = password.toUtf8();
    if (!PKCS12_parse(p12.get(), secret.constData(), &rawKey, &rawCert, &rawChain))
        return {{},
                NotFoundForSigning + QStringLiteral("parola certificatului este gresita sau ") +
                    pkcs12File + QStringLiteral(" nu poate fi citit (") + opensslError() + u')'};
    const KeyPtr key(rawKey);
    const X509Ptr cert(rawCert);
    const X509StackPtr chain(rawChain);
    if (!cert)
        return {{}, NotFoundForSigning + pkcs12File + QStringLiteral(" nu contine un certificat")};
    if (!key || X509_check_private_key(cert.get(), key.get()) != 1) {
        ERR_clear_error();
        return {{},
                QStringLiteral(
                    "Signer certificate has no private key, this certificate can not be used "
                    "to sign email")};
    }
    if (!madeOutTo(cert.get(), senderAddress))
        return {{},
                NotFoundForSigning + QStringLiteral("certificatul din ") + pkcs12File +
                    QStringLiteral(" nu este emis pentru ") + senderAddress};
    if (const QString problem = validityProblem(cert.get()); !problem.isEmpty())
        return {{},
                NotFoundForSigning + QStringLiteral("certificatul din ") + pkcs12File + u' ' +
                    problem};

    // The entity is already canonical (CRLF, 7-bit): it is signed byte for byte.
    const int flags = CMS_DETACHED | CMS_BINARY | CMS_PARTIAL;
    const BioPtr data = readBio(entity);
    const CmsPtr cms(CMS_sign(nullptr, nullptr, chain.get(), data.get(), flags));
    if (!cms || !CMS_add1_signer(cms.get(), cert.get(), key.get(), EVP_sha256(), flags) ||
        !CMS_final(cms.get(), data.get(), nullptr, flags))
        return {{}, QStringLiteral("Semnarea mesajului a esuat: ") + opensslError()};
    const QByteArray signature = cmsDer(cms.get());

    const QByteArray boundary = mime::newBoundary();
    QByteArray out = "Content-Type: multipart/signed; protocol=\"application/pkcs7-signature\";" +
                     Crlf + " micalg=sha-256; boundary=\"" + boundary + '"' + Crlf + Crlf;
    out += "--" + boundary + Crlf + entity + Crlf;
    out +=
        "--" + boundary + Crlf + smimePart("application/pkcs7-signature", "smime.p7s", signature);
    out += "--" + boundary + "--" + Crlf;
    return {out, {}};
}

SmimeResult encryptEntity(const QByteArray &entity, const QList<QByteArray> &recipientCertificates)
{
    ERR_clear_error();
    const X509StackPtr recipients(sk_X509_new_null());
    for (const QByteArray &der : recipientCertificates) {
        const auto *p = reinterpret_cast<const unsigned char *>(der.constData());
        X509 *cert = d2i_X509(nullptr, &p, long(der.size()));
        if (!cert || !sk_X509_push(recipients.get(), cert)) {
            X509_free(cert);
            return {{}, QStringLiteral("Criptarea mesajului a esuat: ") + opensslError()};
        }
    }
    const BioPtr data = readBio(entity);
    const CmsPtr cms(CMS_encrypt(recipients.get(), data.get(), EVP_aes_256_cbc(), CMS_BINARY));
    if (!cms)
        return {{}, QStringLiteral("Criptarea mesajului a esuat: ") + opensslError()};
    const QByteArray out = smimePart("application/pkcs7-mime; smime-type=enveloped-data",
                                     "smime.p7m", cmsDer(cms.get()));
    return {out, {}};
}

CertificateLookup findCertificate(const QString &folder, const QString &address)
{
    if (folder.isEmpty())
        return {{},
                QStringLiteral("nu a fost ales in setari dosarul cu certificatele destinatarilor")};
    const QDir dir(folder);
    if (!dir.exists())
        return {{}, QStringLiteral("dosarul ") + folder + QStringLiteral(" nu exista")};
    QString problem;
    const QStringList files = dir.entryList({QStringLiteral("*.pem"), QStringLiteral("*.crt"),
                                             QStringLiteral("*.cer"), QStringLiteral("*.der")},
                                            QDir::Files, QDir::Name);
    for (const QString &name : files) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        for (const X509Ptr &cert : readCertificates(file.readAll())) {
            if (!madeOutTo(cert.get(), address))
                continue;
            problem = validityProblem(cert.get());
            if (problem.isEmpty())
                return {certificateDer(cert.get()), {}};
        }
    }
    if (!problem.isEmpty())
        return {{}, QStringLiteral("certificatul gasit in ") + folder + u' ' + problem};
    return {{}, QStringLiteral("nu exista un certificat pentru aceasta adresa in ") + folder};
}
