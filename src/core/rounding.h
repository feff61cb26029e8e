#pragma once

#include "money.h"

// Every amount goes through these: halves are rounded away from zero and the
// decision is taken on the decimal value, never on a binary approximation
// (2.675 to two decimals is 2.68).

// x rounded to the nearest integer, halves away from zero (2.5 gives 3, -2.5 gives -3).
qint64 roundHalfAway(double x);
// x rounded to n decimals (0 to 15).
double roundTo(int n, double x);
Money roundTo(int n, Money x);
