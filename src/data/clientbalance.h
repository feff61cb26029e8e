#pragma once

#include "core/money.h"

class Connection;

// What a partner owes the company, in the main currency: what was invoiced
// to it and not collected, less what it invoiced us as a supplier and we
// have not paid.
Money clientBalance(Connection &connection, qint64 companyId, qint64 partnerId);
