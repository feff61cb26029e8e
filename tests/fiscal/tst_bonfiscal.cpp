#include "fiscal/bonfiscal.h"
#include "support/modules.h"
#include "widgets/moneyedit.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr qint64 document = 77;

void addLine(Modules &m, const QString &name, const QString &unit, double quantity,
             const char *total)
{
    m.cnc().insert(QStringLiteral("ProdCumparate"),
                   {QStringLiteral("id_fact"), QStringLiteral("Denumire"), QStringLiteral("UM"),
                    QStringLiteral("Cnt"), QStringLiteral("TotaloutMM")},
                   {document, name, unit, quantity,
                    QVariant::fromValue(*Money::parse(QString::fromLatin1(total)))});
}

// The document's lines in the main line list and the work point's receipt path.
QString prepare(Modules &m, const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("bon.inp"));
    m.cnc().exec(QStringLiteral("update SeriiActe set CaleFPRINT=:p where id=:id"),
                 {path, m.state.currentWorkPointId});
    addLine(m, QStringLiteral("Cafea boabe"), QStringLiteral("kg"), 0.5, "40");
    addLine(m, QStringLiteral("Discount"), QStringLiteral("%"), -10, "-4");
    m.dm.adoPrCump.close();
    m.dm.adoPrCump.setParams({document});
    m.dm.adoPrCump.open();
    return path;
}

void retype(MoneyEdit *edit, const QString &text)
{
    edit->clear();
    QTest::keyClicks(edit, text);
}

} // namespace

class TestBonFiscal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splitPaymentWritesTheFile();
    void amountsThatDoNotAddUpWriteNothing();
};

void TestBonFiscal::splitPaymentWritesTheFile()
{
    Modules m;
    QTemporaryDir dir;
    const QString path = prepare(m, dir);
    TfrmBonFiscal window(m.dm, m.dm.adoPrCump, m.prompter);
    window.show();
    QCOMPARE(window.total(), Money::fromInt(36));
    QCOMPARE(window.edCash()->text(), QStringLiteral("36,00"));
    QCOMPARE(window.edCard()->text(), QStringLiteral("0"));
    QCOMPARE(window.edCEC()->text(), QStringLiteral("0"));

    retype(window.edCash(), QStringLiteral("20.5"));
    retype(window.edCard(), QStringLiteral("15,5"));
    m.prompter.answers << true;
    QTest::mouseClick(window.btEmiteBon(), Qt::LeftButton);
    QCOMPARE(
        m.prompter.shown,
        (QStringList{
            QStringLiteral("question: Scoateti BF cu suma totala de: 36 RON din care CASH=20,50,  "
                           "CARD=15,50,  CEC/tichete=0,00 ?"),
            QStringLiteral("info: Fisier creat")}));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("S,1,______,_,__;Cafea boabe;80.00;0.500;1;1;1;0;0;\r\n"
                                        "C,1,______,_,__;0;-10;;;;\r\n"
                                        "T,1,______,_,__;0;20.50;;;;\r\n"
                                        "T,1,______,_,__;2;15.50;;;;\r\n"));

    // Shown again after the lines changed: they and the total are read anew.
    window.hide();
    addLine(m, QStringLiteral("Ceai"), QStringLiteral("buc"), 1, "9");
    m.dm.adoPrCump.requery();
    window.show();
    QCOMPARE(window.edCash()->text(), QStringLiteral("45,00"));
    QCOMPARE(window.edCard()->text(), QStringLiteral("0"));
}

void TestBonFiscal::amountsThatDoNotAddUpWriteNothing()
{
    Modules m;
    QTemporaryDir dir;
    const QString path = prepare(m, dir);
    TfrmBonFiscal window(m.dm, m.dm.adoPrCump, m.prompter);
    window.show();
    retype(window.edCash(), QStringLiteral("30"));
    QTest::mouseClick(window.btEmiteBon(), Qt::LeftButton);
    QCOMPARE(m.prompter.shown,
             QStringList{QStringLiteral(
                 "info: cash+card+tichete <> total plata. Reverificati sumele introduse.30---36")});
    QVERIFY(!QFile::exists(path));
}

QTEST_MAIN(TestBonFiscal)
#include "tst_bonfiscal.moc"
