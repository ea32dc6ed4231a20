#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "host/lcdcommunicator.h"
#include "tests/communicator/device_server.h"

namespace {

// A device whose login answers with `reply` and counts the attempts.
struct LoginDevice {
    DeviceServer device;
    std::atomic<int> logins{0};
    std::string reply = R"({"code":0,"message":"ok","data":{"token":"tok-1"}})";
    nlohmann::json lastBody;
    std::string lastContentType;
    int delayMs = 0;

    LoginDevice()
    {
        device.server.Post("/movra/v1/system/auth/login",
                           [this](const httplib::Request& request, httplib::Response& response) {
                               ++logins;
                               lastBody = nlohmann::json::parse(request.body, nullptr, false);
                               lastContentType = request.get_header_value("Content-Type");
                               std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
                               response.set_content(reply, "application/json");
                           });
        device.start();
    }
};

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name)
    {
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv() { ::unsetenv(m_name); }

private:
    const char* m_name;
};

} // namespace

TEST(CommunicatorLogin, LogsInOnceWithEscapedCredentialsAndKeepsTheToken)
{
    LoginDevice login;
    login.device.use("", "ann \"the\" admin", "p\\w\n\x01");

    EXPECT_EQ(HttpLogin::getInstance()->getToken(), "tok-1");
    EXPECT_EQ(HttpLogin::getInstance()->getToken(), "tok-1");
    EXPECT_EQ(login.logins.load(), 1);
    EXPECT_EQ(login.lastContentType, "application/json");
    ASSERT_TRUE(login.lastBody.is_object());
    EXPECT_EQ(login.lastBody.size(), 2u);
    EXPECT_EQ(login.lastBody["username"], "ann \"the\" admin");
    EXPECT_EQ(login.lastBody["password"], "p\\w\n\x01");
}

TEST(CommunicatorLogin, LeavesTheTokenEmptyWhenRefusedAndTriesAgainLater)
{
    struct Case {
        const char* reply;
        const char* error;
    };
    const std::vector<Case> refusals = {
        {R"({"code":3,"message":"bad password"})", "the device refused the login (code 3)"},
        {R"({"code":0,"data":{}})", "the login reply has no token"},
        {R"({"code":0,"data":"tok"})", "the login reply has no \"data\" object"},
        {"<html>", "the login reply is not a JSON object"},
    };
    for (const Case& c : refusals) {
        LoginDevice login;
        login.reply = c.reply;
        login.device.use("", "ann", "pw");
        EXPECT_EQ(HttpLogin::getInstance()->getToken(), "") << c.reply;
        std::string error;
        EXPECT_FALSE(lcdcomm::login(&error));
        EXPECT_EQ(error, c.error);
        login.reply = R"({"code":0,"data":{"token":"later"}})";
        EXPECT_EQ(HttpLogin::getInstance()->getToken(), "later") << c.reply;
        EXPECT_EQ(login.logins.load(), 3) << c.reply;
    }
}

TEST(CommunicatorLogin, RunsOneLoginForManyThreadsAskingAtOnce)
{
    LoginDevice login;
    login.delayMs = 200;
    login.device.use("", "ann", "pw");
    std::vector<std::string> tokens(8);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < tokens.size(); ++i)
        threads.emplace_back([&, i] { tokens[i] = HttpLogin::getInstance()->getToken(); });
    for (auto& thread : threads)
        thread.join();
    for (const auto& token : tokens)
        EXPECT_EQ(token, "tok-1");
    EXPECT_EQ(login.logins.load(), 1);
}

TEST(CommunicatorLogin, UsesAGivenTokenWithoutLoggingIn)
{
    LoginDevice login;
    ScopedEnv url("LCD_DEVICE_URL", login.device.url().c_str());
    ScopedEnv token("LCD_DEVICE_TOKEN", "env-token");
    ScopedEnv user("LCD_DEVICE_USER", "ann");
    lcdcomm::configure(lcdcomm::Settings::fromEnvironment());
    EXPECT_EQ(HttpLogin::getInstance()->getToken(), "env-token");
    EXPECT_EQ(login.logins.load(), 0);
}

TEST(CommunicatorLogin, LogsInAgainAfterTheDeviceRejectsTheToken)
{
    LoginDevice login;
    login.device.server.Get("/guarded", [](const httplib::Request&, httplib::Response& response) {
        response.status = 401;
    });
    login.device.use("", "ann", "pw");
    HttpClient* client = HttpSingleTon::getInstance()->getHttpClient();
    HttpRequest* request = client->createRequest("GET", "/guarded");
    request->setHead("Authorization", HttpLogin::getInstance()->getToken().c_str());
    int status = 0;
    ASSERT_NE(client->sendRequest(request, &status), nullptr);
    EXPECT_EQ(status, 401);
    EXPECT_EQ(HttpLogin::getInstance()->getToken(), "tok-1");
    EXPECT_EQ(login.logins.load(), 2);
}

TEST(CommunicatorSettings, ReadsTheEnvironmentAndFallsBackOnBadValues)
{
    struct Case {
        const char* url;
        const char* timeout;
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
    ScopedEnv token("LCD_DEVICE_TOKEN", "secret-token-7");
    ScopedEnv user("LCD_DEVICE_USER", "ann");
    ScopedEnv password("LCD_DEVICE_PASSWORD", "hunter2");
    for (const Case& c : cases) {
        ScopedEnv url("LCD_DEVICE_URL", c.url);
        ScopedEnv timeout("LCD_DEVICE_TIMEOUT_MS", c.timeout);
        testing::internal::CaptureStderr();
        const lcdcomm::Settings settings = lcdcomm::Settings::fromEnvironment();
        const std::string log = testing::internal::GetCapturedStderr();
        const std::string label = std::string(c.url ? c.url : "-") + " " + (c.timeout ? c.timeout : "-");
        EXPECT_EQ(settings.url, c.expectedUrl) << label;
        EXPECT_EQ(settings.timeoutMs, c.expectedTimeout) << label;
        EXPECT_EQ(settings.token, "secret-token-7");
        EXPECT_EQ(settings.user, "ann");
        EXPECT_EQ(settings.password, "hunter2");
        if (c.complaint) {
            EXPECT_NE(log.find(c.complaint), std::string::npos) << label << ": " << log;
            EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << label << ": " << log;
        } else {
            EXPECT_EQ(log, "") << label;
        }
        EXPECT_EQ(log.find("secret-token-7"), std::string::npos);
        EXPECT_EQ(log.find("hunter2"), std::string::npos);
    }
}

