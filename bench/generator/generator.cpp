#include "generator.h"
#include "quiet.h"

#include "cashbook/sheets.h"
#include "core/amountwords.h"
#include "core/appstate.h"
#include "core/prompter.h"
#include "core/startup.h"
#include "data/tdm.h"
#include "data/tdmrc.h"
#include "db/connection.h"
#include "db/transaction.h"
#include "db/values.h"
#include "payments/collections.h"
#include "sales/numbering.h"
#include "sales/validation.h"
#include "sales/workspace.h"
#include "settings/newpartner.h"
#include "stock/stockstore.h"
#include "stock/supplierdocs.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

#include <map>
#include <random>
#include <set>
#include <stdexcept>

namespace generator {
namespace {

// Answers as a user in a hurry would: yes to every question, the proposed
// value to every input box. An error box stops the run.
class HurriedUser : public Prompter
{
public:
    QString lastMessage;
    void information(const QString &text) override { lastMessage = text; }
    void error(const QString &text) override { throw std::runtime_error(text.toStdString()); }
    bool confirm(const QString &) override { return true; }
    std::optional<QString> input(const QString &, const QString &, const QString &value) override
    {
        return value;
    }
};

const char *const NameFirst[] = {"Carpati",  "Dunarea",  "Bucegi",  "Olt",     "Siret",   "Mures",
                                 "Tisa",     "Prahova",  "Arges",   "Somes",   "Crisana", "Banat",
                                 "Moldova",  "Dobrogea", "Oltenia", "Ceahlau", "Retezat", "Fagaras",
                                 "Apuseni",  "Vrancea",  "Rarau",   "Parang",  "Cozia",   "Ciucas",
                                 "Bistrita", "Cerna",    "Jiul",    "Trotus"};
const char *const NameSecond[] = {"Trans",       "Com",    "Prod",     "Impex",  "Construct",
                                  "Agro",        "Tech",   "Serv",     "Design", "Med",
                                  "Auto",        "Market", "Logistic", "Expert", "Consult",
                                  "Distributie", "Grup",   "Invest",   "Trade",  "Stil"};
const char *const NameSuffix[] = {"SRL", "SRL", "SRL", "SRL", "SA", "SRL-D"};
const char *const GivenNames[] = {
    "Ion",     "Maria",    "Andrei", "Elena",   "Mihai",  "Ioana",   "Alexandru", "Ana",
    "Gabriel", "Cristina", "Vasile", "Daniela", "Florin", "Mihaela", "Adrian",    "Raluca"};
const char *const FamilyNames[] = {
    "Popescu", "Ionescu", "Popa",     "Stan",       "Dumitru", "Stoica", "Gheorghe", "Matei",
    "Ciobanu", "Rusu",    "Munteanu", "Constantin", "Marin",   "Tudor",  "Dobre",    "Barbu"};
struct Town
{
    const char *name, *county, *registry;
};
const Town Towns[] = {{"Bucuresti", "Bucuresti", "J40"}, {"Cluj-Napoca", "Cluj", "J12"},
                      {"Iasi", "Iasi", "J22"},           {"Timisoara", "Timis", "J35"},
                      {"Constanta", "Constanta", "J13"}, {"Brasov", "Brasov", "J08"},
                      {"Craiova", "Dolj", "J16"},        {"Galati", "Galati", "J17"},
                      {"Ploiesti", "Prahova", "J29"},    {"Oradea", "Bihor", "J05"},
                      {"Sibiu", "Sibiu", "J32"},         {"Suceava", "Suceava", "J33"},
                      {"Pitesti", "Arges", "J03"},       {"Arad", "Arad", "J02"},
                      {"Bacau", "Bacau", "J04"}};
const char *const Streets[] = {"Str. Mihai Eminescu", "Bd. Unirii",       "Str. Libertatii",
                               "Calea Victoriei",     "Str. Avram Iancu", "Bd. Independentei",
                               "Str. Florilor",       "Str. Garii"};
struct Bank
{
    const char *name, *code;
};
const Bank Banks[] = {
    {"Banca Transilvania", "BTRL"}, {"BCR", "RNCB"},     {"BRD", "BRDE"}, {"ING Bank", "INGB"},
    {"Raiffeisen Bank", "RZBR"},    {"CEC Bank", "CECE"}};

struct GoodKind
{
    const char *name, *unit;
    int minPrice, maxPrice; // lei
    int vat;
};
const GoodKind GoodKinds[] = {{"Cafea boabe", "kg", 40, 120, 11},
                              {"Ceai verde", "cutie", 8, 30, 11},
                              {"Zahar", "kg", 4, 8, 11},
                              {"Faina", "kg", 3, 7, 11},
                              {"Ulei floarea soarelui", "l", 7, 14, 11},
                              {"Orez", "kg", 6, 15, 11},
                              {"Detergent", "buc", 20, 70, 21},
                              {"Sapun lichid", "buc", 6, 25, 21},
                              {"Hartie copiator", "top", 18, 35, 21},
                              {"Pix albastru", "buc", 1, 6, 21},
                              {"Dosar plic", "set", 5, 20, 21},
                              {"Bec LED", "buc", 8, 40, 21},
                              {"Prelungitor", "buc", 25, 90, 21},
                              {"Baterii AA", "set", 10, 45, 21},
                              {"Surub", "cutie", 8, 60, 21},
                              {"Diblu", "cutie", 6, 40, 21},
                              {"Vopsea lavabila", "buc", 60, 350, 21},
                              {"Pensula", "buc", 5, 30, 21},
                              {"Banda adeziva", "buc", 3, 15, 21},
                              {"Manusi protectie", "set", 6, 25, 21}};
const char *const GoodVariants[] = {"",     " standard", " premium",     " mare",
                                    " mic", " eco",      " profesional", " clasic"};

struct ServiceKind
{
    const char *name, *unit, *currency;
    int minPrice, maxPrice;
};
const ServiceKind ServiceKinds[] = {
    {"Transport marfa", "km", "RON", 2, 6},        {"Montaj", "ora", "RON", 60, 150},
    {"Consultanta", "ora", "RON", 120, 400},       {"Mentenanta lunara", "luna", "RON", 200, 1500},
    {"Instruire personal", "ora", "RON", 90, 250}, {"Reparatie", "buc", "RON", 50, 600},
    {"Inchiriere utilaj", "zi", "RON", 100, 700},  {"Proiectare", "ora", "RON", 150, 450},
    {"Licenta program", "buc", "EUR", 50, 900},    {"Asistenta tehnica", "ora", "EUR", 30, 90}};

struct Good
{
    QString name, unit;
    Money purchasePrice;
    int vat = 21;
};

struct Service
{
    qint64 id = 0;
    QString currency;
};

struct WorkPoint
{
    qint64 id = 0;
    qint64 warehouse = 0;
    std::map<int, double> stock; // what the generator knows is left, per good
    int deposits = 0;            // deposit slips taken to the bank so far
};

struct Company
{
    qint64 id = 0;
    QList<WorkPoint> workPoints;
    QList<qint64> clients;
    QList<qint64> suppliers;
    QList<Service> services;
    stock::Method method = stock::Method::Fifo;
    int supplierInvoiceNumber = 1000;
};

// A bank collection due on a later day.
struct PendingPayment
{
    qint64 company = 0;
    qint64 workPoint = 0;
    qint64 invoice = 0;
    qint64 client = 0;
    QString method;
    Money amount;
};

int64_t mod97(const QString &digits)
{
    int64_t rest = 0;
    for (const QChar c : digits)
        rest = (rest * 10 + (c.unicode() - '0')) % 97;
    return rest;
}

class Run
{
public:
    Run(const QString &programDir, const Options &options,
        const std::function<void(int, int)> &progress)
        : m_options(options), m_progress(progress), m_random(options.seed), m_dm(m_state, m_user),
          m_dir(programDir)
    {}

    Summary go()
    {
        if (QFileInfo::exists(QDir(m_dir).filePath(QStringLiteral("db/tarabix.db"))))
            throw std::runtime_error("a database already exists in " + m_dir.toStdString());
        if (!m_dm.start({m_dir, m_store, m_editor}))
            throw std::runtime_error("the database could not be created: " +
                                     m_user.lastMessage.toStdString());
        TdmRC rc(m_dm);
        Connection &c = m_dm.cnc();
        // A new file that is thrown away if the run fails: no need to wait
        // for the disk after every document.
        c.exec(QStringLiteral("PRAGMA synchronous=OFF"));

        const int days = std::max(1, (m_options.documents + m_options.documentsPerDay - 1) /
                                         m_options.documentsPerDay);
        m_summary.lastDay = m_options.lastDay;
        m_summary.firstDay = m_options.lastDay.addDays(-(days - 1));

        makeCatalogue();
        makeCompanies();
        int done = 0;
        for (int day = 0; day < days; ++day) {
            const QDate date = m_summary.firstDay.addDays(day);
            Transaction t(c);
            collectDue(date);
            const int today = std::min(m_options.documentsPerDay, m_options.documents - done);
            for (int i = 0; i < today; ++i) {
                salesDocument(date);
                ++done;
            }
            closeTheDay(date);
            t.commit();
            if (m_progress)
                m_progress(done, m_options.documents);
        }
        c.exec(QStringLiteral("PRAGMA synchronous=FULL"));
        c.exec(QStringLiteral("analyze"));
        return m_summary;
    }

private:
    // --- chance ---------------------------------------------------------
    int between(int low, int high)
    {
        return std::uniform_int_distribution<int>(low, high)(m_random);
    }
    bool chance(int percent) { return between(1, 100) <= percent; }
    template <class T, std::size_t N> const T &pick(const T (&items)[N])
    {
        return items[between(0, int(N) - 1)];
    }
    template <class T> const T &pick(const QList<T> &items)
    {
        return items[between(0, int(items.size()) - 1)];
    }
    Money price(int low, int high)
    {
        return Money::fromUnits(qint64(between(low * 100, high * 100)) * 100);
    }

    // The day's rate of a currency, the same for every run.
    static std::optional<Money> rateOn(QDate day, const QString &currency)
    {
        const qint64 wobble = (day.toJulianDay() * 37) % 400;
        if (currency == QLatin1String("EUR"))
            return Money::fromUnits(49500 + wobble);
        if (currency == QLatin1String("USD"))
            return Money::fromUnits(43000 + wobble * 2);
        return Money::fromInt(1);
    }

    QString companyName()
    {
        for (;;) {
            QString name =
                QString::fromLatin1(pick(NameFirst)) + u' ' + QString::fromLatin1(pick(NameSecond));
            if (chance(30))
                name += u' ' + QString::fromLatin1(pick(NameFirst));
            name += u' ' + QString::fromLatin1(pick(NameSuffix));
            if (m_names.insert(name.toUpper()).second)
                return name;
        }
    }

    QString personName()
    {
        return QString::fromLatin1(pick(FamilyNames)) + u' ' +
               QString::fromLatin1(pick(GivenNames));
    }

    NewPartner partner()
    {
        NewPartner p;
        const Town &town = pick(Towns);
        const Bank &bank = pick(Banks);
        p.name = companyName();
        p.fiscalCode = (chance(70) ? QStringLiteral("RO") : QString()) +
                       fiscalCode(quint32(between(100000, 49999999)));
        p.regCom = QString::fromLatin1(town.registry) + u'/' +
                   QString::number(between(100, 25000)) + u'/' +
                   QString::number(between(1995, 2025));
        p.address = QString::fromLatin1(pick(Streets)) + QStringLiteral(" nr. ") +
                    QString::number(between(1, 180));
        p.town = QString::fromLatin1(town.name);
        p.county = QString::fromLatin1(town.county);
        p.country = QStringLiteral("Romania");
        p.bank = QString::fromLatin1(bank.name);
        p.account =
            iban(QString::fromLatin1(bank.code),
                 quint64(between(1, 999999999)) * 10000000ULL + quint64(between(0, 9999999)));
        p.delegate = personName();
        p.cardSeries = QStringLiteral("RX");
        p.cardNumber = QString::number(between(100000, 999999));
        p.phone = QStringLiteral("07") + QString::number(between(20000000, 99999999));
        p.email = QStringLiteral("office@") + p.name.section(u' ', 0, 0).toLower() +
                  QString::number(between(1, 99)) + QStringLiteral(".ro");
        p.contact = personName();
        return p;
    }

    // --- set-up ---------------------------------------------------------
    void makeCatalogue()
    {
        std::set<QString> taken;
        while (int(m_goods.size()) < m_options.goods) {
            const GoodKind &kind = pick(GoodKinds);
            const QString name =
                QString::fromLatin1(kind.name) + QString::fromLatin1(pick(GoodVariants));
            if (!taken.insert(name).second) {
                if (taken.size() >= std::size(GoodKinds) * std::size(GoodVariants))
                    break;
                continue;
            }
            m_goods.push_back({name, QString::fromLatin1(kind.unit),
                               price(kind.minPrice, kind.maxPrice), kind.vat});
        }
    }

    void selectCompany(const Company &company)
    {
        if (m_dm.companyId() != company.id &&
            !m_dm.adoSetari.locate(QStringLiteral("id"), company.id))
            throw std::runtime_error("own company not found");
    }

    void makeCompanies()
    {
        Connection &c = m_dm.cnc();
        Transaction t(c);
        const qint64 start = m_dm.companyId();
        // Work points of the first company; the companies made after it copy them.
        for (int i = 1; i < m_options.workPoints; ++i) {
            const Town &town = pick(Towns);
            Dataset &points = m_dm.adoSeriiF;
            points.append();
            points.setValue(QStringLiteral("DenumirePunctLucru"),
                            QString(QStringLiteral("Magazin ") + QString::fromLatin1(town.name)));
            points.setValue(QStringLiteral("AbrevierePunctLucru"), QStringLiteral("M%1").arg(i));
            points.setValue(QStringLiteral("AdresaPunctLucru"), QString::fromLatin1(pick(Streets)));
            const QList<QPair<const char *, const char *>> series = {
                {"SerieFactura", "FCT"},          {"SerieAviz", "AVZ"}, {"SerieChitanta", "CHT"},
                {"SerieDispozdeincasare", "DSP"}, {"serienir", "NIR"},  {"seriebc", "BC"}};
            for (const auto &[column, prefix] : series)
                points.setValue(QString::fromLatin1(column),
                                QString(QString::fromLatin1(prefix) + QString::number(i + 1)));
            for (const char *counter :
                 {"NrFactura", "NrAviz", "NrChitanta", "Dispozitiedeincasareplata", "nrnir", "nrbc",
                  "NrFisaService"})
                points.setValue(QString::fromLatin1(counter), 1);
            points.post();
            c.insert(QStringLiteral("SubcategoriiStocuri"),
                     {QStringLiteral("id_categorie"), QStringLiteral("Categorie")},
                     {points.asInteger(QStringLiteral("id")), QStringLiteral("Magazie")});
        }
        for (int i = 0; i < m_options.companies; ++i) {
            const NewPartner p = partner();
            Dataset &own = m_dm.adoSetari;
            if (i == 0) {
                if (!own.locate(QStringLiteral("id"), start))
                    throw std::runtime_error("start company not found");
                own.edit();
            } else {
                own.append();
            }
            own.setValue(QStringLiteral("NumeFirma"), p.name.toUpper());
            own.setValue(QStringLiteral("CUI"), p.fiscalCode);
            own.setValue(QStringLiteral("RegCom"), p.regCom);
            own.setValue(QStringLiteral("Sediul"), p.address);
            own.setValue(QStringLiteral("Localitate"), p.town);
            own.setValue(QStringLiteral("Judet"), p.county);
            own.setValue(QStringLiteral("Tara"), p.country);
            own.setValue(QStringLiteral("Telefon"), p.phone);
            own.setValue(QStringLiteral("email"), p.email);
            own.setValue(QStringLiteral("CapitalSoc"), 200);
            own.setValue(QStringLiteral("tipstoc"), i % 3);
            own.setValue(QStringLiteral("DataIn"), m_summary.firstDay.addYears(-1));
            own.post();
            Company company;
            company.id = own.asInteger(QStringLiteral("id"));
            company.method = static_cast<stock::Method>(i % 3);
            c.insert(QStringLiteral("Conturi"),
                     {QStringLiteral("Banca"), QStringLiteral("Cont"), QStringLiteral("id_firma")},
                     {p.bank, p.account, company.id}, QStringLiteral("ID"));
            m_companies.append(company);
        }
        for (Company &company : m_companies) {
            selectCompany(company);
            QSqlQuery points =
                c.run(QStringLiteral("select id from SeriiActe where id_firma=:f order by id"),
                      {company.id});
            while (points.next()) {
                WorkPoint wp;
                wp.id = points.value(0).toLongLong();
                wp.warehouse =
                    c.scalar(QStringLiteral(
                                 "select min(id) from SubcategoriiStocuri where id_categorie=:w"),
                             {wp.id})
                        .toLongLong();
                company.workPoints.append(wp);
            }
            points.finish();
            makePartners(company);
            makeServices(company);
            m_summary.workPoints += int(company.workPoints.size());
        }
        m_summary.companies = int(m_companies.size());
        t.commit();
    }

    void makePartners(Company &company)
    {
        AppState &state = m_dm.state();
        for (int i = 0; i < m_options.clients + m_options.suppliers; ++i) {
            const bool supplier = i >= m_options.clients;
            state.newPartnerIsClient = !supplier;
            state.newPartnerIsSupplier = supplier;
            const qint64 id = saveNewPartner(m_dm, partner());
            if (id == 0)
                throw std::runtime_error("partner not saved: " + m_user.lastMessage.toStdString());
            (supplier ? company.suppliers : company.clients).append(id);
        }
        state.newPartnerIsClient = true;
        state.newPartnerIsSupplier = false;
        // Entered before the first document, whatever today is.
        m_dm.cnc().exec(
            QStringLiteral("update Clienti set DataIn=:d where id_firma=:f and emitent=false"),
            {m_summary.firstDay.addDays(-30), company.id});
        m_summary.partners += m_options.clients + m_options.suppliers;
    }

    void makeServices(Company &company)
    {
        Connection &c = m_dm.cnc();
        const qint64 category =
            c.scalar(QStringLiteral("select min(id) from Categorii where id_firma=:f"),
                     {company.id})
                .toLongLong();
        const qint64 sort =
            c.scalar(QStringLiteral("select min(id) from Sortimente where id_categorie=:c"),
                     {category})
                .toLongLong();
        for (int i = 0; i < m_options.services; ++i) {
            const ServiceKind &kind = ServiceKinds[i % std::size(ServiceKinds)];
            QString name = QString::fromLatin1(kind.name);
            if (i >= int(std::size(ServiceKinds)))
                name += QStringLiteral(" nivel %1").arg(i / int(std::size(ServiceKinds)) + 1);
            const qint64 id =
                c.insert(QStringLiteral("ListaProduse"),
                         {QStringLiteral("id_sort"), QStringLiteral("DenPr"), QStringLiteral("UM"),
                          QStringLiteral("Pret"), QStringLiteral("cotaTVA"),
                          QStringLiteral("moneda"), QStringLiteral("NrZecimale")},
                         {sort, name, QString::fromLatin1(kind.unit),
                          QVariant::fromValue(price(kind.minPrice, kind.maxPrice)), 21,
                          QString::fromLatin1(kind.currency), 2});
            company.services.append({id, QString::fromLatin1(kind.currency)});
        }
    }

    // --- the days -------------------------------------------------------
    // Goods for a work point, on a supplier invoice of the day, when what is
    // left of one of them would not cover a sale.
    void restock(Company &company, WorkPoint &wp, QDate day, const QList<int> &needed)
    {
        supplierdocs::Workspace ws(m_dm);
        ws.selectSupplier(pick(company.suppliers));
        supplierdocs::Header h;
        h.kind = numbering::Invoice;
        h.goods = true;
        h.warehouseId = wp.warehouse;
        h.series = QStringLiteral("FF");
        h.number = QString::number(++company.supplierInvoiceNumber);
        h.date = QDateTime(day, QTime(8, 0));
        h.dueDate = day.addDays(30);
        h.mentionText = QStringLiteral("Cu TVA");
        h.workPointId = wp.id;
        if (!ws.checkHeader(h, false))
            throw std::runtime_error("supplier invoice refused: " +
                                     m_user.lastMessage.toStdString());
        ws.setHeader(h);
        for (const int index : needed) {
            const Good &good = m_goods[index];
            supplierdocs::Line l;
            l.name = good.name;
            l.unit = good.unit;
            l.price = good.purchasePrice;
            l.quantity = between(20, 120);
            l.vatRate = Money::fromInt(good.vat);
            l.currencyIn = QStringLiteral("RON");
            l.withSalePrice = true;
            l.markup = Money::fromInt(between(20, 45));
            l.vatRateOut = Money::fromInt(good.vat);
            l.currencyOut = QStringLiteral("RON");
            l.amounts = supplierdocs::recalcInputPrices(l.price, l.quantity, l.vatRate, 2, true,
                                                        l.markup, l.vatRateOut, 2);
            if (!ws.addLine(l))
                throw std::runtime_error("supplier line refused: " +
                                         m_user.lastMessage.toStdString());
            wp.stock[index] += l.quantity;
            ++m_summary.lines;
        }
        ++m_summary.supplierDocuments;
    }

    void salesDocument(QDate day)
    {
        Company &company = m_companies[between(0, int(m_companies.size()) - 1)];
        selectCompany(company);
        WorkPoint &wp = company.workPoints[between(0, int(company.workPoints.size()) - 1)];
        const int roll = between(1, 100);
        const int kind = roll <= 85
                             ? numbering::Invoice
                             : (roll <= 95 ? numbering::DeliveryNote : numbering::ConsumptionNote);
        const int pay = between(1, 100);
        const QString payment = kind != numbering::Invoice ? QString()
                                : pay <= 50                ? QStringLiteral("Chitanta")
                                : pay <= 85                ? QStringLiteral("OP")
                                                           : QStringLiteral("Card");

        // What goes on it: goods from the warehouse and services of the price list.
        const int lineCount = between(1, 6);
        QList<QPair<int, double>> goods;
        QList<QPair<Service, double>> services;
        for (int i = 0; i < lineCount; ++i) {
            if (kind != numbering::Invoice || chance(65)) {
                const int index = between(0, int(m_goods.size()) - 1);
                bool again = false;
                for (const auto &g : goods)
                    again = again || g.first == index;
                if (!again)
                    goods.append({index, double(between(1, 12))});
            } else {
                services.append({pick(company.services), double(between(1, 10))});
            }
        }
        if (goods.isEmpty() && services.isEmpty())
            goods.append({between(0, int(m_goods.size()) - 1), 1});
        QList<int> short_;
        for (const auto &[index, quantity] : goods) {
            if (wp.stock[index] < quantity)
                short_.append(index);
        }
        if (!short_.isEmpty())
            restock(company, wp, day, short_);

        const auto rates = [day](const QString &currency) { return rateOn(day, currency); };
        DocumentWorkspace ws(m_dm, rates);
        ws.selectClient(pick(company.clients));
        DocumentWorkspace::Header h;
        h.kind = kind;
        h.workPointId = wp.id;
        h.date = day;
        h.payment = payment;
        h.currency = QStringLiteral("RON");
        h.mentionText = QStringLiteral("Cu TVA");
        h.dueDate = day.addDays(payment == QLatin1String("OP") ? 30 : 0);
        if (!ws.setHeader(h))
            throw std::runtime_error("header refused: " + m_user.lastMessage.toStdString());
        for (const auto &[service, quantity] : services) {
            const int discount = chance(15) ? -5 * between(1, 3) : 0;
            if (!ws.addProductLine(service.id, QString::number(quantity), discount))
                throw std::runtime_error("line refused: " + m_user.lastMessage.toStdString());
        }
        for (const auto &[index, quantity] : goods) {
            const Good &good = m_goods[index];
            const QString percent = chance(10) ? QStringLiteral("-10") : QStringLiteral("0");
            if (!ws.addStockLine(wp.warehouse, good.name, good.unit, QString::number(quantity),
                                 percent))
                throw std::runtime_error("stock line refused: " + m_user.lastMessage.toStdString());
        }
        m_summary.lines += ws.lineCount();
        if (kind == numbering::Invoice && chance(5)) {
            if (!ws.addGeneralLine(QStringLiteral("-5")))
                throw std::runtime_error("discount refused: " + m_user.lastMessage.toStdString());
            m_summary.lines += 1;
        }
        ++m_summary.salesDocuments;

        // A few invoices stay proformas, never validated.
        if (kind == numbering::Invoice && chance(3))
            return;
        const stock::Method method = company.method;
        Tdm &dm = m_dm;
        DocumentValidation validation(
            m_dm, rates,
            [&dm, method](qint64 line, const QString &name, double quantity, int decimalsIn,
                          int decimalsMM, qint64 workPoint) {
                stock::consumeStock(dm.cnc(), line, name, quantity, decimalsIn, decimalsMM,
                                    workPoint, method);
            });
        DocumentValidation::Options options;
        options.silent = true;
        if (validation.validate(ws.documentId(), options) != DocumentValidation::Outcome::Validated)
            throw std::runtime_error("validation failed: " + validation.error().toStdString());
        ++m_summary.validated;
        for (const auto &[index, quantity] : goods)
            wp.stock[index] -= quantity;

        if (kind != numbering::Invoice)
            return;
        const Money total = ws.totals().total;
        if (payment == QLatin1String("Chitanta")) {
            // Paid on the spot, now and then in two parts.
            if (chance(10)) {
                const Money first = total.mulDiv(60, 100, 2);
                collect(company.id, wp.id, ws.documentId(), ws.clientId(), day, payment, first);
                m_pending.insert(
                    {day.addDays(between(3, 20)),
                     {company.id, wp.id, ws.documentId(), ws.clientId(), payment, total - first}});
            } else {
                collect(company.id, wp.id, ws.documentId(), ws.clientId(), day, payment, total);
            }
        } else if (payment == QLatin1String("Card")) {
            collect(company.id, wp.id, ws.documentId(), ws.clientId(), day, payment, total);
        } else if (chance(85)) {
            // Most bank transfers arrive within the term; the rest stay unpaid.
            m_pending.insert(
                {day.addDays(between(5, 45)),
                 {company.id, wp.id, ws.documentId(), ws.clientId(), QStringLiteral("OP"), total}});
        }
    }

    // The cash that came in does not stay in the drawer: at the end of the
    // day the cashier now and then pays a small expense, and takes to the
    // bank whatever is above the change kept for the next morning.
    void closeTheDay(QDate day)
    {
        Connection &c = m_dm.cnc();
        const TMonedaPlata lei{QStringLiteral("RON"), 2};
        for (Company &company : m_companies) {
            for (WorkPoint &wp : company.workPoints) {
                const std::optional<qint64> sheet =
                    sheets::findSheetOfDay(c, company.id, wp.id, lei.code, day);
                if (!sheet)
                    continue;
                Money total = moneyFromValue(c.scalar(
                    QStringLiteral("select Total from RegistruCasaSold where id=:id"), {*sheet}));
                const Money cost = Money::fromInt(between(20, 300));
                if (chance(20) && cost < total) {
                    sheets::RegisterLine expense;
                    expense.nrActCasa =
                        QStringLiteral("BF-") + QString::number(between(1000, 9999));
                    expense.explicatii = QStringLiteral("Materiale consumabile");
                    expense.simbolCont = QStringLiteral("604");
                    expense.plati = cost;
                    expense.currency = lei;
                    sheets::addRegisterLine(c, m_user, *sheet, expense);
                    total = total - cost;
                }
                const Money kept = Money::fromInt(between(5, 20) * 100);
                if (total <= kept)
                    continue;
                sheets::RegisterLine deposit;
                deposit.nrActCasa = QStringLiteral("FV-") + QString::number(++wp.deposits);
                deposit.explicatii = QStringLiteral("Depunere numerar la banca");
                deposit.simbolCont = QStringLiteral("581");
                deposit.plati = total - kept;
                deposit.currency = lei;
                sheets::addRegisterLine(c, m_user, *sheet, deposit);
            }
        }
    }

    void collectDue(QDate day)
    {
        while (!m_pending.empty() && m_pending.begin()->first <= day) {
            const PendingPayment p = m_pending.begin()->second;
            m_pending.erase(m_pending.begin());
            collect(p.company, p.workPoint, p.invoice, p.client, day, p.method, p.amount);
        }
    }

    void collect(qint64 companyId, qint64 workPoint, qint64 invoice, qint64 client, QDate day,
                 const QString &method, Money amount)
    {
        for (const Company &company : m_companies) {
            if (company.id == companyId)
                selectCompany(company);
        }
        collections::Collection c;
        c.invoiceId = invoice;
        c.clientId = client;
        c.date = day;
        c.method = method;
        c.amount = amount;
        c.amountInWords = amountInWords(amount, QStringLiteral("RON")).value_or(QString());
        const QVariant number =
            m_dm.cnc().scalar(QStringLiteral("select Nf from Facturi where id=:id"), {invoice});
        c.reprezentand = QStringLiteral("Contravaloarea facturii ") + number.toString();
        c.currency = TMonedaPlata{QStringLiteral("RON"), 2};
        c.workPointId = workPoint;
        // Now and then a receipt is written wrong: it is cancelled and
        // written again, as the receipts window lets a cashier do.
        const bool writtenWrong = chance(3);
        for (int attempt = writtenWrong ? 0 : 1; attempt < 2; ++attempt) {
            const collections::Numbering n = collections::proposedNumber(m_dm, method, workPoint);
            c.numberText = QString::number(n.number);
            c.series = n.series;
            const std::optional<collections::Added> added = collections::addCollection(m_dm, c);
            if (!added)
                throw std::runtime_error("collection refused: " + m_user.lastMessage.toStdString());
            ++m_summary.collections;
            if (attempt == 0) {
                collections::cancelCollection(m_dm, added->id);
                ++m_summary.cancelledCollections;
            }
        }
    }

    Options m_options;
    std::function<void(int, int)> m_progress;
    std::mt19937 m_random;
    AppState m_state;
    HurriedUser m_user;
    NoStore m_store;
    NoEditor m_editor;
    Tdm m_dm;
    QString m_dir;
    Summary m_summary;
    std::vector<Good> m_goods;
    QList<Company> m_companies;
    std::multimap<QDate, PendingPayment> m_pending;
    std::set<QString> m_names;
};

} // namespace

QString fiscalCode(quint32 digits)
{
    static const int key[] = {7, 5, 3, 2, 1, 7, 5, 3, 2};
    const QString body = QString::number(digits);
    const QString padded = body.rightJustified(9, u'0');
    int sum = 0;
    for (int i = 0; i < 9; ++i)
        sum += (padded[i].unicode() - '0') * key[i];
    const int control = sum * 10 % 11;
    return body + QString::number(control == 10 ? 0 : control);
}

QString iban(const QString &bankCode, quint64 account)
{
    const QString basic =
        bankCode.toUpper() + QString::number(account).rightJustified(16, u'0').right(16);
    // Letters count as 10 to 35; the country and "00" go to the end.
    QString digits;
    const QString rearranged = basic + QStringLiteral("RO00");
    for (const QChar c : rearranged)
        digits += c.isDigit() ? QString(c) : QString::number(c.unicode() - 'A' + 10);
    const int check = int(98 - mod97(digits));
    return QStringLiteral("RO") + QString::number(check).rightJustified(2, u'0') + basic;
}

Summary generate(const QString &programDir, const Options &options,
                 const std::function<void(int, int)> &progress)
{
    Run run(programDir, options, progress);
    return run.go();
}

} // namespace generator
