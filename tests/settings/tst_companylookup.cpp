#include "settings/loopbackserver.h"

#include "core/appstate.h"
#include "settings/companylookup.h"
#include "settings/webclient.h"
#include "settings/websettings.h"
#include "support/scriptedprompter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

#include <mutex>

namespace {

const QString NetworkFailure =
    QStringLiteral("error:  Nu se pot citi online valorile pentru cursul valutar sau CIF.");
const QString ReadError = QStringLiteral("error: Eroare la citirea datelor online");
const QString NotDigits = QStringLiteral("error: Codul fiscal trebuie sa contina doar cifre");
const QString DigitCount = QStringLiteral("error: Nr de cifre incorect");

struct Harness
{
    WebSettings settings;
    AppState state;
    ScriptedPrompter prompter;
    WebClient client{settings, state, prompter,
                     WebClock{&std::chrono::steady_clock::now, [] { return QDate(2023, 11, 11); }}};
    CompanyLookup lookup{client};
};

} // namespace

class TestCompanyLookup : public QObject
{
    Q_OBJECT

    LoopbackServer<> m_http;
    std::mutex m_mutex;
    QByteArray m_vatQuery;     // the last body posted to the VAT-payer service
    QByteArray m_vatQueryType; // and its content type

    QString url(const char *path) const { return m_http.origin() + QLatin1StringView(path); }

    void useJsonService(Harness &h, const char *base = "/api/companies/")
    {
        h.settings.companySource = CompanySource::CompanyJson;
        h.settings.companyJsonUrl = url(base);
    }
    void useVatService(Harness &h, const char *path = "/api/PlatitorTvaRest/v9/tva")
    {
        h.settings.companySource = CompanySource::VatPayerService;
        h.settings.vatPayerUrl = url(path);
    }

private Q_SLOTS:
    void initTestCase()
    {
        const std::string company = fixture(QFINDTESTDATA("fixtures/company.json"));
        const std::string found = fixture(QFINDTESTDATA("fixtures/anaf/vat-payer-found.json"));
        const std::string notFound =
            fixture(QFINDTESTDATA("fixtures/anaf/vat-payer-not-found.json"));
        QVERIFY(!company.empty() && !found.empty() && !notFound.empty());

        httplib::Server &s = m_http.server;
        s.Get("/api/companies/4264242.json",
              [company](const httplib::Request &, httplib::Response &res) {
                  res.set_content(company, "application/json");
              });
        const auto html = [](const httplib::Request &, httplib::Response &res) {
            res.set_content("<html><body>Serviciu indisponibil</body></html>", "text/html");
        };
        s.Get(R"(/html/.*)", html);
        s.Post(R"(/html/.*)", html);
        // 4264242 as published; 4264243 the same company without VAT registration.
        s.Post("/api/PlatitorTvaRest/v9/tva", [this, found, notFound](const httplib::Request &req,
                                                                      httplib::Response &res) {
            {
                const std::lock_guard lock(m_mutex);
                m_vatQuery = QByteArray::fromStdString(req.body);
                m_vatQueryType = QByteArray::fromStdString(req.get_header_value("Content-Type"));
            }
            const qint64 code = QJsonDocument::fromJson(QByteArray::fromStdString(req.body))
                                    .array()
                                    .at(0)["cui"]
                                    .toInteger();
            std::string answer = notFound;
            if (code == 4264242) {
                answer = found;
            } else if (code == 4264243) {
                answer = found;
                answer.replace(answer.find("\"scpTVA\": true"), 14, "\"scpTVA\": false");
            }
            res.set_content(answer, "application/json");
        });
        m_http.start();
        QVERIFY(m_http.listening());
    }

    void cleanupTestCase() { m_http.stop(); }

    // Blanks and an "RO" prefix in any case are dropped; what is left must be
    // 2 to 10 ASCII digits, or no request is made.
    void fiscalCode_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("digits"); // empty: refused
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("blanks and ro") << " ro 4264242 "
                                       << "4264242"
                                       << "RO4264242" << QStringList();
        QTest::newRow("RO") << "RO4264242"
                            << "4264242"
                            << "RO4264242" << QStringList();
        QTest::newRow("digits") << "4264242"
                                << "4264242"
                                << "4264242" << QStringList();
        QTest::newRow("letter after RO") << "RO12A"
                                         << ""
                                         << "" << QStringList{NotDigits};
        QTest::newRow("empty: silent") << ""
                                       << ""
                                       << "" << QStringList();
        QTest::newRow("RO alone") << "RO"
                                  << ""
                                  << "" << QStringList{DigitCount};
        QTest::newRow("one digit") << "7"
                                   << ""
                                   << "" << QStringList{DigitCount};
        QTest::newRow("eleven digits") << "12345678901"
                                       << ""
                                       << "" << QStringList{DigitCount};
        QTest::newRow("path characters") << "42/../4264242"
                                         << ""
                                         << "" << QStringList{NotDigits};
        QTest::newRow("query characters") << "4264242.json?x=1#"
                                          << ""
                                          << "" << QStringList{NotDigits};
        QTest::newRow("percent") << "42%2F64242"
                                 << ""
                                 << "" << QStringList{NotDigits};
        QTest::newRow("inner blank") << "426 4242"
                                     << ""
                                     << "" << QStringList{NotDigits};
        QTest::newRow("non-ASCII digits") << QStringLiteral("٤٢٦٤٢٤٢") << ""
                                          << "" << QStringList{NotDigits};
    }
    void fiscalCode()
    {
        QFETCH(QString, typed);
        QFETCH(QString, digits);
        QFETCH(QString, stored);
        QFETCH(QStringList, shown);
        QCOMPARE(fiscalCodeDigits(typed).value_or(QString()), digits);

        Harness h;
        useJsonService(h);
        const int before = int(m_http.requests().size());
        const std::optional<CompanyData> company = h.lookup.lookupCompany(typed);
        QCOMPARE(h.prompter.shown, shown);
        const QStringList seen = m_http.requests().mid(before);
        if (digits.isEmpty()) {
            QVERIFY(!company);
            QCOMPARE(seen, QStringList());
        } else {
            QVERIFY(company);
            QCOMPARE(company->fiscalCode, stored);
            QCOMPARE(seen, QStringList{QStringLiteral("GET /api/companies/") + digits + u".json"});
        }
    }

    // Members are read by name: commas inside values and the last member are whole.
    void companyJsonFields()
    {
        Harness h;
        useJsonService(h);
        const std::optional<CompanyData> c = h.lookup.lookupCompany(QStringLiteral("4264242"));
        QVERIFY(c);
        QCOMPARE(c->name, QStringLiteral("CUMPANA 1993 SRL"));
        QCOMPARE(c->registryNumber, QStringLiteral("J40/16655/1993"));
        QCOMPARE(c->address, QStringLiteral("Str. Alexander von Humboldt, nr. 10, parter"));
        QCOMPARE(c->county, QStringLiteral("Bucureşti"));
        QCOMPARE(c->town, QStringLiteral("Sector 3"));
        QVERIFY(!c->vatPayer.has_value());
        QVERIFY(h.state.onlineAccessOk);
    }

    void vatPayerFound_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("query");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("vatPayer");
        QTest::newRow("VAT payer")
            << "4264242" << QByteArray(R"([{"cui": 4264242, "data": "2023-11-11"}])") << "RO4264242"
            << true;
        QTest::newRow("not a VAT payer, typed with RO")
            << "RO4264243" << QByteArray(R"([{"cui": 4264243, "data": "2023-11-11"}])") << "4264243"
            << false;
    }
    void vatPayerFound()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, query);
        QFETCH(QString, stored);
        QFETCH(bool, vatPayer);
        Harness h;
        useVatService(h);
        const std::optional<CompanyData> c = h.lookup.lookupCompany(typed);
        QVERIFY(c);
        {
            const std::lock_guard lock(m_mutex);
            QCOMPARE(QJsonDocument::fromJson(m_vatQuery), QJsonDocument::fromJson(query));
            QCOMPARE(m_vatQueryType, QByteArrayLiteral("application/json"));
        }
        QCOMPARE(c->fiscalCode, stored);
        QCOMPARE(c->vatPayer, std::optional<bool>(vatPayer));
        QCOMPARE(c->name, QStringLiteral("CUMPANA 1993 SRL"));
        QCOMPARE(c->registryNumber, QStringLiteral("J40/16655/1993"));
        QCOMPARE(c->address, QStringLiteral("MUNICIPIUL BUCUREŞTI, SECTOR 3, STR. ALEXANDER VON "
                                            "HUMBOLDT, NR.10, ET.PARTER"));
        QCOMPARE(c->town, QStringLiteral("Sector 3 Mun. Bucureşti"));
        QCOMPARE(c->county, QStringLiteral("MUNICIPIUL BUCUREŞTI"));
        QCOMPARE(c->postalCode, QStringLiteral("31472"));
        QCOMPARE(c->phone, QStringLiteral("0219224"));
        QVERIFY(h.prompter.shown.isEmpty());
    }

    // Not found is an answer, not a network failure.
    void vatPayerNotFound()
    {
        Harness h;
        useVatService(h);
        QVERIFY(!h.lookup.lookupCompany(QStringLiteral("3083485711")));
        QCOMPARE(h.prompter.shown,
                 QStringList{QStringLiteral("info: Codul fiscal 3083485711 nu a fost gasit")});
        QVERIFY(h.state.onlineAccessOk);
    }

    void answerNotUsable_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("shown");
        const auto json = int(CompanySource::CompanyJson);
        const auto vat = int(CompanySource::VatPayerService);
        QTest::newRow("JSON service: HTML with 200") << json << "/html/" << ReadError;
        QTest::newRow("JSON service: 404") << json << "/missing/" << NetworkFailure;
        QTest::newRow("VAT service: HTML with 200") << vat << "/html/tva" << ReadError;
        QTest::newRow("VAT service: 404") << vat << "/missing/tva" << NetworkFailure;
    }
    void answerNotUsable()
    {
        QFETCH(int, source);
        QFETCH(QString, path);
        QFETCH(QString, shown);
        Harness h;
        if (CompanySource(source) == CompanySource::CompanyJson)
            useJsonService(h, path.toLatin1().constData());
        else
            useVatService(h, path.toLatin1().constData());
        QVERIFY(!h.lookup.lookupCompany(QStringLiteral("4264242")));
        QCOMPARE(h.prompter.shown, QStringList{shown});
        QVERIFY(!h.state.onlineAccessOk);
    }
};

QTEST_GUILESS_MAIN(TestCompanyLookup)
#include "tst_companylookup.moc"
