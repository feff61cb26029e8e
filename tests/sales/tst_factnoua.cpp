#include "reports/reportengine.h"
#include "sales/factnoua.h"
#include "support/modules.h"
#include "support/stocklots.h"
#include "widgets/dbgrid.h"
#include "widgets/dbnavigator.h"
#include "widgets/picklistcombo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

namespace {

void addProduct(Modules &m, const QString &name, const char *price, const char *vat)
{
    const qint64 sub = m.cnc().scalar(QStringLiteral("select min(id) from Sortimente")).toLongLong();
    m.cnc().insert(QStringLiteral("ListaProduse"),
                   {QStringLiteral("id_sort"), QStringLiteral("DenPr"), QStringLiteral("UM"), QStringLiteral("Pret"),
                    QStringLiteral("cotaTVA"), QStringLiteral("moneda"), QStringLiteral("NrZecimale")},
                   {sub, name, QStringLiteral("buc"), QVariant::fromValue(*Money::parse(QString::fromLatin1(price))),
                    QVariant::fromValue(*Money::parse(QString::fromLatin1(vat))), QStringLiteral("RON"), 2});
}

// Selects the grid row whose field has this text, as a click would.
void clickRow(DbGrid *grid, int column, const QString &text)
{
    for (int r = 0; r < grid->model()->rowCount(); ++r) {
        if (grid->model()->index(r, column).data().toString() == text) {
            const QRect cell = grid->visualRect(grid->model()->index(r, column));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no row ") + text));
}

// A supplier's lot of `quantity` pieces received into the work point's
// first warehouse on `date`, with its sale price.
qint64 receive(Modules &m, const QString &name, double quantity, QDate date, const char *puOut)
{
    const qint64 warehouse = firstWarehouse(m);
    receiveLot(m, warehouse, m.addPartner(QStringLiteral("FURNIZOR ") + name, false, true), name,
               quantity, date, {puOut, "8", "8"});
    return warehouse;
}

} // namespace

class TestFactNoua : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void invoiceWalkthrough();
    void stepsRefuseWithoutClientOrLines();
    void deliveryNoteFromStock();
    void clientDetailsFollowTheClient();
    void categoriesAreAddedInPlace();
};

void TestFactNoua::invoiceWalkthrough()
{
    Modules m;
    m.addPartner(QStringLiteral("ALFA DISTRIBUTIE SRL"));
    m.addPartner(QStringLiteral("BETA SRL"));
    addProduct(m, QStringLiteral("Cafea"), "10", "21");
    addProduct(m, QStringLiteral("Carte"), "33.33", "11");
    ReportEngine reports(m.dm, m.rc, m.prompter);
    TfrmFactNoua window(WindowContext{m.dm, m.rc, m.prompter, reports});
    window.show();
    QCOMPARE(window.steps()->currentIndex(), 0);

    // Step 1: find the client.
    QTest::keyClicks(window.edNume(), QStringLiteral("alfa"));
    QTest::keyClick(window.edNume(), Qt::Key_Return);
    QCOMPARE(m.dm.adoClienti.recordCount(), 1);
    QTest::mouseClick(window.btPasUrmator(), Qt::LeftButton);
    QCOMPARE(window.steps()->currentIndex(), 1);

    // Step 2: an invoice in RON with VAT, due in 30 days.
    window.tipavizfactura()->setCurrentIndex(0);
    QCOMPARE(window.cbMent()->currentText(), QStringLiteral("Cu TVA"));
    QCOMPARE(window.wwMOneda()->currentText(), QStringLiteral("RON"));
    window.edTermenPlata()->setValue(30);
    QCOMPARE(window.wwTermenPlata()->date(), window.wwdata()->date().addDays(30));
    QTest::mouseClick(window.bitBtn3(), Qt::LeftButton);
    QCOMPARE(window.steps()->currentIndex(), 2);

    // Step 3: two products of the list, one typed into it, a -10 discount.
    clickRow(window.productGrid(), 0, QStringLiteral("Cafea"));
    window.edCantitS()->setText(QStringLiteral("2"));
    QTest::mouseClick(window.btAdauga(), Qt::LeftButton);
    clickRow(window.productGrid(), 0, QStringLiteral("Carte"));
    window.edCantitS()->setText(QStringLiteral("3"));
    QTest::mouseClick(window.btAdauga(), Qt::LeftButton);

    QTest::mouseClick(window.productNavigator()->button(DbNavigator::Insert), Qt::LeftButton);
    QAbstractItemModel *products = window.productGrid()->model();
    const int row = m.dm.adoProdSort.recNo();
    QVERIFY(products->setData(products->index(row, 0), QStringLiteral("Servicii montaj")));
    QVERIFY(products->setData(products->index(row, 1), QStringLiteral("ora")));
    QVERIFY(products->setData(products->index(row, 2), QStringLiteral("15,555")));
    QTest::mouseClick(window.productNavigator()->button(DbNavigator::Post), Qt::LeftButton);
    QVERIFY(m.prompter.shown.isEmpty());
    clickRow(window.productGrid(), 0, QStringLiteral("Servicii montaj"));
    window.edCantitS()->setText(QStringLiteral("1,5"));
    QTest::mouseClick(window.btAdauga(), Qt::LeftButton);

    window.rgDisc()->setCurrentText(QStringLiteral("-10"));
    QTest::mouseClick(window.btDiscount(), Qt::LeftButton);
    QVERIFY2(m.prompter.shown.isEmpty(), qPrintable(m.prompter.shown.join(u'\n')));
    QCOMPARE(window.lineGrid()->model()->rowCount(), 5);
    QVERIFY(window.btPasUrmator3()->isEnabled());
    QTest::mouseClick(window.btPasUrmator3(), Qt::LeftButton);
    QCOMPARE(window.steps()->currentIndex(), 3);

    // Cafea 2 x 10 = 20 + 4.20; Carte 3 x 33.33 = 99.99 + 11.00; montaj 1.5 x 15.56 = 23.34 + 4.90;
    // -10% of 43.34 at 21% = -4.33 - 0.91; -10% of 99.99 at 11% = -10.00 - 1.10.
    QCOMPARE(window.totalBox(QStringLiteral("edValoareOut"))->text(), QStringLiteral("129.00"));
    QCOMPARE(window.totalBox(QStringLiteral("edTVAOut"))->text(), QStringLiteral("18.09"));
    QCOMPARE(window.totalBox(QStringLiteral("edTotalOut"))->text(), QStringLiteral("147.09"));
    QCOMPARE(window.totalBox(QStringLiteral("edTotalCNT"))->text(), QStringLiteral("6.500"));
    QCOMPARE(window.totalBox(QStringLiteral("edTotalValFaraDiscount"))->text(), QStringLiteral("143.33"));

    // The header went to the chosen client, unvalidated, with the due date.
    Dataset doc(m.cnc(), QStringLiteral("select f.*, c.NumeFirma from Facturi f inner join Clienti c on c.id=f.id_cump"));
    doc.open();
    QCOMPARE(doc.recordCount(), 1);
    QCOMPARE(doc.asString(QStringLiteral("NumeFirma")), QStringLiteral("ALFA DISTRIBUTIE SRL"));
    QCOMPARE(doc.asInteger(QStringLiteral("Nf")), 0);
    QCOMPARE(doc.asDate(QStringLiteral("Termenplata")), QDate::currentDate().addDays(30));
    QCOMPARE(doc.asString(QStringLiteral("TVATEXT")), QStringLiteral("Cu TVA"));

}

void TestFactNoua::stepsRefuseWithoutClientOrLines()
{
    Modules m;
    ReportEngine reports(m.dm, m.rc, m.prompter);
    TfrmFactNoua window(WindowContext{m.dm, m.rc, m.prompter, reports});
    window.show();
    m.addPartner(QStringLiteral("ALFA SRL"));
    // A name nobody has: the window offers to add the client.
    m.prompter.answers << false;
    QTest::keyClicks(window.edNume(), QStringLiteral("nimeni"));
    QTest::keyClick(window.edNume(), Qt::Key_Return);
    QTest::mouseClick(window.btPasUrmator(), Qt::LeftButton);
    QCOMPARE(m.prompter.shown,
             (QStringList{QStringLiteral("question: Nu am gasit cumparatorul in baza de date. Il "
                                         "adaugati acum?"),
                          QStringLiteral("info: Nu ati selectat clientul")}));
    QCOMPARE(window.steps()->currentIndex(), 0);

    // A double click on the name box empties it and lists every client.
    QTest::mouseDClick(window.edNume(), Qt::LeftButton);
    QVERIFY(window.edNume()->text().isEmpty());
    QCOMPARE(m.dm.adoClienti.recordCount(), 1);
}

void TestFactNoua::deliveryNoteFromStock()
{
    Modules m;
    m.addPartner(QStringLiteral("ALFA DISTRIBUTIE SRL"));
    const QDate today = QDate::currentDate();
    const qint64 warehouse = receive(m, QStringLiteral("Surub M8"), 3, today.addDays(-2), "12.50");
    receive(m, QStringLiteral("Surub M8"), 4, today.addDays(-1), "13");
    receive(m, QStringLiteral("Piulita M8"), 10, today.addDays(1), "2"); // not yet received
    ReportEngine reports(m.dm, m.rc, m.prompter);
    TfrmFactNoua window(WindowContext{m.dm, m.rc, m.prompter, reports});
    window.show();
    QTest::keyClicks(window.edNume(), QStringLiteral("alfa"));
    QTest::keyClick(window.edNume(), Qt::Key_Return);
    QTest::mouseClick(window.btPasUrmator(), Qt::LeftButton);

    // A delivery note starts on the stock of the work point's warehouse.
    window.tipavizfactura()->setCurrentIndex(1);
    window.wwAchitare()->setCurrentIndex(1);
    const QString payment = window.wwAchitare()->currentText();
    QTest::mouseClick(window.bitBtn3(), Qt::LeftButton);
    QCOMPARE(window.steps()->currentIndex(), 2);
    QCOMPARE(window.lineSources()->currentIndex(), 1);
    QTableWidget *stock = window.stockGrid();
    QCOMPARE(stock->rowCount(), 1);
    QCOMPARE(stock->item(0, 0)->text(), QStringLiteral("Surub M8"));
    QCOMPARE(stock->item(0, 2)->text(), QLocale().toString(7.0, 'f', 2));

    // More than the warehouse holds is refused; 7 with 10% mark-up is taken
    // at the oldest lot's price.
    window.edCantitStoc()->setText(QStringLiteral("8"));
    QTest::mouseClick(window.btAdaugaStoc(), Qt::LeftButton);
    QCOMPARE(m.prompter.shown,
             QStringList{QStringLiteral(
                 "info: Cantitatea de scazut este mai mare decat cea de pe stoc")});
    QCOMPARE(m.cnc().scalar(QStringLiteral("select count(*) from ProdCumparate where adinStoc=1 "
                                           "and Stoc=0"))
                 .toInt(),
             0);
    m.prompter.shown.clear();
    window.edCantitStoc()->setText(QStringLiteral("7"));
    window.cbDiscStoc()->setCurrentText(QStringLiteral("10"));
    QTest::mouseClick(window.btAdaugaStoc(), Qt::LeftButton);
    QVERIFY2(m.prompter.shown.isEmpty(), qPrintable(m.prompter.shown.join(u'\n')));
    QCOMPARE(window.edCantitStoc()->text(), QStringLiteral("1"));
    QCOMPARE(window.lineGrid()->model()->rowCount(), 1);
    Dataset line(m.cnc(), QStringLiteral("select * from ProdCumparate where Stoc=0 and adinStoc=1"));
    line.open();
    QCOMPARE(line.recordCount(), 1);
    QCOMPARE(line.asString(QStringLiteral("Denumire")), QStringLiteral("Surub M8"));
    QCOMPARE(line.asInteger(QStringLiteral("id_magazie")), warehouse);
    QCOMPARE(line.asMoney(QStringLiteral("PUOut")).toString(2), QStringLiteral("13.75"));
    QCOMPARE(line.asMoney(QStringLiteral("ValOut")).toString(2), QStringLiteral("96.25"));
    QVERIFY(window.btPasUrmator3()->isEnabled());

    // Back on the header, what was chosen there is still chosen.
    window.chooseStep(1);
    QCOMPARE(window.wwAchitare()->currentText(), payment);
    QCOMPARE(window.cbMent()->currentText(), QStringLiteral("Cu TVA"));
    QCOMPARE(window.tipavizfactura()->currentIndex(), 1);
}

void TestFactNoua::clientDetailsFollowTheClient()
{
    Modules m;
    m.addPartner(QStringLiteral("ALFA SRL"));
    const qint64 beta = m.addPartner(QStringLiteral("BETA SRL"));
    m.cnc().insert(QStringLiteral("Delegati"), {QStringLiteral("id_firma"), QStringLiteral("Nume")},
                   {beta, QStringLiteral("Ionescu")});
    ReportEngine reports(m.dm, m.rc, m.prompter);
    TfrmFactNoua window(WindowContext{m.dm, m.rc, m.prompter, reports});
    window.show();
    QTest::keyClicks(window.edNume(), QStringLiteral("SRL"));
    QTest::keyClick(window.edNume(), Qt::Key_Return);
    clickRow(window.clientGrid(), 0, QStringLiteral("BETA SRL"));

    window.clientTabs()->setCurrentIndex(1);
    QVERIFY(m.dm.delegati.locate(QStringLiteral("Nume"), QStringLiteral("Ionescu")));
    // An account added here belongs to the client on the list.
    QTest::mouseClick(window.accountNavigator()->button(DbNavigator::Insert), Qt::LeftButton);
    QAbstractItemModel *accounts = window.accountGrid()->model();
    const int row = m.rc.adoConturi.recNo();
    QVERIFY(accounts->setData(accounts->index(row, 0), QStringLiteral("BANCA TEST")));
    QVERIFY(accounts->setData(accounts->index(row, 1), QStringLiteral("RO49AAAA1B31007593840000")));
    QTest::mouseClick(window.accountNavigator()->button(DbNavigator::Post), Qt::LeftButton);
    QVERIFY2(m.prompter.shown.isEmpty(), qPrintable(m.prompter.shown.join(u'\n')));
    QCOMPARE(m.cnc()
                 .scalar(QStringLiteral("select id_firma from Conturi where Banca='BANCA TEST'"))
                 .toLongLong(),
             beta);

    // Back on the list, another client: its details follow.
    window.clientTabs()->setCurrentIndex(0);
    clickRow(window.clientGrid(), 0, QStringLiteral("ALFA SRL"));
    window.clientTabs()->setCurrentIndex(1);
    QVERIFY(!m.dm.delegati.locate(QStringLiteral("Nume"), QStringLiteral("Ionescu")));
    QVERIFY(!m.rc.adoConturi.locate(QStringLiteral("Banca"), QStringLiteral("BANCA TEST")));
}

void TestFactNoua::categoriesAreAddedInPlace()
{
    Modules m;
    m.addPartner(QStringLiteral("ALFA SRL"));
    ReportEngine reports(m.dm, m.rc, m.prompter);
    TfrmFactNoua window(WindowContext{m.dm, m.rc, m.prompter, reports});
    window.show();
    QTest::keyClicks(window.edNume(), QStringLiteral("alfa"));
    QTest::keyClick(window.edNume(), Qt::Key_Return);
    QTest::mouseClick(window.btPasUrmator(), Qt::LeftButton);
    QTest::mouseClick(window.bitBtn3(), Qt::LeftButton);
    QCOMPARE(window.steps()->currentIndex(), 2);

    // A category, then a sub-category of it, typed into their grids.
    QVERIFY(!window.categoryGrid()->isEditable());
    QTest::mouseClick(window.categoryNavigator()->button(DbNavigator::Insert), Qt::LeftButton);
    QVERIFY(window.categoryGrid()->isEditable());
    QAbstractItemModel *categories = window.categoryGrid()->model();
    QVERIFY(categories->setData(categories->index(m.dm.adocategorii.recNo(), 0),
                                QStringLiteral("Papetarie")));
    QTest::mouseClick(window.categoryNavigator()->button(DbNavigator::Post), Qt::LeftButton);
    QVERIFY(!window.categoryGrid()->isEditable());
    const qint64 category =
        m.cnc()
            .scalar(QStringLiteral("select id from Categorii where Categorie='Papetarie' and "
                                   "id_firma=:f"),
                    {m.dm.companyId()})
            .toLongLong();
    QVERIFY(category > 0);
    QVERIFY(m.dm.adocategorii.locate(QStringLiteral("id"), category));
    QTest::mouseClick(window.subcategoryNavigator()->button(DbNavigator::Insert), Qt::LeftButton);
    QAbstractItemModel *subcategories = window.subcategoryGrid()->model();
    QVERIFY(subcategories->setData(subcategories->index(m.dm.adoSortim.recNo(), 0),
                                   QStringLiteral("Caiete")));
    QTest::mouseClick(window.subcategoryNavigator()->button(DbNavigator::Post), Qt::LeftButton);
    QVERIFY2(m.prompter.shown.isEmpty(), qPrintable(m.prompter.shown.join(u'\n')));
    QCOMPARE(m.cnc()
                 .scalar(QStringLiteral("select id_categorie from Sortimente where "
                                        "Categorie='Caiete'"))
                 .toLongLong(),
             category);
}

QTEST_MAIN(TestFactNoua)
#include "tst_factnoua.moc"
