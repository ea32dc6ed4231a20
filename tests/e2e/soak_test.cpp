// Load: eight clients send set requests through the host to the device
// while the device pushes auto-reports of its own. Bounded in time
// (LCD_SOAK_SECONDS, default 30) and in count; loopback only.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/framework/autoreportstream.h"
#include "tests/e2e/device_rig.h"
#include "tests/e2e/log_capture.h"

namespace e2e {
namespace {

constexpr int kClients = 8;
constexpr int kMaxRequestsPerClient = 50000;
constexpr int kErrorReportEvery = 8;  // of the pushed reports, one in 8 has ErrorCode 7

int soakSeconds() {
    static const int seconds = [] {
        const char* text = std::getenv("LCD_SOAK_SECONDS");
        const int value = text ? std::atoi(text) : 0;
        return value > 0 ? value : 30;
    }();
    return seconds;
}

std::string bytesOf(const LayerList& list) {
    return std::string(reinterpret_cast<const char*>(list.data()), list.size() * sizeof(Layer));
}

struct ClientTally {
    std::vector<std::uint32_t> replyIds;
    std::vector<std::string> sent;  // each accepted list, as bytes
    int wrong = 0;                   // answers that were not "accepted, own id"
};

TEST(Soak, EightClientsAndPushedReportsEachRequestAnsweredOnceAndNoReportLost) {
    RigOptions options;
    options.workers = kClients + 2;  // room for notifications beside blocked requests
    options.timeoutMs = 20000;       // slow sanitizer builds must not time out
    DeviceRig rig(options);
    LogCapture logs;

    const auto start = std::chrono::steady_clock::now();
    const auto deadline = start + std::chrono::seconds(soakSeconds());
    std::atomic<int> clientsRunning{kClients};

    std::vector<ClientTally> tallies(kClients);
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([&, c] {
            ClientTally& t = tallies[c];
            for (int n = 0; n < kMaxRequestsPerClient && std::chrono::steady_clock::now() < deadline;
                 ++n) {
                // Values unique to this client and request, so every report
                // can be matched to the one set that caused it.
                const LayerList list{layer(1 + c, c * kMaxRequestsPerClient + n)};
                const auto answer = rig.set(list);
                t.replyIds.push_back(answer.replyId);
                if (!accepted(answer) || answer.answerId != answer.replyId ||
                    answer.sender != "layerimagequalitymodelmsg")
                    ++t.wrong;
                else
                    t.sent.push_back(bytesOf(list));
            }
            --clientsRunning;
        });
    }

    int pushedGood = 0;
    int pushedError = 0;
    std::thread pusher([&] {
        for (int i = 0; clientsRunning > 0 && i < 100000; ++i) {
            const bool error = i % kErrorReportEvery == kErrorReportEvery - 1;
            rig.simPost("/sim/autoreport", error ? R"({"errorCode":7})" : R"({"errorCode":0})");
            ++(error ? pushedError : pushedGood);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    for (auto& t : clients) t.join();
    pusher.join();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::set<std::uint32_t> ids;
    std::multiset<std::string> sent;
    int requests = 0;
    int wrong = 0;
    for (const auto& t : tallies) {
        requests += static_cast<int>(t.replyIds.size());
        wrong += t.wrong;
        ids.insert(t.replyIds.begin(), t.replyIds.end());
        sent.insert(t.sent.begin(), t.sent.end());
    }
    EXPECT_EQ(wrong, 0) << "answers not accepted or under another id";
    EXPECT_EQ(ids.size(), static_cast<std::size_t>(requests)) << "a reply id served twice";

    // Every report the device published reached the stream and was handled.
    ASSERT_TRUE(rig.waitForReportsDrained(60000));
    const auto stats = rig.stats();
    const auto published = stats.value("reports", 0ull);
    const std::size_t expected = published - pushedError;
    EXPECT_TRUE(rig.waitForNotifications(expected, 60000));
    rig.host().waitIdle();
    const auto notes = rig.notifications();

    EXPECT_EQ(stats.value("sets", 0), requests);
    EXPECT_EQ(published, static_cast<unsigned long long>(requests + pushedGood + pushedError));
    EXPECT_EQ(rig.stream().reports(), published);
    EXPECT_EQ(rig.stream().connections(), 1u) << "the stream dropped: reports may be lost";
    EXPECT_EQ(notes.size(), expected);

    // The reports of the sets hold one layer, the pushed ones all eight:
    // each set's list came back exactly once.
    std::multiset<std::string> reported;
    std::size_t fullReports = 0;
    for (const auto& list : notes) {
        if (list.size() == 1) reported.insert(bytesOf(list));
        else if (list.size() == 8) ++fullReports;
    }
    EXPECT_TRUE(reported == sent) << "set reports lost, doubled or changed";
    EXPECT_EQ(fullReports, static_cast<std::size_t>(pushedGood));

    // The only warnings are those of the refused reports, one each.
    const auto lines = logs.qtLines();
    std::size_t refusedReports = 0;
    for (const auto& line : lines)
        if (line.find("[layer] auto report data error. error code : 7.") != std::string::npos)
            ++refusedReports;
    EXPECT_EQ(refusedReports, static_cast<std::size_t>(pushedError));
    EXPECT_EQ(lines.size(), refusedReports) << lines.front();

    std::printf("soak: %.1f s, %d clients, %d requests (%.0f/s), %d answered wrongly; the device "
                "published %llu reports (%d of sets, %d pushed with code 0, %d with code 7); the "
                "stream handed on %llu over %llu connection(s); %zu notifications\n",
                seconds, kClients, requests, requests / seconds, wrong, published, requests,
                pushedGood, pushedError, static_cast<unsigned long long>(rig.stream().reports()),
                static_cast<unsigned long long>(rig.stream().connections()), notes.size());
}

} // namespace
} // namespace e2e
