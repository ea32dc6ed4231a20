// The device's auto-report stream: a long-lived GET of URL + "/events"
// (server-sent events) that hands every "autoreport" event's data, the
// report's JSON text, to a callback, and reconnects when the stream drops.
//
//   AutoReportStream stream("http://127.0.0.1:8900",
//                           [&](const std::string& text) { host.deliverText(0x0008110d, text); });
//   stream.start();
//   std::string why;
//   if (!stream.waitConnected(5000, &why)) { ... why: "connection refused (...)" ... }
//   ...
//   stream.stop();   // ends the connection at once and joins the thread
//
// The stream is open once the device has answered with status 200 and the
// content type text/event-stream, after any interim 1xx heads; any other
// answer, a redirect included, is a failed attempt. The stream is held to
// the caps of lcdcomm::limits: a head, a line or an event over its cap ends
// the connection. A stream that completes no line for 5 s (the device pings
// every second) counts as dropped, so a device dripping bytes does not hold
// it either.
//
// Reconnection waits 100 ms, doubling up to 2 s; the wait goes back to
// 100 ms only once a connection has proven itself: a report arrived, or a
// ping (a comment after the one the device greets with). A device that
// accepts and closes at once is thus tried at most every 2 s.
//
// What the state callback is told, so that a storm of reconnections is not
// told at its own rate: the first opening, at once; the loss of an open
// connection, unless the same cause was told less than 30 s before; an
// opening after a told loss, once that connection has proven itself.
// Attempts that fail before the stream opens are not told (waitConnected
// says why).
//
// A device that wants its token on GET /events has it from the token
// source, asked again for each attempt (a login may have renewed it); a
// 401 then says the token was refused. Each attempt's answer, once known
// (the stream's head, or the failure before it), is handed to the
// attempt callback, for a host that shows its exchanges with the device.
#pragma once

#include <atomic>
#include <chrono>
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
    // `open` true: a connection opened; false: an open one was lost, `why`
    // says how. Called on the stream's thread; not called for stop().
    using StateCallback = std::function<void(bool open, const std::string& why)>;
    // The token to send as the Authorization header; empty: none.
    using TokenSource = std::function<std::string()>;
    struct Attempt {
        bool withToken = false;
        long status = 0;   // the final head's HTTP status; 0 when none came
        std::string cause; // why it did not open; empty when it did
        double ms = 0;     // from the attempt's start until its answer was known
    };
    using AttemptCallback = std::function<void(const Attempt&)>;

    AutoReportStream(std::string baseUrl, Callback onReport);
    ~AutoReportStream();
    AutoReportStream(const AutoReportStream&) = delete;
    AutoReportStream& operator=(const AutoReportStream&) = delete;

    // Before start().
    void onState(StateCallback callback) { m_onState = std::move(callback); }
    void token(TokenSource source) { m_token = std::move(source); }
    void onAttempt(AttemptCallback callback) { m_onAttempt = std::move(callback); }
    void start();
    void stop();

    // Connections made so far and reports handed on.
    std::uint64_t connections() const { return m_connections.load(); }
    std::uint64_t reports() const { return m_reports.load(); }
    bool connected() const { return m_connected.load(); }
    // Blocks until a connection is open, an attempt to open one has failed
    // or the time passes; true when one is open or was opened meanwhile.
    // Otherwise `error` says why: the failed attempt's cause, or that
    // nothing came in time.
    bool waitConnected(int timeoutMs, std::string* error = nullptr);

private:
    void run();
    void attemptEnded(bool wasOpen, const std::string& why);
    void proven();

    std::string m_url;
    Callback m_onReport;
    StateCallback m_onState;
    TokenSource m_token;
    AttemptCallback m_onAttempt;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_connected{false};
    std::atomic<std::uint64_t> m_connections{0};
    std::atomic<std::uint64_t> m_reports{0};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    void* m_multi = nullptr;      // the transfer's multi handle, for stop() to wake it
    std::uint64_t m_failures = 0; // attempts that never opened
    std::string m_lastError;
    // What the state callback was told last (the stream's thread only).
    bool m_toldLost = false;
    std::string m_toldWhy;
    std::chrono::steady_clock::time_point m_toldAt;
};

} // namespace pqxhost
