#include "platform/framework/host.h"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <exception>
#include <memory>

#include "platform/framework/message.h"
#include "platform/framework/spinwait.h"

namespace pqxhost {

namespace {

// The requester's wait for its answer: one word, set once by the worker.
// A futex rather than a mutex and condition variable: the worker wakes a
// sleeping requester with one call and touches nothing of it afterwards,
// and the woken requester does not then wait for the worker's lock.
class Completion {
public:
    void signal() noexcept {
        // Once the word says done the requester may return and this object
        // be gone; its address still serves as the futex key, and a wake on
        // it that nobody waits for does nothing.
        void* const key = &m_state;
        if (m_state.exchange(done, std::memory_order_release) == sleeping)
            futex(key, FUTEX_WAKE_PRIVATE, 1);
    }
    // A set request's round trip on loopback is well inside the spin, so
    // the requester is seldom put to sleep while a processor is free.
    void wait() noexcept {
        if (spinUntil([this] { return m_state.load(std::memory_order_acquire) == done; },
                      std::chrono::microseconds(200)))
            return;
        int expected = pending;
        if (!m_state.compare_exchange_strong(expected, sleeping, std::memory_order_acquire))
            return; // done meanwhile
        // A wake may come from the word's earlier life at this address: the
        // state decides, not the wake.
        while (m_state.load(std::memory_order_acquire) != done)
            futex(&m_state, FUTEX_WAIT_PRIVATE, sleeping);
    }

private:
    enum : int { pending, sleeping, done };

    static void futex(void* key, int op, int value) noexcept {
        syscall(SYS_futex, key, op, value, nullptr, nullptr, 0);
    }

    std::atomic<int> m_state{pending};
};

} // namespace

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
    Completion done;
    const bool queued = m_pool.submit([&] {
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
        done.signal();
    });
    if (!queued) {
        result.status = Answer::Status::stopped;
        return result;
    }
    done.wait();
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
