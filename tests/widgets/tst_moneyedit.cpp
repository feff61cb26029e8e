#include "db/dataset.h"
#include "support/scriptedprompter.h"
#include "support/testdb.h"
#include "widgets/moneyedit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

namespace {

const QString refused = QStringLiteral("info: Folositi doar cifre");

} // namespace

class TestMoneyEdit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typedKeys_data();
    void typedKeys();
    void pasteIsHeldToAnAmount_data();
    void pasteIsHeldToAnAmount();
    void valueReadsTheDecimalComma_data();
    void valueReadsTheDecimalComma();
    void setValueShowsTheDecimalComma();
    void boundBoxWritesTheAmount();
};

void TestMoneyEdit::typedKeys_data()
{
    QTest::addColumn<bool>("negative");
    QTest::addColumn<bool>("withPrompter");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("digits and comma") << false << true << "1250,75"
                                      << "1250,75" << QStringList();
    QTest::newRow("point becomes comma") << false << true << "12.5"
                                         << "12,5" << QStringList();
    QTest::newRow("second separator") << false << true << "1,2.3"
                                      << "1,23" << QStringList();
    QTest::newRow("letter") << false << true << "1a2"
                            << "12" << QStringList{refused};
    QTest::newRow("space and plus") << false << true << "1 +2"
                                    << "12" << QStringList{refused, refused};
    QTest::newRow("minus not allowed") << false << true << "-5"
                                       << "5" << QStringList{refused};
    QTest::newRow("leading minus") << true << true << "-5,5"
                                   << "-5,5" << QStringList();
    QTest::newRow("minus after a digit") << true << true << "5-"
                                         << "5" << QStringList();
    QTest::newRow("no prompter") << false << false << "7x"
                                 << "7" << QStringList();
}

void TestMoneyEdit::typedKeys()
{
    QFETCH(bool, negative);
    QFETCH(bool, withPrompter);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(QStringList, shown);
    ScriptedPrompter prompter;
    MoneyEdit edit;
    edit.setAllowNegative(negative);
    if (withPrompter)
        edit.setPrompter(prompter);
    QTest::keyClicks(&edit, keys);
    QCOMPARE(edit.text(), text);
    QCOMPARE(prompter.shown, shown);

    // Editing keys keep working.
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(edit.text(), text.chopped(1));
}

void TestMoneyEdit::pasteIsHeldToAnAmount_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("text");
    QTest::newRow("amount with a point") << "1234.56"
                                         << "1234,56";
    QTest::newRow("text") << "doi lei"
                          << "";
}

void TestMoneyEdit::pasteIsHeldToAnAmount()
{
    QFETCH(QString, clipboard);
    QFETCH(QString, text);
    MoneyEdit edit;
    QGuiApplication::clipboard()->setText(clipboard);
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit.text(), text);
}

void TestMoneyEdit::valueReadsTheDecimalComma_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("hasValue");
    QTest::addColumn<qint64>("units");
    QTest::newRow("decimal comma") << "12,5" << true << qint64(125000);
    QTest::newRow("negative") << "-0,01" << true << qint64(-100);
    QTest::newRow("whole") << "7" << true << qint64(70000);
    QTest::newRow("trailing comma") << "3," << true << qint64(30000);
    QTest::newRow("empty") << "" << false << qint64(0);
    QTest::newRow("comma alone") << "," << false << qint64(0);
    QTest::newRow("minus alone") << "-" << false << qint64(0);
}

void TestMoneyEdit::valueReadsTheDecimalComma()
{
    QFETCH(QString, text);
    QFETCH(bool, hasValue);
    QFETCH(qint64, units);
    MoneyEdit edit;
    edit.setAllowNegative(true);
    QTest::keyClicks(&edit, text);
    QCOMPARE(edit.text(), text);
    const std::optional<Money> value = edit.value();
    QCOMPARE(value.has_value(), hasValue);
    if (hasValue)
        QCOMPARE(value->units(), units);
}

void TestMoneyEdit::setValueShowsTheDecimalComma()
{
    MoneyEdit edit;
    edit.setValue(*Money::parse(QStringLiteral("1234.5")));
    QCOMPARE(edit.text(), QStringLiteral("1234,50"));
    edit.setValue(*Money::parse(QStringLiteral("-2.675")), 2);
    QCOMPARE(edit.text(), QStringLiteral("-2,68"));
    edit.setValue(*Money::parse(QStringLiteral("0.5")), 0);
    QCOMPARE(edit.text(), QStringLiteral("1"));
}

void TestMoneyEdit::boundBoxWritesTheAmount()
{
    TestDb db;
    Connection &c = db.connection();
    const qint64 id =
        c.insert(QStringLiteral("Incasari"), {QStringLiteral("id_firma"), QStringLiteral("Suma")},
                 {7, QVariant::fromValue(*Money::parse(QStringLiteral("12.345")))});
    Dataset ds(c, QStringLiteral("select * from Incasari where id_firma=7"));
    ds.open();
    ScriptedPrompter prompter;
    MoneyEdit edit;
    edit.bind(ds, QStringLiteral("Suma"), prompter, 2);
    QCOMPARE(edit.text(), QStringLiteral("12,35"));

    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&edit, QStringLiteral("99.9q"));
    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(prompter.shown, QStringList{refused});
    QVERIFY(ds.isEditing());
    QCOMPARE(ds.asMoney(QStringLiteral("Suma")).units(), 999000);
    QCOMPARE(edit.text(), QStringLiteral("99,90"));
    ds.post();
    QCOMPARE(c.scalar(QStringLiteral("select Suma from Incasari where id=:id"), {id}).toDouble(),
             99.9);

    ds.close();
    QVERIFY(!edit.isEnabled());
    QCOMPARE(edit.text(), QString());
}

QTEST_MAIN(TestMoneyEdit)
#include "tst_moneyedit.moc"
