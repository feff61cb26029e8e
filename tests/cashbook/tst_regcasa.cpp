#include "cashbook/adaugarc.h"
#include "cashbook/regcasa.h"
#include "cashbook/registerrules.h"
#include "cashfixture.h"
#include "reports/reportengine.h"
#include "settings/alegedata.h"
#include "widgets/dbnavigator.h"
#include "widgets/moneyedit.h"
#include "widgets/picklistcombo.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using cash::book;

class TestRegCasa : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void userKeepsTheCashOfADay();
    void reindexSaysHowItWent_data();
    void reindexSaysHowItWent();
    void withoutASheetNothingIsDone();
};

namespace {

class RecordingHost : public ReportHost
{
public:
    QStringList previews;
    void preview(const QString &, const QString &html) override { previews << html; }
    void design(const QString &, const QString &) override {}
    void email(const EmailDraft &) override {}
};

// Runs `step` on the modal window the next click opens.
template <typename Window, typename Step> void onModal(Step step)
{
    QTimer::singleShot(0, [step] {
        auto *window = qobject_cast<Window *>(QApplication::activeModalWidget());
        QVERIFY(window);
        step(window);
    });
}

struct Register
{
    explicit Register(Modules &m) : engine(m.dm, m.rc, m.prompter)
    {
        CashRegisterRules::attach(m.rc);
        engine.setHost(&host);
    }
    RecordingHost host;
    ReportEngine engine;
};

} // namespace

void TestRegCasa::userKeepsTheCashOfADay()
{
    Modules m;
    Register reg(m);
    {
        TfrmRC window({m.dm, m.rc, m.prompter, reg.engine});
        window.show();
        QCOMPARE(window.currencies()->currentText(), QStringLiteral("RON"));
        QCOMPARE(window.workPoints()->currentText(), QStringLiteral("SED"));
        QCOMPARE(window.year()->value(), QDate::currentDate().year());

        // A sheet for a day of another year, the register's first.
        m.prompter.answers << true;
        m.prompter.inputs << QStringLiteral("1000") << QStringLiteral("1");
        onModal<TfrmAlegeData>([](TfrmAlegeData *picker) {
            QCOMPARE(picker->windowTitle(), QStringLiteral("Data acestei fise"));
            picker->calendar()->setSelectedDate(QDate(2025, 3, 10));
            picker->accept();
        });
        QTest::mouseClick(window.newSheetButton(), Qt::LeftButton);
        QCOMPARE(m.prompter.shown.first(),
                 QStringLiteral("question: Doriti sa introduceti o fisa noua peSED ?"));
        QCOMPARE(m.prompter.shown.last(), QStringLiteral("info: Fisa introdusa."));
        QCOMPARE(window.year()->value(), 2025);
        QCOMPARE(m.rc.adoFisa.recordCount(), 1);
        QCOMPARE(m.rc.adoFisa.asInteger(QStringLiteral("NrFisa")), 1);

        // A withdrawal typed by hand.
        onModal<TfrmAdaugaRC>([](TfrmAdaugaRC *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Adauga operatii in registru"));
            QCOMPARE(dialog->currencies()->currentText(), QStringLiteral("RON"));
            QTest::keyClicks(dialog->nrActCasaEdit(), QStringLiteral("DP-1"));
            QTest::keyClicks(dialog->explicatiiEdit(), QStringLiteral("Ridicare numerar"));
            dialog->platiEdit()->clear();
            QTest::keyClicks(dialog->platiEdit(), QStringLiteral("250"));
            QTest::mouseClick(dialog->addButton(), Qt::LeftButton);
            // Ready for the next one.
            QVERIFY(dialog->explicatiiEdit()->text().isEmpty());
            QCOMPARE(dialog->platiEdit()->value(), Money());
            QTest::mouseClick(dialog->closeButton(), Qt::LeftButton);
        });
        QTest::mouseClick(window.addOperationButton(), Qt::LeftButton);
        QCOMPARE(book(m), QStringList{QStringLiteral("10.03.2025 #1 1000.00+0.00-250.00=750.00")});
        QCOMPARE(m.rc.adoFisa.asMoney(QStringLiteral("Total")), Money::fromInt(750));
        QCOMPARE(m.rc.adoDetaliiFisa.recordCount(), 1);

        QTest::mouseClick(window.previewButton(), Qt::LeftButton);
        QCOMPARE(reg.host.previews.size(), 1);
        const QString &printed = reg.host.previews.first();
        QVERIFY(printed.contains(QStringLiteral("Punct de lucru: <b>SED</b>")));
        QVERIFY(printed.contains(QStringLiteral("Ridicare numerar")));
        QVERIFY(printed.contains(QStringLiteral("750,00")));

        // Deleting the line gives the sheet its balance back.
        m.prompter.answers << true;
        QTest::mouseClick(window.linesNavigator()->button(DbNavigator::Delete), Qt::LeftButton);
        QCOMPARE(book(m), QStringList{QStringLiteral("10.03.2025 #1 1000.00+0.00-0.00=1000.00")});
        QCOMPARE(m.rc.adoFisa.asMoney(QStringLiteral("Total")), Money::fromInt(1000));
    }
    QVERIFY(!m.rc.adoFisa.isOpen());
    QVERIFY(!m.rc.adoDetaliiFisa.isOpen());
}

void TestRegCasa::reindexSaysHowItWent_data()
{
    QTest::addColumn<bool>("blocked");
    QTest::newRow("done") << false;
    QTest::newRow("database error") << true;
}

void TestRegCasa::reindexSaysHowItWent()
{
    QFETCH(bool, blocked);
    Modules m;
    Register reg(m);
    const int year = QDate::currentDate().year();
    const qint64 first = cash::sheetOn(m, QDate(year, 1, 10), 1, QStringLiteral("1000"));
    const qint64 second = cash::sheetOn(m, QDate(year, 1, 11), 2, QStringLiteral("1000"));
    // A line the sheets do not count yet.
    cash::lineOn(m, first, QStringLiteral("100"), QStringLiteral("0"));
    if (blocked)
        cash::blockUpdatesOf(m, second);
    const QStringList before = book(m);
    TfrmRC window({m.dm, m.rc, m.prompter, reg.engine});
    m.rc.adoFisa.first();
    QTest::mouseClick(window.reindexButton(), Qt::LeftButton);
    QCOMPARE(m.prompter.shown.size(), 1);
    if (blocked) {
        QVERIFY(m.prompter.shown.first().startsWith(
            QStringLiteral("error: EDatabaseError error raised, with message : ")));
        QVERIFY(m.prompter.shown.first().contains(QStringLiteral("fisa blocata")));
        QCOMPARE(book(m), before);
    } else {
        QCOMPARE(m.prompter.shown.first(),
                 QStringLiteral("info: Reindexarea fiselor de casa s-a facut cu succes"));
        const QString d1 = QDate(year, 1, 10).toString(QStringLiteral("dd.MM.yyyy"));
        const QString d2 = QDate(year, 1, 11).toString(QStringLiteral("dd.MM.yyyy"));
        QCOMPARE(book(m), (QStringList{d1 + QStringLiteral(" #1 1000.00+100.00-0.00=1100.00"),
                                       d2 + QStringLiteral(" #2 1100.00+0.00-0.00=1100.00")}));
        m.rc.adoFisa.last();
        QCOMPARE(m.rc.adoFisa.asMoney(QStringLiteral("Sold")), Money::fromInt(1100));
    }
}

void TestRegCasa::withoutASheetNothingIsDone()
{
    Modules m;
    Register reg(m);
    TfrmRC window({m.dm, m.rc, m.prompter, reg.engine});
    QTest::mouseClick(window.addOperationButton(), Qt::LeftButton);
    QTest::mouseClick(window.reindexButton(), Qt::LeftButton);
    QTest::mouseClick(window.previewButton(), Qt::LeftButton);
    QCOMPARE(m.prompter.shown,
             QStringList{QStringLiteral("info: Nu exista  fisa in aceasta data.")});
    QVERIFY(reg.host.previews.isEmpty());
}

QTEST_MAIN(TestRegCasa)
#include "tst_regcasa.moc"
