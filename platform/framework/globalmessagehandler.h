// "movra.message.globalmessagehandler": the routing table of the framework.
//
//   registerRequestHandler(id, h)       h answers requests with this id
//                                       (one per id; a later one replaces it)
//   registerNotificationHandler(id, h)  h is one more listener of this id
//   postMessage(id, size, data, flag)   every listener of id, in registration
//                                       order, on the caller's thread, before
//                                       it returns (the payload is borrowed)
//   registerClient(name)                records a client name
//
// Handlers are kept as copies. Lookups take a snapshot of the table, so
// handlers run without any lock held and may register or post themselves.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/pqx.h"

namespace pqxhost {

class GlobalMessageHandler final : public pqx::IMessageHandler {
public:
    static constexpr const char* name = "movra.message.globalmessagehandler";

    void registerRequestHandler(std::uint32_t id, const pqx::MessageHandler& handler) override;
    void registerNotificationHandler(std::uint32_t id, const pqx::MessageHandler& handler) override;
    void reservedSlot3() override {}
    void reservedSlot4() override {}
    std::int32_t postMessage(std::uint32_t id, std::uint32_t size, const void* data,
                             std::uint32_t flag) override;
    void registerClient(const std::string& name) override;

    // Host side.
    pqx::MessageHandler requestHandler(std::uint32_t id) const; // empty when none
    std::vector<pqx::MessageHandler> notificationHandlers(std::uint32_t id) const;
    std::vector<std::string> clients() const;
    // Drops every handler: the copies may hold code of a plug-in that is about
    // to be unloaded.
    void clear();

private:
    struct Table {
        std::map<std::uint32_t, pqx::MessageHandler> requests;
        std::map<std::uint32_t, std::vector<pqx::MessageHandler>> notifications;
    };

    std::shared_ptr<const Table> snapshot() const;

    mutable std::mutex m_mutex;
    std::shared_ptr<const Table> m_table = std::make_shared<Table>();
    std::vector<std::string> m_clients;
};

} // namespace pqxhost
