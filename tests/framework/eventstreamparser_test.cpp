// The event stream parser: the same events whatever the chunking of the
// bytes, with comments, CRLF line ends and multi-line data.
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/framework/eventstreamparser.h"

namespace {

using Events = std::vector<std::pair<std::string, std::string>>;

const std::string stream =
    ": keep-alive\n"
    "event: autoreport\n"
    "data: {\"seq\":1}\n"
    "\n"
    "event: autoreport\r\n"
    "data: first line\r\n"
    "data:second line\r\n"
    ": a comment inside the event\r\n"
    "data:  two blanks keep one\r\n"
    "\r\n"
    "event: ping\n"
    "\n"
    "data: unnamed\n"
    "\n";

const Events expected = {
    {"autoreport", "{\"seq\":1}"},
    {"autoreport", "first line\nsecond line\n two blanks keep one"},
    {"", "unnamed"},
};

Events parseInChunks(const std::string& bytes, std::size_t chunk) {
    Events events;
    pqxhost::EventStreamParser parser(
        [&](const std::string& event, const std::string& data) { events.emplace_back(event, data); });
    for (std::size_t at = 0; at < bytes.size(); at += chunk)
        parser.feed(bytes.data() + at, std::min(chunk, bytes.size() - at));
    return events;
}

// Chunks of one byte split every CR from its LF; an event name ("ping")
// without data is not handed on and does not carry over.
TEST(EventStreamParser, GivesTheSameEventsForEveryChunkSize) {
    for (std::size_t chunk = 1; chunk <= stream.size(); ++chunk)
        EXPECT_EQ(parseInChunks(stream, chunk), expected) << "chunk size " << chunk;
}

TEST(EventStreamParser, HoldsAnUnfinishedEventAndResetForgetsIt) {
    Events events;
    pqxhost::EventStreamParser parser(
        [&](const std::string& e, const std::string& d) { events.emplace_back(e, d); });
    const std::string half = "event: autoreport\ndata: lost";
    parser.feed(half.data(), half.size());
    EXPECT_TRUE(events.empty());
    parser.reset();
    const std::string next = "\ndata: kept\n\n";
    parser.feed(next.data(), next.size());
    EXPECT_EQ(events, (Events{{"", "kept"}}));
}

} // namespace
