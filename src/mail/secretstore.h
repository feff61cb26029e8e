#pragma once

#include <QString>

#include <optional>

// Passwords kept outside the database: the system keychain in the program,
// a map in tests.
class SecretStore
{
public:
    virtual ~SecretStore() = default;

    struct Lookup
    {
        std::optional<QString> secret; // nullopt when the store holds none
        QString error;                 // not empty when the store cannot be used
    };
    virtual Lookup read(const QString &key) = 0;
    // The error text, empty once stored.
    virtual QString write(const QString &key, const QString &secret) = 0;
};
