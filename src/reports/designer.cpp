#include "designer.h"

#include "db/dataset.h"
#include "reportdata.h"
#include "reportengine.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

TfrmDesigner::TfrmDesigner(ReportEngine &engine, const QString &title, const QString &templateText, QWidget *parent)
    : QDialog(parent), m_engine(engine), m_source(new QPlainTextEdit), m_preview(new QTextBrowser),
      m_palette(new QTreeWidget), m_status(new QLabel), m_refresh(new QTimer(this))
{
    setWindowTitle(QStringLiteral("Editare raport - ") + title);
    m_source->setObjectName(QStringLiteral("source"));
    m_source->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_source->setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 9));
    m_preview->setObjectName(QStringLiteral("preview"));
    m_palette->setHeaderLabel(QStringLiteral("Campuri (dublu click le insereaza)"));
    m_refresh->setSingleShot(true);
    m_refresh->setInterval(400);

    auto *bar = new QToolBar;
    bar->addAction(QStringLiteral("Salveaza"), this, [this] { save(); })->setShortcut(QKeySequence::Save);
    bar->addSeparator();
    bar->addAction(QStringLiteral("Aldin"), this, [this] { wrapSelection(QStringLiteral("<b>"), QStringLiteral("</b>")); });
    bar->addAction(QStringLiteral("Cursiv"), this, [this] { wrapSelection(QStringLiteral("<i>"), QStringLiteral("</i>")); });
    bar->addAction(QStringLiteral("Titlu"), this, [this] { wrapSelection(QStringLiteral("<h2>"), QStringLiteral("</h2>")); });
    bar->addAction(QStringLiteral("Centrat"), this,
                   [this] { wrapSelection(QStringLiteral("<p align=\"center\">"), QStringLiteral("</p>")); });
    bar->addAction(QStringLiteral("Dreapta"), this,
                   [this] { wrapSelection(QStringLiteral("<p align=\"right\">"), QStringLiteral("</p>")); });
    bar->addAction(QStringLiteral("Tabel"), this, [this] {
        insertTag(QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">\n"
                                 "<tr><td></td><td></td></tr>\n</table>\n"));
    });
    bar->addAction(QStringLiteral("Pagina noua"), this,
                   [this] { insertTag(QStringLiteral("<div style=\"page-break-before: always\"></div>\n")); });

    auto *splitter = new QSplitter;
    splitter->addWidget(m_palette);
    splitter->addWidget(m_source);
    splitter->addWidget(m_preview);
    splitter->setStretchFactor(1, 3);
    splitter->setStretchFactor(2, 3);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addWidget(splitter, 1);
    layout->addWidget(m_status);
    resize(1400, 900);

    fillPalette();
    setTemplateText(templateText);
    connect(m_source, &QPlainTextEdit::textChanged, this, [this] {
        m_modified = true;
        m_refresh->start();
    });
    connect(m_refresh, &QTimer::timeout, this, &TfrmDesigner::refreshPreview);
    connect(m_palette, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        const QString tag = item->data(0, Qt::UserRole).toString();
        if (!tag.isEmpty())
            insertTag(tag);
    });
}

QString TfrmDesigner::templateText() const
{
    return m_source->toPlainText();
}

void TfrmDesigner::setTemplateText(const QString &text)
{
    m_source->setPlainText(text);
    m_modified = false;
    refreshPreview();
}

QString TfrmDesigner::previewHtml() const
{
    return m_preview->toHtml();
}

void TfrmDesigner::fillPalette()
{
    auto add = [](QTreeWidgetItem *parent, const QString &label, const QString &tag) {
        auto *item = new QTreeWidgetItem(parent, QStringList{label});
        item->setData(0, Qt::UserRole, tag);
        return item;
    };
    auto *variables = new QTreeWidgetItem(m_palette, QStringList{QStringLiteral("Variabile")});
    for (const char *v : {"titlul", "magazia", "perioada", "tipfact", "azi", "operator"})
        add(variables, QString::fromLatin1(v), QStringLiteral("{{") + QLatin1String(v) + QStringLiteral("}}"));
    auto *document = new QTreeWidgetItem(m_palette, QStringList{QStringLiteral("document (totaluri)")});
    for (const char *v : {"moneda", "monedaPrincipala", "curs", "valoare", "tva", "total", "valoareMM", "tvaMM", "totalMM",
                          "totalInLitere", "cantitateTotala", "valoareIn", "tvaIn", "totalIn"})
        add(document, QString::fromLatin1(v), QStringLiteral("{{document.") + QLatin1String(v) + QStringLiteral("}}"));
    add(document, QStringLiteral("cote TVA (lista)"),
        QStringLiteral("{{#document.cote}}{{cota}}%: {{valoare}} / {{tva}}<br>{{/document.cote}}"));
    QStringList names = m_engine.bindings().keys();
    names.sort(Qt::CaseInsensitive);
    for (const QString &name : std::as_const(names)) {
        auto *group = new QTreeWidgetItem(m_palette, QStringList{name});
        add(group, QStringLiteral("(toate randurile)"),
            QStringLiteral("{{#") + name + QStringLiteral(".rows}}\n{{/") + name + QStringLiteral(".rows}}"));
        const Dataset *ds = m_engine.bindings().value(name);
        if (!ds || !ds->isOpen())
            continue;
        for (const QString &field : ds->fieldNames())
            add(group, field, QStringLiteral("{{") + name + u'.' + field + QStringLiteral("}}"));
    }
}

void TfrmDesigner::insertTag(const QString &tag)
{
    m_source->textCursor().insertText(tag);
    m_source->setFocus();
}

void TfrmDesigner::wrapSelection(const QString &before, const QString &after)
{
    QTextCursor cursor = m_source->textCursor();
    cursor.insertText(before + cursor.selectedText() + after);
    m_source->setFocus();
}

void TfrmDesigner::refreshPreview()
{
    try {
        m_preview->setHtml(m_engine.render(templateText(), {{QStringLiteral("titlul"), QStringLiteral("FACTURA")}}));
        m_status->setText(QStringLiteral("Previzualizare pe datele curente."));
    } catch (const TemplateError &e) {
        m_status->setText(QStringLiteral("Eroare in sablon: ") + QString::fromUtf8(e.what()));
    }
}

bool TfrmDesigner::save()
{
    if (!m_engine.saveDesign(templateText()))
        return false;
    m_modified = false;
    m_status->setText(QStringLiteral("Sablonul a fost salvat."));
    return true;
}

void TfrmDesigner::done(int result)
{
    if (m_modified) {
        const auto answer = QMessageBox::question(this, windowTitle(), QStringLiteral("Salvati modificarile?"),
                                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Cancel || (answer == QMessageBox::Yes && !save()))
            return;
    }
    QDialog::done(result);
}
