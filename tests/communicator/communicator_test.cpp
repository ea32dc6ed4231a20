// The communicator against a loopback device: one login shared by every
// thread, requests sent exactly as built, the failures that give no reply,
// and settings read from the environment.
#include <gtest/gtest.h>

#include <curl/curl.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "host/lcdcommunicator.h"
#include "tests/communicator/device_server.h"

namespace {

HttpClient* client() {
    return HttpSingleTon::getInstance()->getHttpClient();
}

std::string bodyOf(const HttpRespon* response) {
    return std::string(response->getBody(), response->getBodySize());
}

std::string token() {
    return HttpLogin::getInstance()->getToken();
}

} // namespace

TEST(CommunicatorLogin, OneLoginServesAllThreadsAndEachPutCarriesItsTokenAndBodyExactly) {
    DeviceServer device;
    device.loginDelayMs = 200; // every thread asks while the login is under way
    std::mutex mutex;
    std::vector<httplib::Request> seen;
    device.server.Put("/movra/v1/layers/image-quality",
                      [&](const httplib::Request& request, httplib::Response& reply) {
                          std::lock_guard<std::mutex> lock(mutex);
                          seen.push_back(request);
                          reply.set_content("{\"code\":0}", "application/json");
                      });
    device.start();
    device.use("", "ann \"the\" admin", "p\\w\n\x01");

    std::vector<std::string> tokens(6);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < tokens.size(); ++i)
        threads.emplace_back([&, i] { tokens[i] = token(); });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(tokens, std::vector<std::string>(tokens.size(), "tok-1"));
    EXPECT_EQ(device.loginType, "application/json");
    const nlohmann::json credentials = nlohmann::json::parse(device.loginBody, nullptr, false);
    EXPECT_EQ(credentials,
              nlohmann::json({{"username", "ann \"the\" admin"}, {"password", "p\\w\n\x01"}}));

    // A body with a NUL byte, UTF-8 and a size below the buffer's length.
    static const char bytes[] = "[{\"a\":1}]\0\xc3\xa9tail-not-sent";
    const std::string text(bytes, sizeof bytes - 1);
    for (int i = 0; i < 2; ++i) {
        HttpRequest* request = client()->createRequest("PUT", "/movra/v1/layers/image-quality");
        request->setHead("Content-Type", "application/json");
        request->setHead("Authorization", token().c_str());
        request->setBody(text.data(), 12);
        int status = 0;
        HttpRespon* response = client()->sendRequest(request, &status);
        ASSERT_NE(response, nullptr);
        EXPECT_EQ(status, 200);
        EXPECT_EQ(bodyOf(response), "{\"code\":0}");
    }
    EXPECT_EQ(device.logins.load(), 1);
    ASSERT_EQ(seen.size(), 2u);
    for (const httplib::Request& put : seen) {
        EXPECT_EQ(put.method + " " + put.path, "PUT /movra/v1/layers/image-quality");
        EXPECT_EQ(put.body, text.substr(0, 12));
        EXPECT_EQ(put.get_header_value("Content-Type"), "application/json");
        EXPECT_EQ(put.get_header_value("Authorization"), "tok-1");
        EXPECT_EQ(put.get_header_value("Content-Length"), "12");
        EXPECT_FALSE(put.has_header("Expect"));
    }
    EXPECT_EQ(seen[0].remote_port, seen[1].remote_port) << "the connection was not reused";
}

TEST(CommunicatorLogin, RefusedOrMalformedLoginSaysWhyKeepsNoTokenAndIsTriedAgainLater) {
    const std::vector<std::pair<const char*, const char*>> refusals = {
        {R"({"code":3,"message":"bad password"})",
         "the device refused the login: code 3 \"bad password\""},
        {R"({"code":0,"data":{}})", "the login reply has no token"},
        {R"({"code":0,"data":"tok"})", "the login reply has no \"data\" object"},
        {"<html>", "the login reply is not a JSON object"},
    };
    for (const auto& [reply, error] : refusals) {
        DeviceServer device;
        device.loginReply = reply;
        device.start();
        device.use("", "ann", "pw");
        EXPECT_EQ(token(), "") << reply;
        std::string why;
        EXPECT_FALSE(lcdcomm::login(&why));
        EXPECT_EQ(why, error);
        device.loginReply = R"({"code":0,"data":{"token":"later"}})";
        EXPECT_EQ(token(), "later") << reply;
        EXPECT_EQ(device.logins.load(), 3) << reply;
    }
}

TEST(CommunicatorLogin, ARejectedLoginTokenIsReplacedByANewLoginButAGivenTokenIsKept) {
    for (const std::string given : {"", "given"}) {
        DeviceServer device;
        device.server.Get("/guarded", [](const httplib::Request&, httplib::Response& reply) {
            reply.status = 401;
            reply.set_content("{\"code\":401}", "application/json");
        });
        device.start();
        device.use(given, "ann", "pw");
        HttpRequest* request = client()->createRequest("GET", "/guarded");
        request->setHead("Authorization", token().c_str());
        int status = 0;
        // A complete reply is the caller's, whatever its status.
        HttpRespon* response = client()->sendRequest(request, &status);
        ASSERT_NE(response, nullptr) << given;
        EXPECT_EQ(status, 401);
        EXPECT_EQ(bodyOf(response), "{\"code\":401}");
        EXPECT_EQ(token(), given.empty() ? "tok-1" : given);
        EXPECT_EQ(device.logins.load(), given.empty() ? 2 : 0) << given;
    }
}

TEST(CommunicatorRequest, FailsWithTheTransportCodeWhenNoCompleteReplyArrivesAndThenRecovers) {
    DeviceServer device;
    device.server.Get("/slow", [](const httplib::Request&, httplib::Response& reply) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        reply.set_content("late", "text/plain");
    });
    device.server.Get("/cut", [](const httplib::Request&, httplib::Response& reply) {
        reply.set_content_provider(100, "application/json",
                                   [](std::size_t, std::size_t, httplib::DataSink& sink) {
                                       sink.write("{\"code\":", 8);
                                       return false; // the device goes away mid-body
                                   });
    });
    device.server.Get("/ok", [](const httplib::Request&, httplib::Response& reply) {
        reply.set_content("ok", "text/plain");
    });
    device.start();
    const std::vector<std::tuple<std::string, const char*, CURLcode>> failures = {
        {device.url(), "/slow", CURLE_OPERATION_TIMEDOUT},
        {device.url(), "/cut", CURLE_PARTIAL_FILE},
        {refusedUrl(), "/ok", CURLE_COULDNT_CONNECT},
        {"ftp://127.0.0.1:1", "/ok", CURLE_UNSUPPORTED_PROTOCOL},
    };
    for (const auto& [url, path, code] : failures) {
        lcdcomm::configure({url, "", "", "", 200});
        int status = 0;
        EXPECT_EQ(client()->sendRequest(client()->createRequest("GET", path), &status), nullptr)
            << url << path;
        EXPECT_EQ(status, -static_cast<int>(code)) << url << path;
        device.use();
        HttpRespon* response =
            client()->sendRequest(client()->createRequest("GET", "/ok"), &status);
        ASSERT_NE(response, nullptr) << url << path;
        EXPECT_EQ(bodyOf(response), "ok");
    }
}

TEST(CommunicatorSettings, ReadsTheEnvironmentAndFallsBackOnBadValuesWithoutLoggingSecrets) {
    struct Case {
        const char *url, *timeout;
        std::string expectedUrl;
        long expectedTimeout;
        const char* complaint; // text expected on stderr, or null for none
    };
    const std::vector<Case> cases = {
        {nullptr, nullptr, "http://127.0.0.1:8900", 5000, nullptr},
        {"http://10.0.0.5:8080", "250", "http://10.0.0.5:8080", 250, nullptr},
        {"http://[::1]:80", "1", "http://[::1]:80", 1, nullptr},
        {"10.0.0.5:8080", nullptr, "http://127.0.0.1:8900", 5000, "LCD_DEVICE_URL is not"},
        {"http://h:70000", nullptr, "http://127.0.0.1:8900", 5000, "LCD_DEVICE_URL is not"},
        {nullptr, "fast", "http://127.0.0.1:8900", 5000, "LCD_DEVICE_TIMEOUT_MS \"fast\" is not"},
        {nullptr, "0", "http://127.0.0.1:8900", 5000, "LCD_DEVICE_TIMEOUT_MS \"0\" is not"},
        {nullptr, "99999999999", "http://127.0.0.1:8900", 5000, "LCD_DEVICE_TIMEOUT_MS"},
    };
    ::setenv("LCD_DEVICE_TOKEN", "secret-token-7", 1);
    ::setenv("LCD_DEVICE_USER", "ann", 1);
    ::setenv("LCD_DEVICE_PASSWORD", "hunter2", 1);
    for (const Case& c : cases) {
        for (const auto& [name, value] :
             {std::pair{"LCD_DEVICE_URL", c.url}, std::pair{"LCD_DEVICE_TIMEOUT_MS", c.timeout}})
            value ? ::setenv(name, value, 1) : ::unsetenv(name);
        testing::internal::CaptureStderr();
        const lcdcomm::Settings s = lcdcomm::Settings::fromEnvironment();
        const std::string log = testing::internal::GetCapturedStderr();
        SCOPED_TRACE(std::string(c.url ? c.url : "-") + " " + (c.timeout ? c.timeout : "-") + ": " +
                     log);
        EXPECT_EQ(
            std::tie(s.url, s.timeoutMs, s.token, s.user, s.password),
            std::make_tuple(c.expectedUrl, c.expectedTimeout, "secret-token-7", "ann", "hunter2"));
        if (c.complaint) {
            EXPECT_NE(log.find(c.complaint), std::string::npos);
            EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
        } else {
            EXPECT_EQ(log, "");
        }
        EXPECT_EQ(log.find("secret-token-7"), std::string::npos);
        EXPECT_EQ(log.find("hunter2"), std::string::npos);
    }
    for (const char* name : {"LCD_DEVICE_URL", "LCD_DEVICE_TIMEOUT_MS", "LCD_DEVICE_TOKEN",
                             "LCD_DEVICE_USER", "LCD_DEVICE_PASSWORD"})
        ::unsetenv(name);
}
