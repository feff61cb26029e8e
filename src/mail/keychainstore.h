#pragma once

#include "secretstore.h"

// The operating system's keychain (Secret Service, Keychain, Credential
// Manager). Fails, without falling back to a plain file, where there is none.
class KeychainStore : public SecretStore
{
public:
    Lookup read(const QString &key) override;
    QString write(const QString &key, const QString &secret) override;
};
