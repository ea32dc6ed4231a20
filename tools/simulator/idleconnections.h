// Kept-alive connections between their requests: one thread watches them
// all, so an idle client holds no request worker. A connection whose next
// request begins is handed back to be served; one idle for kKeepAlive is
// closed.
//
//   IdleConnections idle([&](std::unique_ptr<Connection> c) { pool.enqueue(...); });
//   idle.park(std::move(connection));
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "tools/simulator/connection.h"
#include "tools/simulator/wakesignal.h"

namespace LCD {
namespace Sim {

class IdleConnections {
public:
    using Ready = std::function<void(std::unique_ptr<Connection>)>;

    // `ready` is called on the watching thread.
    explicit IdleConnections(Ready ready);
    ~IdleConnections(); // stop()
    IdleConnections(const IdleConnections&) = delete;
    IdleConnections& operator=(const IdleConnections&) = delete;

    void park(std::unique_ptr<Connection> c);
    // Closes every parked connection and joins the thread; what is parked
    // later is closed at once.
    void stop();

private:
    struct Parked;
    void run();

    Ready m_ready;
    WakeSignal m_wake;
    std::mutex m_mutex;
    std::vector<Parked> m_parked;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace Sim
} // namespace LCD
