#include "core/appstate.h"
#include "data/tdm.h"
#include "data/tdmrc.h"
#include "db/database.h"
#include "support/scriptedprompter.h"
#include "core/startup.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

class NoStore : public startup::ConnectionStringStore
{
public:
    std::optional<QString> read() override { return std::nullopt; }
    void write(const QString &) override {}
};

class NoEditor : public startup::ConnectionEditor
{
public:
    QString edit(const QString &current) override { return current; }
};

} // namespace

class TestDataModules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyFixedDatasetOpens();
};

void TestDataModules::everyFixedDatasetOpens()
{
    QTemporaryDir program;
    AppState state;
    ScriptedPrompter prompter;
    NoStore store;
    NoEditor editor;
    Tdm dm(state, prompter);
    TdmRC rc(dm);
    QVERIFY(dm.start({program.path(), store, editor}));
    const qint64 company = dm.companyId();
    const QList<Dataset *> all = {
        &dm.adoSetari, &dm.adoClienti, &dm.adoSeriiF, &dm.adoMoneda, &dm.tblMentiuniFacturi, &dm.tblIntvFact,
        &dm.adoAngajati, &dm.delegati, &dm.adoDetaliiClienti, &dm.adoRapoarte, &dm.adoNrFAct, &dm.adoPrCump,
        &dm.adoIncasari, &dm.adoFactNeach, &dm.adocategorii, &dm.adoSortim, &dm.adoProdSort,
        &dm.adoClientContracte, &dm.adoContract, &dm.ContractDetaliat, &dm.adoModeleContract, &rc.adoConturi,
        &rc.adoCatFactIn, &rc.adoSortim, &rc.adoFacturi, &rc.adoNrFAct, &rc.adoFisa, &rc.adoDetaliiFisa,
        &rc.adoFisaService, &rc.adoCategActeExpira, &rc.adoActeExpira};
    for (Dataset *ds : all) {
        QVariantList values;
        for (int i = 0; i < ds->paramCount(); ++i) {
            const QString p = ds->paramName(i).toLower();
            if (p.startsWith(QLatin1String("pd")))
                values << QDate(2026, 1, 1);
            else if (p == QLatin1String("tr") || p == QLatin1String("idm"))
                values << QStringLiteral("RON");
            else
                values << company;
        }
        ds->close();
        ds->setParams(values);
        try {
            ds->open();
        } catch (const std::exception &e) {
            QFAIL(qPrintable(ds->objectName() + QStringLiteral(": ") + QString::fromUtf8(e.what())));
        }
        QVERIFY2(ds->isOpen(), qPrintable(ds->objectName()));
    }
    // The flagged rows come first.
    QCOMPARE(dm.adoMoneda.asString(QStringLiteral("CodIso")), QStringLiteral("RON"));
    dm.adoSeriiF.first();
    QVERIFY(dm.adoSeriiF.asBoolean(QStringLiteral("BifaDefault")));
    dm.tblMentiuniFacturi.first();
    QVERIFY(dm.tblMentiuniFacturi.asBoolean(QStringLiteral("BifaDefault")));
}

QTEST_GUILESS_MAIN(TestDataModules)
#include "tst_datamodules.moc"
