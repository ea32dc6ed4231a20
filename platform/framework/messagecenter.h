// "pqx_default_messagecenter": makes messages whose payload is copied, so a
// handler may answer with the address of a local.
#pragma once

#include "platform/framework/message.h"

namespace pqxhost {

class MessageCenter final : public pqx::IMessageCenter {
public:
    static constexpr const char* name = "pqx_default_messagecenter";

    // The message is owned by whoever receives it as a handler's answer: the
    // framework frees it with Message::release once the requester has it.
    pqx::IMessage* createMessage(std::uint32_t id, const char* sender, std::uint32_t size,
                                 const void* data, std::uint32_t flag) override {
        return new Message(id, sender ? sender : "", 0, size, data, flag, Message::Payload::copy);
    }
};

} // namespace pqxhost
