#include "about.h"

#include "data/tdm.h"
#include "widgets/dbcontrols.h"
#include "widgets/dbgrid.h"
#include "widgets/dbnavigator.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TFrmDespre::TFrmDespre(Tdm &dm, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_history(new Dataset(dm.cnc(), QStringLiteral("select * from Istoric order by Data desc, ID desc")))
{
    setWindowTitle(QStringLiteral("Despre"));
    m_history->open();
    m_grid = new DbGrid(*m_history, prompter,
                        {{QStringLiteral("Vers"), QStringLiteral("Vers")}, {QStringLiteral("Data"), QStringLiteral("Data")}});
    m_description = new DbMemo(*m_history, QStringLiteral("Descriere"), prompter);
    m_description->setReadOnly(true);
    m_navigator = new DbNavigator(*m_history, prompter);
    m_navigator->hide();

    auto *name = new QLabel(QStringLiteral("Tarabix 5"));
    QFont big = name->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    name->setFont(big);
    auto *close = new QPushButton(QStringLiteral("Inchide"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addWidget(new QLabel(QStringLiteral("Vers. 5.1.0 /  04 oct 2016")));
    layout->addWidget(m_navigator);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_description);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(520, 460);
}

TFrmDespre::~TFrmDespre()
{
    delete m_grid;
    delete m_description;
    delete m_navigator;
    delete m_history;
}

void TFrmDespre::keyPressEvent(QKeyEvent *event)
{
    // A lower-case u opens the history for editing.
    if (event->text() == QLatin1String("u")) {
        m_navigator->show();
        m_grid->setEditable(true);
        m_description->setReadOnly(false);
        return;
    }
    QDialog::keyPressEvent(event);
}
