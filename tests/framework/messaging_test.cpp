// Routing through the global message handler and answers made by the message
// center, as a plug-in meets them.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/framework/globalmessagehandler.h"
#include "platform/framework/host.h"
#include "platform/framework/message.h"
#include "platform/framework/messagecenter.h"

namespace {

TEST(GlobalMessageHandler, KeepsItsOwnCopyOfARegisteredHandler) {
    pqxhost::GlobalMessageHandler global;
    int calls = 0;
    {
        // The caller's handler object goes right after registering.
        pqx::MessageHandler handler = [&calls](const pqx::IMessage*) -> const pqx::IMessage* {
            ++calls;
            return nullptr;
        };
        global.registerNotificationHandler(7, handler);
        global.registerRequestHandler(8, handler);
    }
    EXPECT_EQ(global.postMessage(7, 0, nullptr, 0), 1);
    const auto request = global.requestHandler(8);
    ASSERT_TRUE(request);
    request(nullptr);
    EXPECT_EQ(calls, 2);
}

TEST(GlobalMessageHandler, PostReachesEveryListenerInOrderBeforeReturning) {
    pqxhost::GlobalMessageHandler global;
    std::vector<std::string> seen;
    for (const char* who : {"first", "second", "third"}) {
        global.registerNotificationHandler(0xfc08040b, [&seen, who](const pqx::IMessage* m) {
            // The payload is still the poster's: read it now.
            seen.push_back(std::string(who) + ":" + static_cast<const char*>(m->getData()) + ":" +
                           std::to_string(m->getDataSize()));
            return static_cast<const pqx::IMessage*>(nullptr);
        });
    }
    global.registerNotificationHandler(1, [&seen](const pqx::IMessage*) {
        seen.push_back("other id");
        return static_cast<const pqx::IMessage*>(nullptr);
    });
    {
        char payload[] = "abc";
        EXPECT_EQ(global.postMessage(0xfc08040b, sizeof payload, payload, 0), 3);
        std::memset(payload, 'x', sizeof payload - 1);  // after return nobody may look
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"first:abc:4", "second:abc:4", "third:abc:4"}));
    EXPECT_EQ(global.postMessage(0x1234, 0, nullptr, 0), 0);
}

TEST(GlobalMessageHandler, LaterRequestHandlerReplacesTheEarlierOne) {
    pqxhost::GlobalMessageHandler global;
    pqxhost::MessageCenter center;
    for (std::uint32_t answer : {1u, 2u})
        global.registerRequestHandler(5, [&center, answer](const pqx::IMessage*) {
            return center.createMessage(answer, "t", 0, nullptr, 0);
        });
    const pqx::IMessage* answer = global.requestHandler(5)(nullptr);
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer->getId(), 2u);
    pqxhost::Message::release(answer);
    EXPECT_FALSE(global.requestHandler(6));
}

TEST(MessageCenter, CopiesThePayloadIntoTheMessage) {
    pqxhost::MessageCenter center;
    const pqx::IMessage* message = nullptr;
    {
        unsigned char flag = 1;
        message = center.createMessage(0xfc050410, "layerimagequalitymodelmsg", 1, &flag, 0);
        flag = 0;  // the handler's local is gone once it returns
        EXPECT_NE(message->getData(), static_cast<const void*>(&flag));
    }
    EXPECT_EQ(message->getDataSize(), 1u);
    EXPECT_EQ(*static_cast<const unsigned char*>(message->getData()), 1);
    EXPECT_STREQ(message->getSender(), "layerimagequalitymodelmsg");
    pqxhost::Message::release(message);
}

TEST(Host, AnswersComeBackThroughTheHostAndNotificationsAreNotAnswered) {
    pqxhost::Host host(2);
    auto* global = host.findMessageHandler("movra.message.globalmessagehandler", "t", nullptr,
                                           nullptr, nullptr, 0);
    auto* center = host.findMessageCenter("pqx_default_messagecenter");
    ASSERT_NE(global, nullptr);
    ASSERT_NE(center, nullptr);
    EXPECT_EQ(host.findMessageHandler("movra.message.other", "t", nullptr, nullptr, nullptr, 0),
              nullptr);
    EXPECT_EQ(host.findMessageCenter("other"), nullptr);

    global->registerRequestHandler(0xfc050410, [center](const pqx::IMessage* m) {
        const unsigned char accepted = m->getDataSize() == 3;
        return center->createMessage(m->getReplyId(), "model", 1, &accepted, 0);
    });
    const char payload[3] = {1, 2, 3};
    const auto answer = host.sendRequest(0xfc050410, payload, sizeof payload);
    EXPECT_EQ(answer.status, pqxhost::Answer::Status::answered);
    EXPECT_EQ(answer.answerId, answer.replyId);
    EXPECT_EQ(answer.payload, std::vector<unsigned char>{1});
    EXPECT_EQ(host.sendRequest(0x1, nullptr, 0).status, pqxhost::Answer::Status::noHandler);

    // A notification handler that answers anyway: the answer is dropped, not leaked.
    global->registerNotificationHandler(0x0008110d, [center](const pqx::IMessage*) {
        return center->createMessage(0, "model", 0, nullptr, 0);
    });
    EXPECT_TRUE(host.deliverText(0x0008110d, "{}"));
    host.waitIdle();
    host.stopDelivery();
}

} // namespace
