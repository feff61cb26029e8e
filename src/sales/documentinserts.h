#pragma once

#include "core/money.h"

#include <QDate>
#include <QString>

class Connection;

// A document header as every screen that creates documents writes it.
struct DocumentHeader
{
    qint64 nf = 0;
    QString seriaF;
    QDate data;
    qint64 idCump = 0;
    QString numeDelegat;
    QString delegatCnp;
    QString seriaBuletin;
    QString nrBuletin;
    QString sectia;
    QString transport;
    QDate dataExped;
    QString autoNr;
    bool anulata = false;
    QString contract;
    Money sumaAchitat;
    QString modPlata;
    qint64 tipFact = 0; // VAT mention id
    QDate termenPlata;
    QString comentariu;
    QString operatorName;
    QString cnp;
    bool achitata = false;
    qint64 idMagazie = -1;
    QString tvaText;
    qint64 nrAviz = 0;
    QDate dataComenzii;
    QString monedaFacturii;
    Money valoareCurs = Money::fromInt(1);
    QString monedaContract;
    qint64 idVanzator = 0;
    qint64 idNrContract = -1;
    int tipAvizFactura = 0;
    bool inOut = false;
    qint64 catCheltuiala = 0;
    bool eNir = false;
    bool actualizareStoc = false;
    qint64 idContClient = -1;
    qint64 idContFurnizor = -1;
    QString seriaNir = QStringLiteral(" ");
    QString seriaBc = QStringLiteral(" ");
    qint64 idPunctLucru = 0;
    QString greutate;
    QString volum;
    QString licenta;
    QString termeniLivrare;
};

// Writes a header into `table` ("Facturi"); returns its id. Throws DbError.
qint64 insertDocumentHeader(Connection &connection, const QString &table, const DocumentHeader &header);

// A document line, which on a received document is also a stock lot.
struct DocumentLine
{
    qint64 idFact = 0;
    qint64 idMagazie = -1;
    qint64 idActin = -1;
    qint64 idProdusLista = 0;
    QString denumire;
    QString um;
    double cnt = 0;
    Money punIn;
    Money valoare;
    Money valoareTva;
    Money totalIn;
    Money cotaTvaIn;
    QString serie;
    qint64 codm = -1;
    double stoc = 0;
    Money puInMM;
    Money valInMM;
    Money valTvaInMM;
    Money totalInMM;
    Money puOutMM;
    Money valOutMM;
    Money valTvaOutMM;
    Money totalOutMM;
    double adaos = 0;
    Money puOut;
    Money valOut;
    Money valTvaOut;
    Money totalOut;
    QString monedaOut;
    Money cursOut;
    QString monedaIn;
    Money cursIn;
    qint64 idVanzator = 0;
    qint64 idCumparator = 0;
    Money cotaTvaOut;
    int nrzecIn = 2;
    int nrzecOut = 2;
    int nrzecMM = 2;
    QString monedaMM;
    Money stocValoric;
    bool adinStoc = false;
};

// Writes a line into `table` ("ProdCumparate"); returns its id. Throws DbError.
qint64 insertDocumentLine(Connection &connection, const QString &table, const DocumentLine &line);
