// The framework's own parts as a plug-in meets them: files the loader must
// refuse, the plug-in's whole life repeated in one process, routing through
// the global message handler and the host, and the event stream parser.
#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "host/messageids.h"
#include "platform/framework/eventstreamparser.h"
#include "platform/framework/host.h"
#include "platform/framework/pluginloader.h"

namespace {

using pqx::IMessage;
constexpr std::uint32_t setRequest = LCD::MessageId::kSetLayerImageQuality;
constexpr std::uint32_t autoReport = LCD::MessageId::kAutoReportLayerImageQuality;

TEST(PluginLoader, RefusesFilesThatAreNotUsablePluginsSayingWhichAndWhy) {
    const std::string missing = ::testing::TempDir() + "no-such-plugin.so";
    const std::string noEntry = LCD_PLUGIN_WITHOUT_ENTRY, nullCreator = LCD_PLUGIN_NULL_CREATOR;
    const std::pair<std::string, std::string> cases[] = {
        {missing, "cannot load plug-in " + missing + ": " + missing +
                      ": cannot open shared object file: No such file or directory"},
        {noEntry, "plug-in " + noEntry + " does not export pluginit"},
        {nullCreator,
         "plug-in " + nullCreator + ": creating test.component.nullcreator gave no instance"},
    };
    for (const auto& [path, expected] : cases) {
        pqxhost::Host host(1);
        std::string error;
        EXPECT_EQ(pqxhost::Plugin::load(path, host, &error), nullptr) << path;
        EXPECT_EQ(error, expected);
        // A caller that does not want the text must not crash the loader.
        EXPECT_EQ(pqxhost::Plugin::load(path, host, nullptr), nullptr) << path;
    }
}

// Components, handler copies and the library itself are released every time;
// the leak checker of the sanitizer build sees whatever one round keeps.
TEST(PluginLifecycle, LoadCreateDestroyUnloadAHundredTimesEachRoundRegisteringTheSame) {
    for (int round = 0; round < 100; ++round) {
        pqxhost::Host host(2);
        std::string error;
        auto plugin = pqxhost::Plugin::load(LCD_PLUGIN_PATH, host, &error);
        ASSERT_NE(plugin, nullptr) << "round " << round << ": " << error;
        ASSERT_EQ(plugin->components().size(), 1u);
        // A reloaded plug-in registers anew: nothing of an earlier round stays.
        ASSERT_TRUE(host.global().requestHandler(setRequest));
        EXPECT_EQ(host.global().notificationHandlers(autoReport).size(), 1u);
        host.stopDelivery();
        plugin->destroyComponents();
        EXPECT_TRUE(plugin->components().empty());
        host.global().clear();
        plugin.reset();
        EXPECT_TRUE(host.global().notificationHandlers(autoReport).empty());
    }
}

TEST(GlobalMessageHandler, PostReachesEveryListenerOfItsIdInOrderBeforeReturning) {
    pqxhost::GlobalMessageHandler global;
    pqxhost::MessageCenter center;
    std::vector<std::string> seen;
    for (const char* who : {"first", "second"}) {
        // The caller's handler object goes right after registering: ours is a copy.
        const pqx::MessageHandler handler = [&, who](const IMessage* m) -> const IMessage* {
            // The payload is still the poster's: read it now.
            seen.push_back(std::string(who) + ":" + static_cast<const char*>(m->getData()) + ":" +
                           std::to_string(m->getDataSize()));
            // Notifications are not answered: one made anyway is dropped, not leaked.
            return center.createMessage(0, who, 0, nullptr, 0);
        };
        global.registerNotificationHandler(LCD::MessageId::kLayerImageQualityChanged, handler);
    }
    {
        char payload[] = "abc";
        EXPECT_EQ(global.postMessage(LCD::MessageId::kLayerImageQualityChanged, sizeof payload,
                                     payload, 0),
                  2);
        std::memset(payload, 'x', sizeof payload - 1); // after return nobody may look
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"first:abc:4", "second:abc:4"}));
    EXPECT_EQ(global.postMessage(0x1234, 0, nullptr, 0), 0);
}

TEST(Host, RoutesARequestToItsIdsLatestHandlerOnTheSendersThreadAndCopiesTheAnswer) {
    pqxhost::Host host(2);
    pqx::IMessageCenter* center = host.findMessageCenter("pqx_default_messagecenter");
    ASSERT_NE(center, nullptr);

    const auto caller = std::this_thread::get_id();
    for (unsigned char tag : {1, 2, 3}) { // a later handler replaces the earlier one
        host.global().registerRequestHandler(setRequest, [center, caller, tag](const IMessage* m) {
            unsigned char reply[3] = {tag, std::this_thread::get_id() == caller,
                                      static_cast<unsigned char>(m->getDataSize())};
            const IMessage* answer = center->createMessage(m->getReplyId(), "model", 3, reply, 0);
            reply[0] = 0; // the handler's local is gone once it returns
            return answer;
        });
    }
    const auto answer = host.sendRequest(setRequest, "four", 5);
    EXPECT_EQ(answer.status, pqxhost::Answer::Status::answered);
    EXPECT_EQ(answer.answerId, answer.replyId);
    EXPECT_EQ(answer.sender, "model");
    EXPECT_EQ(answer.payload, (std::vector<unsigned char>{3, 1, 5}));
    EXPECT_EQ(host.sendRequest(0x1, nullptr, 0).status, pqxhost::Answer::Status::noHandler);
    host.stopDelivery();
}

using Events = std::vector<std::pair<std::string, std::string>>;

// An event name ("ping") without data is not handed on and does not carry
// over; the stream ends inside an event, half way through a line.
const std::string stream = ": keep-alive\nevent: autoreport\ndata: {\"seq\":1}\n\n"
                           "event: autoreport\r\ndata: first line\r\ndata:second line\r\n"
                           ": a comment inside the event\r\ndata:  two blanks keep one\r\n\r\n"
                           "event: ping\n\ndata: unnamed\n\n"
                           "event: autoreport\ndata: lo";

// Chunks of one byte split every CR from its LF. The stream's reset on a lost
// connection must not let the unfinished event run into the next one.
TEST(EventStreamParser, GivesTheSameEventsForEveryChunkSizeAndResetForgetsAnUnfinishedOne) {
    const Events expected = {{"autoreport", "{\"seq\":1}"},
                             {"autoreport", "first line\nsecond line\n two blanks keep one"},
                             {"", "unnamed"},
                             {"", "kept"}};
    const std::string next = "\ndata: kept\n\n";
    for (std::size_t chunk = 1; chunk <= stream.size(); ++chunk) {
        Events events;
        pqxhost::EventStreamParser parser([&](const std::string& event, const std::string& data) {
            events.emplace_back(event, data);
        });
        for (std::size_t at = 0; at < stream.size(); at += chunk)
            parser.feed(stream.data() + at, std::min(chunk, stream.size() - at));
        parser.reset();
        parser.feed(next.data(), next.size());
        EXPECT_EQ(events, expected) << "chunk size " << chunk;
    }
}

} // namespace
