#include "reportengine.h"

#include "core/appstate.h"
#include "core/prompter.h"
#include "data/tdm.h"
#include "data/tdmrc.h"
#include "data/util.h"
#include "db/dberror.h"
#include "displayformat.h"
#include "pagedhtml.h"

#include <QDir>
#include <QRegularExpression>

ReportEngine::ReportEngine(Tdm &dm, TdmRC &rc, Prompter &prompter) : m_dm(dm), m_rc(rc), m_prompter(prompter)
{
    restoreBindings();
}

void ReportEngine::restoreBindings()
{
    m_bindings = {
        {QStringLiteral("frxFurnizor"), &m_dm.adoSetari},
        {QStringLiteral("Setari"), &m_dm.adoSetari},
        {QStringLiteral("frxClient"), &m_dm.adoClienti},
        {QStringLiteral("frxFactura"), &m_dm.adoNrFAct},
        {QStringLiteral("frxProdCump"), &m_dm.adoPrCump},
        {QStringLiteral("frxChitanta"), &m_dm.adoIncasari},
        {QStringLiteral("frxContract"), &m_dm.adoClientContracte},
        {QStringLiteral("frxServpeContract"), &m_dm.adoContract},
        {QStringLiteral("frxRegCasa"), &m_rc.adoFisa},
        {QStringLiteral("frxDetaliuRegCasa"), &m_rc.adoDetaliiFisa},
        {QStringLiteral("adoConturiClient"), &m_rc.adoConturi},
        {QStringLiteral("adoConturiFurnizor"), &m_rc.adoconturiFurnizor},
        {QStringLiteral("categActe"), &m_rc.adoCategActeExpira},
        {QStringLiteral("FisaService"), &m_rc.adoFisaService},
    };
}

void ReportEngine::bind(const QString &name, Dataset *dataset)
{
    if (dataset)
        m_bindings.insert(name, dataset);
    else
        m_bindings.remove(name);
}

std::optional<QString> ReportEngine::loadTemplate(qint64 companyId, const QString &title)
{
    Dataset &store = m_dm.adoRapoarte;
    store.close();
    store.setParams({companyId, title});
    store.open();
    if (store.isEmpty()) {
        m_prompter.information(QStringLiteral("Nu exista sablonul \"") + title
                               + QStringLiteral("\" pentru firma curenta. Il puteti adauga din Setari."));
        return std::nullopt;
    }
    return QString::fromUtf8(store.asBytes(QStringLiteral("Raport")));
}

ReportInputs ReportEngine::inputs(const QHash<QString, QString> &variables) const
{
    ReportInputs in;
    in.datasets = m_bindings;
    in.variables = variables;
    in.mainCurrency = defaultCurrency(m_dm.cnc()).code;
    const Dataset &staff = m_dm.adoAngajati;
    if (staff.isOpen() && !staff.isEmpty())
        in.operatorName = QString(staff.asString(QStringLiteral("Nume")) + u' ' + staff.asString(QStringLiteral("Prenume"))).trimmed();
    return in;
}

QString ReportEngine::render(const QString &templateText, const QHash<QString, QString> &variables) const
{
    return renderTemplate(templateText, inputs(variables));
}

void ReportEngine::printTemplate(qint64 companyId, const QString &title, const QString &variable,
                                 const QString &value, bool design)
{
    const std::optional<QString> text = loadTemplate(companyId, title);
    if (!text)
        return;
    if (design) {
        if (m_host)
            m_host->design(title, *text);
        return;
    }
    QHash<QString, QString> variables;
    if (!value.isEmpty())
        variables.insert(variable, value);
    QString html;
    try {
        html = render(*text, variables);
    } catch (const TemplateError &e) {
        m_prompter.error(QStringLiteral("Sablonul \"") + title + QStringLiteral("\" are o eroare: ")
                         + QString::fromUtf8(e.what()));
        return;
    }
    if (m_host)
        m_host->preview(title, html);
    // The e-mail request belongs to this one preview.
    AppState &state = m_dm.state();
    if (state.sendAfterPreview) {
        state.sendAfterPreview = false;
        sendAfterPreview(html);
    }
}

bool ReportEngine::exportTemplate(qint64 companyId, const QString &title, const QString &fileName,
                                  const QString &variable, const QString &value)
{
    Dataset &store = m_dm.adoRapoarte;
    try {
        store.close();
        store.setParams({companyId, title});
        store.open();
        if (store.isEmpty())
            return false;
        QHash<QString, QString> variables;
        if (!value.isEmpty())
            variables.insert(variable, value);
        const QString html = render(QString::fromUtf8(store.asBytes(QStringLiteral("Raport"))), variables);
        return pagedhtml::writePdf(html, fileName);
    } catch (const std::exception &) {
        // A bulk export goes on with the next document.
        return false;
    }
}

bool ReportEngine::saveDesign(const QString &templateText)
{
    Dataset &store = m_dm.adoRapoarte;
    try {
        store.close();
        store.setParams({m_dm.companyId(), currentDesignerTitle});
        store.open();
        if (store.isEmpty()) {
            store.append();
            store.setValue(QStringLiteral("id_firma"), m_dm.companyId());
            store.setValue(QStringLiteral("titluRaport"), currentDesignerTitle);
        } else {
            store.edit();
        }
        store.setValue(QStringLiteral("Raport"), templateText.toUtf8());
        store.post();
        return true;
    } catch (const DbError &e) {
        if (store.isEditing())
            store.cancel();
        m_prompter.error(e.displayText());
        return false;
    }
}

QString ReportEngine::pdfPath(const QString &clientName, const QString &kind, const QString &number,
                              const QString &date) const
{
    QString name = clientName + u'-' + kind + u'-' + number + QStringLiteral(" - ") + date;
    static const QRegularExpression forbidden(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
    name.replace(forbidden, QStringLiteral("_"));
    name = name.trimmed();
    while (name.endsWith(u'.'))
        name.chop(1);
    if (name.isEmpty())
        name = QStringLiteral("document");
    return QDir(m_documentsDir).filePath(name + QStringLiteral(".pdf"));
}

EmailDraft ReportEngine::emailDraft(const QString &pdfFile) const
{
    const AppState &state = m_dm.state();
    const Dataset &company = m_dm.adoSetari;
    const Dataset &client = m_dm.adoClienti;
    const Dataset &document = m_dm.adoNrFAct;
    const Dataset &staff = m_dm.adoAngajati;
    auto field = [](const Dataset &ds, const char *name) {
        return ds.isOpen() && !ds.isEmpty() ? ds.asString(QString::fromLatin1(name)) : QString();
    };
    EmailDraft d;
    d.host = field(company, "smtphost");
    d.port = field(company, "smtpport").toInt();
    d.user = field(company, "smtplogin");
    d.password = field(company, "smtppassword");
    d.authentication = company.isOpen() && !company.isEmpty() && company.asBoolean(QStringLiteral("smtpAuth"));
    d.secure = company.isOpen() && !company.isEmpty() && company.asBoolean(QStringLiteral("smtpSSL"));
    d.sign = company.isOpen() && !company.isEmpty() && company.asBoolean(QStringLiteral("smtpDigSign"));
    d.from = field(company, "email");
    d.to = field(client, "email");
    const QString number = field(document, "Nf");
    const QString date = document.isOpen() && !document.isEmpty()
                             ? displayformat::date(document.value(QStringLiteral("Data")))
                             : QString();
    d.subject = state.previewDocKind + u' ' + field(company, "NumeFirma") + u' ' + number + QStringLiteral(" din ") + date;
    const QString crlf = QStringLiteral("\r\n");
    d.body = QStringLiteral("Stimate client,\r\n\r\nVa informam ca in data de ") + state.previewDocDate.toString(QStringLiteral("dd.MM.yyyy"))
             + QStringLiteral(" a fost emisa ") + state.previewDocKind + u' ' + state.previewDocNumber + crlf + crlf
             + QStringLiteral("In cazul in care considerati ca acest email trebuie adresat unei alte ") + crlf + crlf
             + QStringLiteral("persoane sau unui alt departament din compania dvs. va rugam sa ne") + crlf + crlf
             + QStringLiteral("furnizati adresa de email corespunzatoare.") + crlf + crlf + QStringLiteral("Va multumim,") + crlf
             + field(staff, "Nume") + u' ' + field(staff, "Prenume");
    d.attachments = QStringList{pdfFile};
    return d;
}

void ReportEngine::sendAfterPreview(const QString &html)
{
    const AppState &state = m_dm.state();
    if (!QDir().mkpath(m_documentsDir)) {
        m_prompter.error(QStringLiteral("Nu pot crea dosarul de documente ") + m_documentsDir);
        return;
    }
    const QString client = m_dm.adoClienti.isOpen() && !m_dm.adoClienti.isEmpty()
                               ? m_dm.adoClienti.asString(QStringLiteral("NumeFirma"))
                               : QString();
    const QString path = pdfPath(client, state.previewDocKind, state.previewDocNumber,
                                 state.previewDocDate.toString(QStringLiteral("dd.MM.yyyy")));
    QString error;
    if (!pagedhtml::writePdf(html, path, &error)) {
        m_prompter.error(QStringLiteral("Nu pot scrie fisierul ") + path + QStringLiteral(": ") + error);
        return;
    }
    if (m_host)
        m_host->email(emailDraft(path));
}
