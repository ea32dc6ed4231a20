// A recording host: API, global message handler and message center write
// every call into one ordered log; posted layer lists are copied while the
// poster's list is still alive.
#pragma once

#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/pqx.h"
#include "platform/framework/message.h"
#include "protocol/layerimagequality.h"

namespace fake_host {

using List = LCD::ProtoModel::Layer::LayerList;

inline std::string hex(std::uint32_t v) {
    char b[16];
    std::snprintf(b, sizeof b, "0x%08x", v);
    return b;
}

// A message handed to a handler: the host's own kind, its payload borrowed.
inline pqxhost::Message message(std::uint32_t replyId, std::uint32_t size, const void* data) {
    return pqxhost::Message(0, "", replyId, size, data, 0, pqxhost::Message::Payload::borrow);
}

class Center : public pqx::IMessageCenter {
public:
    explicit Center(std::vector<std::string>& log) : log(log) {}
    pqx::IMessage* createMessage(std::uint32_t id, const char* sender, std::uint32_t size,
                                 const void* data, std::uint32_t flag) override {
        log.push_back("createMessage " + hex(id));
        made.push_back(std::make_unique<pqxhost::Message>(id, sender, 0, size, data, flag,
                                                          pqxhost::Message::Payload::copy));
        return made.back().get();
    }
    std::vector<std::string>& log;
    std::vector<std::unique_ptr<pqxhost::Message>> made;
};

struct Post {
    std::uint32_t id, size, flag;
    List layers;
};

class Handler : public pqx::IMessageHandler {
public:
    explicit Handler(std::vector<std::string>& log) : log(log) {}
    void registerRequestHandler(std::uint32_t id, const pqx::MessageHandler& h) override {
        log.push_back("registerRequestHandler " + hex(id));
        handlers[id] = h;
    }
    void registerNotificationHandler(std::uint32_t id, const pqx::MessageHandler& h) override {
        log.push_back("registerNotificationHandler " + hex(id));
        handlers[id] = h;
    }
    void reservedSlot3() override { log.push_back("reservedSlot3"); }
    void reservedSlot4() override { log.push_back("reservedSlot4"); }
    std::int32_t postMessage(std::uint32_t id, std::uint32_t size, const void* data,
                             std::uint32_t flag) override {
        log.push_back("postMessage " + hex(id));
        Post p{id, size, flag, {}};
        if (size == sizeof(List) && data)
            p.layers = *static_cast<const List*>(data);
        posts.push_back(p);
        return 1;
    }
    void registerClient(const std::string& name) override {
        log.push_back("registerClient " + name);
        if (throwOnRegister)
            throw std::runtime_error("no room");
    }
    std::vector<std::string>& log;
    std::map<std::uint32_t, pqx::MessageHandler> handlers;
    std::vector<Post> posts;
    bool throwOnRegister = false;
};

class Api : public pqx::IApi {
public:
    pqx::IMessageHandler* findMessageHandler(const char* component, const char* caller, void* r1,
                                             void* r2, void* r3, std::int32_t r4) override {
        log.push_back(std::string("findMessageHandler ") + component + " " + caller +
                      (r1 || r2 || r3 || r4 ? " extra" : ""));
        return withHandler ? &handler : nullptr;
    }
    void reservedSlot2() override { log.push_back("reservedSlot2"); }
    void reservedSlot3() override { log.push_back("reservedSlot3"); }
    pqx::IMessageCenter* findMessageCenter(const char* name) override {
        log.push_back(std::string("findMessageCenter ") + name);
        return withCenter ? &center : nullptr;
    }
    std::vector<std::string> log;
    Handler handler{log};
    Center center{log};
    bool withHandler = true;
    bool withCenter = true;
};

} // namespace fake_host
