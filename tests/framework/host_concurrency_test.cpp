// Delivery from many threads at once: every request answered once under its
// own reply id, every notification delivered once, nothing after stopping.
#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/framework/host.h"

namespace {

constexpr std::uint32_t request = 0xfc050410;
constexpr std::uint32_t notification = 0x0008110d;

TEST(HostConcurrency, EightSendersEachGetTheirOwnAnswerOnce) {
    constexpr int senders = 8;
    constexpr int perSender = 200;
    pqxhost::Host host(4);
    pqx::IMessageCenter* center = host.findMessageCenter("pqx_default_messagecenter");
    std::mutex mutex;
    std::map<std::uint32_t, int> handled;  // reply id -> times the handler saw it
    host.global().registerRequestHandler(request, [&](const pqx::IMessage* m) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            ++handled[m->getReplyId()];
        }
        // Echo the sender's payload so a mixed-up answer shows.
        return center->createMessage(m->getReplyId(), "echo", m->getDataSize(), m->getData(), 0);
    });

    std::vector<std::vector<pqxhost::Answer>> answers(senders);
    std::vector<std::thread> threads;
    for (int s = 0; s < senders; ++s) {
        threads.emplace_back([&, s] {
            for (int i = 0; i < perSender; ++i) {
                const std::uint32_t mine = static_cast<std::uint32_t>(s * perSender + i);
                answers[s].push_back(host.sendRequest(request, &mine, sizeof mine));
            }
        });
    }
    for (auto& t : threads) t.join();

    std::set<std::uint32_t> replyIds;
    for (int s = 0; s < senders; ++s) {
        ASSERT_EQ(answers[s].size(), static_cast<std::size_t>(perSender));
        for (int i = 0; i < perSender; ++i) {
            const auto& a = answers[s][i];
            ASSERT_EQ(a.status, pqxhost::Answer::Status::answered);
            EXPECT_EQ(a.answerId, a.replyId);
            EXPECT_TRUE(replyIds.insert(a.replyId).second) << "reply id " << a.replyId << " twice";
            std::uint32_t echoed = 0;
            ASSERT_EQ(a.payload.size(), sizeof echoed);
            std::memcpy(&echoed, a.payload.data(), sizeof echoed);
            EXPECT_EQ(echoed, static_cast<std::uint32_t>(s * perSender + i));
        }
    }
    EXPECT_EQ(handled.size(), static_cast<std::size_t>(senders * perSender));
    for (const auto& [id, times] : handled) EXPECT_EQ(times, 1) << "reply id " << id;
    host.stopDelivery();
}

TEST(HostConcurrency, NotificationsFromManyThreadsArriveOnceEach) {
    constexpr int posters = 8;
    constexpr int perPoster = 250;
    pqxhost::Host host(4);
    std::mutex mutex;
    std::map<std::string, int> seen;
    host.global().registerNotificationHandler(notification, [&](const pqx::IMessage* m) {
        std::lock_guard<std::mutex> lock(mutex);
        ++seen[static_cast<const char*>(m->getData())];
        return static_cast<const pqx::IMessage*>(nullptr);
    });
    std::vector<std::thread> threads;
    for (int p = 0; p < posters; ++p)
        threads.emplace_back([&, p] {
            for (int i = 0; i < perPoster; ++i)
                EXPECT_TRUE(host.deliverText(notification, std::to_string(p) + "/" + std::to_string(i)));
        });
    for (auto& t : threads) t.join();
    host.waitIdle();

    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(posters * perPoster));
    for (const auto& [text, times] : seen) EXPECT_EQ(times, 1) << text;
}

TEST(HostConcurrency, StopWaitsForRunningDeliveriesThenRefusesNewOnes) {
    pqxhost::Host host(2);
    std::atomic<int> finished{0};
    host.global().registerNotificationHandler(notification, [&](const pqx::IMessage*) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ++finished;
        return static_cast<const pqx::IMessage*>(nullptr);
    });
    host.global().registerRequestHandler(request, [&](const pqx::IMessage*) {
        ADD_FAILURE() << "a request ran after delivery stopped";
        return static_cast<const pqx::IMessage*>(nullptr);
    });
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(host.deliverText(notification, "x"));
    host.stopDelivery();
    EXPECT_EQ(finished.load(), 4);  // queued ones finish, none is cut off
    EXPECT_FALSE(host.deliverText(notification, "late"));
    EXPECT_EQ(host.sendRequest(request, nullptr, 0).status, pqxhost::Answer::Status::stopped);
    EXPECT_EQ(finished.load(), 4);
}

} // namespace
