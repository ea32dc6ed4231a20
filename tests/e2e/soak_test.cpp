// Load: eight clients send set requests through the host to the device
// while the device pushes auto-reports of its own, one in eight with
// ErrorCode 7. Bounded in time (LCD_SOAK_SECONDS, default 30) and in count.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/device_rig.h"

namespace e2e {
namespace {

constexpr int kClients = 8;
constexpr int kMaxRequestsPerClient = 50000;

std::string bytesOf(const LayerList& list) {
    return std::string(reinterpret_cast<const char*>(list.data()), list.size() * sizeof(Layer));
}

TEST(Soak, EightClientsAndPushedReportsEachRequestAnsweredOnceAndNoReportLost) {
    const char* text = std::getenv("LCD_SOAK_SECONDS");
    const int seconds = text && std::atoi(text) > 0 ? std::atoi(text) : 30;
    // Room for notifications beside blocked requests; slow sanitizer builds
    // must not time out.
    DeviceRig rig(20000, kClients + 2);
    const auto start = std::chrono::steady_clock::now();
    const auto deadline = start + std::chrono::seconds(seconds);

    std::atomic<int> clientsRunning{kClients};
    std::vector<std::vector<std::uint32_t>> replyIds(kClients);
    std::vector<std::vector<std::string>> sent(kClients); // each accepted list, as bytes
    std::atomic<int> wrong{0}; // answers that were not "accepted, own id"
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c)
        clients.emplace_back([&, c] {
            for (int n = 0;
                 n < kMaxRequestsPerClient && std::chrono::steady_clock::now() < deadline; ++n) {
                // Values unique to this request: each report names its set.
                const LayerList list{layer(1 + c, c * kMaxRequestsPerClient + n)};
                const auto answer = rig.set(list);
                replyIds[c].push_back(answer.replyId);
                if (accepted(answer) && answer.answerId == answer.replyId &&
                    answer.sender == "layerimagequalitymodelmsg")
                    sent[c].push_back(bytesOf(list));
                else
                    ++wrong;
            }
            --clientsRunning;
        });
    int pushed = 0;
    std::thread pusher([&] {
        for (; clientsRunning > 0 && pushed < 100000; ++pushed) {
            rig.simPost("/sim/autoreport",
                        pushed % 8 == 7 ? R"({"errorCode":7})" : R"({"errorCode":0})");
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    for (auto& t : clients)
        t.join();
    pusher.join();
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::set<std::uint32_t> ids;
    std::multiset<std::string> accepted;
    std::size_t requests = 0;
    for (int c = 0; c < kClients; ++c) {
        requests += replyIds[c].size();
        ids.insert(replyIds[c].begin(), replyIds[c].end());
        accepted.insert(sent[c].begin(), sent[c].end());
    }
    EXPECT_EQ(wrong, 0) << "answers not accepted or under another id";
    EXPECT_EQ(ids.size(), requests) << "a reply id served twice";

    // Every report the device published reached the stream and was handled.
    const int pushedError = pushed / 8;
    ASSERT_TRUE(rig.waitForReportsDrained(60000));
    const auto stats = rig.simGet("/sim/stats");
    const auto published = stats.value("reports", 0ull);
    EXPECT_TRUE(rig.waitForNotifications(published - pushedError, 60000));
    const auto notes = rig.notifications();
    EXPECT_EQ(stats.value("sets", 0ull), requests);
    EXPECT_EQ(published, requests + pushed);
    EXPECT_EQ(rig.stream().connections(), 1u) << "the stream dropped: reports may be lost";
    EXPECT_EQ(notes.size(), published - pushedError);

    // The reports of the sets hold one layer, the pushed ones all eight:
    // each set's list came back exactly once.
    std::multiset<std::string> reported;
    int fullReports = 0;
    for (const auto& list : notes) {
        if (list.size() == 1)
            reported.insert(bytesOf(list));
        fullReports += list.size() == 8;
    }
    EXPECT_TRUE(reported == accepted) << "set reports lost, doubled or changed";
    EXPECT_EQ(fullReports, pushed - pushedError);

    // The only warnings are those of the refused reports, one each.
    const auto lines = rig.logLines();
    int refused = 0;
    for (const auto& line : lines)
        refused +=
            line.find("[layer] auto report data error. error code : 7.") != std::string::npos;
    EXPECT_EQ(refused, pushedError);
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(refused)) << lines.front();

    std::printf("soak: %.1f s, %d clients, %zu requests (%.0f/s), %d answered wrongly; the device "
                "published %llu reports (%d pushed, %d of them with code 7); %zu notifications\n",
                elapsed, kClients, requests, requests / elapsed, wrong.load(), published, pushed,
                pushedError, notes.size());
}

} // namespace
} // namespace e2e
