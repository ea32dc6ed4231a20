// The auto-report stream against the in-process device: a pushed report
// arrives once, and after the device drops the stream the client comes back
// and the next report arrives.
#include <curl/curl.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/framework/autoreportstream.h"
#include "simulator/devicesim.h"

namespace {

using namespace std::chrono_literals;

// POSTs a control request to the device; true on HTTP 200.
bool control(const std::string& url, const std::string& body) {
    CURL* curl = curl_easy_init();
    if (curl == nullptr) return false;
    curl_slist* headers = curl_slist_append(nullptr, "Content-Type: application/json");
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.c_str());
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 5000L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION,
                     +[](char*, size_t size, size_t count, void*) { return size * count; });
    long status = 0;
    const bool sent = curl_easy_perform(curl) == CURLE_OK;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return sent && status == 200;
}

class Reports {
public:
    void add(const std::string& text) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_texts.push_back(text);
        m_changed.notify_all();
    }
    bool waitFor(std::size_t count) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, 10s, [&] { return m_texts.size() >= count; });
    }
    std::vector<std::string> texts() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_texts;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_texts;
};

TEST(AutoReportStream, HandsOnAPushedReportOnceAndResumesAfterADrop) {
    LCD::Sim::Options options;
    options.port = 0;
    LCD::Sim::DeviceSim device(options);
    ASSERT_GT(device.start(), 0) << device.error();

    Reports reports;
    pqxhost::AutoReportStream stream(device.url(), [&](const std::string& text) { reports.add(text); });
    stream.start();
    ASSERT_TRUE(stream.waitConnected(10000));

    ASSERT_TRUE(control(device.url() + "/sim/autoreport", R"({"body":"[\"first\"]"})"));
    ASSERT_TRUE(reports.waitFor(1));
    EXPECT_NE(reports.texts().front().find("first"), std::string::npos) << reports.texts().front();

    const auto connectionsBefore = stream.connections();
    ASSERT_TRUE(control(device.url() + "/sim/stream/drop", "{}"));
    // Reconnected means a new connection, not the old one still marked open.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!(stream.connections() > connectionsBefore && stream.connected()) &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    ASSERT_GT(stream.connections(), connectionsBefore);
    ASSERT_TRUE(stream.waitConnected(10000));

    ASSERT_TRUE(control(device.url() + "/sim/autoreport", R"({"body":"[\"second\"]"})"));
    ASSERT_TRUE(reports.waitFor(2));
    stream.stop();

    const auto texts = reports.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_NE(texts[1].find("second"), std::string::npos) << texts[1];
    EXPECT_EQ(stream.reports(), 2u);
    device.stop();
}

TEST(AutoReportStream, StopsWhileTheDeviceIsAbsentHavingHandedOnNothing) {
    // Nothing listens on this port: the stream keeps retrying until stopped.
    LCD::Sim::Options options;
    options.port = 0;
    std::string url;
    {
        LCD::Sim::DeviceSim probe(options);
        ASSERT_GT(probe.start(), 0);
        url = probe.url();
    }
    Reports reports;
    pqxhost::AutoReportStream stream(url, [&](const std::string& text) { reports.add(text); });
    stream.start();
    EXPECT_FALSE(stream.waitConnected(300));
    stream.stop();
    EXPECT_TRUE(reports.texts().empty());
    EXPECT_EQ(stream.reports(), 0u);
}

} // namespace
