// Host component framework interfaces, as the plug-in sees them.
//
// Each class is an abstract interface whose virtual operations sit in a fixed
// slot order, so that a host compiled elsewhere against the same slot layout
// is binary compatible with the plug-in. None of them has a virtual
// destructor: objects behind these interfaces are owned and destroyed by the
// host through its own concrete types. Ids, sizes and flags are 32-bit.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace pqx {

class IMessage;
class IMessageHandler;
class IMessageCenter;

// A handler returns an answer message (requests) or null (notifications).
using MessageHandler = std::function<const IMessage*(const IMessage*)>;

// The host API object handed to `pluginit`.
class IApi {
public:
    // Slot 1: the message handler named `component`, looked up on behalf of
    // `caller`; null when there is none. The trailing arguments are the
    // framework's own (the plug-in passes three nulls and 0).
    virtual IMessageHandler* findMessageHandler(const char* component, const char* caller,
                                                void* reserved1, void* reserved2, void* reserved3,
                                                std::int32_t reserved4) = 0;
    // Slots 2 and 3: framework-side operations the plug-in never calls.
    virtual void reservedSlot2() = 0;
    virtual void reservedSlot3() = 0;
    // Slot 4: the message center named `name`, or null.
    virtual IMessageCenter* findMessageCenter(const char* name) = 0;

protected:
    ~IApi() = default;
};

class IMessageHandler {
public:
    // Slot 1: a handler for requests with this id; its result is the answer.
    virtual void registerRequestHandler(std::uint32_t id, const MessageHandler& handler) = 0;
    // Slot 2: a handler for notifications with this id; its result is ignored.
    virtual void registerNotificationHandler(std::uint32_t id, const MessageHandler& handler) = 0;
    // Slots 3 and 4: framework-side operations the plug-in never calls.
    virtual void reservedSlot3() = 0;
    virtual void reservedSlot4() = 0;
    // Slot 5: delivers a notification to every listener of `id` before it
    // returns (the payload lives only for the call). Returns the number of
    // listeners reached.
    virtual std::int32_t postMessage(std::uint32_t id, std::uint32_t size, const void* data,
                                     std::uint32_t flag) = 0;
    // Slot 6: announces a client by name.
    virtual void registerClient(const std::string& name) = 0;

protected:
    ~IMessageHandler() = default;
};

class IMessage {
public:
    // Slots 1 to 3 are framework-side accessors; the plug-in never calls them.
    virtual std::uint32_t getId() const = 0;
    virtual const char* getSender() const = 0;
    virtual std::uint32_t getFlag() const = 0;
    // Slot 4: the id under which the answer to this message is made.
    virtual std::uint32_t getReplyId() const = 0;
    // Slot 5: payload size in bytes.
    virtual std::uint32_t getDataSize() const = 0;
    // Slot 6: the payload, or null; valid while the handler runs.
    virtual const void* getData() const = 0;

protected:
    ~IMessage() = default;
};

class IMessageCenter {
public:
    // Slot 1: a new message whose payload is a copy of `data`.
    virtual IMessage* createMessage(std::uint32_t id, const char* sender, std::uint32_t size,
                                    const void* data, std::uint32_t flag) = 0;

protected:
    ~IMessageCenter() = default;
};

} // namespace pqx
