#include <gtest/gtest.h>

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "host/lcdcommunicator.h"
#include "tests/communicator/device_server.h"

namespace {

HttpClient* client()
{
    return HttpSingleTon::getInstance()->getHttpClient();
}

std::string bodyOf(const HttpRespon* response)
{
    return std::string(response->getBody(), response->getBodySize());
}

struct Received {
    std::string method;
    std::string path;
    httplib::Headers headers;
    std::string body;
};

} // namespace

TEST(CommunicatorRequest, ReachesTheDeviceExactlyAsBuilt)
{
    DeviceServer device;
    Received seen;
    device.server.Put("/movra/v1/layers/image-quality",
                      [&](const httplib::Request& request, httplib::Response& response) {
                          seen = {request.method, request.path, request.headers, request.body};
                          response.set_content("{\"code\":0}", "application/json");
                      });
    device.start();
    device.use();

    // A body with a NUL byte, UTF-8 and a size below the buffer's length.
    static const char bytes[] = "[{\"a\":1}]\0\xc3\xa9tail-not-sent";
    const std::string text(bytes, sizeof bytes - 1);
    HttpRequest* request = client()->createRequest("PUT", "/movra/v1/layers/image-quality");
    request->setHead("Content-Type", "application/json");
    request->setHead("Authorization", "");
    request->setHead("X-Trace", "a b:c");
    request->setBody(text.data(), 12);
    int status = 0;
    HttpRespon* response = client()->sendRequest(request, &status);

    ASSERT_NE(response, nullptr);
    EXPECT_EQ(status, 200);
    EXPECT_EQ(bodyOf(response), "{\"code\":0}");
    EXPECT_EQ(seen.method, "PUT");
    EXPECT_EQ(seen.path, "/movra/v1/layers/image-quality");
    EXPECT_EQ(seen.body, text.substr(0, 12));
    EXPECT_EQ(seen.headers.find("Content-Type")->second, "application/json");
    EXPECT_EQ(seen.headers.find("X-Trace")->second, "a b:c");
    EXPECT_EQ(seen.headers.count("Expect"), 0u);
    EXPECT_EQ(seen.headers.find("Content-Length")->second, "12");
}

TEST(CommunicatorRequest, ReturnsEveryCompleteResponseWhateverItsStatus)
{
    DeviceServer device;
    device.server.Get(R"(/status/(\d+))", [](const httplib::Request& request, httplib::Response& response) {
        response.status = std::stoi(request.matches[1]);
        response.set_content("{\"code\":" + std::string(request.matches[1]) + "}", "application/json");
    });
    device.start();
    device.use();

    for (int code : {200, 401, 404, 500}) {
        int status = 0;
        HttpRespon* response
            = client()->sendRequest(client()->createRequest("GET", ("/status/" + std::to_string(code)).c_str()), &status);
        ASSERT_NE(response, nullptr) << code;
        EXPECT_EQ(status, code);
        EXPECT_EQ(bodyOf(response), "{\"code\":" + std::to_string(code) + "}");
    }
}

TEST(CommunicatorRequest, GivesNullAndTheTransportCodeWhenNoCompleteReplyArrives)
{
    struct Case {
        const char* what;
        std::string reply; // canned bytes of a raw server; empty: closed unanswered
        CURLcode code;
        const char* url = nullptr; // instead of the raw server
    };
    const std::vector<Case> cases = {
        {"closed without a reply", "", CURLE_GOT_NOTHING},
        {"closed mid-body", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n{\"code\":", CURLE_PARTIAL_FILE},
        {"closed mid-chunk", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n40\r\nabc", CURLE_PARTIAL_FILE},
        {"refused", "", CURLE_COULDNT_CONNECT, "refused"},
        {"not http", "", CURLE_UNSUPPORTED_PROTOCOL, "ftp://127.0.0.1:1"},
    };
    for (const Case& c : cases) {
        RawServer device(c.reply);
        lcdcomm::Settings settings;
        settings.url = !c.url ? device.url() : c.url == std::string("refused") ? refusedUrl() : c.url;
        lcdcomm::configure(settings);
        int status = 0;
        EXPECT_EQ(client()->sendRequest(client()->createRequest("PUT", "/x"), &status), nullptr) << c.what;
        EXPECT_EQ(status, -static_cast<int>(c.code)) << c.what;
    }
}

TEST(CommunicatorRequest, GivesNullWhenTheDeviceAnswersAfterTheTimeOut)
{
    DeviceServer device;
    device.server.Get("/slow", [](const httplib::Request&, httplib::Response& response) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        response.set_content("late", "text/plain");
    });
    device.start();
    device.use("", "", "", 200);
    int status = 0;
    EXPECT_EQ(client()->sendRequest(client()->createRequest("GET", "/slow"), &status), nullptr);
    EXPECT_EQ(status, -static_cast<int>(CURLE_OPERATION_TIMEDOUT));
}

TEST(CommunicatorRequest, AnswersEachOfManyThreadsWithItsOwnReply)
{
    DeviceServer device;
    device.server.new_task_queue = [] { return new httplib::ThreadPool(8); };
    device.server.Put("/echo", [](const httplib::Request& request, httplib::Response& response) {
        response.set_content(request.body + "|" + request.get_header_value("X-Id"), "text/plain");
    });
    device.start();
    device.use();

    constexpr int kThreads = 8;
    constexpr int kRounds = 40;
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kRounds; ++i) {
                const std::string id = std::to_string(t) + "-" + std::to_string(i);
                HttpRequest* request = client()->createRequest("PUT", "/echo");
                request->setHead("X-Id", id.c_str());
                const std::string body = "body-" + id;
                request->setBody(body.data(), static_cast<int>(body.size()));
                int status = 0;
                HttpRespon* response = client()->sendRequest(request, &status);
                if (!response || status != 200 || bodyOf(response) != body + "|" + id)
                    ++wrong;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST(CommunicatorRequest, ReusesConnectionsBetweenRequests)
{
    DeviceServer device;
    std::mutex mutex;
    std::set<int> ports;
    device.server.Get("/n", [&](const httplib::Request& request, httplib::Response&) {
        std::lock_guard<std::mutex> lock(mutex);
        ports.insert(request.remote_port);
    });
    device.start();
    device.use();
    constexpr int kRequests = 20;
    for (int i = 0; i < kRequests; ++i) {
        int status = 0;
        ASSERT_NE(client()->sendRequest(client()->createRequest("GET", "/n"), &status), nullptr);
    }
    EXPECT_EQ(ports.size(), 1u);
}

