// The device's auto-report stream: a long-lived GET of URL + "/events"
// (server-sent events) that hands every "autoreport" event's data, the
// report's JSON text, to a callback, and reconnects when the stream drops.
//
//   AutoReportStream stream("http://127.0.0.1:8900",
//                           [&](const std::string& text) { host.deliverText(0x0008110d, text); });
//   stream.start();
//   ...
//   stream.stop();   // ends the connection and joins the thread
//
// A stream silent for longer than 5 s (the device pings every second) counts
// as dropped. Reconnection waits 100 ms, doubling up to 2 s.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace pqxhost {

class AutoReportStream {
public:
    using Callback = std::function<void(const std::string& report)>;

    AutoReportStream(std::string baseUrl, Callback onReport);
    ~AutoReportStream();
    AutoReportStream(const AutoReportStream&) = delete;
    AutoReportStream& operator=(const AutoReportStream&) = delete;

    void start();
    void stop();

    // Connections made so far and reports handed on.
    std::uint64_t connections() const { return m_connections.load(); }
    std::uint64_t reports() const { return m_reports.load(); }
    bool connected() const { return m_connected.load(); }
    // Blocks until a connection is open or the time passes; true when open.
    bool waitConnected(int timeoutMs);

private:
    void run();

    std::string m_url;
    Callback m_onReport;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_connected{false};
    std::atomic<std::uint64_t> m_connections{0};
    std::atomic<std::uint64_t> m_reports{0};
    std::mutex m_mutex;
    std::condition_variable m_changed;
};

} // namespace pqxhost
