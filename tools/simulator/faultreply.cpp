#include "tools/simulator/faultreply.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "tools/simulator/connection.h"
#include "tools/simulator/replies.h"

namespace LCD {
namespace Sim {
namespace {

void sleepFor(int ms, const std::atomic<bool>& stopping) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!stopping && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            std::chrono::milliseconds(20), until - std::chrono::steady_clock::now()));
}

// A valid answer {"code":0,"message":"xxx..."} of exactly `bytes` bytes,
// written as it goes rather than held.
void hugeReply(httplib::Response& res, std::size_t bytes) {
    static const std::string head = "{\"code\":0,\"message\":\"", tail = "\"}";
    res.status = 200;
    res.set_content_provider(
        bytes, "application/json",
        [bytes](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            const std::size_t end = std::min(bytes, offset + std::min<std::size_t>(length, 16384));
            std::string piece(end - offset, 'x');
            for (std::size_t at = offset; at < std::min(end, head.size()); ++at)
                piece[at - offset] = head[at];
            const std::size_t tailFrom = bytes - tail.size();
            for (std::size_t at = std::max(offset, tailFrom); at < end; ++at)
                piece[at - offset] = tail[at - tailFrom];
            return sink.write(piece.data(), piece.size());
        });
}

} // namespace

bool playFault(const Fault& f, httplib::Response& res, const std::atomic<bool>& stopping) {
    switch (f.mode) {
    case FaultMode::None: return false;
    case FaultMode::Delay: sleepFor(f.ms, stopping); return false;
    case FaultMode::Close:
        // Before any byte of the answer: the client sees a transport error.
        Connection::current()->abort();
        return true;
    case FaultMode::CloseMid: {
        const std::string full = status(0, "success").dump();
        res.status = 200;
        res.set_content_provider(full.size(), "application/json",
                                 [full](std::size_t, std::size_t, httplib::DataSink& sink) {
                                     sink.write(full.data(), full.size() / 2);
                                     return false; // aborts the connection
                                 });
        return true;
    }
    case FaultMode::NonJson:
        res.status = 200;
        res.set_content("this is not json", "text/plain");
        return true;
    case FaultMode::Empty:
        res.status = 200;
        res.set_content("", "application/json");
        return true;
    case FaultMode::Code: reply(res, 200, status(f.code, "refused by test")); return true;
    case FaultMode::Http500: reply(res, 500, status(500, "internal error")); return true;
    case FaultMode::Huge: hugeReply(res, f.bytes); return true;
    }
    return false;
}

} // namespace Sim
} // namespace LCD
