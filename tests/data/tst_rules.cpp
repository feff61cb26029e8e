#include "core/password.h"
#include "db/dberror.h"
#include "support/modules.h"

#include <QTest>

namespace {

qint64 insertDocument(Connection &c, qint64 seller, qint64 buyer, int nf, bool validated)
{
    return c.insert(QStringLiteral("Facturi"),
                    {QStringLiteral("Nf"), QStringLiteral("id_vanzator"), QStringLiteral("id_cump"), QStringLiteral("Tipavizfactura"),
                     QStringLiteral("Validata"), QStringLiteral("Data")},
                    {nf, seller, buyer, 0, validated, QDate(2026, 12, 1)});
}

qint64 insertLine(Connection &c, qint64 document, const QString &name)
{
    return c.insert(QStringLiteral("ProdCumparate"), {QStringLiteral("id_fact"), QStringLiteral("Denumire")}, {document, name});
}

// Adds a second own company through the companies list, as the settings do.
qint64 createCompany(Modules &m, const QString &name)
{
    m.dm.adoSetari.append();
    m.dm.adoSetari.setValue(QStringLiteral("NumeFirma"), name);
    m.dm.adoSetari.post();
    return m.cnc().scalar(QStringLiteral("select id from Clienti where NumeFirma=:n"), {name}).toLongLong();
}

// What each company has in the tables a new company copies.
QString configurationOf(Modules &m, qint64 company)
{
    QStringList out;
    for (const char *table : {"Rapoarte", "SeriiActe", "Angajati", "CatFactIn", "Categorii", "CategoriiStocuri",
                              "CategActeExpira", "ModeleContract", "Conturi", "Delegati"})
        out << QStringLiteral("%1=%2").arg(QLatin1String(table)).arg(m.count(QLatin1String(table), QStringLiteral("id_firma=:f"), {company}));
    out << QStringLiteral("warehouses=%1")
               .arg(m.count(QStringLiteral("SubcategoriiStocuri"),
                            QStringLiteral("id_categorie in (select id from SeriiActe where id_firma=:f)"), {company}));
    return out.join(u' ');
}

} // namespace

class TestRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newCompanyGetsItsConfigurationAtItsOwnId();
    void failedOrCancelledNewCompanyLeavesNothing();
    void companyMoveFollowsThroughTheDependentLists();
    void deletingACompanyRemovesItsConfigurationOnly();
    void defaultFlags();
    void deleteGuardsChangeNothing();
    void cascadesRemoveExactlyTheDependentRows();
    void validatedNumberCannotBeEditedAway();
    void oneDocumentOfAPartnerIsShownAlone();
    void productNeedsASubcategory();
    void productPricesAreRecomputed_data();
    void productPricesAreRecomputed();
    void newProductTakesTheCurrentCurrency();
    void clientBalance();
    void collectedAmountFollowsTheCollections();
    void employeePasswordsAreHashed();
};

void TestRules::newCompanyGetsItsConfigurationAtItsOwnId()
{
    Modules m;
    const qint64 start = m.state.startCompanyId;
    m.cnc().exec(QStringLiteral("update Rapoarte set Raport=:r where id_firma=:f and titluRaport='Factura'"),
                 {QByteArray("<html>{{x}}</html>"), start});
    m.cnc().insert(QStringLiteral("ModeleContract"), {QStringLiteral("id_firma"), QStringLiteral("Titlu")}, {start, QStringLiteral("Abonament")});
    m.cnc().insert(QStringLiteral("CategActeExpira"), {QStringLiteral("id_firma"), QStringLiteral("denumire")}, {start, QStringLiteral("ITP")});
    m.cnc().insert(QStringLiteral("Conturi"), {QStringLiteral("id_firma"), QStringLiteral("Banca")}, {start, QStringLiteral("BT")});
    m.cnc().insert(QStringLiteral("Delegati"), {QStringLiteral("id_firma"), QStringLiteral("Nume")}, {start, QStringLiteral("Pop")});
    // A predicted id would be wrong: a deleted partner left a gap.
    const qint64 gap = m.addPartner(QStringLiteral("TEMP"));
    m.cnc().exec(QStringLiteral("delete from Clienti where id=:id"), {gap});

    const qint64 created = createCompany(m, QStringLiteral("A DOUA SRL"));
    QVERIFY(created > gap);
    QCOMPARE(m.cnc().scalar(QStringLiteral("select id_firma from Clienti where id=:id"), {created}).toLongLong(), created);
    QVERIFY(m.cnc().scalar(QStringLiteral("select emitent from Clienti where id=:id"), {created}).toBool());
    QCOMPARE(configurationOf(m, created),
             QStringLiteral("Rapoarte=14 SeriiActe=1 Angajati=1 CatFactIn=3 Categorii=1 CategoriiStocuri=1 "
                            "CategActeExpira=1 ModeleContract=1 Conturi=0 Delegati=0 warehouses=1"));
    QCOMPARE(configurationOf(m, start),
             QStringLiteral("Rapoarte=14 SeriiActe=1 Angajati=1 CatFactIn=3 Categorii=1 CategoriiStocuri=1 "
                            "CategActeExpira=1 ModeleContract=1 Conturi=1 Delegati=1 warehouses=1"));
    QCOMPARE(m.cnc().scalar(QStringLiteral("select Raport from Rapoarte where id_firma=:f and titluRaport='Factura'"), {created}).toByteArray(),
             QByteArray("<html>{{x}}</html>"));
    const QString password =
        m.cnc().scalar(QStringLiteral("select Parola from Angajati where id_firma=:f and Nume='Administrator' and Bifa=true"), {created})
            .toString();
    QVERIFY(verifyPassword(QStringLiteral("9276"), password));
    // Subcategories and products are not copied.
    QCOMPARE(m.count(QStringLiteral("Sortimente"), QStringLiteral("id_categorie in (select id from Categorii where id_firma=:f)"), {created}), 0);
    QCOMPARE(m.prompter.shown, QStringList{QStringLiteral("info: Date introduse.Puteti completa datele firmei. Subcategoriile "
                                                          "de servicii si categorii stocuri le adaugati manual")});
}

void TestRules::failedOrCancelledNewCompanyLeavesNothing()
{
    Modules m;
    const auto snapshot = [&m] {
        QStringList out;
        for (const char *t : {"Clienti", "Rapoarte", "SeriiActe", "Angajati", "CatFactIn", "Categorii", "CategoriiStocuri",
                              "CategActeExpira", "SubcategoriiStocuri", "ModeleContract"})
            out << QString::number(m.count(QLatin1String(t)));
        return out.join(u',');
    };
    const QString before = snapshot();
    m.dm.adoSetari.append();
    m.dm.adoSetari.setValue(QStringLiteral("NumeFirma"), QStringLiteral("RENUNT SRL"));
    m.dm.adoSetari.cancel();
    QCOMPARE(snapshot(), before);
    QCOMPARE(m.dm.adoSetari.recordCount(), 1);

    // The last copy step fails: the company row and every copy made before it go.
    m.cnc().exec(QStringLiteral("alter table ModeleContract rename to ModeleContractAscuns"));
    m.dm.adoSetari.append();
    m.dm.adoSetari.setValue(QStringLiteral("NumeFirma"), QStringLiteral("ESUAT SRL"));
    QVERIFY_THROWS_EXCEPTION(DbError, m.dm.adoSetari.post());
    QCOMPARE(m.dm.adoSetari.state(), Dataset::State::Insert);
    m.dm.adoSetari.cancel();
    m.cnc().exec(QStringLiteral("alter table ModeleContractAscuns rename to ModeleContract"));
    QCOMPARE(snapshot(), before);
    QVERIFY(m.prompter.shown.isEmpty());
}

void TestRules::companyMoveFollowsThroughTheDependentLists()
{
    Modules m;
    const qint64 first = m.dm.companyId();
    const qint64 category = m.cnc().scalar(QStringLiteral("select id from Categorii where id_firma=:f"), {first}).toLongLong();
    const qint64 sub = m.cnc().scalar(QStringLiteral("select id from Sortimente where id_categorie=:c"), {category}).toLongLong();
    m.cnc().insert(QStringLiteral("ListaProduse"), {QStringLiteral("id_sort"), QStringLiteral("DenPr")}, {sub, QStringLiteral("Cafea")});
    const qint64 second = createCompany(m, QStringLiteral("A DOUA SRL"));
    m.cnc().exec(QStringLiteral("update Angajati set Nume='Ionescu' where id_firma=:f"), {second});
    m.dm.adoSetari.requery();

    QVERIFY(m.dm.adoSetari.locate(QStringLiteral("id"), second));
    const qint64 secondWorkPoint = m.cnc().scalar(QStringLiteral("select id from SeriiActe where id_firma=:f"), {second}).toLongLong();
    QCOMPARE(m.dm.adoSeriiF.asInteger(QStringLiteral("id_firma")), second);
    QCOMPARE(m.state.currentWorkPointId, secondWorkPoint);
    QCOMPARE(m.dm.adoAngajati.asString(QStringLiteral("Nume")), QStringLiteral("Ionescu"));
    QCOMPARE(m.dm.adocategorii.asInteger(QStringLiteral("id_firma")), second);
    QVERIFY(m.dm.adoSortim.isEmpty());
    QVERIFY(!m.dm.adoProdSort.isOpen());
    QCOMPARE(m.rc.adoSortim.recordCount(), 1);
    QCOMPARE(m.rc.adoSortim.asInteger(QStringLiteral("id_categorie")), secondWorkPoint);
    QCOMPARE(m.rc.adoConturi.param(0).toLongLong(), second);

    QVERIFY(m.dm.adoSetari.locate(QStringLiteral("id"), first));
    QCOMPARE(m.dm.adoAngajati.asString(QStringLiteral("Nume")), QStringLiteral("Administrator"));
    QCOMPARE(m.dm.adoSortim.asInteger(QStringLiteral("id")), sub);
    QCOMPARE(m.dm.adoProdSort.asString(QStringLiteral("DenPr")), QStringLiteral("Cafea"));
}

void TestRules::deletingACompanyRemovesItsConfigurationOnly()
{
    Modules m;
    const qint64 start = m.dm.companyId();
    m.cnc().insert(QStringLiteral("CategActeExpira"), {QStringLiteral("id_firma"), QStringLiteral("denumire")}, {start, QStringLiteral("ITP")});
    const qint64 second = createCompany(m, QStringLiteral("A DOUA SRL"));
    m.dm.adoSetari.requery();
    const QString startBefore = configurationOf(m, start);
    const qint64 partner = m.cnc().insert(QStringLiteral("Clienti"), {QStringLiteral("id_firma"), QStringLiteral("NumeFirma")},
                                          {second, QStringLiteral("CLIENT AL DOILEA")});
    const qint64 doc = insertDocument(m.cnc(), second, partner, 1, true);
    QVERIFY(m.dm.adoSetari.locate(QStringLiteral("id"), second));
    QVERIFY(m.dm.adoSetari.remove());
    QCOMPARE(configurationOf(m, second),
             QStringLiteral("Rapoarte=0 SeriiActe=0 Angajati=0 CatFactIn=0 Categorii=0 CategoriiStocuri=0 "
                            "CategActeExpira=1 ModeleContract=0 Conturi=0 Delegati=0 warehouses=0"));
    QCOMPARE(configurationOf(m, start), startBefore);
    QCOMPARE(m.count(QStringLiteral("Clienti"), QStringLiteral("id=:p"), {partner}), 1);
    QCOMPARE(m.count(QStringLiteral("Facturi"), QStringLiteral("id=:d"), {doc}), 1);
}

void TestRules::defaultFlags()
{
    Modules m;
    const qint64 first = m.dm.companyId();
    const qint64 second = createCompany(m, QStringLiteral("A DOUA SRL"));
    m.dm.adoSetari.requery();
    // Another work point of the first company becomes its default.
    m.dm.adoSeriiF.append();
    m.dm.adoSeriiF.setValue(QStringLiteral("DenumirePunctLucru"), QStringLiteral("Magazin 2"));
    m.dm.adoSeriiF.setValue(QStringLiteral("BifaDefault"), true);
    m.dm.adoSeriiF.post();
    QCOMPARE(m.count(QStringLiteral("SeriiActe"), QStringLiteral("id_firma=:f and bifadefault=true"), {first}), 1);
    QCOMPARE(m.cnc().scalar(QStringLiteral("select DenumirePunctLucru from SeriiActe where id_firma=:f and bifadefault=true"), {first}).toString(),
             QStringLiteral("Magazin 2"));
    QCOMPARE(m.count(QStringLiteral("SeriiActe"), QStringLiteral("id_firma=:f and bifadefault=true"), {second}), 1);
    // The list shows the new default first.
    QCOMPARE(m.dm.adoSeriiF.asString(QStringLiteral("DenumirePunctLucru")), QStringLiteral("Magazin 2"));
    QCOMPARE(m.dm.adoSeriiF.recNo(), 0);

    // Currencies are shared: one default in all, none after unticking it.
    m.dm.adoMoneda.open();
    QVERIFY(m.dm.adoMoneda.locate(QStringLiteral("CodIso"), QStringLiteral("EUR")));
    m.dm.adoMoneda.edit();
    m.dm.adoMoneda.setValue(QStringLiteral("BifaDefault"), true);
    m.dm.adoMoneda.post();
    QCOMPARE(m.cnc().scalar(QStringLiteral("select group_concat(CodIso) from Monede where bifadefault=true")).toString(), QStringLiteral("EUR"));
    QCOMPARE(m.dm.adoMoneda.asString(QStringLiteral("CodIso")), QStringLiteral("EUR"));
    m.dm.adoMoneda.edit();
    m.dm.adoMoneda.setValue(QStringLiteral("BifaDefault"), false);
    m.dm.adoMoneda.post();
    QCOMPARE(m.count(QStringLiteral("Monede"), QStringLiteral("bifadefault=true")), 0);
    // A change of another column leaves the flags alone.
    m.dm.tblMentiuniFacturi.first();
    m.dm.tblMentiuniFacturi.next();
    m.dm.tblMentiuniFacturi.edit();
    m.dm.tblMentiuniFacturi.setValue(QStringLiteral("Mentiune"), QStringLiteral("TVA redus 11%"));
    m.dm.tblMentiuniFacturi.post();
    QCOMPARE(m.count(QStringLiteral("Mentiuni_Facturi"), QStringLiteral("bifadefault=true")), 1);
}

void TestRules::deleteGuardsChangeNothing()
{
    Modules m;
    const qint64 company = m.dm.companyId();
    const qint64 client = m.addPartner(QStringLiteral("CLIENT SRL"));
    const qint64 doc = insertDocument(m.cnc(), company, client, 5, true);
    insertLine(m.cnc(), doc, QStringLiteral("Marfa"));
    m.dm.adoNrFAct.setParams({client, company, 0});
    m.dm.adoNrFAct.open();
    QVERIFY(m.dm.adoPrCump.isOpen());
    QVERIFY(!m.dm.adoNrFAct.remove());
    QVERIFY(!m.dm.adoPrCump.remove());
    m.dm.adoClienti.setParam(0, company);
    m.dm.adoClienti.open();
    QVERIFY(m.dm.adoClienti.locate(QStringLiteral("id"), client));
    QVERIFY(!m.dm.adoClienti.remove());
    QCOMPARE(m.prompter.shown,
             (QStringList{QStringLiteral("info: Factura e validata. Nu o puteti sterge. Treceti-i numarul pe 0 dupa care o puteti sterge."),
                          QStringLiteral("info: Factura e validata. Nu puteti sterge inregistrarea curenta. Treceti-i numarul pe 0 dupa care  puteti sterge."),
                          QStringLiteral("info: Partenerul are documente, incasari, plati sau contracte. Nu il puteti sterge.")}));
    QCOMPARE(m.count(QStringLiteral("Facturi")), 1);
    QCOMPARE(m.count(QStringLiteral("ProdCumparate")), 1);
    QCOMPARE(m.count(QStringLiteral("Clienti"), QStringLiteral("id=:c"), {client}), 1);
    // A validated document whose number was cleared outside the program is still protected.
    m.cnc().exec(QStringLiteral("update Facturi set Nf=0 where id=:d"), {doc});
    m.dm.adoNrFAct.requery();
    QVERIFY(!m.dm.adoNrFAct.remove());
    QCOMPARE(m.count(QStringLiteral("Facturi")), 1);
}

void TestRules::cascadesRemoveExactlyTheDependentRows()
{
    Modules m;
    const qint64 company = m.dm.companyId();
    const qint64 client = m.addPartner(QStringLiteral("CLIENT SRL"));
    const qint64 draft = insertDocument(m.cnc(), company, client, 0, false);
    const qint64 other = insertDocument(m.cnc(), company, client, 0, false);
    insertLine(m.cnc(), draft, QStringLiteral("A"));
    insertLine(m.cnc(), draft, QStringLiteral("B"));
    insertLine(m.cnc(), other, QStringLiteral("C"));
    m.dm.adoNrFAct.setParams({client, company, 0});
    m.dm.adoNrFAct.open();
    QVERIFY(m.dm.adoNrFAct.locate(QStringLiteral("fid"), draft));
    QVERIFY(m.dm.adoNrFAct.remove());
    QCOMPARE(m.count(QStringLiteral("ProdCumparate"), QStringLiteral("id_fact=:d"), {draft}), 0);
    QCOMPARE(m.count(QStringLiteral("ProdCumparate"), QStringLiteral("id_fact=:d"), {other}), 1);
    QCOMPARE(m.dm.adoNrFAct.recordCount(), 1);

    // Subcategory and its products.
    const qint64 category = m.cnc().scalar(QStringLiteral("select id from Categorii where id_firma=:f"), {company}).toLongLong();
    const qint64 keep = m.cnc().insert(QStringLiteral("Sortimente"), {QStringLiteral("id_categorie"), QStringLiteral("Categorie")},
                                       {category, QStringLiteral("Ramane")});
    m.cnc().insert(QStringLiteral("ListaProduse"), {QStringLiteral("id_sort"), QStringLiteral("DenPr")}, {keep, QStringLiteral("P1")});
    m.dm.adocategorii.requery();
    QVERIFY(m.dm.adoSortim.locate(QStringLiteral("Categorie"), QStringLiteral("General")));
    const qint64 gone = m.dm.adoSortim.asInteger(QStringLiteral("id"));
    m.cnc().insert(QStringLiteral("ListaProduse"), {QStringLiteral("id_sort"), QStringLiteral("DenPr")}, {gone, QStringLiteral("P2")});
    m.cnc().insert(QStringLiteral("ListaProduse"), {QStringLiteral("id_sort"), QStringLiteral("DenPr")}, {gone, QStringLiteral("P3")});
    QVERIFY(m.dm.adoSortim.remove());
    QCOMPARE(m.count(QStringLiteral("ListaProduse"), QStringLiteral("id_sort=:s"), {gone}), 0);
    QCOMPARE(m.count(QStringLiteral("ListaProduse"), QStringLiteral("id_sort=:s"), {keep}), 1);

    // Work point and its warehouses.
    const qint64 extraPoint = m.cnc().insert(QStringLiteral("SeriiActe"), {QStringLiteral("id_firma"), QStringLiteral("DenumirePunctLucru")},
                                             {company, QStringLiteral("Depozit")});
    m.cnc().insert(QStringLiteral("SubcategoriiStocuri"), {QStringLiteral("id_categorie"), QStringLiteral("Categorie")},
                   {extraPoint, QStringLiteral("Raft")});
    const qint64 warehousesBefore = m.count(QStringLiteral("SubcategoriiStocuri"));
    m.dm.adoSeriiF.requery();
    QVERIFY(m.dm.adoSeriiF.locate(QStringLiteral("id"), extraPoint));
    QVERIFY(m.dm.adoSeriiF.remove());
    QCOMPARE(m.count(QStringLiteral("SubcategoriiStocuri")), warehousesBefore - 1);
    QCOMPARE(m.count(QStringLiteral("SubcategoriiStocuri"), QStringLiteral("id_categorie=:w"), {extraPoint}), 0);

    // Contract with its services, per-period lines and free months.
    const auto contract = [&](const QString &nr) {
        const qint64 id = m.cnc().insert(QStringLiteral("Contracte"), {QStringLiteral("id_firma"), QStringLiteral("id_cump"), QStringLiteral("Nr"), QStringLiteral("Data")},
                                         {company, client, nr, QDate(2026, 1, 1)});
        m.cnc().insert(QStringLiteral("ServiciipeContract"), {QStringLiteral("id_contract"), QStringLiteral("Denumire")}, {id, QStringLiteral("Abonament")});
        m.cnc().insert(QStringLiteral("ServiciipeContractDetaliat"), {QStringLiteral("id_contract"), QStringLiteral("lunaan")}, {id, QStringLiteral("Ianuarie 2026")});
        m.cnc().insert(QStringLiteral("LuniGratuite"), {QStringLiteral("id_contract"), QStringLiteral("luna")}, {id, QStringLiteral("August")});
        return id;
    };
    const qint64 c1 = contract(QStringLiteral("1"));
    const qint64 c2 = contract(QStringLiteral("2"));
    m.dm.adoClientContracte.setParams({client, company});
    m.dm.adoClientContracte.open();
    QVERIFY(m.dm.adoClientContracte.locate(QStringLiteral("id"), c1));
    QVERIFY(m.dm.adoClientContracte.remove());
    for (const char *t : {"ServiciipeContract", "ServiciipeContractDetaliat", "LuniGratuite"}) {
        QCOMPARE(m.count(QLatin1String(t), QStringLiteral("id_contract=:c"), {c1}), 0);
        QCOMPARE(m.count(QLatin1String(t), QStringLiteral("id_contract=:c"), {c2}), 1);
    }
}

void TestRules::validatedNumberCannotBeEditedAway()
{
    Modules m;
    const qint64 company = m.dm.companyId();
    const qint64 client = m.addPartner(QStringLiteral("CLIENT SRL"));
    const qint64 doc = insertDocument(m.cnc(), company, client, 5, true);
    m.dm.adoNrFAct.setParams({client, company, 0});
    m.dm.adoNrFAct.open();
    m.dm.adoNrFAct.edit();
    m.dm.adoNrFAct.setValue(QStringLiteral("Nf"), 0);
    QVERIFY_THROWS_EXCEPTION(SilentAbort, m.dm.adoNrFAct.post());
    m.dm.adoNrFAct.cancel();
    QCOMPARE(m.cnc().scalar(QStringLiteral("select Nf from Facturi where id=:d"), {doc}).toInt(), 5);
    // Other fields of a validated document can still be corrected.
    m.dm.adoNrFAct.edit();
    m.dm.adoNrFAct.setValue(QStringLiteral("comentariu"), QStringLiteral("livrat"));
    m.dm.adoNrFAct.post();
    QCOMPARE(m.cnc().scalar(QStringLiteral("select Comentariu from Facturi where id=:d"), {doc}).toString(), QStringLiteral("livrat"));
}

void TestRules::oneDocumentOfAPartnerIsShownAlone()
{
    Modules m;
    const qint64 company = m.dm.companyId();
    const qint64 client = m.addPartner(QStringLiteral("CLIENT SRL"));
    const qint64 other = m.addPartner(QStringLiteral("ALT CLIENT SRL"));
    QList<qint64> docs;
    for (int nf = 1; nf <= 3; ++nf)
        docs << insertDocument(m.cnc(), company, client, nf, false);
    insertDocument(m.cnc(), company, other, 4, false);

    Tdm::openPartnerDocument(m.dm.adoNrFAct, client, company, 0, docs[1]);
    QCOMPARE(m.dm.adoNrFAct.recordCount(), 1);
    QCOMPARE(m.dm.adoNrFAct.asInteger(QStringLiteral("fid")), docs[1]);
    QCOMPARE(m.dm.adoNrFAct.asString(QStringLiteral("NumeFirma")), QStringLiteral("CLIENT SRL"));
    // It is written back as before.
    m.dm.adoNrFAct.edit();
    m.dm.adoNrFAct.setValue(QStringLiteral("comentariu"), QStringLiteral("livrat"));
    m.dm.adoNrFAct.post();
    QCOMPARE(m.cnc().scalar(QStringLiteral("select Comentariu from Facturi where id=:d"), {docs[1]}).toString(),
             QStringLiteral("livrat"));
    // Another partner's id shows nothing.
    Tdm::openPartnerDocument(m.dm.adoNrFAct, other, company, 0, docs[1]);
    QVERIFY(m.dm.adoNrFAct.isEmpty());

    // Moving to another client afterwards lists that client's documents,
    // still kept to the document shown.
    Tdm::openPartnerDocument(m.dm.adoNrFAct, client, company, 0, docs[1]);
    m.state.loadClientDocuments = true;
    m.dm.adoClienti.setParam(0, company);
    m.dm.adoClienti.open();
    QVERIFY(m.dm.adoClienti.locate(QStringLiteral("id"), other));
    QCOMPARE(m.dm.adoNrFAct.paramCount(), 3);
    QVERIFY(m.dm.adoNrFAct.isEmpty());
    QVERIFY(m.dm.adoClienti.locate(QStringLiteral("id"), client));
    QCOMPARE(m.dm.adoNrFAct.recordCount(), 1);
    QCOMPARE(m.dm.adoNrFAct.asInteger(QStringLiteral("fid")), docs[1]);
}

void TestRules::productNeedsASubcategory()
{
    Modules m;
    m.dm.adoSortim.close();
    m.dm.adoProdSort.setParam(0, 0);
    m.dm.adoProdSort.open();
    QVERIFY_THROWS_EXCEPTION(SilentAbort, m.dm.adoProdSort.append());
    QCOMPARE(m.dm.adoProdSort.state(), Dataset::State::Browse);
    QVERIFY(m.dm.adoProdSort.isEmpty());
    QCOMPARE(m.prompter.shown, QStringList{QStringLiteral("info: Nu aveti subcategoria introdusa")});
    QCOMPARE(m.count(QStringLiteral("ListaProduse")), 0);
}

void TestRules::productPricesAreRecomputed_data()
{
    QTest::addColumn<QString>("currency");
    QTest::addColumn<QString>("price");
    QTest::addColumn<double>("quantity");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("vat");
    QTest::addColumn<QString>("total");
    QTest::newRow("two decimals") << "RON" << "10.125" << 1.0 << "10.1300" << "2.1300" << "12.2600";
    QTest::newRow("half of a ban rounds up") << "RON" << "0.5" << 0.05 << "0.0300" << "0.0100" << "0.0400";
    QTest::newRow("no decimals") << "HUF" << "333.4" << 3.0 << "1000.0000" << "210.0000" << "1210.0000";
}

void TestRules::productPricesAreRecomputed()
{
    QFETCH(QString, currency);
    QFETCH(QString, price);
    QFETCH(double, quantity);
    QFETCH(QString, value);
    QFETCH(QString, vat);
    QFETCH(QString, total);
    Modules m;
    m.cnc().insert(QStringLiteral("Monede"), {QStringLiteral("CodIso"), QStringLiteral("Nrzecimale")}, {QStringLiteral("HUF"), 0}, QStringLiteral("ID"));
    m.dm.adoMoneda.open();
    m.dm.adoProdSort.append();
    m.dm.adoProdSort.setValue(QStringLiteral("DenPr"), QStringLiteral("Produs"));
    m.dm.adoProdSort.setValue(QStringLiteral("moneda"), currency);
    m.dm.adoProdSort.setValue(QStringLiteral("Cantit"), quantity);
    m.dm.adoProdSort.setValue(QStringLiteral("Pret"), QVariant::fromValue(*Money::parse(price)));
    m.dm.adoProdSort.post();
    Dataset stored(m.cnc(), QStringLiteral("select * from ListaProduse where DenPr='Produs'"));
    stored.open();
    QCOMPARE(stored.asMoney(QStringLiteral("ValoareLei")).toString(), value);
    QCOMPARE(stored.asMoney(QStringLiteral("TVA")).toString(), vat);
    QCOMPARE(stored.asMoney(QStringLiteral("TotalLei")).toString(), total);
    QCOMPARE(stored.asMoney(QStringLiteral("PretUTVA")).toString(), total);
}

void TestRules::newProductTakesTheCurrentCurrency()
{
    Modules m;
    m.dm.adoMoneda.open();
    QVERIFY(m.dm.adoMoneda.locate(QStringLiteral("CodIso"), QStringLiteral("EUR")));
    m.dm.adoProdSort.append();
    QCOMPARE(m.dm.adoProdSort.asString(QStringLiteral("moneda")), QStringLiteral("EUR"));
    QCOMPARE(m.dm.adoProdSort.asFloat(QStringLiteral("Cantit")), 1.0);
    QCOMPARE(m.dm.adoProdSort.asMoney(QStringLiteral("cotaTVA")).toString(0), QStringLiteral("21"));
    QCOMPARE(m.dm.adoProdSort.asInteger(QStringLiteral("id_sort")), m.dm.adoSortim.asInteger(QStringLiteral("id")));
}

void TestRules::clientBalance()
{
    Modules m;
    const qint64 company = m.dm.companyId();
    const qint64 partner = m.addPartner(QStringLiteral("PARTENER SRL"), true, true);
    const auto line = [&](qint64 doc, const char *column, const char *amount) {
        m.cnc().insert(QStringLiteral("ProdCumparate"), {QStringLiteral("id_fact"), QString::fromLatin1(column)},
                       {doc, QVariant::fromValue(*Money::parse(QString::fromLatin1(amount)))});
    };
    line(insertDocument(m.cnc(), company, partner, 1, true), "TotaloutMM", "100.50");
    line(insertDocument(m.cnc(), partner, company, 7, true), "TotalInMM", "50");
    line(insertDocument(m.cnc(), company, partner, 0, false), "TotaloutMM", "999"); // not validated
    const auto pay = [&](const char *table, const char *amount, int cancelled) {
        m.cnc().insert(QString::fromLatin1(table),
                       {QStringLiteral("id_firma"), QStringLiteral("id_cumparator"), QStringLiteral("SumaMM"), QStringLiteral("Anulata")},
                       {company, partner, QVariant::fromValue(*Money::parse(QString::fromLatin1(amount))), cancelled});
    };
    pay("Incasari", "30.25", 0);
    pay("Incasari", "70", 1);
    pay("Plati", "20", 0);
    m.dm.adoClienti.setParam(0, company);
    m.dm.adoClienti.open();
    QVERIFY(m.dm.adoClienti.locate(QStringLiteral("id"), partner));
    QVERIFY(m.dm.adoClienti.isNull(QStringLiteral("SoldCalculat")));
    m.state.showClientBalance = true;
    m.dm.adoClienti.invalidateCalculatedFields();
    // (100.50 - 30.25) owed to us, less (50 - 20) we owe the partner.
    QCOMPARE(m.dm.adoClienti.asMoney(QStringLiteral("SoldCalculat")).toString(2), QStringLiteral("40.25"));
}

void TestRules::collectedAmountFollowsTheCollections()
{
    Modules m;
    const qint64 company = m.dm.companyId();
    const qint64 client = m.addPartner(QStringLiteral("CLIENT SRL"));
    const qint64 doc = insertDocument(m.cnc(), company, client, 3, true);
    m.cnc().insert(QStringLiteral("Incasari"), {QStringLiteral("id_fact"), QStringLiteral("id_cumparator"), QStringLiteral("id_firma"),
                                                QStringLiteral("Suma"), QStringLiteral("Anulata")},
                   {doc, client, company, 40, 1});
    m.dm.adoNrFAct.setParams({client, company, 0});
    m.dm.adoNrFAct.open();
    m.dm.adoIncasari.setParams({client, company});
    m.dm.adoIncasari.open();
    m.dm.adoIncasari.append();
    m.dm.adoIncasari.setValue(QStringLiteral("id_fact"), doc);
    m.dm.adoIncasari.setValue(QStringLiteral("id_cumparator"), client);
    m.dm.adoIncasari.setValue(QStringLiteral("id_firma"), company);
    m.dm.adoIncasari.setValue(QStringLiteral("Suma"), QVariant::fromValue(*Money::parse(QStringLiteral("60.10"))));
    m.dm.adoIncasari.post();
    QCOMPARE(m.dm.adoNrFAct.asMoney(QStringLiteral("SumaAchitat")).toString(2), QStringLiteral("60.10"));
    Dataset stored(m.cnc(), QStringLiteral("select SumaAchitat from Facturi where id=:d"));
    stored.setParam(0, doc);
    stored.open();
    QCOMPARE(stored.asMoney(QStringLiteral("SumaAchitat")).toString(2), QStringLiteral("60.10"));
}

void TestRules::employeePasswordsAreHashed()
{
    Modules m;
    m.dm.adoAngajati.append();
    m.dm.adoAngajati.setValue(QStringLiteral("Nume"), QStringLiteral("Popescu"));
    m.dm.adoAngajati.setValue(QStringLiteral("Bifa"), true);
    m.dm.adoAngajati.setValue(QStringLiteral("Parola"), QStringLiteral("secret'1"));
    m.dm.adoAngajati.post();
    const QString stored =
        m.cnc().scalar(QStringLiteral("select Parola from Angajati where Nume='Popescu'")).toString();
    QVERIFY(stored != QStringLiteral("secret'1"));
    QVERIFY(verifyPassword(QStringLiteral("secret'1"), stored));
    QCOMPARE(m.cnc().scalar(QStringLiteral("select id_firma from Angajati where Nume='Popescu'")).toLongLong(), m.dm.companyId());
}

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
