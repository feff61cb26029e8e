#include "confirmare.h"

TfrmConfirmareFactura::TfrmConfirmareFactura(QWidget *parent)
    : ChoiceDialog(QStringLiteral("Fereastra de confirmare"),
                   {QStringLiteral("Emit o factura/aviz/BC"), QStringLiteral("Vizualizare sau validare factura/aviz/BC anterior"),
                    QStringLiteral("Introduc o factura/aviz furnizor")},
                   parent)
{
}

TfrmConfirmareIncasare::TfrmConfirmareIncasare(QWidget *parent)
    : ChoiceDialog(QStringLiteral("Confirmare Incasare/Plata"),
                   {QStringLiteral("Adaug incasare"), QStringLiteral("Modific incasare (nomenclator incasari)"),
                    QStringLiteral("Platesc un furnizor"), QStringLiteral("Modific plata (nomenclator plati)")},
                   parent, QStringLiteral("INCASARI / PLATI"))
{
}
