#include "platform/framework/globalmessagehandler.h"

#include "platform/framework/message.h"

namespace pqxhost {

std::shared_ptr<const GlobalMessageHandler::Table> GlobalMessageHandler::snapshot() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_table;
}

// Copy-on-write: readers keep the table they took while a writer swaps in a
// new one.
void GlobalMessageHandler::registerRequestHandler(std::uint32_t id,
                                                  const pqx::MessageHandler& handler) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto next = std::make_shared<Table>(*m_table);
    next->requests[id] = handler;
    m_table = std::move(next);
}

void GlobalMessageHandler::registerNotificationHandler(std::uint32_t id,
                                                       const pqx::MessageHandler& handler) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto next = std::make_shared<Table>(*m_table);
    next->notifications[id].push_back(handler);
    m_table = std::move(next);
}

std::int32_t GlobalMessageHandler::postMessage(std::uint32_t id, std::uint32_t size,
                                               const void* data, std::uint32_t flag) {
    const auto table = snapshot();
    const auto it = table->notifications.find(id);
    if (it == table->notifications.end())
        return 0;
    const Message message(id, "", 0, size, data, flag, Message::Payload::borrow);
    std::int32_t reached = 0;
    for (const auto& listener : it->second) {
        if (!listener)
            continue;
        const pqx::IMessage* answer = listener(&message);
        // Notifications are not answered; an answer made anyway is not leaked.
        if (answer != nullptr)
            Message::release(answer);
        ++reached;
    }
    return reached;
}

void GlobalMessageHandler::registerClient(const std::string& client) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_clients.push_back(client);
}

pqx::MessageHandler GlobalMessageHandler::requestHandler(std::uint32_t id) const {
    const auto table = snapshot();
    const auto it = table->requests.find(id);
    return it == table->requests.end() ? pqx::MessageHandler() : it->second;
}

std::vector<pqx::MessageHandler>
GlobalMessageHandler::notificationHandlers(std::uint32_t id) const {
    const auto table = snapshot();
    const auto it = table->notifications.find(id);
    return it == table->notifications.end() ? std::vector<pqx::MessageHandler>() : it->second;
}

std::vector<std::string> GlobalMessageHandler::clients() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_clients;
}

void GlobalMessageHandler::clear() {
    std::shared_ptr<const Table> old;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        old = std::move(m_table);
        m_table = std::make_shared<Table>();
        m_clients.clear();
    }
    // `old` goes here, outside the lock; a snapshot still held by a running
    // delivery keeps its handlers alive until that delivery ends.
}

} // namespace pqxhost
