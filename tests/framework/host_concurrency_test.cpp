// Delivery from many threads at once: every request answered once under its
// own reply id, every notification delivered once, nothing after stopping.
#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "host/messageids.h"
#include "platform/framework/host.h"

namespace {

using pqx::IMessage;
constexpr std::uint32_t request = LCD::MessageId::kSetLayerImageQuality;
constexpr std::uint32_t notification = LCD::MessageId::kAutoReportLayerImageQuality;

TEST(HostConcurrency, EightThreadsEachGetTheirOwnAnswersOnceAndEveryNotificationArrivesOnce) {
    constexpr std::uint32_t threads = 8, perThread = 200;
    pqxhost::Host host(4);
    pqx::IMessageCenter* center = host.findMessageCenter("pqx_default_messagecenter");
    std::mutex mutex;
    std::map<std::string, int> seen; // what the handlers saw -> how often
    const auto count = [&](const std::string& what) {
        std::lock_guard<std::mutex> lock(mutex);
        ++seen[what];
    };
    host.global().registerRequestHandler(request, [&](const IMessage* m) {
        count("request with reply id " + std::to_string(m->getReplyId()));
        // Echo the sender's payload so a mixed-up answer shows.
        return center->createMessage(m->getReplyId(), "echo", m->getDataSize(), m->getData(), 0);
    });
    host.global().registerNotificationHandler(
        notification, [&](const IMessage* m) -> const IMessage* {
            count(std::string("notification ") + static_cast<const char*>(m->getData()));
            return nullptr;
        });
    std::vector<std::thread> senders;
    for (std::uint32_t s = 0; s < threads; ++s) {
        senders.emplace_back([&, s] {
            for (std::uint32_t mine = s * perThread; mine < (s + 1) * perThread; ++mine) {
                const auto a = host.sendRequest(request, &mine, sizeof mine);
                const auto* bytes = reinterpret_cast<const unsigned char*>(&mine);
                ASSERT_EQ(a.status, pqxhost::Answer::Status::answered);
                EXPECT_EQ(a.answerId, a.replyId);
                EXPECT_EQ(a.payload, std::vector<unsigned char>(bytes, bytes + sizeof mine));
                EXPECT_TRUE(host.deliverText(notification, std::to_string(mine)));
            }
        });
    }
    for (auto& t : senders)
        t.join();
    host.waitIdle();

    // Two requests under one reply id would show as one id seen twice.
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(seen.size(), 2 * threads * perThread);
    for (const auto& [what, times] : seen)
        EXPECT_EQ(times, 1) << what;
    host.stopDelivery();
}

TEST(HostConcurrency, StopWaitsForRunningDeliveriesThenRefusesNewOnes) {
    pqxhost::Host host(2);
    std::atomic<int> finished{0};
    host.global().registerNotificationHandler(
        notification, [&](const IMessage*) -> const IMessage* {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ++finished;
            return nullptr;
        });
    // Had it run, the request's status would be "none", not "stopped".
    host.global().registerRequestHandler(
        request, [](const IMessage*) -> const IMessage* { return nullptr; });
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(host.deliverText(notification, "x"));
    host.stopDelivery();
    EXPECT_EQ(finished.load(), 4); // queued ones finish, none is cut off
    EXPECT_FALSE(host.deliverText(notification, "late"));
    EXPECT_EQ(host.sendRequest(request, nullptr, 0).status, pqxhost::Answer::Status::stopped);
    EXPECT_EQ(finished.load(), 4);
}

} // namespace
