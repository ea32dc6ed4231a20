// The framework's one message type: an id, a sender name, a reply id and a
// payload that is either a copy (messages made by the message center) or a
// borrowed view (notifications posted from a caller's stack).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/pqx.h"

namespace pqxhost {

class Message final : public pqx::IMessage {
public:
    enum class Payload { copy, borrow };

    Message(std::uint32_t id, std::string sender, std::uint32_t replyId, std::uint32_t size,
            const void* data, std::uint32_t flag, Payload payload);

    std::uint32_t getId() const override { return m_id; }
    const char* getSender() const override { return m_sender.c_str(); }
    std::uint32_t getFlag() const override { return m_flag; }
    std::uint32_t getReplyId() const override { return m_replyId; }
    std::uint32_t getDataSize() const override { return m_size; }
    const void* getData() const override { return m_data; }

    // Frees a message made by this framework, seen through the interface
    // (which has no virtual destructor).
    static void release(const pqx::IMessage* message) {
        delete static_cast<const Message*>(message);
    }

private:
    std::uint32_t m_id;
    std::string m_sender;
    std::uint32_t m_replyId;
    std::uint32_t m_size;
    std::uint32_t m_flag;
    std::vector<unsigned char> m_copy;
    const void* m_data;
};

} // namespace pqxhost
