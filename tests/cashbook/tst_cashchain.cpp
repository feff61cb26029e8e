#include "cashbook/registerrules.h"
#include "cashbook/sheets.h"
#include "core/prompter.h"
#include "db/dataset.h"
#include "support/modules.h"

#include <QTest>

#include <rapidcheck.h>

#include <array>

class TestCashChain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everySheetFollowsTheOneBefore();
};

namespace {

// Answers every question with its default and keeps what went wrong.
class DefaultAnswers : public Prompter
{
public:
    QStringList errors;
    void information(const QString &) override {}
    void error(const QString &text) override { errors << text; }
    bool confirm(const QString &) override { return true; }
    std::optional<QString> input(const QString &, const QString &, const QString &value) override
    {
        return value;
    }
};

// Days over two months, a year end and the months after it.
const std::array<QDate, 8> Days{QDate(2025, 11, 28), QDate(2025, 12, 1), QDate(2025, 12, 30),
                                QDate(2025, 12, 31), QDate(2026, 1, 2),  QDate(2026, 1, 5),
                                QDate(2026, 2, 2),   QDate(2026, 3, 31)};
const std::array<QString, 2> Currencies{QStringLiteral("RON"), QStringLiteral("EUR")};

Money someAmount()
{
    return Money::fromUnits(*rc::gen::inRange<qint64>(0, 500'000) * 100); // whole cents up to 5000
}

// The line's own view: the sheets of its year with the line's sheet
// current, then the line current among its sheet's lines.
Dataset &showLine(Modules &m, qint64 lineId)
{
    Dataset where(
        m.cnc(),
        QStringLiteral("select s.id, s.id_punctlucru, s.moneda, s.data from RegistruCasaSold s "
                       "inner join RegistrulCasaDetalii l on l.id_fisa=s.id where l.id=:id"));
    where.setParam(0, lineId);
    where.open();
    sheets::openSheetsOfYear(
        m.rc.adoFisa, m.dm.companyId(), where.asInteger(QStringLiteral("id_punctlucru")),
        where.asString(QStringLiteral("moneda")), where.asDate(QStringLiteral("data")).year());
    RC_ASSERT(m.rc.adoFisa.locate(QStringLiteral("id"), where.value(QStringLiteral("id"))));
    RC_ASSERT(m.rc.adoDetaliiFisa.locate(QStringLiteral("id"), lineId));
    return m.rc.adoDetaliiFisa;
}

// Checked independently of the code under test, from the rows themselves.
void checkBook(Modules &m, qint64 workPoint, const QString &currency)
{
    Dataset list(
        m.cnc(),
        QStringLiteral("select * from RegistruCasaSold where id_firma=:f and id_punctlucru=:p and "
                       "moneda=:m order by data, nrfisa"));
    list.setParams({m.dm.companyId(), workPoint, currency});
    list.open();
    Dataset lines(m.cnc(),
                  QStringLiteral(
                      "select incasari, plati, moneda from RegistrulCasaDetalii where id_fisa=:s"));
    std::optional<Money> previousTotal;
    QDate previousDay;
    int previousNumber = 0;
    for (list.first(); !list.eof(); list.next()) {
        const QDate day = list.asDate(QStringLiteral("Data"));
        const int number = int(list.asInteger(QStringLiteral("NrFisa")));
        const Money sold = list.asMoney(QStringLiteral("Sold"));
        Money receipts, payments;
        lines.close();
        lines.setParam(0, list.value(QStringLiteral("id")));
        lines.open();
        for (lines.first(); !lines.eof(); lines.next()) {
            RC_ASSERT(lines.asString(QStringLiteral("moneda")) == currency);
            receipts += lines.asMoney(QStringLiteral("incasari"));
            payments += lines.asMoney(QStringLiteral("plati"));
        }
        RC_ASSERT(list.asMoney(QStringLiteral("Incasari")) == receipts);
        RC_ASSERT(list.asMoney(QStringLiteral("PLati")) == payments);
        RC_ASSERT(list.asMoney(QStringLiteral("Total")) == sold + receipts - payments);
        if (previousTotal) {
            RC_ASSERT(day > previousDay);
            RC_ASSERT(sold == *previousTotal);
            RC_ASSERT(number == (day.year() == previousDay.year() ? previousNumber + 1 : 1));
        } else {
            RC_ASSERT(sold == Money::fromInt(1000));
            RC_ASSERT(number == 1);
        }
        previousTotal = list.asMoney(QStringLiteral("Total"));
        previousDay = day;
        previousNumber = number;
    }
}

} // namespace

void TestCashChain::everySheetFollowsTheOneBefore()
{
    Modules m;
    CashRegisterRules::attach(m.rc);
    const qint64 company = m.dm.companyId();
    const std::array<qint64, 2> workPoints{
        m.state.currentWorkPointId,
        m.cnc().insert(QStringLiteral("SeriiActe"),
                       {QStringLiteral("id_firma"), QStringLiteral("AbrevierePunctLucru")},
                       {company, QStringLiteral("PL2")})};
    const bool ok = rc::check("lines added, edited and deleted keep every chain of sheets", [&] {
        m.rc.adoFisa.close();
        m.cnc().exec(QStringLiteral("delete from RegistrulCasaDetalii"));
        m.cnc().exec(QStringLiteral("delete from RegistruCasaSold"));
        DefaultAnswers answers;
        std::vector<qint64> lineIds;

        const int steps = *rc::gen::inRange(1, 30);
        for (int step = 0; step < steps; ++step) {
            const int action = lineIds.empty() ? 0 : *rc::gen::inRange(0, 4);
            if (action <= 1) {
                sheets::RegisterLine line;
                line.currency = {Currencies[*rc::gen::inRange<size_t>(0, Currencies.size())], 2};
                (*rc::gen::arbitrary<bool>() ? line.incasari : line.plati) = someAmount();
                const QDate day = Days[*rc::gen::inRange<size_t>(0, Days.size())];
                const qint64 workPoint =
                    workPoints[*rc::gen::inRange<size_t>(0, workPoints.size())];
                const std::optional<qint64> id =
                    sheets::addRegisterLineOnDay(m.cnc(), answers, company, workPoint, day, line);
                RC_ASSERT(id.has_value());
                lineIds.push_back(*id);
                continue;
            }
            const size_t pick = *rc::gen::inRange<size_t>(0, lineIds.size());
            const qint64 lineId = lineIds[pick];
            if (action == 2) {
                Dataset &lines = showLine(m, lineId);
                lines.edit();
                lines.setValue(QStringLiteral("incasari"), QVariant::fromValue(someAmount()));
                lines.setValue(QStringLiteral("plati"), QVariant::fromValue(someAmount()));
                lines.post();
            } else {
                if (action == 3)
                    sheets::deleteRegisterLine(m.cnc(), lineId);
                else
                    RC_ASSERT(showLine(m, lineId).remove());
                lineIds.erase(lineIds.begin() + std::ptrdiff_t(pick));
            }
        }
        RC_ASSERT(answers.errors.isEmpty());
        for (qint64 workPoint : workPoints)
            for (const QString &currency : Currencies)
                checkBook(m, workPoint, currency);
    });
    QVERIFY(ok);
}

QTEST_GUILESS_MAIN(TestCashChain)
#include "tst_cashchain.moc"
