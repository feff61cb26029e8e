#pragma once

#include <QHash>
#include <QString>

#include <stdexcept>

class Dataset;

// Everything a template can read: the datasets by the names templates know
// them by, the report variables, and what the program computes itself.
struct ReportInputs
{
    QHash<QString, Dataset *> datasets; // report name -> dataset
    QHash<QString, QString> variables;  // titlul, magazia, perioada, tipfact
    QString mainCurrency = QStringLiteral("RON");
    QString operatorName;
};

class TemplateError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Renders a Mustache template into HTML. Every value is escaped unless the
// template asks for it raw. Throws TemplateError for a template that cannot
// be parsed.
QString renderTemplate(const QString &templateText, const ReportInputs &inputs);
