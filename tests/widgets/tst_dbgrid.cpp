#include "db/dataset.h"
#include "db/dberror.h"
#include "support/scriptedprompter.h"
#include "support/testdb.h"
#include "widgets/dbgrid.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const QString partnersSql = QStringLiteral(
    "select id, NumeFirma, client, Sold, DataIn from Clienti where id_firma=7 order by id");

QList<DatasetColumn> partnerColumns()
{
    return {{QStringLiteral("NumeFirma"), QStringLiteral("Nume")},
            {QStringLiteral("client"), QStringLiteral("Client"), FieldFormat::Boolean},
            {QStringLiteral("Sold"), QStringLiteral("Sold"), FieldFormat::Money},
            {QStringLiteral("DataIn"), QStringLiteral("Data")}};
}

enum Column
{
    NameColumn,
    ClientColumn,
    BalanceColumn
};

QString cell(const DbGrid &grid, int row, int column)
{
    return grid.model()->index(row, column).data().toString();
}

int selectedRow(const DbGrid &grid)
{
    const QModelIndexList rows = grid.selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.first().row() : -1;
}

void clickCell(DbGrid &grid, int row, int column)
{
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                      grid.visualRect(grid.model()->index(row, column)).center());
}

void clickTitle(DbGrid &grid, int column)
{
    QHeaderView *header = grid.horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

// The open cell editor; closed ones linger hidden until deleted.
QLineEdit *openEditor(const DbGrid &grid)
{
    const QList<QLineEdit *> editors = grid.viewport()->findChildren<QLineEdit *>();
    for (QLineEdit *editor : editors) {
        if (editor->isVisible())
            return editor;
    }
    return nullptr;
}

// Types over the current cell's text in its editor and commits with Enter.
void typeInCell(DbGrid &grid, const QString &text)
{
    QTest::keyClick(&grid, Qt::Key_F2);
    const QPointer<QLineEdit> editor = openEditor(grid);
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!editor || !editor->isVisible()); // the view commits once back in the event loop
}

// Opens the grid's pop-up menu as a right click would.
QMenu *openMenu(DbGrid &grid)
{
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            grid.viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(grid.viewport(), &event);
    auto *menu = grid.findChild<QMenu *>();
    return menu && menu->isVisible() ? menu : nullptr;
}

} // namespace

class TestDbGrid : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void cellsUseRomanianFormats_data();
    void cellsUseRomanianFormats();
    void gridAndDatasetShareTheCurrentRow();
    void titleClicksSortAscendingThenDescending();
    void popupMenuSwitchesEditing();
    void inPlaceEditsReachTheDatabase();
    void refusedValueIsShown_data();
    void refusedValueIsShown();
    void refusedPostKeepsTheRow();
    void doubleClickGivesTheRow();
    void rowsFollowInsertAndDelete();
    void survivesCloseReopenAndDestruction();

private:
    qint64 addPartner(const QString &name, bool client, Money balance);
    QVariant stored(const QString &column, qint64 id);
    void showGrid(DbGrid &grid);

    std::unique_ptr<TestDb> m_db;
    std::unique_ptr<Dataset> m_ds;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    QList<qint64> m_ids;
};

void TestDbGrid::init()
{
    m_db = std::make_unique<TestDb>();
    m_prompter = std::make_unique<ScriptedPrompter>();
    m_ids = {addPartner(QStringLiteral("BETA"), true, Money::fromUnits(105000)),
             addPartner(QStringLiteral("ALFA"), false, Money::fromInt(3)),
             addPartner(QStringLiteral("GAMA"), true, Money::fromUnits(-2500))};
    m_ds = std::make_unique<Dataset>(m_db->connection(), partnersSql);
    m_ds->open();
}

void TestDbGrid::cleanup()
{
    m_ds.reset();
    m_db.reset();
}

qint64 TestDbGrid::addPartner(const QString &name, bool client, Money balance)
{
    return m_db->connection().insert(
        QStringLiteral("Clienti"),
        {QStringLiteral("id_firma"), QStringLiteral("NumeFirma"), QStringLiteral("client"),
         QStringLiteral("Sold"), QStringLiteral("DataIn")},
        {7, name, client, QVariant::fromValue(balance), QDate(2024, 3, 5)});
}

QVariant TestDbGrid::stored(const QString &column, qint64 id)
{
    return m_db->connection().scalar(
        QStringLiteral("select ") + column + QStringLiteral(" from Clienti where id=:id"), {id});
}

void TestDbGrid::showGrid(DbGrid &grid)
{
    grid.resize(700, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
}

void TestDbGrid::cellsUseRomanianFormats_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<FieldFormat>("format");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("check");

    const QVariant none;
    QTest::newRow("date at midnight")
        << "midnight" << FieldFormat::Auto << -1 << "05.03.2024" << none;
    QTest::newRow("date with a time")
        << "afternoon" << FieldFormat::Auto << -1 << "05.03.2024 14:30" << none;
    QTest::newRow("number") << "ratio" << FieldFormat::Auto << -1 << "1,5" << none;
    QTest::newRow("integer, no grouping") << "big" << FieldFormat::Auto << -1 << "1234567" << none;
    QTest::newRow("amount, half rounds up")
        << "amount" << FieldFormat::Money << -1 << "12,35" << none;
    QTest::newRow("amount, 3 decimals") << "amount" << FieldFormat::Money << 3 << "12,345" << none;
    QTest::newRow("whole amount") << "whole" << FieldFormat::Money << -1 << "7,00" << none;
    QTest::newRow("negative amount") << "owed" << FieldFormat::Money << -1 << "-0,25" << none;
    QTest::newRow("null amount") << "unset" << FieldFormat::Money << -1 << "" << none;
    QTest::newRow("flag set") << "flagged" << FieldFormat::Boolean << -1 << ""
                              << QVariant(int(Qt::Checked));
    QTest::newRow("flag clear") << "unflagged" << FieldFormat::Boolean << -1 << ""
                                << QVariant(int(Qt::Unchecked));
    QTest::newRow("text") << "name" << FieldFormat::Auto << -1 << "Alfa SRL" << none;
}

void TestDbGrid::cellsUseRomanianFormats()
{
    QFETCH(QString, field);
    QFETCH(FieldFormat, format);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QFETCH(QVariant, check);

    Dataset ds(m_db->connection(),
               QStringLiteral(
                   "select '2024-03-05 00:00:00' as midnight, '2024-03-05 14:30:00' as afternoon, "
                   "1.5 as ratio, 1234567 as big, 12.345 as amount, 7 as whole, -0.25 as owed, "
                   "null as unset, 1 as flagged, 0 as unflagged, 'Alfa SRL' as name"));
    ds.open();
    DbGrid grid(ds, *m_prompter, {{field, field, format, decimals}});
    const QModelIndex index = grid.model()->index(0, 0);
    QCOMPARE(index.data().toString(), text);
    QCOMPARE(index.data(Qt::CheckStateRole), check);
}

void TestDbGrid::gridAndDatasetShareTheCurrentRow()
{
    DbGrid grid(*m_ds, *m_prompter, partnerColumns());
    showGrid(grid);
    int scrolls = 0;
    m_ds->afterScroll = [&](Dataset &) { ++scrolls; };
    QCOMPARE(selectedRow(grid), 0);

    clickCell(grid, 2, NameColumn);
    QCOMPARE(m_ds->recNo(), 2);
    QCOMPARE(scrolls, 1);
    QTest::keyClick(&grid, Qt::Key_Up);
    QCOMPARE(m_ds->asString(QStringLiteral("NumeFirma")), QStringLiteral("ALFA"));
    QCOMPARE(scrolls, 2);

    m_ds->first();
    QCOMPARE(selectedRow(grid), 0);
    QCOMPARE(grid.currentIndex().row(), 0);
    m_ds->locate(QStringLiteral("NumeFirma"), QStringLiteral("GAMA"));
    QCOMPARE(selectedRow(grid), 2);
    QCOMPARE(scrolls, 4); // the code moves fired it once each, the grid added none
}

void TestDbGrid::titleClicksSortAscendingThenDescending()
{
    DbGrid grid(*m_ds, *m_prompter, partnerColumns());
    showGrid(grid);
    const auto names = [&] {
        QStringList out;
        for (int row = 0; row < grid.model()->rowCount(); ++row)
            out << cell(grid, row, NameColumn);
        return out.join(u' ');
    };

    clickTitle(grid, NameColumn);
    QCOMPARE(names(), QStringLiteral("ALFA BETA GAMA"));
    QCOMPARE(cell(grid, selectedRow(grid), NameColumn), QStringLiteral("BETA")); // still on its row
    clickTitle(grid, NameColumn);
    QCOMPARE(names(), QStringLiteral("GAMA BETA ALFA"));
    clickTitle(grid, BalanceColumn);
    QCOMPARE(names(), QStringLiteral("GAMA ALFA BETA"));
    QVERIFY(m_prompter->shown.isEmpty());
}

void TestDbGrid::popupMenuSwitchesEditing()
{
    DbGrid grid(*m_ds, *m_prompter, partnerColumns());
    showGrid(grid);

    QMenu *menu = openMenu(grid);
    QVERIFY(menu);
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions().first()->text(), QStringLiteral("Permite modificari in tabel"));
    QTest::keyClick(&grid, Qt::Key_F2);
    QVERIFY(!openEditor(grid)); // read-only: no editor

    menu->actions().first()->trigger();
    menu->hide();
    QVERIFY(grid.isEditable());
    QTest::keyClick(&grid, Qt::Key_F2);
    QVERIFY(openEditor(grid));
    QTest::keyClick(openEditor(grid), Qt::Key_Escape);

    menu = openMenu(grid);
    QVERIFY(menu);
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions().first()->text(), QStringLiteral("Nu permite modificari in tabel"));
    menu->actions().first()->trigger();
    QVERIFY(!grid.isEditable());
    QVERIFY(!(grid.model()->index(0, NameColumn).flags() & Qt::ItemIsEditable));
}

void TestDbGrid::inPlaceEditsReachTheDatabase()
{
    DbGrid grid(*m_ds, *m_prompter, partnerColumns());
    showGrid(grid);
    grid.setEditable(true);

    clickCell(grid, 0, NameColumn);
    typeInCell(grid, QStringLiteral("BETA"));
    QVERIFY(!m_ds->isEditing()); // the same text is no change
    typeInCell(grid, QStringLiteral("DELTA"));
    QCOMPARE(cell(grid, 0, NameColumn), QStringLiteral("DELTA"));
    QVERIFY(m_ds->isEditing());
    QCOMPARE(stored(QStringLiteral("NumeFirma"), m_ids[0]).toString(), QStringLiteral("BETA"));
    QTest::keyClick(&grid, Qt::Key_Down); // leaving the row posts it
    QVERIFY(!m_ds->isEditing());
    QCOMPARE(stored(QStringLiteral("NumeFirma"), m_ids[0]).toString(), QStringLiteral("DELTA"));

    // Row 1: an amount typed with a comma, then the flag with Space; Enter posts.
    QTest::keyClick(&grid, Qt::Key_Right);
    QTest::keyClick(&grid, Qt::Key_Right);
    QCOMPARE(grid.currentIndex().column(), int(BalanceColumn));
    typeInCell(grid, QStringLiteral("1234,5"));
    QCOMPARE(cell(grid, 1, BalanceColumn), QStringLiteral("1234,50"));
    QTest::keyClick(&grid, Qt::Key_Left);
    QTest::keyClick(&grid, Qt::Key_Space);
    QCOMPARE(grid.model()->index(1, ClientColumn).data(Qt::CheckStateRole).toInt(),
             int(Qt::Checked));
    QTest::keyClick(&grid, Qt::Key_Return);
    QVERIFY(!m_ds->isEditing());
    QCOMPARE(m_ds->recNo(), 1);
    QCOMPARE(stored(QStringLiteral("Sold"), m_ids[1]).toDouble(), 1234.5);
    QCOMPARE(stored(QStringLiteral("client"), m_ids[1]).toInt(), 1);
    QVERIFY(m_prompter->shown.isEmpty());
}

void TestDbGrid::refusedValueIsShown_data()
{
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("database error")
        << false
        << QStringList{QStringLiteral(
               "error: EDatabaseError error raised, with message : Nume prea scurt")};
    QTest::newRow("silent abort") << true << QStringList();
}

void TestDbGrid::refusedValueIsShown()
{
    QFETCH(bool, silent);
    QFETCH(QStringList, shown);
    m_ds->setFieldValidator(QStringLiteral("NumeFirma"), [silent](Dataset &ds) {
        if (ds.asString(QStringLiteral("NumeFirma")).size() < 3) {
            if (silent)
                throw SilentAbort();
            throw DbError::database(QStringLiteral("Nume prea scurt"));
        }
    });
    DbGrid grid(*m_ds, *m_prompter, partnerColumns());
    showGrid(grid);
    grid.setEditable(true);

    clickCell(grid, 0, NameColumn);
    typeInCell(grid, QStringLiteral("AB"));
    QCOMPARE(m_prompter->shown, shown);
    QCOMPARE(cell(grid, 0, NameColumn), QStringLiteral("BETA"));
    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(stored(QStringLiteral("NumeFirma"), m_ids[0]).toString(), QStringLiteral("BETA"));
}

void TestDbGrid::refusedPostKeepsTheRow()
{
    m_ds->beforePost = [](Dataset &) {
        throw DbError::database(QStringLiteral("Completati codul fiscal"));
    };
    DbGrid grid(*m_ds, *m_prompter, partnerColumns());
    showGrid(grid);
    grid.setEditable(true);

    clickCell(grid, 0, NameColumn);
    typeInCell(grid, QStringLiteral("DELTA"));
    clickCell(grid, 2, NameColumn);
    QCOMPARE(m_prompter->shown,
             QStringList{QStringLiteral(
                 "error: EDatabaseError error raised, with message : Completati codul fiscal")});
    QCOMPARE(m_ds->recNo(), 0);
    QVERIFY(m_ds->isEditing());
    QTRY_COMPARE(selectedRow(grid), 0);
    QCOMPARE(grid.currentIndex().row(), 0);
    QCOMPARE(stored(QStringLiteral("NumeFirma"), m_ids[0]).toString(), QStringLiteral("BETA"));
}

void TestDbGrid::doubleClickGivesTheRow()
{
    DbGrid grid(*m_ds, *m_prompter, partnerColumns());
    showGrid(grid);
    QSignalSpy spy(&grid, &DbGrid::rowDoubleClicked);
    // A real double click arrives as a click followed by the double-click event.
    const QPoint at = grid.visualRect(grid.model()->index(1, NameColumn)).center();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.first().first().toInt(), 1);
    QCOMPARE(m_ds->recNo(), 1);
}

void TestDbGrid::rowsFollowInsertAndDelete()
{
    DbGrid grid(*m_ds, *m_prompter, partnerColumns());
    showGrid(grid);
    QAbstractItemModelTester tester(grid.model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    int scrolls = 0;
    m_ds->afterScroll = [&](Dataset &) { ++scrolls; };

    m_ds->append();
    QCOMPARE(grid.model()->rowCount(), 4);
    QCOMPARE(selectedRow(grid), 3);
    m_ds->setValue(QStringLiteral("NumeFirma"), QStringLiteral("ZETA"));
    m_ds->post();
    QCOMPARE(cell(grid, 3, NameColumn), QStringLiteral("ZETA"));

    m_ds->moveTo(1);
    m_ds->remove();
    QCOMPARE(grid.model()->rowCount(), 3);
    QCOMPARE(cell(grid, 1, NameColumn), QStringLiteral("GAMA"));
    QCOMPARE(selectedRow(grid), m_ds->recNo());

    m_ds->insert(); // before the current row
    QCOMPARE(selectedRow(grid), 1);
    QCOMPARE(cell(grid, 1, NameColumn), QString());
    QCOMPARE(cell(grid, 2, NameColumn), QStringLiteral("GAMA"));
    m_ds->cancel();
    QCOMPARE(grid.model()->rowCount(), 3);
    QCOMPARE(cell(grid, 1, NameColumn), QStringLiteral("GAMA"));
    QCOMPARE(selectedRow(grid), m_ds->recNo());
    QCOMPARE(scrolls, 5); // the dataset's own moves; the grid adds none
}

void TestDbGrid::survivesCloseReopenAndDestruction()
{
    auto *ds = new Dataset(m_db->connection(),
                           QStringLiteral("select id, NumeFirma from Clienti where id_firma=7"));
    ds->open();
    DbGrid grid(*ds, *m_prompter);
    showGrid(grid);
    QCOMPARE(grid.model()->columnCount(), 2);
    QCOMPARE(grid.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("NumeFirma"));
    QCOMPARE(grid.model()->rowCount(), 3);

    ds->close();
    QCOMPARE(grid.model()->rowCount(), 0);
    QCOMPARE(selectedRow(grid), -1);

    ds->setSql(QStringLiteral(
        "select NumeFirma, Sold, client from Clienti where id_firma=7 order by NumeFirma desc"));
    ds->open();
    ds->last();
    QCOMPARE(grid.model()->columnCount(), 3);
    QCOMPARE(grid.model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("client"));
    QCOMPARE(cell(grid, selectedRow(grid), 0), QStringLiteral("ALFA"));

    delete ds;
    QCOMPARE(grid.model()->rowCount(), 0);
    QCOMPARE(grid.model()->columnCount(), 0);
    QTest::keyClick(&grid, Qt::Key_Down);
    QVERIFY(openMenu(grid));
    QVERIFY(m_prompter->shown.isEmpty());
}

QTEST_MAIN(TestDbGrid)
#include "tst_dbgrid.moc"
