#pragma once

class Connection;

// The configuration a new database starts with: currencies, payment
// methods, units, VAT mentions, billing periods, and one own company with a
// default work point, a warehouse and an Administrator who can log in.
namespace firstday {

// The Administrator's password on a new database; the README tells it.
inline constexpr const char *AdministratorPassword = "9276";

void populate(Connection &connection);

} // namespace firstday
