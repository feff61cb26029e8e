#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>

class QNetworkAccessManager;
struct AppState;
class Prompter;
struct WebSettings;

enum class HttpMethod
{
    Head,
    Get,
    Post
};

struct WebRequest
{
    HttpMethod method = HttpMethod::Get;
    QUrl url;
    QByteArray body;        // sent with Post
    QByteArray contentType; // of the body
};

struct WebReply
{
    enum Status
    {
        Skipped,    // online access is paused after a failure: no request was made
        Failed,     // no 2xx answer in time (network, TLS, HTTP status, timeout)
        Unreadable, // a 2xx answer whose body the caller could not use
        Ok,
    };
    Status status = Skipped;
    QByteArray body;
    QString contentType;
    QString date; // the Date header as sent
};

// Time sources, replaceable in tests.
struct WebClock
{
    std::function<std::chrono::steady_clock::time_point()> now = &std::chrono::steady_clock::now;
    std::function<QDate()> today = &QDate::currentDate;
};

// The one way the program talks to the web. A request runs in a local event
// loop, so the caller waits while the UI keeps processing events; it is
// aborted when it has not finished within the configured time.
//
// Online access (AppState::onlineAccessOk) goes false after a failed fetch;
// until the pause has passed, fetches are skipped without a request. A
// successful fetch sets it true.
class WebClient
{
public:
    WebClient(const WebSettings &settings, AppState &state, Prompter &prompter,
              WebClock clock = {});
    ~WebClient();
    WebClient(const WebClient &) = delete;
    WebClient &operator=(const WebClient &) = delete;

    const WebSettings &settings() const { return m_settings; }
    Prompter &prompter() { return m_prompter; }
    QDate today() const { return m_clock.today(); }

    // Runs the request. A failure shows the network message. `readable`
    // decides whether a 2xx body is usable (Unreadable when it returns false;
    // the caller then shows its own message); without it every 2xx body is.
    // Failed and Unreadable both pause online access.
    WebReply fetch(const WebRequest &request,
                   const std::function<bool(const QByteArray &body)> &readable = {});

private:
    bool paused() const;
    void fail();
    WebReply run(const WebRequest &request);

    const WebSettings &m_settings;
    AppState &m_state;
    Prompter &m_prompter;
    WebClock m_clock;
    std::unique_ptr<QNetworkAccessManager> m_network;
    std::chrono::steady_clock::time_point m_pausedUntil;
};
