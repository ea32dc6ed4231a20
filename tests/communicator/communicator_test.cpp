// The communicator against a scripted device: one login shared by every
// thread, requests sent exactly as built, and each way a device can
// misbehave as a row with its outcome, the cause it is told by and the
// bound it is held to.
#include <gtest/gtest.h>

#include <curl/curl.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "host/lcdcommunicator.h"
#include "platform/communicator/device_limits.h"
#include "platform/communicator/lcdcomm.h"
#include "tests/support/scripted_device.h"
#include "tests/support/test_support.h"

namespace {

using testsupport::Answer;
using testsupport::kEndless;
using testsupport::reply;
using testsupport::ScriptedDevice;
using End = Answer::End;

constexpr const char* kLogin = "/movra/v1/system/auth/login";
constexpr const char* kPut = "/movra/v1/layers/image-quality";
const std::string kOkLogin = R"({"code":0,"message":"ok","data":{"token":"tok-1"}})";

std::string token() {
    return HttpLogin::getInstance()->getToken();
}

lcdcomm::Exchange g_seen; // the last exchange the observer was shown
const bool g_observing = (lcdcomm::observe([](const lcdcomm::Exchange& e) { g_seen = e; }), true);

struct Sent {
    HttpRespon* response;
    int status;
    double seconds;
};

Sent send(const char* method, const char* path, const std::string& body = "[]",
          const std::string& authorization = "t") {
    HttpClient* client = HttpSingleTon::getInstance()->getHttpClient();
    HttpRequest* request = client->createRequest(method, path);
    request->setHead("Content-Type", "application/json");
    request->setHead("Authorization", authorization.c_str());
    request->setBody(body.data(), static_cast<int>(body.size()));
    const auto began = std::chrono::steady_clock::now();
    int status = 0;
    HttpRespon* response = client->sendRequest(request, &status);
    return {response, status,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count()};
}

std::size_t countOn(const ScriptedDevice& device, const std::string& path) {
    std::size_t n = 0;
    for (const auto& request : device.requests())
        n += request.head.find(" " + path + " ") != std::string::npos;
    return n;
}

std::string nested(std::size_t depth) {
    return std::string(depth, '[') + std::string(depth, ']');
}

} // namespace

TEST(CommunicatorLogin, OneLoginServesAllThreadsAndEachPutCarriesItsTokenAndBodyExactly) {
    Answer slowLogin{"", reply(200, kOkLogin).bytes, 1};
    slowLogin.pauseMs = 200; // every thread asks while the login is under way
    ScriptedDevice device({{kLogin, slowLogin},
                           {kPut, reply(200, R"({"code":0})")},
                           {"/guarded", reply(401, R"({"code":401})")}});
    lcdcomm::configure({device.url(), "", "ann \"the\" admin", "p\\w\n\x01", 5000});
    std::vector<std::string> tokens(6);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < tokens.size(); ++i)
        threads.emplace_back([&, i] { tokens[i] = token(); });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(tokens, std::vector<std::string>(tokens.size(), "tok-1"));

    // A body with a NUL byte, UTF-8 and a size below the buffer's length.
    const std::string body("[{\"a\":1}]\0\xc3\xa9tail-not-sent", 12);
    for (int i = 0; i < 2; ++i) {
        const Sent sent = send("PUT", kPut, body, token());
        ASSERT_EQ(sent.status, 200);
        EXPECT_EQ(std::string(sent.response->getBody(), sent.response->getBodySize()),
                  R"({"code":0})");
    }
    const auto seen = device.requests();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].head.substr(0, seen[0].head.find('\n')),
              "POST " + std::string(kLogin) + " HTTP/1.1\r");
    EXPECT_NE(seen[0].head.find("\r\nContent-Type: application/json\r\n"), std::string::npos);
    EXPECT_EQ(nlohmann::json::parse(seen[0].body, nullptr, false),
              nlohmann::json({{"username", "ann \"the\" admin"}, {"password", "p\\w\n\x01"}}));
    for (std::size_t i = 1; i < 3; ++i)
        EXPECT_EQ(seen[i].head + seen[i].body,
                  "PUT /movra/v1/layers/image-quality HTTP/1.1\r\nHost: " + device.url().substr(7) +
                      "\r\nAccept: */*\r\nContent-Type: application/json\r\n"
                      "Authorization: tok-1\r\nContent-Length: 12\r\n" +
                      body);
    EXPECT_EQ(seen[1].connection, seen[2].connection) << "the connection was not reused";
    // A complete reply is the caller's, whatever its status; a 401 drops
    // the token from the login, so the next asks for a new one.
    EXPECT_NE(send("GET", "/guarded", "", token()).response, nullptr);
    EXPECT_EQ(g_seen.status, 401);
    EXPECT_EQ(token(), "tok-1");
    EXPECT_EQ(countOn(device, kLogin), 2u);
}

// Each row: the login's answer, why the login fails (empty: it succeeds
// with the token tok-1) and how the trace's reply starts. No row may show
// the token, and a failed login keeps none and is tried again.
TEST(CommunicatorLogin, AFailedLoginNamesItsCauseInTheSystemsWordsAndNoReplyShowsTheToken) {
    const std::string refused = "the device refused the login: ",
                      tokenIs = "the device's login token ";
    const std::vector<std::tuple<Answer, std::string, std::string>> rows = {
        {reply(200, R"({"code":3,"message":"bad password"})"), refused + "code 3 \"bad password\"",
         ""},
        {reply(200, R"({"code":0,"data":{}})"), "the login reply has no token", ""},
        {reply(200, R"({"code":0,"data":"tok"})"), "the login reply has no \"data\" object", ""},
        {reply(200, "<html>"), "the login reply is not a JSON object", "<html>"},
        {reply(200, std::string(R"({"code":"E_FAIL","message":"a)") + '\0' + "b\xff\"}"),
         refused + R"(code "E_FAIL" "a\x00b\xff")", ""},
        {reply(200, R"({"code":1e999})"), refused + "code 1e999", ""},
        {reply(401, R"({"code":10001,"message":)" + nested(1000000) + "}"),
         refused + "HTTP status 401, code 10001 " + std::string(200, '[') + "... (2000000 bytes)",
         ""},
        {reply(200, R"({"code":0,"data":{"token":"a\r\nX-Evil: 1"}})"),
         tokenIs + "holds bytes that cannot go into a header (control bytes such as CR or LF)",
         R"({"code":0,"data":{"token":"***"}})"},
        {reply(200, R"({"data":{"token":")" + std::string(5000, 'x') + "\"}}"),
         tokenIs + "is 5000 bytes, more than the 4096 allowed", R"({"data":{"token":"***"}})"},
        {{"HTTP/1.1 200 OK\r\n\r\n{\"data\":{\"token\":\"", std::string(65536, 'x'), kEndless},
         "the login request failed: the reply is more than the 16777216 bytes allowed",
         R"({"data":{"token":"***")"},
        {reply(200, R"({"code":0,"data":{"token":"tok-1"},"x":)" + nested(1000000) + "}"), "",
         R"({"code":0,"data":{"token":"***"},"x":[[[)"},
        {reply(200, R"({"data":{"\u0074oken":"tok-0"},"data":{"token" : "tok-1"}})"), "",
         R"({"data":{"\u0074oken":"***"},"data":{"token" : "***"}})"},
    };
    for (const auto& [answer, why, shown] : rows) {
        ScriptedDevice device({{kLogin, answer}});
        lcdcomm::configure({device.url(), "", "ann", "pw", 5000});
        std::string error;
        EXPECT_EQ(lcdcomm::login(&error), why.empty()) << why;
        EXPECT_EQ(error, why);
        EXPECT_EQ(token(), why.empty() ? "tok-1" : "") << why;
        EXPECT_EQ(g_seen.reply.substr(0, shown.size()), shown) << why;
        EXPECT_EQ(g_seen.reply.find("tok-1"), std::string::npos) << why;
        EXPECT_LE(g_seen.reply.size(), lcdcomm::limits::kShownReplyBytes + 5);
        EXPECT_EQ(countOn(device, kLogin), why.empty() ? 1u : 2u) << why;
    }
}

// Each row: the device's answer to a PUT, the status (HTTP, or minus the
// transport code), and the cause (or, for an answer, what the device is
// quoted as saying). Every row ends within the time-out and a margin,
// costs one request, keeps at most the caps, keeps the given token and
// leaves the next request served.
TEST(CommunicatorRequest, EveryMisbehaviourOfTheDeviceEndsBoundedWithItsCauseNamed) {
    const std::string ok = reply(200, R"({"code":0})").bytes, h = "HTTP/1.1 200 OK\r\n";
    const std::string chunked = h + "Transfer-Encoding: chunked\r\n\r\n", kb(65536, 'x');
    const std::string lying = h + "Content-Length: 99\r\n\r\n{",
                      hints = "HTTP/1.1 103 Hints\r\n\r\n";
    const std::string gzip(
        "\x1f\x8b\x08\0\0\0\0\0\0\x03\xabVJ\xceOIU\xb2\x32\xa8\x05\0\x98\xae<r\n\0\0\0", 30);
    const std::string line = "a header line of the reply is more than the 8192 bytes allowed";
    const std::string heads = "the reply's headers are more than the 65536 bytes allowed";
    const std::string big = "the reply is more than the 16777216 bytes allowed";
    const std::string lost = "the connection was lost", late = "time-out after 1000 ms";
    const int W = -CURLE_WRITE_ERROR, T = -CURLE_OPERATION_TIMEDOUT;
    Answer drip{"", ok, 1};
    drip.pauseMs = 50, drip.chunk = 1;
    const std::vector<std::tuple<Answer, int, std::string>> rows = {
        {reply(400, std::string(R"({"code":5,"message":"a)") + '\0' + "b\xff\x1b[2J\"}"), 400,
         R"(code 5 "a\x00b\xff\x1b[2J")"},
        {reply(500, R"({"code":7,"message":)" + nested(1000000) + "}"), 500,
         "code 7 " + std::string(200, '[') + "... (2000000 bytes)"},
        {reply(401, R"({"code":10002})"), 401, "code 10002"},
        {reply(302, "", "Location: http://127.0.0.2:9/\r\n"), 302, ""},
        {reply(200, gzip, "Content-Encoding: gzip\r\n"), 200, ""}, // as sent, not inflated
        {{hints + ok}, 200, "code 0"},
        {{ok + "HTTP/1.1 200"}, 200, "code 0"}, // more than the Content-Length
        {{h + "\r\n", kb, kEndless}, W, big},
        {{chunked + "7fffffffffffffff\r\n", kb, kEndless}, W, big},
        {{chunked + "1ffffffffffffffff\r\n", kb, 1},
         -CURLE_RECV_ERROR,
         "the reply breaks HTTP's framing"},
        {reply(200, "", "X: " + std::string(8190, 'a') + "\r\n"), W, line},
        {{h + "X: ", kb, kEndless}, -CURLE_OUT_OF_MEMORY, line},
        {{h, "X: y\r\n", kEndless}, W, heads},
        {{"", hints, kEndless}, W, heads},
        {{lying, "", 0, End::close}, -CURLE_PARTIAL_FILE, lost},
        {{lying, "", 0, End::reset}, -CURLE_RECV_ERROR, lost},
        {{"SSH-2.0-OpenSSH\r\n", "", 0, End::close},
         -CURLE_UNSUPPORTED_PROTOCOL,
         "the reply is not HTTP"},
        {{lying, "", 0, End::hold}, T, late},
        {drip, T, late}, // a slow loris: one byte every 50 ms
    };
    ScriptedDevice good({{kPut, reply(200, R"({"code":0})")}});
    for (const auto& [answer, status, text] : rows) {
        const std::string name = answer.bytes.substr(0, 60);
        ScriptedDevice device({{kPut, answer}});
        lcdcomm::configure({device.url(), "t", "", "", 1000});
        const Sent sent = send("PUT", kPut);
        EXPECT_EQ(sent.status, status) << name;
        EXPECT_EQ(sent.response != nullptr, status > 0) << name;
        // A failure's cause may go on with libcurl's own account in brackets.
        EXPECT_EQ(status > 0 ? g_seen.said : g_seen.error.substr(0, text.size()), text) << name;
        EXPECT_LT(sent.seconds, 1 + 4.0) << name;
        ASSERT_EQ(device.requests().size(), 1u) << name;
        EXPECT_EQ(device.requests()[0].head.find("Accept-Encoding"), std::string::npos) << name;
        EXPECT_LE(g_seen.replyBytes, lcdcomm::limits::kReplyBytes) << name;
        EXPECT_EQ(g_seen.reply.size(),
                  std::min(g_seen.replyBytes, lcdcomm::limits::kShownReplyBytes));
        EXPECT_EQ(sent.response ? sent.response->getBodySize() : g_seen.replyBytes,
                  g_seen.replyBytes);
        EXPECT_EQ(token(), "t") << name;
        lcdcomm::configure({good.url(), "t", "", "", 1000});
        EXPECT_EQ(send("PUT", kPut).status, 200) << name;
    }
}

TEST(CommunicatorRequest, AResponseTheDeviceSentUnaskedIsNeverReadAsTheAnswerToTheNextRequest) {
    // After the login's answer, on the idle keep-alive connection, 50 ms later.
    Answer login{reply(200, kOkLogin).bytes, reply(200, R"({"code":0})").bytes, 1};
    login.pauseMs = 50;
    ScriptedDevice device({{kLogin, login}, {kPut, reply(500, R"({"code":5})")}});
    lcdcomm::configure({device.url(), "", "ann", "pw", 5000});
    ASSERT_EQ(token(), "tok-1");
    ASSERT_TRUE(testsupport::eventually([&] { return device.answered() == 1; }));
    EXPECT_EQ(send("PUT", kPut, "[]", token()).status, 500);
    EXPECT_EQ(g_seen.said, "code 5");
}

// The url's path goes before every request's, as it is, and the trace
// shows the path that went out; a url the settings cannot use fails each
// request at once, saying why.
TEST(CommunicatorSettings, TheDeviceUrlIsNormalisedOrRefusedAndTheTraceShowsThePathSent) {
    ScriptedDevice device({{"/base/movra", reply(200, R"({"code":0})")}});
    const std::string based = std::string("/base") + kPut,
                      cannot = "the device's address cannot be used: ";
    const std::string query =
        "a query (?) or a fragment (#) cannot be part of it: each request appends its own path";
    const std::vector<std::tuple<std::string, int, std::string, std::string>> rows = {
        {device.url() + "/base//", 200, "", based},
        {device.url() + "/base?x=1", -CURLE_URL_MALFORMAT, cannot + query, kPut},
        {ScriptedDevice({}).url() + "/", -CURLE_COULDNT_CONNECT, "connection refused", kPut},
    };
    for (const auto& [url, status, error, path] : rows) {
        lcdcomm::configure({url, "t", "", "", 1000});
        EXPECT_EQ(send("PUT", kPut).status, status) << url;
        EXPECT_EQ(g_seen.error.substr(0, error.size()), error) << url;
        EXPECT_EQ(g_seen.path, path) << url;
    }
    ASSERT_EQ(device.requests().size(), 1u);
    const std::string head = device.requests()[0].head;
    EXPECT_EQ(head.substr(0, head.find('\r')), "PUT " + based + " HTTP/1.1");
    const std::vector<std::pair<const char*, std::string>> urls = {
        {"http://10.0.0.5:8080/", "http://10.0.0.5:8080"},
        {"HTTPS://[::1]:443/a/b/", "HTTPS://[::1]:443/a/b"},
        {"http://h:70000", "its port is not a number from 1 to 65535"},
        {"http://:80", "it names no host"},
        {"http://u:p@h", "a user or password in it is not supported"},
        {"http://h/a#top", query},
        {"http://h/\xc3\xa9", "it holds a blank, a control byte or a byte outside ASCII"},
    };
    for (const auto& [url, expected] : urls) {
        std::string why;
        const std::string normal = lcdcomm::deviceUrl(url, &why);
        EXPECT_EQ(normal.empty() ? why : normal, expected) << url;
    }
}

// Each row: LCD_DEVICE_URL and LCD_DEVICE_TIMEOUT_MS (null: unset), the
// settings' url and time-out, and the one line on stderr (empty: none).
TEST(CommunicatorSettings, ReadsTheEnvironmentAndFallsBackOnBadValuesWithoutLoggingSecrets) {
    const std::string fallback = "http://127.0.0.1:8900", line = "lcdcommunicator: LCD_DEVICE_";
    const std::string notMs = " is not a positive number of milliseconds; using 5000";
    const std::vector<std::tuple<const char*, const char*, std::string, long, std::string>> rows = {
        {nullptr, nullptr, fallback, 5000, ""},
        {"http://10.0.0.5:8080/", "250", "http://10.0.0.5:8080", 250, ""},
        {"10.0.0.5:8080", nullptr, fallback, 5000,
         line + "URL is not usable (it does not start with http:// or https://); using " +
             fallback},
        {nullptr, "0", fallback, 5000, line + "TIMEOUT_MS \"0\"" + notMs},
        {nullptr, "99999999999", fallback, 5000, line + "TIMEOUT_MS \"99999999999\"" + notMs},
    };
    ::setenv("LCD_DEVICE_TOKEN", "secret-token-7", 1);
    ::setenv("LCD_DEVICE_USER", "ann", 1);
    ::setenv("LCD_DEVICE_PASSWORD", "hunter2", 1);
    for (const auto& [url, timeout, expectedUrl, expectedTimeout, complaint] : rows) {
        url ? ::setenv("LCD_DEVICE_URL", url, 1) : ::unsetenv("LCD_DEVICE_URL");
        timeout ? ::setenv("LCD_DEVICE_TIMEOUT_MS", timeout, 1)
                : ::unsetenv("LCD_DEVICE_TIMEOUT_MS");
        testing::internal::CaptureStderr();
        const lcdcomm::Settings s = lcdcomm::Settings::fromEnvironment();
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  complaint.empty() ? "" : complaint + "\n");
        EXPECT_EQ(
            std::tie(s.url, s.timeoutMs, s.token, s.user, s.password),
            std::make_tuple(expectedUrl, expectedTimeout, "secret-token-7", "ann", "hunter2"));
    }
    for (const char* name : {"URL", "TIMEOUT_MS", "TOKEN", "USER", "PASSWORD"})
        ::unsetenv(("LCD_DEVICE_" + std::string(name)).c_str());
}
