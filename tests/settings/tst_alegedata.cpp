#include "core/monedaplata.h"
#include "settings/alegedata.h"
#include "support/modules.h"
#include "widgets/picklistcombo.h"

#include <QCalendarWidget>
#include <QTest>

class TestAlegeData : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsOnTheDefaultCurrencyAndToday();
    void existingSheetOfTheSameCurrencyAndPointBlocks();
    void noCurrencyNoOk();
    void closingStoresTheDate();
};

namespace {

void addSheet(Modules &m, qint64 workPoint, const QString &currency, QDate day)
{
    m.cnc().insert(QStringLiteral("RegistruCasaSold"),
                   {QStringLiteral("id_firma"), QStringLiteral("id_punctlucru"), QStringLiteral("Moneda"), QStringLiteral("Data")},
                   {m.dm.companyId(), workPoint, currency, day});
}

} // namespace

void TestAlegeData::startsOnTheDefaultCurrencyAndToday()
{
    Modules m;
    TMonedaPlata currency;
    TfrmAlegeData picker(m.dm, m.prompter, currency);
    QCOMPARE(picker.calendar()->selectedDate(), QDate::currentDate());
    QCOMPARE(currency.code, QStringLiteral("RON"));
    QCOMPARE(currency.decimals, 2);
    QVERIFY(picker.canAccept());
    picker.currencies()->setCurrentIndex(picker.currencies()->findText(QStringLiteral("EUR")));
    QCOMPARE(currency.code, QStringLiteral("EUR"));
    QVERIFY(m.prompter.shown.isEmpty());
}

void TestAlegeData::existingSheetOfTheSameCurrencyAndPointBlocks()
{
    Modules m;
    const QDate day(2026, 11, 20);
    const qint64 point = m.state.currentWorkPointId;
    addSheet(m, point, QStringLiteral("EUR"), day);
    addSheet(m, point + 1000, QStringLiteral("RON"), day); // another work point
    TMonedaPlata currency;
    TfrmAlegeData picker(m.dm, m.prompter, currency);
    picker.calendar()->setSelectedDate(day);
    // RON at this work point: free, whatever the other sheets of the day.
    QVERIFY(picker.canAccept());
    QVERIFY(m.prompter.shown.isEmpty());
    picker.currencies()->setCurrentIndex(picker.currencies()->findText(QStringLiteral("EUR")));
    QVERIFY(!picker.canAccept());
    QCOMPARE(m.prompter.shown,
             QStringList{QStringLiteral("info: Exista fisa cu aceasta data. Introducerea noii fise nu poate fi facuta.")});
    picker.calendar()->setSelectedDate(day.addDays(1));
    QVERIFY(picker.canAccept());
}

void TestAlegeData::noCurrencyNoOk()
{
    Modules m;
    m.cnc().exec(QStringLiteral("delete from Monede"));
    TMonedaPlata currency;
    TfrmAlegeData picker(m.dm, m.prompter, currency);
    QVERIFY(!currency.isValid());
    QVERIFY(!picker.canAccept());
    QCOMPARE(m.prompter.shown,
             QStringList{QStringLiteral("info: Nu ati selectat nici o valoare implicita in setari pentru CodIso")});
}

void TestAlegeData::closingStoresTheDate()
{
    Modules m;
    TMonedaPlata currency;
    TfrmAlegeData picker(m.dm, m.prompter, currency);
    picker.calendar()->setSelectedDate(QDate(2026, 3, 9));
    picker.reject();
    QCOMPARE(m.state.pickedDate, QDate(2026, 3, 9));
}

QTEST_MAIN(TestAlegeData)
#include "tst_alegedata.moc"
