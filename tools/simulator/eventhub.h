// The open event streams and the thread that writes to them: a stream's
// connection is handed over once its answer's head is out, so no request
// worker waits on a subscriber.
//
//   EventHub::Slot slot = hub.reserve();   // in the handler: counted, queues
//   ...                                    // reports from now on; null when full
//   hub.attach(slot, fd, peer);            // the head is out: the hub writes
//   hub.publish(eventChunk(report));       // to every stream, in one order
//
// A stream's queue holds at most kQueueLimit events: a subscriber that
// falls that far behind is closed (its stream ends) instead of silently
// losing events, so its client reconnects and knows it may have missed
// some. Each stream hears a ping when it has heard nothing for a second.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/simulator/wakesignal.h"

namespace LCD {
namespace Sim {

class EventHub {
public:
    static constexpr std::size_t kQueueLimit = 4096;
    struct Stream;
    using Slot = std::shared_ptr<Stream>;
    // Told of each stream that ended: "127.0.0.1:4711 ended: 3 reports,
    // 1466 bytes out; closed by the client".
    using EndCallback = std::function<void(const std::string& account)>;

    explicit EventHub(std::size_t maxStreams, EndCallback onEnd = nullptr);
    ~EventHub(); // stop()
    EventHub(const EventHub&) = delete;
    EventHub& operator=(const EventHub&) = delete;

    // A new stream, before its connection is handed over: it is counted
    // and receives every event published after this. Null when
    // `maxStreams` are open or the hub has stopped.
    Slot reserve();
    // The stream's connection: the hub writes its greeting, its events and
    // pings to `fd` from now on, and closes it.
    void attach(const Slot& slot, int fd, const std::string& peer);
    // The connection never came.
    void cancel(const Slot& slot);

    // Queues one event (already framed as a chunk) for every stream.
    // Returns the number of streams it was queued for.
    std::size_t publish(std::string chunk);

    // Ends every open stream once what was queued for it is written.
    void closeAll();
    // closeAll(), then waits a moment for the last bytes to go out, closes
    // what is left and joins the thread.
    void stop();

    std::size_t subscriberCount() const;

private:
    void run();
    void end(std::size_t index, const char* why); // m_mutex held
    bool flush(Stream& s);                        // m_mutex held

    const std::size_t m_maxStreams;
    EndCallback m_onEnd;
    WakeSignal m_wake;
    mutable std::mutex m_mutex;
    std::vector<Slot> m_streams; // open and reserved ones
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace Sim
} // namespace LCD
