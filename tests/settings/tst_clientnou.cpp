#include "data/util.h"
#include "db/dataset.h"
#include "settings/clientnou.h"
#include "settings/companylookup.h"
#include "settings/webclient.h"
#include "settings/websettings.h"
#include "support/modules.h"
#include "loopbackserver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class TestClientNou : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void companyFilledFromTheRegistryIsSavedAndFound();
    void personIsHisOwnDelegate();
    void emptyNameIsRefused();
};

void TestClientNou::companyFilledFromTheRegistryIsSavedAndFound()
{
    LoopbackServer<> server;
    const std::string found = fixture(QFINDTESTDATA("fixtures/anaf/vat-payer-found.json"));
    server.server.Post("/tva", [&](const httplib::Request &, httplib::Response &res) {
        res.set_content(found, "application/json; charset=utf-8");
    });
    server.start();
    Modules m;
    WebSettings settings;
    settings.vatPayerUrl = server.origin() + QStringLiteral("/tva");
    WebClient web(settings, m.state, m.prompter);
    CompanyLookup lookup(web);
    TfrmClientNou window(m.dm, m.prompter, lookup);

    QTest::keyClicks(window.fiscalCodeEdit(), QStringLiteral("ro4264242"));
    QTest::mouseClick(window.lookupButton(), Qt::LeftButton);
    QCOMPARE(window.nameEdit()->text(), QStringLiteral("CUMPANA 1993 SRL"));
    QCOMPARE(window.fiscalCodeEdit()->text(), QStringLiteral("RO4264242"));
    QCOMPARE(window.edit(QStringLiteral("Reg. Com."))->text(), QStringLiteral("J40/16655/1993"));
    QVERIFY(window.edit(QStringLiteral("Sediul"))->text().contains(QStringLiteral("HUMBOLDT")));
    QCOMPARE(window.countyBox()->currentText(), QStringLiteral("Bucuresti"));
    QTest::keyClicks(window.edit(QStringLiteral("Cont")), QStringLiteral("RO49AAAA1B31007593840000"));
    QTest::keyClicks(window.edit(QStringLiteral("Banca")), QStringLiteral("Banca Transilvania"));
    QTest::keyClicks(window.edit(QStringLiteral("E-mail")), QStringLiteral("office@cumpana.ro"));
    QTest::mouseClick(window.okButton(), Qt::LeftButton);
    QVERIFY(m.prompter.shown.isEmpty());
    const qint64 id = window.savedId();
    QVERIFY(id > 0);
    QCOMPARE(m.dm.adoClienti.asInteger(QStringLiteral("id")), id);

    searchClients(m.dm.adoClienti, QStringLiteral("NumeFirma"), true, SearchOperator::Contains, false,
                  QStringLiteral("cumpana"), m.dm.companyId());
    QCOMPARE(m.dm.adoClienti.recordCount(), 1);
    QCOMPARE(m.dm.adoClienti.asString(QStringLiteral("CUI")), QStringLiteral("RO4264242"));
    QCOMPARE(m.dm.adoClienti.asString(QStringLiteral("email")), QStringLiteral("office@cumpana.ro"));
    QCOMPARE(m.dm.adoClienti.asInteger(QStringLiteral("id_firma")), m.dm.companyId());
    QVERIFY(m.dm.adoClienti.asBoolean(QStringLiteral("client")));
    QVERIFY(!m.dm.adoClienti.asBoolean(QStringLiteral("emitent")));
    QCOMPARE(m.count(QStringLiteral("Conturi"), QStringLiteral("id_firma=:p and Banca='Banca Transilvania'"), {id}), 1);
    QCOMPARE(m.count(QStringLiteral("Delegati"), QStringLiteral("id_firma=:p"), {id}), 0);
}

void TestClientNou::personIsHisOwnDelegate()
{
    Modules m;
    WebSettings settings;
    WebClient web(settings, m.state, m.prompter);
    CompanyLookup lookup(web);
    m.state.newPartnerIsClient = false;
    m.state.newPartnerIsSupplier = true;
    TfrmClientNou window(m.dm, m.prompter, lookup);
    window.companyBox()->setChecked(false);
    QVERIFY(!window.edit(QStringLiteral("Reg. Com."))->isVisibleTo(&window));
    QTest::keyClicks(window.nameEdit(), QStringLiteral("Ion Popescu"));
    QCOMPARE(window.edit(QStringLiteral("Delegat"))->text(), QStringLiteral("Ion Popescu"));
    QTest::keyClicks(window.fiscalCodeEdit(), QStringLiteral("1850923125478"));
    QTest::keyClicks(window.edit(QStringLiteral("Serie C.I")), QStringLiteral("CJ"));
    QTest::keyClicks(window.edit(QStringLiteral("Nr C.I.")), QStringLiteral("512347"));
    QTest::mouseClick(window.okButton(), Qt::LeftButton);
    const qint64 id = window.savedId();
    QVERIFY(id > 0);
    Dataset partner(m.cnc(), QStringLiteral("select * from Clienti where id=:id"));
    partner.setParam(0, id);
    partner.open();
    QCOMPARE(partner.asString(QStringLiteral("NumeFirma")), QStringLiteral("ION POPESCU"));
    QCOMPARE(partner.asString(QStringLiteral("SeriaBuletin")), QStringLiteral("CJ"));
    QVERIFY(partner.asBoolean(QStringLiteral("furnizor")));
    QVERIFY(!partner.asBoolean(QStringLiteral("client")));
    Dataset delegate(m.cnc(), QStringLiteral("select * from Delegati where id_firma=:id"));
    delegate.setParam(0, id);
    delegate.open();
    QCOMPARE(delegate.recordCount(), 1);
    QCOMPARE(delegate.asString(QStringLiteral("Nume")), QStringLiteral("Ion Popescu"));
    QCOMPARE(delegate.asString(QStringLiteral("CNP")), QStringLiteral("1850923125478"));
    QCOMPARE(delegate.asString(QStringLiteral("NrCI")), QStringLiteral("512347"));
}

void TestClientNou::emptyNameIsRefused()
{
    Modules m;
    WebSettings settings;
    WebClient web(settings, m.state, m.prompter);
    CompanyLookup lookup(web);
    TfrmClientNou window(m.dm, m.prompter, lookup);
    const qint64 before = m.count(QStringLiteral("Clienti"));
    QTest::mouseClick(window.okButton(), Qt::LeftButton);
    QCOMPARE(m.prompter.shown, QStringList{QStringLiteral("info: Nu ati completat denumire !")});
    QCOMPARE(window.savedId(), 0);
    QCOMPARE(m.count(QStringLiteral("Clienti")), before);
}

QTEST_MAIN(TestClientNou)
#include "tst_clientnou.moc"
