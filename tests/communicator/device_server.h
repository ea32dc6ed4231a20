// Servers on a free loopback port for the communicator tests: a real HTTP
// server, and a raw one that answers a single connection with canned bytes
// (a reply cut short, or none at all).
#pragma once

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>

#include "platform/communicator/lcdcomm.h"

class DeviceServer {
public:
    httplib::Server server;

    DeviceServer() { server.set_keep_alive_max_count(1000); }
    ~DeviceServer()
    {
        // Close our idle keep-alive connections first, or the server waits
        // out its keep-alive time-out on each of them.
        lcdcomm::configure(lcdcomm::Settings{});
        server.stop();
        if (m_thread.joinable())
            m_thread.join();
    }

    // Call after the handlers are set.
    void start()
    {
        m_port = server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { server.listen_after_bind(); });
        // A stop() before the loop runs would be lost and the join would hang.
        while (!server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(m_port); }

    // Points the communicator at this server.
    void use(const std::string& token = "", const std::string& user = "",
             const std::string& password = "", long timeoutMs = 5000) const
    {
        lcdcomm::Settings settings;
        settings.url = url();
        settings.token = token;
        settings.user = user;
        settings.password = password;
        settings.timeoutMs = timeoutMs;
        lcdcomm::configure(settings);
    }

private:
    int m_port = 0;
    std::thread m_thread;
};

class RawServer {
public:
    explicit RawServer(std::string reply) : m_reply(std::move(reply))
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_socket, 4);
        socklen_t length = sizeof address;
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serveOne(); });
    }
    ~RawServer()
    {
        ::shutdown(m_socket, SHUT_RDWR);
        if (m_thread.joinable())
            m_thread.join();
        ::close(m_socket);
    }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(m_port); }
    // The request head as it came off the wire; read after the exchange.
    std::string received() { m_thread.join(); return m_request; }

private:
    void serveOne()
    {
        const int client = ::accept(m_socket, nullptr, nullptr);
        if (client < 0)
            return;
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
            if (got <= 0)
                break;
            request.append(buffer, static_cast<std::size_t>(got));
        }
        m_request = request;
        if (!m_reply.empty())
            (void)::send(client, m_reply.data(), m_reply.size(), MSG_NOSIGNAL);
        ::close(client);
    }

    std::string m_reply;
    std::string m_request;
    int m_socket = -1;
    int m_port = 0;
    std::thread m_thread;
};

// A loopback port on which nothing listens.
inline std::string refusedUrl()
{
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(probe);
    return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
}
