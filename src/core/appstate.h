#pragma once

#include <QDate>
#include <QString>

// The values of one run that many windows read and write. One instance
// lives in main() and is passed to whoever needs it; nothing is persisted.
struct AppState
{
    // Start-up.
    bool sqlServerMode = false;   // a server engine is in use
    qint64 startCompanyId = 0;    // the company current right after start-up
    bool onlineAccessOk = true;   // false after a failed web fetch

    // Document work.
    qint64 currentWorkPointId = 0;
    int currentDocKind = 0;
    qint64 currentClientId = 0;
    bool supplierSideSearch = false;
    bool silentMode = false;
    bool openedFromInvoice = false;

    // Printing.
    bool sendAfterPreview = false;
    QString previewDocKind;
    QString previewDocNumber;
    QDate previewDocDate;

    // The new-client window: what kind of partner to create.
    bool newPartnerIsClient = true;
    bool newPartnerIsSupplier = false;

    // Data-module switches.
    bool loadClientDocuments = false;
    bool showClientBalance = false;

    // The date-and-currency picker.
    QDate pickedDate;
};
