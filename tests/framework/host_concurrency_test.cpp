// Stopping delivery while deliveries run.
#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "host/messageids.h"
#include "platform/framework/host.h"

namespace {

using pqx::IMessage;
constexpr std::uint32_t request = LCD::MessageId::kSetLayerImageQuality;
constexpr std::uint32_t notification = LCD::MessageId::kAutoReportLayerImageQuality;

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

TEST(HostConcurrency, StopWaitsForARequestUnderWayOnItsSendersThread) {
    pqxhost::Host host(1);
    std::atomic<bool> entered{false};
    std::atomic<bool> finished{false};
    host.global().registerRequestHandler(request, [&](const IMessage*) -> const IMessage* {
        entered = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        finished = true;
        return nullptr;
    });
    std::thread sender([&] {
        EXPECT_EQ(host.sendRequest(request, nullptr, 0).status, pqxhost::Answer::Status::none);
    });
    while (!entered)
        std::this_thread::yield();
    host.stopDelivery();
    EXPECT_TRUE(finished.load());
    sender.join();
}

// A handler that stops delivery must not wait for itself.
TEST(HostConcurrency, AHandlerMayStopDeliveryFromInsideANotificationOrARequest) {
    const auto stopping = [](pqxhost::Host& host) {
        return [&host](const IMessage*) -> const IMessage* {
            host.stopDelivery();
            return nullptr;
        };
    };
    pqxhost::Host first(1), second(1);
    first.global().registerNotificationHandler(notification, stopping(first));
    ASSERT_TRUE(first.deliverText(notification, "stop"));
    first.waitIdle();
    EXPECT_FALSE(first.deliverText(notification, "late"));
    second.global().registerRequestHandler(request, stopping(second));
    EXPECT_EQ(second.sendRequest(request, nullptr, 0).status, pqxhost::Answer::Status::none);
    EXPECT_EQ(second.sendRequest(request, nullptr, 0).status, pqxhost::Answer::Status::stopped);
}

} // namespace
