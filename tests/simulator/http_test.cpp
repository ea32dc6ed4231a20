// The simulator as an HTTP server a lab leans on: what a client sends is
// held to the stated limits with the device's JSON refusals, control POSTs
// need no body, an idle connection is served again, and many event streams
// each get every report while requests are answered.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tools/simulator/devicesim.h"
#include "tools/simulator/limits.h"

namespace {

using nlohmann::json;

// A new connection on which `request` has been sent.
int connectTo(int port, const std::string& request = "") {
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{AF_INET, htons(static_cast<uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
    EXPECT_EQ(::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ::send(s, request.data(), request.size(), MSG_NOSIGNAL);
    return s;
}

// Adds what `s` receives to `got` until it holds `until` (never, when
// empty), the peer closes or nothing comes for a generous while.
std::string readUntil(int s, const std::string& until, std::string got = "") {
    char buffer[65536];
    pollfd p{s, POLLIN, 0};
    while ((until.empty() || got.find(until) == std::string::npos) && ::poll(&p, 1, 20000) == 1) {
        const ssize_t n = ::recv(s, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

// Sends `head`, a last header that asks the server to close and `body`
// on a new connection; what came back until the server closed.
std::string exchange(int port, const std::string& head, const std::string& body = "") {
    const int s = connectTo(port, head + "\r\nConnection: close\r\n\r\n" + body);
    const std::string answer = readUntil(s, "");
    ::close(s);
    return answer;
}

std::string bodyOf(const std::string& answer) {
    return answer.substr(answer.find("\r\n\r\n") + 4);
}

class Server : public testing::Test {
protected:
    void SetUp() override { ASSERT_GT(m_sim.start(), 0) << m_sim.error(); }
    int port() const { return m_sim.port(); }
    json stats() { return json::parse(bodyOf(exchange(port(), "GET /sim/stats HTTP/1.1"))); }

    LCD::Sim::DeviceSim m_sim{LCD::Sim::Options{"127.0.0.1", 0, "admin", "admin", "T0", 4}};
};

TEST_F(Server, WhatItCannotTakeIsRefusedWithTheRightStatusAndTheDevicesJson) {
    const std::string line(8200, 'a'), big = "X-Big: " + line + "\r\n";
    const std::string half = "X-Half: " + std::string(6000, 'h') + "\r\n";
    const std::string tooLarge =
        "request head larger than 16384 bytes, or a header line larger than 8192";
    struct Case {
        std::string head, body;
        int status;
        std::string message;
    } cases[] = {
        {"GET /sim/fault", "", 405, "GET /sim/fault is not allowed; it takes POST"},
        {"TRACE /sim/requests", "", 405,
         "TRACE /sim/requests is not allowed; it takes GET, DELETE"},
        {"PUT /nowhere HTTP/1.1\r\nContent-Length: 2", "{}", 404, "no such endpoint"},
        {"GET /sim/layers/2x/picture.png", "", 404, "no layer 2x"},
        {"GET /sim/stats HTTP/1.1\r\n" + big, "", 431, tooLarge},
        {"GET /sim/stats HTTP/1.1\r\n" + half + half + half, "", 431, tooLarge},
        {"GET /" + line + line, "", 431, tooLarge},
        {"PUT /movra/v1/layers/image-quality HTTP/1.1\r\nContent-Length: 67108865", "[", 413,
         "request body larger than 67108864 bytes"},
        {"POST /sim/fault HTTP/1.1\r\nContent-Length: 1e3", "", 400,
         "Content-Length is not a number"},
        {"NOT HTTP AT ALL", "", 400, "the request could not be read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.head.substr(0, 60));
        const bool lineOnly = c.head.find("HTTP/1.1") == std::string::npos;
        const std::string answer = exchange(port(), c.head + (lineOnly ? " HTTP/1.1" : ""), c.body);
        ASSERT_EQ(answer.rfind("HTTP/1.1 " + std::to_string(c.status) + " ", 0), 0u) << answer;
        EXPECT_EQ(json::parse(bodyOf(answer)), (json{{"code", c.status}, {"message", c.message}}));
        EXPECT_EQ(answer.find("\r\nAllow: ") != std::string::npos, c.status == 405);
    }
    // A chunked body has no stated length: it is cut off as it passes the limit.
    const int s = connectTo(port(), "PUT /movra/v1/layers/image-quality HTTP/1.1\r\n"
                                    "Transfer-Encoding: chunked\r\n\r\n");
    const std::string piece = "100000\r\n" + std::string(1 << 20, ' ') + "\r\n";
    for (std::size_t sent = 0; sent <= LCD::Sim::kMaxBodyBytes; sent += 1 << 20)
        if (::send(s, piece.data(), piece.size(), MSG_NOSIGNAL) < 0)
            break;
    const std::string answer = readUntil(s, "}");
    ::close(s);
    EXPECT_EQ(answer.rfind("HTTP/1.1 413 ", 0), 0u) << answer.substr(0, 200);
}

// Control posts go in the plain form, without a body, on one connection
// that is kept between them, also once it waited with the idle ones.
TEST_F(Server, EveryOpenStreamUpToTheLimitGetsEachReportOfControlPostsOnAKeptConnection) {
    const std::string subscribe = "GET /events HTTP/1.1\r\nAuthorization: T0";
    EXPECT_EQ(
        exchange(port(), "GET /events HTTP/1.1\r\nAuthorization: wrong").rfind("HTTP/1.1 401 ", 0),
        0u);
    std::vector<int> streams;
    for (std::size_t i = 0; i < LCD::Sim::kMaxStreams; ++i)
        streams.push_back(connectTo(port(), subscribe + "\r\n\r\n"));
    std::vector<std::string> got(streams.size());
    for (std::size_t i = 0; i < streams.size(); ++i)
        got[i] = readUntil(streams[i], ": open");
    EXPECT_EQ(stats()["subscribers"], LCD::Sim::kMaxStreams);
    EXPECT_EQ(exchange(port(), subscribe).rfind("HTTP/1.1 503 ", 0), 0u);

    const int s = connectTo(port());
    const auto post = [s](const char* path) {
        const std::string request = std::string("POST ") + path + " HTTP/1.1\r\n\r\n";
        ::send(s, request.data(), request.size(), MSG_NOSIGNAL);
        return bodyOf(readUntil(s, "}"));
    };
    EXPECT_EQ(post("/sim/fault"), R"({"code":0})");
    const int reports = 3;
    for (int r = 0; r < reports; ++r) {
        EXPECT_EQ(stats()["reports"], r);
        EXPECT_EQ(post("/sim/autoreport"),
                  R"({"code":0,"subscribers":)" + std::to_string(LCD::Sim::kMaxStreams) + "}");
    }
    for (std::size_t i = 0; i < streams.size(); ++i) {
        got[i] = readUntil(streams[i], "\"seq\":3,", got[i]);
        EXPECT_LT(got[i].find(": open\n\n"), got[i].find("data: ")) << "no opening comment first";
        for (int r = 1; r <= reports; ++r)
            EXPECT_NE(
                got[i].find(R"(data: {"source":"lcd-device-sim","seq":)" + std::to_string(r) + ","),
                std::string::npos)
                << "stream " << i << " lacks report " << r;
    }
    // Long enough for the connection to wait with the idle ones.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(post("/sim/stream/drop"), R"({"code":0})");
    ::close(s);
    got[0] = readUntil(streams[0], "", got[0]);
    EXPECT_EQ(got[0].substr(got[0].size() - 5), "0\r\n\r\n") << "the stream did not end";
    for (const int stream : streams)
        ::close(stream);
}

} // namespace
