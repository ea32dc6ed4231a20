#include "tools/client/session.h"

#include <cstdio>

#include "host/lcdcommunicator.h"
#include "tools/client/exchangelog.h"

namespace lcdclient {

Session::Session(ChangeCallback onChange, std::size_t workers)
    : m_onChange(std::move(onChange)), m_workers(workers) {}

bool Session::open(const std::string& pluginPath, const std::string& deviceUrl, int connectMs,
                   std::string* error) {
    m_host = std::make_unique<pqxhost::Host>(m_workers);
    m_host->global().registerNotificationHandler(
        kLayerImageQualityChanged, [this](const pqx::IMessage* message) -> pqx::IMessage* {
            if (message->getDataSize() != sizeof(LayerList) || message->getData() == nullptr)
                return nullptr;
            const LayerList layers = *static_cast<const LayerList*>(message->getData());
            if (m_onChange)
                m_onChange(layers);
            return nullptr;
        });
    m_plugin = pqxhost::Plugin::load(pluginPath, *m_host, error);
    if (!m_plugin) {
        close();
        return false;
    }
    pqxhost::Host* host = m_host.get();
    m_stream =
        std::make_unique<pqxhost::AutoReportStream>(deviceUrl, [host](const std::string& report) {
            host->deliverText(kAutoReportLayerImageQuality, report);
        });
    m_stream->onState(m_onStream);
    // The stream is one of the device's endpoints: it gets the
    // communicator's token, and its exchanges are shown as the others are.
    m_stream->token([] { return HttpLogin::getInstance()->getToken(); });
    m_stream->onAttempt([](const pqxhost::AutoReportStream::Attempt& attempt) {
        lcdcomm::Exchange exchange;
        exchange.method = "GET";
        exchange.path = "/events";
        if (attempt.withToken)
            exchange.heads.emplace_back("Authorization", "***");
        exchange.status = static_cast<int>(attempt.status);
        exchange.error = attempt.cause;
        exchange.ms = attempt.ms;
        exchangelog::take(exchange);
    });
    m_stream->start();
    // Without the stream open, a report of the first set could be missed.
    std::string why;
    if (!m_stream->waitConnected(connectMs, &why)) {
        if (error)
            *error =
                "the device's auto-report stream " + deviceUrl + "/events did not open: " + why;
        close();
        return false;
    }
    return true;
}

void Session::close() {
    // Reports stop first, then delivery, so no handler runs while the
    // components go; the handler copies hold the plug-in's code, so they go
    // before it is unloaded.
    if (m_stream)
        m_stream->stop();
    if (m_host)
        m_host->stopDelivery();
    if (m_plugin)
        m_plugin->destroyComponents();
    if (m_host)
        m_host->global().clear();
    m_plugin.reset();
    m_stream.reset();
    m_host.reset();
}

pqxhost::Answer Session::set(const LayerList& layers) {
    return m_host->sendRequest(kSetLayerImageQuality, &layers, sizeof layers);
}

std::vector<std::string> Session::registrations() const {
    std::vector<std::string> lines;
    if (!m_plugin)
        return lines;
    const pqx::PluginInfo& info = m_plugin->info();
    lines.push_back("plug-in " + m_plugin->path() + ": " + (info.name ? info.name : "?") + " " +
                    (info.version ? info.version : "?"));
    for (const auto& component : m_plugin->components())
        lines.push_back("component " +
                        std::string(component.info->name ? component.info->name : "?") +
                        " created");
    for (const std::string& client : m_host->global().clients())
        lines.push_back("client \"" + client + "\" registered");
    auto hex = [](std::uint32_t id) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%08x", id);
        return std::string(text);
    };
    if (m_host->global().requestHandler(kSetLayerImageQuality))
        lines.push_back("request handler for " + hex(kSetLayerImageQuality) + " (set) registered");
    // One listener of the changes is lcdhost's own.
    if (!m_host->global().notificationHandlers(kAutoReportLayerImageQuality).empty())
        lines.push_back("notification handler for " + hex(kAutoReportLayerImageQuality) +
                        " (auto-report) registered");
    return lines;
}

} // namespace lcdclient
