#pragma once

#include <QString>

// Romanian letters without their marks: "ŞTEFĂNESCU" -> "STEFANESCU".
QString withoutDiacritics(const QString &text);
