#pragma once

#include "widgets/choicedialog.h"

// "Fereastra de confirmare": issue a document (0), look at or validate
// earlier ones (1), or enter a supplier's document (2).
class TfrmConfirmareFactura : public ChoiceDialog
{
    Q_OBJECT

public:
    explicit TfrmConfirmareFactura(QWidget *parent = nullptr);
};

// "Confirmare Incasare/Plata": add a collection (0), browse collections (1),
// pay a supplier (2), browse payments (3).
class TfrmConfirmareIncasare : public ChoiceDialog
{
    Q_OBJECT

public:
    explicit TfrmConfirmareIncasare(QWidget *parent = nullptr);
};
