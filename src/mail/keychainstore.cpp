#include "keychainstore.h"

#include <QEventLoop>

#include <qt6keychain/keychain.h>

namespace {

const QString Service = QStringLiteral("Tarabix");

// The keychain answers asynchronously; the caller waits for the answer.
void run(QKeychain::Job &job)
{
    job.setAutoDelete(false);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
}

QString errorText(const QKeychain::Job &job)
{
    const QString text = job.errorString();
    return text.isEmpty() ? QStringLiteral("eroare ") + QString::number(int(job.error())) : text;
}

} // namespace

SecretStore::Lookup KeychainStore::read(const QString &key)
{
    QKeychain::ReadPasswordJob job(Service);
    job.setKey(key);
    run(job);
    if (job.error() == QKeychain::NoError)
        return {job.textData(), {}};
    if (job.error() == QKeychain::EntryNotFound)
        return {std::nullopt, {}};
    return {std::nullopt, errorText(job)};
}

QString KeychainStore::write(const QString &key, const QString &secret)
{
    QKeychain::WritePasswordJob job(Service);
    job.setKey(key);
    job.setTextData(secret);
    run(job);
    return job.error() == QKeychain::NoError ? QString() : errorText(job);
}
