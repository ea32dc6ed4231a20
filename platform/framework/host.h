// The host API object handed to plug-ins, and the host side of messaging.
//
//   pqxhost::Host host(4);                      // four notification threads
//   auto answer = host.sendRequest(id, &list, sizeof list);   // blocks
//   host.deliverNotification(0x0008110d, text);              // queued
//   host.stopDelivery();                        // before components go
//
// Plug-ins reach two services through it: the global message handler
// "movra.message.globalmessagehandler" and the message center
// "pqx_default_messagecenter". A request runs on the thread that sends it;
// notifications are queued to the worker threads, several at once.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "host/pqx.h"
#include "platform/framework/globalmessagehandler.h"
#include "platform/framework/messagecenter.h"
#include "platform/framework/workerpool.h"

namespace pqxhost {

// What came back for one request.
struct Answer {
    enum class Status {
        answered,  // the handler answered; payload holds a copy of the answer's
        none,      // the handler returned null
        noHandler, // nobody handles this id
        stopped,   // delivery has stopped
        failed,    // the handler threw; error holds its text
    };
    Status status = Status::none;
    std::uint32_t replyId = 0;  // the id the request carried
    std::uint32_t answerId = 0; // the id the answer was made under
    std::string sender;
    std::vector<unsigned char> payload;
    std::string error;
};

const char* toString(Answer::Status status);

class Host final : public pqx::IApi {
public:
    explicit Host(std::size_t workers = 4);
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    pqx::IMessageHandler* findMessageHandler(const char* component, const char* caller,
                                             void* reserved1, void* reserved2, void* reserved3,
                                             std::int32_t reserved4) override;
    void reservedSlot2() override {}
    void reservedSlot3() override {}
    pqx::IMessageCenter* findMessageCenter(const char* name) override;

    // Calls the request's handler on this thread and returns its answer.
    // The payload is borrowed for the call. Several threads may send at once;
    // refused (stopped) once stopDelivery() has begun.
    Answer sendRequest(std::uint32_t id, const void* data, std::uint32_t size);

    // Queues a notification; the payload is copied. False once stopped.
    bool deliverNotification(std::uint32_t id, std::vector<unsigned char> payload);
    // A text notification, delivered with its terminating NUL.
    bool deliverText(std::uint32_t id, const std::string& text);

    void waitIdle() { m_pool.waitIdle(); }
    // Refuses new deliveries and waits for the running ones to end, requests
    // on their senders' threads included.
    void stopDelivery() { m_pool.stop(); }

    GlobalMessageHandler& global() { return m_global; }

private:
    GlobalMessageHandler m_global;
    MessageCenter m_center;
    std::atomic<std::uint32_t> m_nextReplyId{1};
    WorkerPool m_pool;
};

} // namespace pqxhost
