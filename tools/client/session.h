// One run of the host with the plug-in against one device:
//
//   lcdclient::Session session;
//   if (!session.open(pluginPath, deviceUrl, &error)) { ... }
//   auto answer = session.set(layers);          // 0xfc050410, blocks
//   session.close();                            // also done by the destructor
//
// Opening loads the plug-in (which registers its handlers with the host) and
// starts the device's auto-report stream, each report delivered to the
// plug-in as 0x0008110d. Every 0xfc08040b the plug-in posts is copied and
// handed to the change callback, on the thread that posted it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/messageids.h"
#include "platform/framework/autoreportstream.h"
#include "platform/framework/host.h"
#include "platform/framework/pluginloader.h"
#include "tools/client/layerlist.h"

namespace lcdclient {

using LCD::MessageId::kAutoReportLayerImageQuality;
using LCD::MessageId::kLayerImageQualityChanged;
using LCD::MessageId::kSetLayerImageQuality;

class Session {
public:
    using ChangeCallback = std::function<void(const LayerList&)>;

    // `workers`: the host's threads for notifications.
    explicit Session(ChangeCallback onChange = {}, std::size_t workers = 4);
    ~Session() { close(); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Told when the report stream is lost or opens again; before open().
    void onStreamState(pqxhost::AutoReportStream::StateCallback callback) {
        m_onStream = std::move(callback);
    }
    // Fails, saying why, when the plug-in does not load or the device's
    // report stream does not open within `connectMs`.
    bool open(const std::string& pluginPath, const std::string& deviceUrl, int connectMs,
              std::string* error);
    void close();

    pqxhost::Answer set(const LayerList& layers);

    // What was loaded and what registered with the host, one line each:
    // the plug-in, its components, the clients and the handlers of the
    // model's two incoming ids.
    std::vector<std::string> registrations() const;

    bool streamOpen() const { return m_stream && m_stream->connected(); }
    // While open: the host and the stream, for those who watch them at work.
    pqxhost::Host& host() { return *m_host; }
    pqxhost::AutoReportStream& stream() { return *m_stream; }

private:
    ChangeCallback m_onChange;
    std::size_t m_workers;
    pqxhost::AutoReportStream::StateCallback m_onStream;
    std::unique_ptr<pqxhost::Host> m_host;
    std::unique_ptr<pqxhost::Plugin> m_plugin;
    std::unique_ptr<pqxhost::AutoReportStream> m_stream;
};

} // namespace lcdclient
