#include "frame/login.h"
#include "frame/mainwindow.h"
#include "reports/reportengine.h"
#include "support/modules.h"
#include "widgets/dbgrid.h"
#include "widgets/dbnavigator.h"

#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace {

class RecordingHost : public ReportHost
{
public:
    QStringList designs;
    void preview(const QString &, const QString &) override {}
    void design(const QString &title, const QString &) override { designs << title; }
    void email(const EmailDraft &) override {}
};

struct Frame
{
    Modules m;
    RecordingHost host;
    ReportEngine reports{m.dm, m.rc, m.prompter};
    TfrmMain frame{WindowContext{m.dm, m.rc, m.prompter, reports}};
    TfrmPwd *login = nullptr;

    Frame()
    {
        reports.setHost(&host);
        frame.show();
        frame.showLogin();
        login = frame.findChild<TfrmPwd *>();
    }

    void typePassword(const QString &text)
    {
        login->passwordEdit()->clear();
        QTest::keyClicks(login->passwordEdit(), text);
        QTest::mouseClick(login->confirmButton(), Qt::LeftButton);
    }
};

} // namespace

class TestFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void frameIsLockedUntilLogin();
    void wrongPasswordKeepsItLocked();
    void rightPasswordUnlocks();
    void loginCannotBeClosedOtherwise();
    void doubleClickNeverFillsThePassword();
    void companyWithoutEmployeesCannotBeEntered();
    void templateMenuOpensTheDesignerOnItsTitle();
    void exitAsksFirst();
};

void TestFrame::frameIsLockedUntilLogin()
{
    Frame f;
    QVERIFY(f.login);
    QVERIFY(f.frame.isLocked());
    QVERIFY(!f.frame.toolbar()->isVisible());
    QVERIFY(!f.frame.programMenu()->isEnabled());
    QVERIFY(!f.frame.optionsMenu()->isEnabled());
    QCOMPARE(f.frame.windowTitle(), QStringLiteral("Tarabix-5-"));
    QCOMPARE(f.login->companyName()->text(), QStringLiteral("FIRMA MEA SRL"));
    QCOMPARE(f.m.dm.adoAngajati.asString(QStringLiteral("Nume")), QStringLiteral("Administrator"));
}

void TestFrame::wrongPasswordKeepsItLocked()
{
    Frame f;
    f.typePassword(QStringLiteral("9275"));
    QCOMPARE(f.m.prompter.shown, QStringList{QStringLiteral("info: Parola incorecta")});
    QVERIFY(f.login->passwordEdit()->text().isEmpty());
    QVERIFY(f.frame.isLocked());
    // A blank after the password is a different password.
    f.typePassword(QStringLiteral("9276 "));
    QVERIFY(f.frame.isLocked());
    QCOMPARE(f.m.prompter.shown.size(), 2);
}

void TestFrame::rightPasswordUnlocks()
{
    Frame f;
    f.typePassword(QStringLiteral("9276"));
    QVERIFY(f.m.prompter.shown.isEmpty());
    QVERIFY(!f.frame.isLocked());
    QVERIFY(f.frame.toolbar()->isVisible());
    QVERIFY(f.frame.programMenu()->isEnabled());
    QVERIFY(f.frame.optionsMenu()->isEnabled());
    QTRY_VERIFY(f.frame.mdiArea()->subWindowList().isEmpty());
}

void TestFrame::loginCannotBeClosedOtherwise()
{
    Frame f;
    QMdiSubWindow *sub = f.frame.mdiArea()->subWindowList().value(0);
    QVERIFY(sub);
    QVERIFY(!(sub->windowFlags() & Qt::WindowCloseButtonHint));
    sub->close();
    QVERIFY(sub->isVisible());
    QCOMPARE(f.frame.mdiArea()->subWindowList().size(), 1);
}

void TestFrame::doubleClickNeverFillsThePassword()
{
    Frame f;
    DbGrid *grid = f.login->employeeGrid();
    const QRect cell = grid->visualRect(grid->model()->index(0, 0));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QVERIFY(f.login->passwordEdit()->text().isEmpty());
    QTest::mouseClick(f.login->confirmButton(), Qt::LeftButton);
    QVERIFY(f.frame.isLocked());
}

void TestFrame::companyWithoutEmployeesCannotBeEntered()
{
    Frame f;
    const qint64 empty = f.m.cnc().insert(QStringLiteral("Clienti"), {QStringLiteral("NumeFirma"), QStringLiteral("emitent")},
                                          {QStringLiteral("FARA ANGAJATI SRL"), true});
    Q_UNUSED(empty);
    f.m.dm.adoSetari.requery();
    QTest::mouseClick(f.login->companyNavigator()->button(DbNavigator::Next), Qt::LeftButton);
    QCOMPARE(f.login->companyName()->text(), QStringLiteral("FARA ANGAJATI SRL"));
    QVERIFY(f.m.dm.adoAngajati.isEmpty());
    f.typePassword(QString());
    QVERIFY(f.frame.isLocked());
    QCOMPARE(f.m.prompter.shown, QStringList{QStringLiteral("info: Parola incorecta")});
    // Back to the first company: its employees come back and its password works.
    QTest::mouseClick(f.login->companyNavigator()->button(DbNavigator::Prior), Qt::LeftButton);
    QCOMPARE(f.m.dm.adoAngajati.asString(QStringLiteral("Nume")), QStringLiteral("Administrator"));
    f.typePassword(QStringLiteral("9276"));
    QVERIFY(!f.frame.isLocked());
}

void TestFrame::templateMenuOpensTheDesignerOnItsTitle()
{
    Frame f;
    f.typePassword(QStringLiteral("9276"));
    const QList<QPair<QString, QString>> items = {{QStringLiteral("Factura"), QStringLiteral("Factura")},
                                                  {QStringLiteral("FacturasiChit"), QStringLiteral("FacturasiChit")},
                                                  {QStringLiteral("Acteexpira"), QStringLiteral("Acteexpira")},
                                                  {QStringLiteral("RegCasa"), QStringLiteral("RegCasa")}};
    for (const auto &[title, expected] : items) {
        QAction *action = f.frame.templateAction(title);
        QVERIFY2(action, qPrintable(title));
        action->trigger();
        QCOMPARE(f.host.designs.last(), expected);
        QCOMPARE(f.reports.currentDesignerTitle, expected);
    }
    QCOMPARE(f.frame.templateAction(QStringLiteral("FacturasiChit"))->text(), QStringLiteral("Factura+Chitanta"));
    QVERIFY(f.m.prompter.shown.isEmpty());
}

void TestFrame::exitAsksFirst()
{
    Frame f;
    f.typePassword(QStringLiteral("9276"));
    f.m.prompter.answers.enqueue(false);
    f.frame.exitAction()->trigger();
    QVERIFY(f.frame.isVisible());
    QCOMPARE(f.m.prompter.shown.last(), QStringLiteral("question: Doriti sa inchideti aplicatia?"));
}

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"
