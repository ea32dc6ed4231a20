// A device on a free loopback port for the communicator tests. Its login
// answers with `loginReply` and keeps what it was sent; tests add handlers
// of their own before start().
#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "platform/communicator/lcdcomm.h"

class DeviceServer {
public:
    httplib::Server server;
    std::atomic<int> logins{0};
    std::string loginReply = R"({"code":0,"message":"ok","data":{"token":"tok-1"}})";
    std::string loginBody, loginType; // of the last login
    int loginDelayMs = 0;

    DeviceServer() {
        server.set_keep_alive_max_count(1000);
        server.Post("/movra/v1/system/auth/login",
                    [this](const httplib::Request& request, httplib::Response& reply) {
                        ++logins;
                        loginBody = request.body;
                        loginType = request.get_header_value("Content-Type");
                        std::this_thread::sleep_for(std::chrono::milliseconds(loginDelayMs));
                        reply.set_content(loginReply, "application/json");
                    });
    }
    ~DeviceServer() {
        // Close our idle keep-alive connections first, or the server waits
        // out its keep-alive time-out on each of them.
        lcdcomm::configure(lcdcomm::Settings{});
        server.stop();
        if (m_thread.joinable())
            m_thread.join();
    }

    void start() {
        m_port = server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { server.listen_after_bind(); });
        // A stop() before the loop runs would be lost and the join would hang.
        while (!server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(m_port); }

    // Points the communicator at this server.
    void use(const std::string& token = "", const std::string& user = "",
             const std::string& password = "") const {
        lcdcomm::configure({url(), token, user, password, 5000});
    }

private:
    int m_port = 0;
    std::thread m_thread;
};

// A loopback port on which nothing listens any more.
inline std::string refusedUrl() {
    DeviceServer gone;
    gone.start();
    return gone.url();
}
