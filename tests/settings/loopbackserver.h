#pragma once

#ifndef CPPHTTPLIB_OPENSSL_SUPPORT
#define CPPHTTPLIB_OPENSSL_SUPPORT
#endif
#include <httplib.h>

#include <QFile>
#include <QString>
#include <QStringList>

#include <mutex>
#include <string>
#include <thread>
#include <utility>

// A real HTTP(S) server on a free loopback port, answering from its own
// thread. It records "METHOD target" of every request as it arrives.
template <class Server = httplib::Server> class LoopbackServer
{
public:
    template <class... Args>
    explicit LoopbackServer(Args &&...args) : server(std::forward<Args>(args)...)
    {
        server.set_pre_routing_handler([this](const httplib::Request &req, httplib::Response &) {
            const std::lock_guard lock(m_mutex);
            m_requests << QString::fromStdString(req.method + ' ' + req.target);
            return httplib::Server::HandlerResponse::Unhandled;
        });
    }
    ~LoopbackServer() { stop(); }
    LoopbackServer(const LoopbackServer &) = delete;
    LoopbackServer &operator=(const LoopbackServer &) = delete;

    // Call once the handlers are set. Connections made before the thread
    // accepts them wait in the listening queue.
    void start()
    {
        m_port = server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { server.listen_after_bind(); });
    }
    void stop()
    {
        if (m_thread.joinable()) {
            server.stop();
            m_thread.join();
        }
    }

    bool listening() const { return m_port > 0; }
    QString origin(const QString &scheme = QStringLiteral("http")) const
    {
        return scheme + QStringLiteral("://127.0.0.1:") + QString::number(m_port);
    }
    int port() const { return m_port; }
    QStringList requests() const
    {
        const std::lock_guard lock(m_mutex);
        return m_requests;
    }

    Server server;

private:
    mutable std::mutex m_mutex;
    QStringList m_requests;
    int m_port = -1;
    std::thread m_thread;
};

inline std::string fixture(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll().toStdString();
}
