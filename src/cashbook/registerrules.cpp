#include "registerrules.h"

#include "sheets.h"

#include "core/prompter.h"
#include "data/tdm.h"
#include "data/tdmrc.h"
#include "db/dberror.h"

#include <memory>

void CashRegisterRules::attach(TdmRC &rc)
{
    // The handlers share one instance, which lives as long as they do.
    const auto rules = std::make_shared<CashRegisterRules>(rc);
    Dataset &sheetsView = rc.adoFisa;
    Dataset &lines = rc.adoDetaliiFisa;
    sheetsView.afterScroll = [rules](Dataset &) { rules->adoFisaAfterScroll(); };
    sheetsView.afterClose = [rules](Dataset &) { rules->adoFisaAfterClose(); };
    sheetsView.beforePost = [rules](Dataset &ds) { rules->adoFisaBeforePost(ds); };
    sheetsView.afterPost = [rules](Dataset &ds) { rules->adoFisaAfterPost(ds); };
    sheetsView.beforeDelete = [rules](Dataset &ds) { return rules->adoFisaBeforeDelete(ds); };
    sheetsView.afterDelete = [rules](Dataset &ds) { rules->adoFisaAfterDelete(ds); };
    lines.beforePost = [rules](Dataset &ds) { rules->adoDetaliiFisaBeforePost(ds); };
    lines.afterPost = [rules](Dataset &ds) { rules->adoDetaliiFisaAfterPost(ds); };
    lines.beforeDelete = [rules](Dataset &ds) { return rules->adoDetaliiFisaBeforeDelete(ds); };
    lines.afterDelete = [rules](Dataset &ds) { rules->adoDetaliiFisaAfterDelete(ds); };
}

CashRegisterRules::CashRegisterRules(TdmRC &rc)
    : m_rc(rc), m_cnc(rc.dm().cnc()), m_prompter(rc.dm().prompter())
{}

// The lines view follows the current sheet.
void CashRegisterRules::adoFisaAfterScroll()
{
    Dataset &lines = m_rc.adoDetaliiFisa;
    if (m_rc.adoFisa.isEmpty()) {
        lines.close();
        return;
    }
    const qint64 sheet = m_rc.adoFisa.asInteger(QStringLiteral("id"));
    if (lines.isOpen() && lines.param(0).toLongLong() == sheet)
        return;
    lines.close();
    lines.setParam(0, sheet);
    lines.open();
}

void CashRegisterRules::adoFisaAfterClose()
{
    m_rc.adoDetaliiFisa.close();
}

// One sheet a day: a sheet moved onto a day that has one is refused.
void CashRegisterRules::adoFisaBeforePost(Dataset &ds)
{
    const qint64 id = ds.asInteger(QStringLiteral("id"));
    Dataset stored(m_cnc, QStringLiteral("select Data from RegistruCasaSold where id=:id"));
    stored.setParam(0, id);
    stored.open();
    m_dayBeforeEdit = stored.isEmpty() ? QDate() : stored.asDate(QStringLiteral("Data"));
    const QDate day = ds.asDate(QStringLiteral("Data"));
    const std::optional<qint64> other = sheets::findSheetOfDay(
        m_cnc, ds.asInteger(QStringLiteral("id_firma")),
        ds.asInteger(QStringLiteral("id_punctlucru")), ds.asString(QStringLiteral("Moneda")), day);
    if (other && *other != id) {
        m_prompter.information(QStringLiteral(
            "Exista fisa cu aceasta data. Introducerea noii fise nu poate fi facuta."));
        throw SilentAbort();
    }
}

// Re-chains from before the earlier of the sheet's old and new day, so
// that a moved sheet takes its place in the chain.
void CashRegisterRules::adoFisaAfterPost(Dataset &ds)
{
    QDate from = ds.asDate(QStringLiteral("Data"));
    if (m_dayBeforeEdit.isValid() && m_dayBeforeEdit < from)
        from = m_dayBeforeEdit;
    sheets::reindexSheetsFromDay(m_cnc, ds.asInteger(QStringLiteral("id_firma")),
                                 ds.asInteger(QStringLiteral("id_punctlucru")),
                                 ds.asString(QStringLiteral("Moneda")), from);
    ds.requeryKeepingPosition();
}

// The sheet's lines go with it, and the sheets after it are re-chained, all
// in the delete's transaction. The sheet is deleted here already so that
// the re-chaining no longer sees it.
bool CashRegisterRules::adoFisaBeforeDelete(Dataset &ds)
{
    const qint64 id = ds.asInteger(QStringLiteral("id"));
    try {
        m_cnc.exec(QStringLiteral("Delete from RegistrulCasaDetalii where id_fisa=:id"), {id});
    } catch (const DbError &) {
        m_prompter.error(
            QStringLiteral("Eroare la stergerea inregistrarilor fisei in reg de casa"));
        throw SilentAbort();
    }
    m_cnc.exec(QStringLiteral("Delete from RegistruCasaSold where id=:id"), {id});
    sheets::reindexSheetsFromDay(m_cnc, ds.asInteger(QStringLiteral("id_firma")),
                                 ds.asInteger(QStringLiteral("id_punctlucru")),
                                 ds.asString(QStringLiteral("Moneda")),
                                 ds.asDate(QStringLiteral("Data")));
    return true;
}

void CashRegisterRules::adoFisaAfterDelete(Dataset &ds)
{
    ds.requeryKeepingPosition();
}

void CashRegisterRules::adoDetaliiFisaBeforePost(Dataset &ds)
{
    sheets::checkLineCurrency(m_cnc, m_prompter, ds.asInteger(QStringLiteral("id_fisa")),
                              ds.asString(QStringLiteral("Moneda")));
}

void CashRegisterRules::adoDetaliiFisaAfterPost(Dataset &ds)
{
    sheets::reindexSheets(m_cnc, ds.asInteger(QStringLiteral("id_fisa")));
    refreshSheets();
}

bool CashRegisterRules::adoDetaliiFisaBeforeDelete(Dataset &ds)
{
    sheets::deleteRegisterLine(m_cnc, ds.asInteger(QStringLiteral("id")));
    return true;
}

void CashRegisterRules::adoDetaliiFisaAfterDelete(Dataset &)
{
    refreshSheets();
}

void CashRegisterRules::refreshSheets()
{
    if (m_rc.adoFisa.isOpen())
        m_rc.adoFisa.requeryKeepingPosition();
}
