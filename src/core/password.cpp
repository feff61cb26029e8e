#include "password.h"

#include <QByteArray>
#include <QStringList>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <stdexcept>

namespace {

const QString Scheme = QStringLiteral("pbkdf2-sha256");
constexpr int Iterations = 120000;
constexpr int SaltBytes = 16;
constexpr int HashBytes = 32;

QByteArray derive(const QString &password, const QByteArray &salt, int iterations)
{
    const QByteArray utf8 = password.toUtf8();
    QByteArray out(HashBytes, '\0');
    if (PKCS5_PBKDF2_HMAC(utf8.constData(), int(utf8.size()),
                          reinterpret_cast<const unsigned char *>(salt.constData()), int(salt.size()),
                          iterations, EVP_sha256(), HashBytes,
                          reinterpret_cast<unsigned char *>(out.data()))
        != 1)
        throw std::runtime_error("password hashing failed");
    return out;
}

} // namespace

QString hashPassword(const QString &password)
{
    QByteArray salt(SaltBytes, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char *>(salt.data()), SaltBytes) != 1)
        throw std::runtime_error("no random bytes for the password salt");
    const QByteArray hash = derive(password, salt, Iterations);
    return Scheme + u'$' + QString::number(Iterations) + u'$' + QString::fromLatin1(salt.toBase64())
           + u'$' + QString::fromLatin1(hash.toBase64());
}

bool verifyPassword(const QString &typed, const QString &stored)
{
    if (stored.isEmpty())
        return typed.isEmpty();
    const QStringList parts = stored.split(u'$');
    if (parts.size() != 4 || parts[0] != Scheme)
        return false;
    bool ok = false;
    const int iterations = parts[1].toInt(&ok);
    if (!ok || iterations < 1)
        return false;
    const QByteArray salt = QByteArray::fromBase64(parts[2].toLatin1());
    const QByteArray expected = QByteArray::fromBase64(parts[3].toLatin1());
    if (expected.size() != HashBytes)
        return false;
    const QByteArray actual = derive(typed, salt, iterations);
    return CRYPTO_memcmp(actual.constData(), expected.constData(), HashBytes) == 0;
}
