#include "settings/loopbackserver.h"

#include "core/appstate.h"
#include "settings/webclient.h"
#include "settings/webfetcher.h"
#include "settings/websettings.h"
#include "support/scriptedprompter.h"

#include <QProcess>
#include <QSslCertificate>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>

using namespace std::chrono_literals;

namespace {

const QString NetworkFailure =
    QStringLiteral("error:  Nu se pot citi online valorile pentru cursul valutar sau CIF.");
const QString RateUnreadable = QStringLiteral("error: Nu am putut citi cursul online");
const QDate Today(2024, 1, 24);

// A client and fetcher with a clock the test moves by hand.
struct Harness
{
    WebSettings settings;
    AppState state;
    ScriptedPrompter prompter;
    std::chrono::steady_clock::time_point now{};
    WebClient client{settings, state, prompter,
                     WebClock{[this] { return now; }, [] { return Today; }}};
    WebFetcher fetcher{client};

    bool fetch(const QString &url, HttpMethod method = HttpMethod::Get)
    {
        fetcher.setUrl(url);
        fetcher.setMethod(method);
        return fetcher.webFetch();
    }
};

// A self-signed certificate for 127.0.0.1 and its key, made by the openssl tool.
bool makeCertificate(const QString &dir, const QString &name)
{
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-subj"),
                   QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                   QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-days"),
                   QStringLiteral("2"), QStringLiteral("-keyout"), dir + u'/' + name + u".key",
                   QStringLiteral("-out"), dir + u'/' + name + u".pem"});
    return openssl.waitForFinished(30000) && openssl.exitCode() == 0;
}

} // namespace

class TestWebFetch : public QObject
{
    Q_OBJECT

    LoopbackServer<> m_http;
    QTemporaryDir m_certDir;
    std::unique_ptr<LoopbackServer<httplib::SSLServer>> m_https;

    QString url(const char *path) const { return m_http.origin() + QLatin1StringView(path); }
    int requestsTo(const QString &target) const { return int(m_http.requests().count(target)); }

private Q_SLOTS:
    void initTestCase()
    {
        httplib::Server &s = m_http.server;
        const std::string feed = fixture(QFINDTESTDATA("fixtures/bnr/nbrfxrates.xml"));
        QVERIFY(!feed.empty());
        s.Get("/nbrfxrates.xml", [feed](const httplib::Request &, httplib::Response &res) {
            res.set_content(feed, "text/xml");
        });
        // The body is the rate written in the path, as the rate pages send it.
        s.Get(R"(/rate/([^/]+)/bnr/azi/(eur|usd))",
              [](const httplib::Request &req, httplib::Response &res) {
                  res.set_content(req.matches[1].str() + "\n", "text/plain");
              });
        s.Get(R"(/html/.*)", [](const httplib::Request &, httplib::Response &res) {
            res.set_content("<html><body>Serviciu indisponibil</body></html>", "text/html");
        });
        s.Get("/page.txt", [](const httplib::Request &, httplib::Response &res) {
            res.set_content("salut", "text/plain");
        });
        s.Get("/head", [](const httplib::Request &, httplib::Response &res) {
            res.set_header("Date", "Wed, 24 Jan 2024 09:30:00 GMT");
            res.set_content("corp", "text/plain; charset=utf-8");
        });
        s.Post("/echo", [](const httplib::Request &req, httplib::Response &res) {
            res.set_content(req.get_header_value("Content-Type") + "|" + req.body, "text/plain");
        });
        s.Get(R"(/slow/(\d))", [](const httplib::Request &req, httplib::Response &res) {
            std::this_thread::sleep_for(std::chrono::seconds(std::stoi(req.matches[1].str())));
            res.set_content("gata", "text/plain");
        });
        m_http.start();
        QVERIFY(m_http.listening());

        QVERIFY(m_certDir.isValid());
        QVERIFY(makeCertificate(m_certDir.path(), QStringLiteral("server")));
        QVERIFY(makeCertificate(m_certDir.path(), QStringLiteral("other")));
        m_https = std::make_unique<LoopbackServer<httplib::SSLServer>>(
            (m_certDir.path() + QStringLiteral("/server.pem")).toLocal8Bit().constData(),
            (m_certDir.path() + QStringLiteral("/server.key")).toLocal8Bit().constData());
        QVERIFY(m_https->server.is_valid());
        m_https->server.Get("/bnr/azi/eur", [](const httplib::Request &, httplib::Response &res) {
            res.set_content("4.9767", "text/plain");
        });
        m_https->start();
        QVERIFY(m_https->listening());
    }

    void cleanupTestCase()
    {
        m_https.reset();
        m_http.stop();
    }

    // The feed gives every currency's rate per unit, exactly; EUR and USD also fill their box.
    void feedRates_data()
    {
        QTest::addColumn<QString>("currency");
        QTest::addColumn<QString>("exact");
        QTest::addColumn<qint64>("units");
        QTest::addColumn<int>("multiplier");
        QTest::addColumn<QString>("euroBox");
        QTest::addColumn<QString>("dollarBox");
        QTest::newRow("EUR") << "EUR"
                             << "4.9767" << qint64(49767) << 1 << "4,9767"
                             << "8";
        QTest::newRow("usd, lower case") << "usd"
                                         << "4.5780" << qint64(45780) << 1 << "7"
                                         << "4,5780";
        QTest::newRow("HUF per 100") << "HUF"
                                     << "0.012936" << qint64(129) << 100 << "7"
                                     << "8";
        QTest::newRow("KRW per 100") << "KRW"
                                     << "0.003420" << qint64(34) << 100 << "7"
                                     << "8";
    }
    void feedRates()
    {
        QFETCH(QString, currency);
        QFETCH(QString, exact);
        QFETCH(qint64, units);
        QFETCH(int, multiplier);
        QFETCH(QString, euroBox);
        QFETCH(QString, dollarBox);
        Harness h;
        h.settings.rateFeedUrl = url("/nbrfxrates.xml");
        h.fetcher.setEuroRate(QStringLiteral("7"));
        h.fetcher.setDollarRate(QStringLiteral("8"));

        const std::optional<RateQuote> quote = h.fetcher.fetchRate(currency);
        QVERIFY(quote);
        QCOMPARE(quote->currency, currency.toUpper());
        QCOMPARE(quote->exactRate, exact);
        QCOMPARE(quote->rate.units(), units);
        QCOMPARE(quote->multiplier, multiplier);
        QCOMPARE(quote->date, QDate(2024, 1, 23));
        QCOMPARE(quote->source, RateSource::NationalBankFeed);
        QCOMPARE(h.fetcher.euroRate(), euroBox);
        QCOMPARE(h.fetcher.dollarRate(), dollarBox);
        QVERIFY(h.prompter.shown.isEmpty());
        QVERIFY(h.state.onlineAccessOk);
    }

    // The rate pages: a bare rate with "." or ",", dated today.
    void pageRates_data()
    {
        QTest::addColumn<QString>("currency");
        QTest::addColumn<QString>("exact");
        QTest::addColumn<QString>("euroBox");
        QTest::addColumn<QString>("dollarBox");
        QTest::newRow("EUR with a point") << "EUR"
                                          << "4.9767"
                                          << "4,9767"
                                          << "8";
        QTest::newRow("USD with a comma") << "USD"
                                          << "4.5780"
                                          << "7"
                                          << "4,5780";
    }
    void pageRates()
    {
        QFETCH(QString, currency);
        QFETCH(QString, exact);
        QFETCH(QString, euroBox);
        QFETCH(QString, dollarBox);
        Harness h;
        h.settings.rateSource = RateSource::RatePages;
        h.settings.euroPageUrl = url("/rate/4.9767/bnr/azi/eur");
        h.settings.dollarPageUrl = url("/rate/4,5780/bnr/azi/usd");
        h.fetcher.setEuroRate(QStringLiteral("7"));
        h.fetcher.setDollarRate(QStringLiteral("8"));

        const std::optional<RateQuote> quote = h.fetcher.fetchRate(currency);
        QVERIFY(quote);
        QCOMPARE(quote->exactRate, exact);
        QCOMPARE(quote->rate, *Money::parse(exact));
        QCOMPARE(quote->date, Today);
        QCOMPARE(quote->source, RateSource::RatePages);
        QCOMPARE(h.fetcher.euroRate(), euroBox);
        QCOMPARE(h.fetcher.dollarRate(), dollarBox);
    }

    // A rate that cannot be taken over: a message, both boxes "1", no rate.
    void rateNotReadable_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("currency");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<bool>("online");
        const auto feed = int(RateSource::NationalBankFeed);
        const auto pages = int(RateSource::RatePages);
        QTest::newRow("currency not in the feed") << feed << "/nbrfxrates.xml"
                                                  << "XYZ" << QStringList{RateUnreadable} << false;
        QTest::newRow("HTML page with 200 instead of the feed")
            << feed << "/html/nbrfxrates.xml"
            << "EUR" << QStringList{RateUnreadable} << false;
        QTest::newRow("HTML page with 200 instead of a rate")
            << pages << "/html/bnr/azi/eur"
            << "EUR" << QStringList{RateUnreadable} << false;
        QTest::newRow("no page for the currency") << pages << "/rate/1.5/bnr/azi/eur"
                                                  << "GBP" << QStringList{RateUnreadable} << true;
        QTest::newRow("404 is a network failure: boxes kept")
            << feed << "/missing.xml"
            << "EUR" << QStringList{NetworkFailure} << false;
    }
    void rateNotReadable()
    {
        QFETCH(int, source);
        QFETCH(QString, path);
        QFETCH(QString, currency);
        QFETCH(QStringList, shown);
        QFETCH(bool, online);
        Harness h;
        h.settings.rateSource = RateSource(source);
        h.settings.rateFeedUrl = url(path.toLatin1().constData());
        h.settings.euroPageUrl = h.settings.rateFeedUrl;
        h.fetcher.setEuroRate(QStringLiteral("7"));
        h.fetcher.setDollarRate(QStringLiteral("8"));

        QVERIFY(!h.fetcher.fetchRate(currency));
        QCOMPARE(h.prompter.shown, shown);
        QCOMPARE(h.state.onlineAccessOk, online);
        const bool kept = shown == QStringList{NetworkFailure};
        QCOMPARE(h.fetcher.euroRate(), kept ? QStringLiteral("7") : QStringLiteral("1"));
        QCOMPARE(h.fetcher.dollarRate(), kept ? QStringLiteral("8") : QStringLiteral("1"));
    }

    // "Go!": a GET fills the box its address names, with a decimal comma.
    void webFetchGet_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QString>("euroBox");
        QTest::addColumn<QString>("dollarBox");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("euro page, point") << "/rate/4.9767/bnr/azi/eur" << true << "4.9767\n"
                                          << "4,9767"
                                          << "8" << QStringList();
        QTest::newRow("dollar page, comma") << "/rate/4,5780/bnr/azi/usd" << true << "4,5780\n"
                                            << "7"
                                            << "4,5780" << QStringList();
        QTest::newRow("neither eur nor usd: boxes untouched") << "/page.txt" << true << "salut"
                                                              << "7"
                                                              << "8" << QStringList();
        QTest::newRow("HTML with 200 at the euro page")
            << "/html/bnr/azi/eur" << false << "<html><body>Serviciu indisponibil</body></html>"
            << "1"
            << "1" << QStringList{RateUnreadable};
        QTest::newRow("404") << "/missing/bnr/azi/eur" << false << ""
                             << "7"
                             << "8" << QStringList{NetworkFailure};
    }
    void webFetchGet()
    {
        QFETCH(QString, path);
        QFETCH(bool, ok);
        QFETCH(QString, memo);
        QFETCH(QString, euroBox);
        QFETCH(QString, dollarBox);
        QFETCH(QStringList, shown);
        Harness h;
        h.fetcher.setEuroRate(QStringLiteral("7"));
        h.fetcher.setDollarRate(QStringLiteral("8"));

        QCOMPARE(h.fetch(url(path.toLatin1().constData())), ok);
        QCOMPARE(h.fetcher.memoHtml(), memo);
        QCOMPARE(h.fetcher.euroRate(), euroBox);
        QCOMPARE(h.fetcher.dollarRate(), dollarBox);
        QCOMPARE(h.prompter.shown, shown);
        QCOMPARE(h.state.onlineAccessOk, ok);
    }

    void webFetchHeadAndPost()
    {
        Harness h;
        QVERIFY(h.fetch(url("/head"), HttpMethod::Head));
        QCOMPARE(h.fetcher.memo1(),
                 QStringList(
                     {QStringLiteral("This is an example of some of the headers returned: "),
                      QStringLiteral("---------------------------------------------------"),
                      QStringLiteral("Content-Type: text/plain; charset=utf-8"),
                      QStringLiteral("Date: Wed, 24 Jan 2024 09:30:00 GMT"), QString(),
                      QStringLiteral("You can view all the headers by examining HTTP.Response")}));
        QVERIFY(h.fetcher.memoHtml().isEmpty());

        h.fetcher.setPostData("curs=eur&zi=2024-01-24");
        QVERIFY(h.fetch(url("/echo"), HttpMethod::Post));
        QCOMPARE(h.fetcher.memoHtml(),
                 QStringLiteral("application/x-www-form-urlencoded|curs=eur&zi=2024-01-24"));
    }

    // A request that does not finish in time is cut and pauses online access;
    // during the pause nothing is requested and the boxes read "1".
    void timeoutPausesOnlineAccess()
    {
        const QString euroTarget = QStringLiteral("GET /rate/4.9767/bnr/azi/eur");
        const QString feedTarget = QStringLiteral("GET /nbrfxrates.xml");
        const int euroBefore = requestsTo(euroTarget);
        const int feedBefore = requestsTo(feedTarget);
        Harness h;
        h.settings.rateFeedUrl = url("/nbrfxrates.xml");
        QVERIFY(!h.fetch(url("/slow/4")));
        QCOMPARE(h.prompter.shown, QStringList{NetworkFailure});
        QVERIFY(!h.state.onlineAccessOk);

        const QString euroPage = url("/rate/4.9767/bnr/azi/eur");
        h.fetcher.setEuroRate(QStringLiteral("7"));
        h.fetcher.setDollarRate(QStringLiteral("8"));
        h.now += 2999ms;
        QVERIFY(!h.fetch(euroPage));
        QVERIFY(!h.fetcher.fetchRate(QStringLiteral("EUR")));
        QCOMPARE(h.fetcher.euroRate(), QStringLiteral("1"));
        QCOMPARE(h.fetcher.dollarRate(), QStringLiteral("1"));
        QCOMPARE(h.prompter.shown.size(), 1);
        QCOMPARE(requestsTo(euroTarget), euroBefore);
        QCOMPARE(requestsTo(feedTarget), feedBefore);

        h.now += 1ms;
        QVERIFY(h.fetch(euroPage));
        QVERIFY(h.state.onlineAccessOk);
        QCOMPARE(h.fetcher.euroRate(), QStringLiteral("4,9767"));
        QCOMPARE(requestsTo(euroTarget), euroBefore + 1);
    }

    void requestWithinTheTimeoutIsKept()
    {
        Harness h;
        QVERIFY(h.fetch(url("/slow/1")));
        QCOMPARE(h.fetcher.memoHtml(), QStringLiteral("gata"));
        QVERIFY(h.prompter.shown.isEmpty());
    }

    // The proxy gets the whole address, with the credentials of the settings.
    void proxyAndCredentials()
    {
        LoopbackServer<> proxy;
        proxy.server.Get(R"(.*)", [](const httplib::Request &req, httplib::Response &res) {
            // "ion:parolă" in base64
            if (req.get_header_value("Authorization") == "Basic aW9uOnBhcm9sxIM=")
                res.set_content("4.9767", "text/plain");
            else
                res.status = 401;
        });
        proxy.start();
        QVERIFY(proxy.listening());

        Harness h;
        h.settings.proxyHost = QStringLiteral("127.0.0.1");
        h.settings.proxyPort = QString::number(proxy.port());
        h.settings.userName = QStringLiteral("ion");
        h.settings.password = QStringLiteral("parolă");
        QVERIFY(h.fetch(QStringLiteral("http://curs.example/bnr/azi/eur")));
        QCOMPARE(h.fetcher.euroRate(), QStringLiteral("4,9767"));
        QCOMPARE(proxy.requests(),
                 QStringList{QStringLiteral("GET http://curs.example/bnr/azi/eur")});

        h.settings.password = QStringLiteral("gresita");
        QVERIFY(!h.fetch(QStringLiteral("http://curs.example/bnr/azi/usd")));
        QCOMPARE(h.prompter.shown, QStringList{NetworkFailure});
    }

    // An untrusted certificate is refused unless the user chose to trust it.
    void tlsTrust_data()
    {
        QTest::addColumn<QString>("trusted");
        QTest::addColumn<bool>("useSsl");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("requests");
        QTest::newRow("no trusted certificate") << "" << true << false << 0;
        QTest::newRow("another certificate trusted") << "other.pem" << true << false << 0;
        QTest::newRow("this certificate trusted") << "server.pem" << true << true << 1;
        QTest::newRow("SSL switched off") << "server.pem" << false << false << 0;
    }
    void tlsTrust()
    {
        QFETCH(QString, trusted);
        QFETCH(bool, useSsl);
        QFETCH(bool, ok);
        QFETCH(int, requests);
        Harness h;
        h.settings.useSsl = useSsl;
        h.fetcher.setEuroRate(QStringLiteral("7"));
        if (!trusted.isEmpty()) {
            h.settings.trustedCertificates =
                QSslCertificate::fromPath(m_certDir.path() + u'/' + trusted);
            QCOMPARE(h.settings.trustedCertificates.size(), 1);
        }
        const int before = int(m_https->requests().size());

        QCOMPARE(h.fetch(m_https->origin(QStringLiteral("https")) + QStringLiteral("/bnr/azi/eur")),
                 ok);
        QCOMPARE(h.fetcher.euroRate(), ok ? QStringLiteral("4,9767") : QStringLiteral("7"));
        QCOMPARE(h.prompter.shown, ok ? QStringList() : QStringList{NetworkFailure});
        QCOMPARE(int(m_https->requests().size()) - before, requests);
    }
};

QTEST_GUILESS_MAIN(TestWebFetch)
#include "tst_webfetch.moc"
