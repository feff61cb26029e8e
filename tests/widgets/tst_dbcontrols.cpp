#include "data/util.h"
#include "db/dataset.h"
#include "db/dberror.h"
#include "support/scriptedprompter.h"
#include "support/testdb.h"
#include "widgets/dbcontrols.h"
#include "widgets/dblookupcombo.h"
#include "widgets/dbnavigator.h"
#include "widgets/picklistcombo.h"

#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

namespace {

const QString partnersSql = QStringLiteral(
    "select id, NumeFirma, client, DataIn, Comentariu from Clienti where id_firma=7 order by id");

// The controls of a partner form, in one window.
struct PartnerForm
{
    PartnerForm(Dataset &ds, Prompter &prompter)
        : name(new DbEdit(ds, QStringLiteral("NumeFirma"), prompter, &window)),
          client(new DbCheckBox(ds, QStringLiteral("client"), prompter, QStringLiteral("Client"),
                                &window)),
          date(new DbDateEdit(ds, QStringLiteral("DataIn"), prompter, &window)),
          note(new DbMemo(ds, QStringLiteral("Comentariu"), prompter, &window)),
          navigator(new DbNavigator(ds, prompter, &window))
    {
        auto *layout = new QVBoxLayout(&window);
        for (QWidget *w : {static_cast<QWidget *>(name), static_cast<QWidget *>(client),
                           static_cast<QWidget *>(date), static_cast<QWidget *>(note),
                           static_cast<QWidget *>(navigator)})
            layout->addWidget(w);
    }

    bool show()
    {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }

    QWidget window;
    DbEdit *name;
    DbCheckBox *client;
    DbDateEdit *date;
    DbMemo *note;
    DbNavigator *navigator;
};

// The enabled buttons of a navigator, by name, in their order.
QString enabledButtons(const DbNavigator &navigator)
{
    static const std::pair<DbNavigator::Button, const char *> names[] = {
        {DbNavigator::First, "first"},   {DbNavigator::Prior, "prior"},
        {DbNavigator::Next, "next"},     {DbNavigator::Last, "last"},
        {DbNavigator::Insert, "insert"}, {DbNavigator::Delete, "delete"},
        {DbNavigator::Edit, "edit"},     {DbNavigator::Post, "post"},
        {DbNavigator::Cancel, "cancel"}, {DbNavigator::Refresh, "refresh"}};
    QStringList out;
    for (const auto &[button, name] : names) {
        if (navigator.button(button)->isEnabled())
            out << QString::fromLatin1(name);
    }
    return out.join(u' ');
}

} // namespace

class TestDbControls : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void controlsShowTheCurrentRow_data();
    void controlsShowTheCurrentRow();
    void userChangesAreWrittenAndPosted();
    void refusedWriteIsShownAndUndone_data();
    void refusedWriteIsShownAndUndone();
    void controlsSurviveCloseReopenAndDestruction();
    void lookupShowsAndWritesTheKey();
    void pickListKeepsTheObjects();
    void navigatorEnablesButtonsByState_data();
    void navigatorEnablesButtonsByState();
    void navigatorButtonsDriveTheDataset();
    void navigatorDeleteAsksFirst_data();
    void navigatorDeleteAsksFirst();

private:
    qint64 addPartner(const QString &name, bool client, const QVariant &date, const QString &note);
    QVariant stored(const QString &column, qint64 id);

    std::unique_ptr<TestDb> m_db;
    std::unique_ptr<Dataset> m_ds;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    QList<qint64> m_ids;
};

void TestDbControls::init()
{
    m_db = std::make_unique<TestDb>();
    m_prompter = std::make_unique<ScriptedPrompter>();
    m_ids = {
        addPartner(QStringLiteral("ALFA"), true, QDateTime(QDate(2024, 3, 5), QTime(9, 15)),
                   QStringLiteral("prima")),
        addPartner(QStringLiteral("BETA"), false, QVariant(), QString()),
        addPartner(QStringLiteral("GAMA"), true, QDate(2023, 12, 31), QStringLiteral("a treia"))};
    m_ds = std::make_unique<Dataset>(m_db->connection(), partnersSql);
    m_ds->open();
}

void TestDbControls::cleanup()
{
    m_ds.reset();
    m_db.reset();
}

qint64 TestDbControls::addPartner(const QString &name, bool client, const QVariant &date,
                                  const QString &note)
{
    return m_db->connection().insert(QStringLiteral("Clienti"),
                                     {QStringLiteral("id_firma"), QStringLiteral("NumeFirma"),
                                      QStringLiteral("client"), QStringLiteral("DataIn"),
                                      QStringLiteral("Comentariu")},
                                     {7, name, client, date, note});
}

QVariant TestDbControls::stored(const QString &column, qint64 id)
{
    return m_db->connection().scalar(
        QStringLiteral("select ") + column + QStringLiteral(" from Clienti where id=:id"), {id});
}

void TestDbControls::controlsShowTheCurrentRow_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("client");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("note");
    QTest::newRow("first") << 0 << "ALFA" << true << "05.03.2024"
                           << "prima";
    QTest::newRow("null date and note") << 1 << "BETA" << false << " "
                                        << "";
    QTest::newRow("last") << 2 << "GAMA" << true << "31.12.2023"
                          << "a treia";
}

void TestDbControls::controlsShowTheCurrentRow()
{
    QFETCH(int, row);
    QFETCH(QString, name);
    QFETCH(bool, client);
    QFETCH(QString, date);
    QFETCH(QString, note);
    PartnerForm form(*m_ds, *m_prompter);
    m_ds->last(); // so that every row is reached by a move
    m_ds->moveTo(row);
    QCOMPARE(form.name->text(), name);
    QCOMPARE(form.client->isChecked(), client);
    QCOMPARE(form.date->text(), date);
    QCOMPARE(form.note->toPlainText(), note);
    QVERIFY(!m_ds->isEditing());
}

void TestDbControls::userChangesAreWrittenAndPosted()
{
    PartnerForm form(*m_ds, *m_prompter);
    QVERIFY(form.show());

    // Each control writes as the user leaves it; the post button takes the
    // focus, so the text still being typed is written before the post.
    QTest::mouseClick(form.name, Qt::LeftButton);
    QTest::keyClick(form.name, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(form.name, QStringLiteral("OMEGA"));
    QVERIFY(!m_ds->isEditing());
    QTest::mouseClick(form.client, Qt::LeftButton, {}, QPoint(8, form.client->height() / 2));
    QVERIFY(m_ds->isEditing());
    QCOMPARE(m_ds->asString(QStringLiteral("NumeFirma")), QStringLiteral("OMEGA"));
    QCOMPARE(m_ds->asBoolean(QStringLiteral("client")), false);
    form.date->setFocus();
    form.date->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClick(form.date, Qt::Key_Up);
    QCOMPARE(m_ds->asDateTime(QStringLiteral("DataIn")),
             QDateTime(QDate(2024, 3, 6), QTime(9, 15)));
    QTest::mouseClick(form.note->viewport(), Qt::LeftButton);
    QTest::keyClick(form.note, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(form.note, QStringLiteral(" noua"));
    QVERIFY(form.navigator->button(DbNavigator::Post)->isEnabled());
    QTest::mouseClick(form.navigator->button(DbNavigator::Post), Qt::LeftButton);

    QVERIFY(!m_ds->isEditing());
    QCOMPARE(stored(QStringLiteral("NumeFirma"), m_ids[0]).toString(), QStringLiteral("OMEGA"));
    QCOMPARE(stored(QStringLiteral("client"), m_ids[0]).toInt(), 0);
    QCOMPARE(stored(QStringLiteral("DataIn"), m_ids[0]).toString(),
             QStringLiteral("2024-03-06 09:15:00"));
    QCOMPARE(stored(QStringLiteral("Comentariu"), m_ids[0]).toString(),
             QStringLiteral("prima noua"));
    QVERIFY(m_prompter->shown.isEmpty());
}

void TestDbControls::refusedWriteIsShownAndUndone_data()
{
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("database error")
        << false
        << QStringList{QStringLiteral(
               "error: EDatabaseError error raised, with message : Nume prea scurt")};
    QTest::newRow("silent abort") << true << QStringList();
}

void TestDbControls::refusedWriteIsShownAndUndone()
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
    PartnerForm form(*m_ds, *m_prompter);
    QTest::keyClick(form.name, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(form.name, QStringLiteral("AB"));
    QTest::keyClick(form.name, Qt::Key_Return);
    QCOMPARE(m_prompter->shown, shown);
    QCOMPARE(form.name->text(), QStringLiteral("ALFA"));
    QCOMPARE(m_ds->asString(QStringLiteral("NumeFirma")), QStringLiteral("ALFA"));
}

void TestDbControls::controlsSurviveCloseReopenAndDestruction()
{
    auto *ds = new Dataset(m_db->connection(), partnersSql);
    ds->open();
    PartnerForm form(*ds, *m_prompter);
    QVERIFY(form.name->isEnabled());

    ds->close();
    QCOMPARE(form.name->text(), QString());
    QVERIFY(!form.name->isEnabled());
    QVERIFY(!form.client->isEnabled());
    QVERIFY(!form.date->isEnabled());
    QVERIFY(!form.note->isEnabled());
    QCOMPARE(enabledButtons(*form.navigator), QString());

    // Reopened without the name column; the flag is still there.
    ds->setSql(QStringLiteral("select id, client from Clienti where id_firma=7 order by id desc"));
    ds->open();
    QVERIFY(!form.name->isEnabled());
    QVERIFY(form.client->isEnabled());
    QVERIFY(form.client->isChecked());
    ds->next();
    QVERIFY(!form.client->isChecked());

    delete ds;
    QVERIFY(!form.client->isEnabled());
    QCOMPARE(enabledButtons(*form.navigator), QString());
    QVERIFY(m_prompter->shown.isEmpty());
}

void TestDbControls::lookupShowsAndWritesTheKey()
{
    Connection &c = m_db->connection();
    const qint64 eur =
        c.scalar(QStringLiteral("select ID from Monede where CodIso='EUR'")).toLongLong();
    const qint64 usd =
        c.scalar(QStringLiteral("select ID from Monede where CodIso='USD'")).toLongLong();
    for (qint64 currency : {eur, usd})
        c.insert(QStringLiteral("SeriiActe"),
                 {QStringLiteral("id_firma"), QStringLiteral("id_moneda")}, {7, currency});
    Dataset points(c, QStringLiteral("select * from SeriiActe where id_firma=7 order by id"));
    points.open();
    Dataset currencies(c, QStringLiteral("select ID, CodIso from Monede order by Ordine"));
    currencies.open();
    DbLookupCombo combo(points, QStringLiteral("id_moneda"), currencies, QStringLiteral("ID"),
                        QStringLiteral("CodIso"), *m_prompter);

    QCOMPARE(combo.count(), 3);
    QCOMPARE(combo.currentText(), QStringLiteral("EUR"));
    points.next();
    QCOMPARE(combo.currentText(), QStringLiteral("USD"));

    QTest::keyClick(&combo, Qt::Key_Up);
    QCOMPARE(combo.currentText(), QStringLiteral("EUR"));
    QVERIFY(points.isEditing());
    QCOMPARE(points.asInteger(QStringLiteral("id_moneda")), eur);
    points.post();
    QCOMPARE(
        c.scalar(QStringLiteral("select count(*) from SeriiActe where id_firma=7 and id_moneda=:m"),
                 {eur})
            .toInt(),
        2);

    currencies.close();
    QCOMPARE(combo.count(), 0);
    currencies.open();
    QCOMPARE(combo.currentText(), QStringLiteral("EUR"));
}

void TestDbControls::pickListKeepsTheObjects()
{
    ScriptedPrompter prompter;
    Dataset methods(m_db->connection(),
                    QStringLiteral("select Denumire, Valoare from Metodedeplata order by Valoare"));
    PickListCombo combo;
    combo.setItems(
        fillPickList(methods, QStringLiteral("Denumire"), QStringLiteral("Valoare"), prompter));
    QCOMPARE(combo.count(), 6);
    QCOMPARE(combo.currentText(), QStringLiteral("Chitanta"));
    const qint64 op =
        m_db->connection()
            .scalar(QStringLiteral("select Valoare from Metodedeplata where Denumire='OP'"))
            .toLongLong();
    QVERIFY(combo.selectObject(op));
    QCOMPARE(combo.currentText(), QStringLiteral("OP"));
    QCOMPARE(combo.currentObject().value_or(-1), op);
    QVERIFY(!combo.selectObject(-5));
    QCOMPARE(combo.currentText(), QStringLiteral("OP"));

    combo.setItems({{QStringLiteral("(fara)"), std::nullopt}});
    QVERIFY(!combo.currentObject());
}

void TestDbControls::navigatorEnablesButtonsByState_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("enabled");
    QTest::newRow("closed") << "closed"
                            << "";
    QTest::newRow("empty") << "empty"
                           << "insert refresh";
    QTest::newRow("first row") << "first"
                               << "next last insert delete edit refresh";
    QTest::newRow("middle row") << "middle"
                                << "first prior next last insert delete edit refresh";
    QTest::newRow("last row") << "last"
                              << "first prior insert delete edit refresh";
    QTest::newRow("editing") << "editing"
                             << "first prior next last insert delete post cancel";
    QTest::newRow("inserting") << "inserting"
                               << "first prior insert delete post cancel";
}

void TestDbControls::navigatorEnablesButtonsByState()
{
    QFETCH(QString, situation);
    QFETCH(QString, enabled);
    DbNavigator navigator(*m_ds, *m_prompter);
    if (situation == QLatin1String("closed")) {
        m_ds->close();
    } else if (situation == QLatin1String("empty")) {
        m_ds->setFilter(QStringLiteral("NumeFirma='nimeni'"));
        m_ds->setFiltered(true);
    } else if (situation == QLatin1String("middle")) {
        m_ds->next();
    } else if (situation == QLatin1String("last")) {
        m_ds->last();
    } else if (situation == QLatin1String("editing")) {
        m_ds->next();
        m_ds->edit();
    } else if (situation == QLatin1String("inserting")) {
        m_ds->append();
    }
    QCOMPARE(enabledButtons(navigator), enabled);
}

void TestDbControls::navigatorButtonsDriveTheDataset()
{
    PartnerForm form(*m_ds, *m_prompter);
    QVERIFY(form.show());
    const auto click = [&](DbNavigator::Button b) {
        QTest::mouseClick(form.navigator->button(b), Qt::LeftButton);
    };

    click(DbNavigator::Last);
    QCOMPARE(form.name->text(), QStringLiteral("GAMA"));
    click(DbNavigator::Prior);
    QCOMPARE(form.name->text(), QStringLiteral("BETA"));
    click(DbNavigator::First);
    click(DbNavigator::Next);
    QCOMPARE(m_ds->recNo(), 1);

    click(DbNavigator::Edit);
    QVERIFY(m_ds->isEditing());
    QTest::keyClicks(form.name, QStringLiteral("X"));
    QTest::keyClick(form.name, Qt::Key_Return);
    click(DbNavigator::Cancel);
    QCOMPARE(form.name->text(), QStringLiteral("BETA"));

    click(DbNavigator::Insert);
    QCOMPARE(m_ds->state(), Dataset::State::Insert);
    QCOMPARE(m_ds->recNo(), 3);
    QCOMPARE(form.name->text(), QString());
    click(DbNavigator::Cancel);
    QCOMPARE(m_ds->recordCount(), 3);

    // Refresh reads the row again and stays on it.
    m_ds->moveTo(1);
    m_db->connection().exec(QStringLiteral("update Clienti set NumeFirma='BETA NOU' where id=:id"),
                            {m_ids[1]});
    click(DbNavigator::Refresh);
    QCOMPARE(m_ds->recNo(), 1);
    QCOMPARE(form.name->text(), QStringLiteral("BETA NOU"));

    form.navigator->setVisibleButtons(DbNavigator::First | DbNavigator::Next);
    QVERIFY(!form.navigator->button(DbNavigator::Next)->isHidden());
    QVERIFY(form.navigator->button(DbNavigator::Delete)->isHidden());
    QVERIFY(m_prompter->shown.isEmpty());
}

void TestDbControls::navigatorDeleteAsksFirst_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("left");
    QTest::newRow("no") << false << 3;
    QTest::newRow("yes") << true << 2;
}

void TestDbControls::navigatorDeleteAsksFirst()
{
    QFETCH(bool, answer);
    QFETCH(int, left);
    DbNavigator navigator(*m_ds, *m_prompter);
    navigator.show();
    QVERIFY(QTest::qWaitForWindowExposed(&navigator));
    m_ds->moveTo(1);
    m_prompter->answers.enqueue(answer);
    QTest::mouseClick(navigator.button(DbNavigator::Delete), Qt::LeftButton);
    QCOMPARE(m_prompter->shown,
             QStringList{QStringLiteral("question: Stergeti inregistrarea curenta?")});
    QCOMPARE(m_db->connection()
                 .scalar(QStringLiteral("select count(*) from Clienti where id_firma=7"))
                 .toInt(),
             left);
    QCOMPARE(m_ds->recordCount(), left);
    QCOMPARE(stored(QStringLiteral("count(*)"), m_ids[1]).toInt(), answer ? 0 : 1);
}

QTEST_MAIN(TestDbControls)
#include "tst_dbcontrols.moc"
