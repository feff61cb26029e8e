#pragma once

#include <QString>

// Login passwords are kept as salted PBKDF2-SHA256 hashes, never as text.
QString hashPassword(const QString &password);

// True when `typed` is the password `stored` was made from. An empty stored
// value stands for an empty password; anything that is not one of our hashes
// matches nothing.
bool verifyPassword(const QString &typed, const QString &stored);
