#include "platform/framework/message.h"

#include <cstring>
#include <utility>

namespace pqxhost {

Message::Message(std::uint32_t id, std::string sender, std::uint32_t replyId, std::uint32_t size,
                 const void* data, std::uint32_t flag, Payload payload)
    : m_id(id), m_sender(std::move(sender)), m_replyId(replyId), m_size(size), m_flag(flag),
      m_data(data) {
    if (payload == Payload::copy && data != nullptr) {
        m_copy.resize(size);
        if (size != 0)
            std::memcpy(m_copy.data(), data, size);
        m_data = m_copy.data();
    }
}

} // namespace pqxhost
