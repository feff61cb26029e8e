#include "newpartner.h"

#include "core/appstate.h"
#include "core/prompter.h"
#include "data/tdm.h"
#include "db/transaction.h"

qint64 saveNewPartner(Tdm &dm, NewPartner p)
{
    if (p.name.trimmed().isEmpty()) {
        dm.prompter().information(QStringLiteral("Nu ati completat denumire !"));
        return 0;
    }
    if (!p.company) {
        p.delegate = p.name;
        p.delegateCode = p.fiscalCode;
    }
    const AppState &state = dm.state();
    Connection &c = dm.cnc();
    qint64 id = 0;
    {
        Transaction t(c);
        id = c.insert(QStringLiteral("Clienti"),
                      {QStringLiteral("NumeFirma"), QStringLiteral("regCom"), QStringLiteral("cui"), QStringLiteral("sediul"),
                       QStringLiteral("judet"), QStringLiteral("zona"), QStringLiteral("mobil"), QStringLiteral("telefon"),
                       QStringLiteral("contact"), QStringLiteral("comentariu"), QStringLiteral("SeriaBuletin"),
                       QStringLiteral("NrBuletin"), QStringLiteral("Sectia"), QStringLiteral("sold"), QStringLiteral("localitate"),
                       QStringLiteral("id_firma"), QStringLiteral("emitent"), QStringLiteral("client"), QStringLiteral("furnizor"),
                       QStringLiteral("tara"), QStringLiteral("email"), QStringLiteral("DataIn")},
                      {p.name.trimmed().toUpper(), p.regCom, p.fiscalCode, p.address, p.county, p.zone, p.mobile, p.phone,
                       p.contact, p.comments, p.cardSeries, p.cardNumber, p.cardSection, 0, p.town, dm.companyId(), false,
                       state.newPartnerIsClient, state.newPartnerIsSupplier, p.country, p.email, QDate::currentDate()});
        if (!p.delegate.trimmed().isEmpty()) {
            c.insert(QStringLiteral("Delegati"),
                     {QStringLiteral("Nume"), QStringLiteral("SerieCI"), QStringLiteral("NrCI"), QStringLiteral("Sectia"),
                      QStringLiteral("CNP"), QStringLiteral("id_firma"), QStringLiteral("Bifa")},
                     {p.delegate.trimmed(), p.cardSeries, p.cardNumber, p.cardSection, p.delegateCode, id, true});
        }
        if (!p.bank.trimmed().isEmpty() || !p.account.trimmed().isEmpty()) {
            c.insert(QStringLiteral("Conturi"), {QStringLiteral("Banca"), QStringLiteral("Cont"), QStringLiteral("id_firma")},
                     {p.bank.trimmed(), p.account.trimmed(), id}, QStringLiteral("ID"));
        }
        t.commit();
    }
    // The calling screen sees the new partner as its current client.
    Dataset &clients = dm.adoClienti;
    clients.close();
    clients.setSql(QStringLiteral("Select * from Clienti Where  id=:id"));
    clients.setParam(0, id);
    clients.open();
    return id;
}
