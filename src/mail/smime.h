#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A MIME entity, or the message to show when it could not be made.
struct SmimeResult
{
    QByteArray entity;
    QString error;
};

// A multipart/signed entity of `entity`, signed with the certificate and key
// of a PKCS#12 file. The certificate must be valid today and made out to
// senderAddress, or mail readers would reject the signature.
SmimeResult signEntity(const QByteArray &entity, const QString &pkcs12File, const QString &password,
                       const QString &senderAddress);

// An enveloped entity of `entity` that only the holders of the recipients'
// certificates (DER) can read.
SmimeResult encryptEntity(const QByteArray &entity, const QList<QByteArray> &recipientCertificates);

// The DER of a valid certificate made out to address among the certificate
// files (PEM or DER) of folder; the reason when there is none.
struct CertificateLookup
{
    QByteArray der;
    QString error;
};
CertificateLookup findCertificate(const QString &folder, const QString &address);
