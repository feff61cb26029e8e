// The receipts window driven as a user drives it.
#include "frame/mainwindow.h"
#include "payments/chitanta.h"
#include "reports/reportengine.h"
#include "support/modules.h"
#include "widgets/dbgrid.h"
#include "widgets/moneyedit.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

namespace {

// The window on its own, on a new database.
struct Receipts
{
    explicit Receipts(Modules &m)
        : reports(m.dm, m.rc, m.prompter),
          window(WindowContext{m.dm, m.rc, m.prompter, reports}, TfrmChitanta::Entry::Add)
    {
        window.show();
    }

    // Finds the client and goes on to the entry page.
    void enter(const QString &client)
    {
        QTest::keyClicks(window.searchBox(), client);
        QTest::mouseClick(window.nextButton(), Qt::LeftButton);
    }

    void choose(QComboBox *box, const QString &text)
    {
        const int index = box->findText(text);
        QVERIFY(index >= 0);
        box->setCurrentIndex(index);
    }

    ReportEngine reports;
    TfrmChitanta window;
};

} // namespace

class TestChitantaWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void brokenDatabaseLeavesTheBoxesAsTheyWere();
    void rateBoxTakesOnlyDigits();
    void escapeClosesTheWindowButNotAnEdit();
    void cashLineTakesTheFirstCategory_data();
    void cashLineTakesTheFirstCategory();
    void clientPageSearchesAgain();
};

void TestChitantaWindow::brokenDatabaseLeavesTheBoxesAsTheyWere()
{
    Modules m;
    m.addPartner(QStringLiteral("CLIENT SRL"));
    Receipts r(m);
    r.enter(QStringLiteral("CLIENT"));
    QCOMPARE(r.window.method()->currentText(), QStringLiteral("Chitanta"));
    const QString number = r.window.number()->text();
    const QString series = r.window.series()->text();
    QVERIFY(number.toInt() > 0);
    QVERIFY(!series.trimmed().isEmpty());
    r.window.rate()->setText(QStringLiteral("4,97"));
    m.prompter.shown.clear();

    // The counters and the currencies cannot be read: nothing changes, and
    // nothing is said.
    m.cnc().exec(QStringLiteral("alter table SeriiActe rename to SeriiActeAscunse"));
    m.cnc().exec(QStringLiteral("alter table Monede rename to MonedeAscunse"));
    r.choose(r.window.method(), QStringLiteral("Dispozitie de incasare"));
    QCOMPARE(r.window.number()->text(), number);
    QCOMPARE(r.window.series()->text(), series);
    r.choose(r.window.currency(), QStringLiteral("EUR"));
    QCOMPARE(r.window.rate()->text(), QStringLiteral("4,97"));
    QVERIFY(r.window.rate()->isHidden());
    QVERIFY(m.prompter.shown.isEmpty());

    // Once the database answers again the window goes on as usual.
    m.cnc().exec(QStringLiteral("alter table SeriiActeAscunse rename to SeriiActe"));
    m.cnc().exec(QStringLiteral("alter table MonedeAscunse rename to Monede"));
    r.choose(r.window.method(), QStringLiteral("OP"));
    QCOMPARE(r.window.number()->text(), QStringLiteral("0"));
    r.choose(r.window.currency(), QStringLiteral("USD"));
    QCOMPARE(r.window.rate()->text(), QStringLiteral("1"));
    QVERIFY(!r.window.rate()->isHidden());
}

void TestChitantaWindow::rateBoxTakesOnlyDigits()
{
    Modules m;
    m.addPartner(QStringLiteral("CLIENT SRL"));
    Receipts r(m);
    r.enter(QStringLiteral("CLIENT"));
    r.choose(r.window.currency(), QStringLiteral("EUR"));
    r.window.rate()->clear();
    m.prompter.shown.clear();
    QTest::keyClicks(r.window.rate(), QStringLiteral("4.9x7"));
    QCOMPARE(r.window.rate()->text(), QStringLiteral("4,97"));
    QCOMPARE(m.prompter.shown, QStringList{QStringLiteral("info: Folositi doar cifre")});
}

void TestChitantaWindow::escapeClosesTheWindowButNotAnEdit()
{
    Modules m;
    ReportEngine reports(m.dm, m.rc, m.prompter);
    TfrmMain frame{WindowContext{m.dm, m.rc, m.prompter, reports}};
    frame.show();
    const qint64 client = m.addPartner(QStringLiteral("CLIENT SRL"));
    frame.openCollectionOfInvoice(0, client, QStringLiteral("CLIENT"), QString());
    const QPointer<QMdiSubWindow> sub = frame.mdiArea()->subWindowList().value(0);
    QVERIFY(sub);
    const QPointer<TfrmChitanta> window = qobject_cast<TfrmChitanta *>(sub->widget());
    QVERIFY(window);
    QVERIFY(!frame.toolbar()->isEnabled());

    // Escape in a cell being edited gives up the edit only.
    DbGrid *grid = window->clientGrid();
    grid->setEditable(true);
    grid->setCurrentIndex(grid->model()->index(0, 0));
    QTest::keyClick(grid, Qt::Key_F2);
    QLineEdit *editor = nullptr;
    for (QLineEdit *e : grid->viewport()->findChildren<QLineEdit *>()) {
        if (e->isVisible())
            editor = e;
    }
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Escape);
    QVERIFY(sub);
    QVERIFY(window->isVisible());

    QTest::keyClick(window->searchBox(), Qt::Key_Escape);
    QTRY_VERIFY(!sub);
    QVERIFY(!window);
    QVERIFY(frame.mdiArea()->subWindowList().isEmpty());
    QVERIFY(frame.toolbar()->isEnabled());
    QVERIFY(!m.state.openedFromInvoice);
}

void TestChitantaWindow::cashLineTakesTheFirstCategory_data()
{
    QTest::addColumn<bool>("categories");
    QTest::newRow("the company's first category") << true;
    QTest::newRow("a company without categories") << false;
}

void TestChitantaWindow::cashLineTakesTheFirstCategory()
{
    QFETCH(bool, categories);
    Modules m;
    Connection &c = m.cnc();
    const QStringList columns{QStringLiteral("id_firma"), QStringLiteral("CategorieFacturi"),
                              QStringLiteral("Cod"), QStringLiteral("venit")};
    c.exec(QStringLiteral("delete from CatFactIn"));
    // Another company's category comes first and is never taken.
    c.insert(QStringLiteral("CatFactIn"), columns,
             {m.dm.companyId() + 1, QStringLiteral("Straina"), QStringLiteral("707"), true});
    qint64 expected = 0;
    if (categories) {
        expected =
            c.insert(QStringLiteral("CatFactIn"), columns,
                     {m.dm.companyId(), QStringLiteral("Vanzari"), QStringLiteral("707"), true});
        c.insert(QStringLiteral("CatFactIn"), columns,
                 {m.dm.companyId(), QStringLiteral("Marfuri"), QStringLiteral("371"), false});
    }
    m.addPartner(QStringLiteral("CLIENT SRL"));
    Receipts r(m);
    r.enter(QStringLiteral("CLIENT"));
    QCOMPARE(r.window.method()->currentText(), QStringLiteral("Chitanta"));
    r.window.amount()->setText(QStringLiteral("150"));
    m.prompter.inputs << QStringLiteral("500") << QStringLiteral("1"); // the register's first sheet
    QTest::mouseClick(r.window.addButton(), Qt::LeftButton);
    QCOMPARE(m.prompter.shown.last(), QStringLiteral("info: Incasare introdusa."));
    QCOMPARE(m.count(QStringLiteral("RegistrulCasaDetalii")), 1);
    QCOMPARE(c.scalar(QStringLiteral("select id_categ from RegistrulCasaDetalii")).toLongLong(),
             expected);
}

void TestChitantaWindow::clientPageSearchesAgain()
{
    Modules m;
    m.addPartner(QStringLiteral("ALFA SRL"));
    m.addPartner(QStringLiteral("BETA SRL"));
    Receipts r(m);
    r.enter(QStringLiteral("ALFA"));
    QCOMPARE(r.window.pages()->currentIndex(), 1);

    // Back on the client page: documents stay unloaded, the search box waits.
    m.state.loadClientDocuments = true;
    r.window.amount()->setFocus();
    r.window.chooseClientPage();
    QVERIFY(!m.state.loadClientDocuments);
    QCOMPARE(r.window.focusWidget(), r.window.searchBox());

    // A double click searches for what the box holds.
    r.window.searchBox()->setText(QStringLiteral("BETA"));
    QTest::mouseDClick(r.window.searchBox(), Qt::LeftButton);
    QCOMPARE(m.dm.adoClienti.recordCount(), 1);
    QCOMPARE(m.dm.adoClienti.asString(QStringLiteral("NumeFirma")), QStringLiteral("BETA SRL"));
}

QTEST_MAIN(TestChitantaWindow)
#include "tst_chitantawindow.moc"
