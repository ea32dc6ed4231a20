// What a person is told of the device's report stream going and coming
// back, without a line repeated at the pace of a device that drops the
// stream as soon as it opens:
//
//   lcdclient::StreamNews news;
//   news.opened(now);                   // "": the first opening is no news
//   news.lost("connection reset", now); // "stream lost, reconnecting (connection reset)"
//   news.opened(now);                   // "stream open again"
//   news.lost("connection reset", now); // "": the same loss again before the stream proved itself
//
// A loss is told when its cause differs from the last one told, or when
// the stream had stayed open for kProven before it; an opening is told
// when the loss before it was.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace lcdclient {

class StreamNews {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::duration kProven = std::chrono::seconds(10);

    // The line to show, or "" for none. `cause` is shown printable.
    std::string lost(const std::string& cause, Clock::time_point now);
    std::string opened(Clock::time_point now);

private:
    std::optional<Clock::time_point> m_openSince;
    bool m_lost = false;
    bool m_lossTold = false;
    std::string m_lastCauseTold;
};

} // namespace lcdclient
