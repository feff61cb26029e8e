#pragma once

#include <QString>

class Tdm;

// What the "Client nou" window collects.
struct NewPartner
{
    bool company = true; // "Pers juridica"
    QString name;
    QString regCom;
    QString fiscalCode; // CIF, or CNP for a person
    QString address;
    QString county;
    QString town;
    QString country;
    QString account;
    QString bank;
    QString delegate;
    QString cardSeries;
    QString cardNumber;
    QString cardSection;
    QString delegateCode;
    QString email;
    QString phone;
    QString mobile;
    QString zone;
    QString contact;
    QString comments;
};

// Writes the partner for the current company, with its delegate and its
// bank account, in one transaction, and makes it the current client of the
// data module. A person is his own delegate. Returns the new id; throws
// DbError (nothing is written then). An empty name is refused with
// "Nu ati completat denumire !" through the prompter (returns 0).
qint64 saveNewPartner(Tdm &dm, NewPartner partner);
