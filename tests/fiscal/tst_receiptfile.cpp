#include "fiscal/receiptfile.h"
#include "support/scriptedprompter.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

using fiscalreceipt::Line;
using fiscalreceipt::Payment;

Q_DECLARE_METATYPE(fiscalreceipt::Line)
Q_DECLARE_METATYPE(fiscalreceipt::Payment)

namespace {

Money money(const char *text)
{
    return *Money::parse(QString::fromLatin1(text));
}

Line line(const QString &name, const QString &unit, double quantity, const char *total)
{
    return {name, unit, quantity, money(total)};
}

Payment pay(const char *cash, const char *card = "0", const char *cheque = "0")
{
    return {money(cash), money(card), money(cheque)};
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

const QString created = QStringLiteral("info: Fisier creat");

} // namespace

class TestReceiptFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void fileBytes_data();
    void fileBytes();
    void itemName_data();
    void itemName();
    void lineRecords_data();
    void lineRecords();
    void paymentRecords_data();
    void paymentRecords();
    void paymentChecks_data();
    void paymentChecks();
    void nothingWrittenUnlessConfirmed_data();
    void nothingWrittenUnlessConfirmed();
    void writeFailures_data();
    void writeFailures();
};

void TestReceiptFile::initTestCase()
{
    // The program's own locale: decimal comma, "." between thousands.
    QLocale::setDefault(QLocale(QLocale::Romanian, QLocale::Romania));
}

// Whole files, built by hand from the driver's format.
void TestReceiptFile::fileBytes_data()
{
    QTest::addColumn<QList<Line>>("lines");
    QTest::addColumn<Payment>("payment");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("two items paid in cash")
        << QList<Line>{line(QStringLiteral("Paine"), QStringLiteral("buc"), 1, "10"),
                       line(QStringLiteral("Lapte"), QStringLiteral("buc"), 1, "5.5")}
        << pay("15.5")
        << QByteArray("S,1,______,_,__;Paine;10.00;1.000;1;1;1;0;0;\r\n"
                      "S,1,______,_,__;Lapte;5.50;1.000;1;1;1;0;0;\r\n"
                      "T,1,______,_,__;\r\n");
    QTest::newRow("long name cut to 19 characters")
        << QList<Line>{line(QStringLiteral("Ciocolata amaruie cu migdale"), QStringLiteral("buc"),
                            1, "7")}
        << pay("7")
        << QByteArray("S,1,______,_,__;Ciocolata amaruie c;7.00;1.000;1;1;1;0;0;\r\n"
                      "T,1,______,_,__;\r\n");
    QTest::newRow("discount line keeps its sign")
        << QList<Line>{line(QStringLiteral("Manopera"), QStringLiteral("ore"), 2, "200"),
                       line(QStringLiteral("Discount"), QStringLiteral("%"), -10, "-20")}
        << pay("180")
        << QByteArray("S,1,______,_,__;Manopera;100.00;2.000;1;1;1;0;0;\r\n"
                      "C,1,______,_,__;0;-10;;;;\r\n"
                      "T,1,______,_,__;\r\n");
    QTest::newRow("thousands under a comma locale")
        << QList<Line>{line(QStringLiteral("Bicicleta"), QStringLiteral("buc"), 1, "2345.5")}
        << pay("2345.5")
        << QByteArray("S,1,______,_,__;Bicicleta;2345.50;1.000;1;1;1;0;0;\r\n"
                      "T,1,______,_,__;\r\n");
    QTest::newRow("cash and card under a comma locale")
        << QList<Line>{line(QStringLiteral("Paine"), QStringLiteral("buc"), 1, "10"),
                       line(QStringLiteral("Lapte"), QStringLiteral("buc"), 1, "5.5")}
        << pay("10", "5.5")
        << QByteArray("S,1,______,_,__;Paine;10.00;1.000;1;1;1;0;0;\r\n"
                      "S,1,______,_,__;Lapte;5.50;1.000;1;1;1;0;0;\r\n"
                      "T,1,______,_,__;0;10.00;;;;\r\n"
                      "T,1,______,_,__;2;5.50;;;;\r\n");
    QTest::newRow("a name cannot add a field or a record")
        << QList<Line>{line(QStringLiteral("Cafea;T,1\r\nP,1"), QStringLiteral("buc"), 1, "7.5")}
        << pay("7.5")
        << QByteArray("S,1,______,_,__;Cafea T 1 P 1;7.50;1.000;1;1;1;0;0;\r\n"
                      "T,1,______,_,__;\r\n");
    // ł, guillemets and the euro sign are in code page 1250 (ł is not in Latin-1).
    QTest::newRow("code page 1250") << QList<Line>{line(QStringLiteral("Ţuică «Złota» 0.5€"),
                                                        QStringLiteral("sticla"), 1, "30")}
                                    << pay("30")
                                    << QByteArray("S,1,______,_,__;Tuica \xAB"
                                                  "Z\xB3"
                                                  "ota\xBB 0.5\x80"
                                                  ";30.00;1.000;1;1;1;0;0;\r\n"
                                                  "T,1,______,_,__;\r\n");
}

void TestReceiptFile::fileBytes()
{
    QFETCH(QList<Line>, lines);
    QFETCH(Payment, payment);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bon.inp"));
    // A longer previous receipt must not leave its tail behind.
    writeAll(path, QByteArray(500, 'x'));
    ScriptedPrompter prompter;
    prompter.answers << true;
    QVERIFY(fiscalreceipt::issue(lines, fiscalreceipt::totalOf(lines), payment, path, prompter));
    QCOMPARE(readAll(path), bytes);
    QCOMPARE(prompter.shown.size(), 2);
    QCOMPARE(prompter.shown.last(), created);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("bon.inp")});
}

void TestReceiptFile::itemName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");

    QTest::newRow("separators") << QStringLiteral("Surub M6,inox;100")
                                << QStringLiteral("Surub M6 inox 100");
    QTest::newRow("line breaks and tabs")
        << QStringLiteral("Cafea\r\n\tmare\u2028x") << QStringLiteral("Cafea mare x");
    QTest::newRow("other control and format characters")
        << QStringLiteral("Ca\u0001fe\u200Ba\u007F\u0085!") << QStringLiteral("Cafea !");
    QTest::newRow("diacritics") << QStringLiteral("ŞTEFĂNEŞTI țuică")
                                << QStringLiteral("STEFANESTI tuica");
    QTest::newRow("letters of the code page stay")
        << QStringLiteral("Złoty 5€") << QStringLiteral("Złoty 5€");
    QTest::newRow("missing from the code page")
        << QStringLiteral("Чай \U0001F600") << QStringLiteral("??? ?");
    QTest::newRow("cut after cleaning") << QStringLiteral("  Apa;;;;;minerala naturala 2l")
                                        << QStringLiteral("Apa minerala natura");
}

void TestReceiptFile::itemName()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(fiscalreceipt::itemName(name), expected);
}

void TestReceiptFile::lineRecords_data()
{
    QTest::addColumn<Line>("documentLine");
    QTest::addColumn<QString>("record");

    QTest::newRow("decimal quantity")
        << line(QStringLiteral("Faina"), QStringLiteral("kg"), 2.5, "12.5")
        << QStringLiteral("S,1,______,_,__;Faina;5.00;2.500;1;1;1;0;0;");
    QTest::newRow("quantity rounded half away from zero")
        << line(QStringLiteral("Sare"), QStringLiteral("kg"), 1.0005, "3")
        << QStringLiteral("S,1,______,_,__;Sare;3.00;1.001;1;1;1;0;0;");
    QTest::newRow("large total: no grouping, no exponent")
        << line(QStringLiteral("Utilaj"), QStringLiteral("buc"), 1, "12345678.895")
        << QStringLiteral("S,1,______,_,__;Utilaj;12345678.90;1.000;1;1;1;0;0;");
    QTest::newRow("returned item")
        << line(QStringLiteral("Garantie sticla"), QStringLiteral("buc"), -2, "-1")
        << QStringLiteral("S,1,______,_,__;Garantie sticla;0.50;-2.000;1;1;1;0;0;");
    // The printer multiplies price by quantity: the record carries the unit
    // price, or the whole line as one piece when no unit price adds up.
    QTest::newRow("unit price that does not add up")
        << line(QStringLiteral("Pix"), QStringLiteral("buc"), 3, "10")
        << QStringLiteral("S,1,______,_,__;Pix;10.00;1.000;1;1;1;0;0;");
    QTest::newRow("unit price of a fractional quantity")
        << line(QStringLiteral("Cui"), QStringLiteral("kg"), 0.125, "1.25")
        << QStringLiteral("S,1,______,_,__;Cui;10.00;0.125;1;1;1;0;0;");
    QTest::newRow("mark-up") << line(QStringLiteral("Adaos urgenta"), QStringLiteral("%"), 5, "2.5")
                             << QStringLiteral("C,1,______,_,__;0;5;;;;");
    QTest::newRow("discount rounded half away from zero")
        << line(QStringLiteral("Reducere"), QStringLiteral("% disc"), -2.5, "-1")
        << QStringLiteral("C,1,______,_,__;0;-3;;;;");
}

void TestReceiptFile::lineRecords()
{
    QFETCH(Line, documentLine);
    QFETCH(QString, record);
    // Nothing paid: no payment record follows.
    QCOMPARE(fiscalreceipt::records({documentLine}, Payment{}), QStringList{record});
}

void TestReceiptFile::paymentRecords_data()
{
    QTest::addColumn<Payment>("payment");
    QTest::addColumn<QStringList>("records");

    QTest::newRow("cash") << pay("15.5") << QStringList{QStringLiteral("T,1,______,_,__;")};
    QTest::newRow("card") << pay("0", "15.5")
                          << QStringList{QStringLiteral("T,1,______,_,__;2;15.50;;;;")};
    QTest::newRow("cash and card") << pay("10", "5.5")
                                   << QStringList{QStringLiteral("T,1,______,_,__;0;10.00;;;;"),
                                                  QStringLiteral("T,1,______,_,__;2;5.50;;;;")};
    QTest::newRow("cheques") << pay("0", "0", "15.5")
                             << QStringList{QStringLiteral("T,1,______,_,__;1;15.50;;;;")};
    QTest::newRow("cash and cheques") << pay("10", "0", "5.5")
                                      << QStringList{QStringLiteral("T,1,______,_,__;0;10.00;;;;"),
                                                     QStringLiteral("T,1,______,_,__;1;5.50;;;;")};
    QTest::newRow("card and cheques") << pay("0", "10", "5.5")
                                      << QStringList{QStringLiteral("T,1,______,_,__;1;5.50;;;;"),
                                                     QStringLiteral("T,1,______,_,__;2;10.00;;;;")};
    QTest::newRow("all three") << pay("10", "3", "2.5")
                               << QStringList{QStringLiteral("T,1,______,_,__;0;10.00;;;;"),
                                              QStringLiteral("T,1,______,_,__;1;2.50;;;;"),
                                              QStringLiteral("T,2,______,_,__;2;3.00;;;;")};
}

void TestReceiptFile::paymentRecords()
{
    QFETCH(Payment, payment);
    QFETCH(QStringList, records);
    QCOMPARE(fiscalreceipt::records({}, payment), records);
}

void TestReceiptFile::paymentChecks_data()
{
    QTest::addColumn<QString>("total");
    QTest::addColumn<Payment>("payment");
    QTest::addColumn<QString>("problem");

    const QString mismatch =
        QStringLiteral("cash+card+tichete <> total plata. Reverificati sumele introduse.");
    QTest::newRow("exact") << "15.5" << pay("10", "3", "2.5") << QString();
    QTest::newRow("total within rounding") << "15.5049" << pay("15.5") << QString();
    QTest::newRow("short") << "15.5" << pay("10", "5.4")
                           << mismatch + QStringLiteral("15,4---15,5");
    // 10.005 + 5.495 is 15.50, but the file would say 10.01 and 5.50.
    QTest::newRow("parts count as written")
        << "15.5" << pay("10.005", "5.495") << mismatch + QStringLiteral("15,51---15,5");
    QTest::newRow("negative part")
        << "15.5" << pay("20", "-4.5") << QStringLiteral("Sumele introduse nu pot fi negative.");
    QTest::newRow("nothing to pay, nothing typed")
        << "0" << pay("0") << QStringLiteral("Nu aveti completate sumele");
}

void TestReceiptFile::paymentChecks()
{
    QFETCH(QString, total);
    QFETCH(Payment, payment);
    QFETCH(QString, problem);
    QCOMPARE(fiscalreceipt::paymentProblem(*Money::parse(total), payment).value_or(QString()),
             problem);
}

void TestReceiptFile::nothingWrittenUnlessConfirmed_data()
{
    QTest::addColumn<Payment>("payment");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("refused payment")
        << pay("-1", "16.5") << false
        << QStringList{QStringLiteral("info: Sumele introduse nu pot fi negative.")};
    QTest::newRow("declined")
        << pay("10.5", "3", "2") << false
        << QStringList{QStringLiteral(
               "question: Scoateti BF cu suma totala de: 15,5 RON din care CASH=10,50,  "
               "CARD=3,00,  CEC/tichete=2,00 ?")};
}

void TestReceiptFile::nothingWrittenUnlessConfirmed()
{
    QFETCH(Payment, payment);
    QFETCH(bool, answer);
    QFETCH(QStringList, shown);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bon.inp"));
    writeAll(path, "previous");
    ScriptedPrompter prompter;
    prompter.answers << answer;
    const QList<Line> lines{line(QStringLiteral("Paine"), QStringLiteral("buc"), 1, "15.5")};
    QVERIFY(!fiscalreceipt::issue(lines, money("15.5"), payment, path, prompter));
    QCOMPARE(prompter.shown, shown);
    QCOMPARE(readAll(path), QByteArray("previous"));
}

void TestReceiptFile::writeFailures_data()
{
    QTest::addColumn<QString>(
        "target"); // relative to a temporary folder holding the file "note.txt"
    QTest::addColumn<QString>("error"); // "@" stands for the temporary folder

    QTest::newRow("no path")
        << QString()
        << "Calea fisierului pentru bonul fiscal nu este completata la punctul de lucru.";
    QTest::newRow("missing folder") << "lipsa/bon.inp"
                                    << "Folderul pentru bonul fiscal nu exista: @/lipsa";
    QTest::newRow("folder instead of a file")
        << "."
        << "Calea pentru bonul fiscal este un folder, nu un fisier: @/.";
    QTest::newRow("file instead of a folder")
        << "note.txt/bon.inp"
        << "Folderul pentru bonul fiscal nu exista: @/note.txt";
    // The folder is there, but the system refuses the name.
    QTest::newRow("refused by the system")
        << QString(300, u'b')
        << QString("Fisierul bonului fiscal nu a putut fi scris: @/" + QString(300, u'b') + " (");
}

void TestReceiptFile::writeFailures()
{
    QFETCH(QString, target);
    QFETCH(QString, error);
    QTemporaryDir dir;
    writeAll(dir.filePath(QStringLiteral("note.txt")), "note");
    const QString path = target.isEmpty() ? QString() : dir.path() + u'/' + target;
    ScriptedPrompter prompter;
    prompter.answers << true;
    const QList<Line> lines{line(QStringLiteral("Paine"), QStringLiteral("buc"), 1, "15.5")};
    QVERIFY(!fiscalreceipt::issue(lines, money("15.5"), pay("15.5"), path, prompter));
    QCOMPARE(prompter.shown.size(), 2);
    const QString expected = QDir::toNativeSeparators(QString(error).replace(u'@', dir.path()));
    QVERIFY2(prompter.shown.last().startsWith(QStringLiteral("error: ") + expected),
             qPrintable(prompter.shown.last()));
    QVERIFY(!prompter.shown.contains(created));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("note.txt")});
}

QTEST_GUILESS_MAIN(TestReceiptFile)
#include "tst_receiptfile.moc"
