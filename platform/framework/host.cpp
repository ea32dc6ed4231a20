#include "platform/framework/host.h"

#include <cstring>
#include <exception>
#include <memory>

#include "platform/framework/message.h"

namespace pqxhost {

const char* toString(Answer::Status status) {
    switch (status) {
    case Answer::Status::answered: return "answered";
    case Answer::Status::none: return "no answer";
    case Answer::Status::noHandler: return "no handler";
    case Answer::Status::stopped: return "delivery stopped";
    case Answer::Status::failed: return "handler failed";
    }
    return "?";
}

Host::Host(std::size_t workers) : m_pool(workers) {}

Host::~Host() {
    m_pool.stop();
}

pqx::IMessageHandler* Host::findMessageHandler(const char* component, const char*, void*, void*,
                                               void*, std::int32_t) {
    if (component != nullptr && std::strcmp(component, GlobalMessageHandler::name) == 0)
        return &m_global;
    return nullptr;
}

pqx::IMessageCenter* Host::findMessageCenter(const char* name) {
    if (name != nullptr && std::strcmp(name, MessageCenter::name) == 0)
        return &m_center;
    return nullptr;
}

Answer Host::sendRequest(std::uint32_t id, const void* data, std::uint32_t size) {
    Answer result;
    result.replyId = m_nextReplyId.fetch_add(1, std::memory_order_relaxed);
    const pqx::MessageHandler handler = m_global.requestHandler(id);
    if (!handler) {
        result.status = Answer::Status::noHandler;
        return result;
    }
    // On the requester's own thread: it waits for the answer anyway, and a
    // hand-over to a worker and back would add two wake-ups to every round
    // trip. The pool still counts it, so stopDelivery() waits for it.
    const bool ran = m_pool.runHere([&] {
        const Message request(id, "", result.replyId, size, data, 0, Message::Payload::borrow);
        try {
            const pqx::IMessage* answer = handler(&request);
            if (answer == nullptr) {
                result.status = Answer::Status::none;
            } else {
                const auto* bytes = static_cast<const unsigned char*>(answer->getData());
                result.status = Answer::Status::answered;
                result.answerId = answer->getId();
                result.sender = answer->getSender();
                if (bytes != nullptr)
                    result.payload.assign(bytes, bytes + answer->getDataSize());
                Message::release(answer);
            }
        } catch (const std::exception& e) {
            result.status = Answer::Status::failed;
            result.error = e.what();
        } catch (...) {
            result.status = Answer::Status::failed;
            result.error = "unknown exception";
        }
    });
    if (!ran)
        result.status = Answer::Status::stopped;
    return result;
}

bool Host::deliverNotification(std::uint32_t id, std::vector<unsigned char> payload) {
    auto shared = std::make_shared<std::vector<unsigned char>>(std::move(payload));
    return m_pool.submit([this, id, shared] {
        const auto size = static_cast<std::uint32_t>(shared->size());
        try {
            m_global.postMessage(id, size, shared->empty() ? nullptr : shared->data(), 0);
        } catch (...) {
            // A listener's failure must not take a delivery thread down.
        }
    });
}

bool Host::deliverText(std::uint32_t id, const std::string& text) {
    std::vector<unsigned char> bytes(text.begin(), text.end());
    bytes.push_back('\0');
    return deliverNotification(id, std::move(bytes));
}

} // namespace pqxhost
