// The auto-report stream against a scripted device: what opens it, what
// ends a connection and how that is told, and how fast a device that
// drops it again and again is tried.
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/framework/autoreportstream.h"
#include "platform/framework/eventstreamparser.h"
#include "tests/support/scripted_device.h"
#include "tests/support/test_support.h"

namespace {

using testsupport::Answer;
using testsupport::eventStream;
using testsupport::kEndless;

// A stream on a device that answers /events with `answer`, and what its
// state callback was told: "open", or the cause of a loss.
struct Watched {
    explicit Watched(const Answer& answer)
        : device({{"/events", answer}}), stream(device.url() + "/", [this](const std::string&) {}) {
        stream.onState([this](bool open, const std::string& why) {
            std::lock_guard<std::mutex> lock(mutex);
            told.push_back(open ? "open" : why);
        });
        stream.start();
    }
    std::vector<std::string> notices() {
        std::lock_guard<std::mutex> lock(mutex);
        return told;
    }

    testsupport::ScriptedDevice device;
    std::mutex mutex;
    std::vector<std::string> told;
    pqxhost::AutoReportStream stream; // last: its thread ends first
};

} // namespace

// Each row: the device's answer to GET /events, and why the stream does
// not open, or why its open connection ends (empty: it stays open).
TEST(AutoReportStream, OpensPastInterimHeadsAndEndsAConnectionThatPassesACapNamingIt) {
    const std::string kb64(65536, 'x');
    Answer drip(eventStream() + "data: x", "x", kEndless);
    drip.pauseMs = 200, drip.chunk = 1;
    const std::vector<std::tuple<const char*, Answer, bool, std::string, unsigned>> rows = {
        {"103 before the stream",
         Answer("HTTP/1.1 103 Early Hints\r\n\r\n" + eventStream(": open\n\ndata: {}\n\n"), "", 0,
                Answer::End::hold),
         true, "", 1},
        {"a redirect", testsupport::reply(307, "", "Location: http://127.0.0.2:9/events\r\n"),
         false, "the device answered with HTTP status 307", 0},
        {"a flood of 1xx heads", Answer("", "HTTP/1.1 103 Early Hints\r\n\r\n", kEndless), false,
         "the reply's headers are more than the 65536 bytes allowed", 0},
        {"a line that never ends", Answer(eventStream("data: "), kb64, kEndless), true,
         "the device sent an event-stream line of more than the 4194304 bytes allowed", 0},
        {"an event that never ends", Answer(eventStream(), "data:\ndata: " + kb64 + "\n", kEndless),
         true, "the device sent an event of more than the 4194304 bytes allowed", 0},
        {"a byte every 200 ms", drip, true, "the device sent no event or ping for 5 s", 0},
    };
    for (const auto& [name, answer, opens, why, reports] : rows) {
        Watched watched(answer);
        std::string error;
        EXPECT_EQ(watched.stream.waitConnected(5000, &error), opens) << name << ": " << error;
        EXPECT_EQ(opens ? why : error, why) << name;
        // Told: the opening, then the loss with its cause.
        std::vector<std::string> told{"open", why};
        told.resize(opens ? (why.empty() ? 1 : 2) : 0);
        EXPECT_TRUE(testsupport::eventually([&] { return watched.notices().size() >= told.size(); },
                                            10000));
        EXPECT_EQ(watched.notices(), told) << name;
        EXPECT_EQ(watched.stream.reports(), reports) << name;
    }
}

// A device that opens the stream and closes it at once is tried at the
// back-off's pace, 100 ms doubling to 2 s (six tries in the first 3.1 s,
// where resetting on every opening would make some thirty), and its loss
// is told once.
TEST(AutoReportStream, ADeviceThatDropsEveryConnectionAtOnceIsTriedAtTheBackOffsPaceAndToldOnce) {
    Watched watched(Answer(eventStream(), "", 0, Answer::End::close));
    ASSERT_TRUE(watched.stream.waitConnected(5000));
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    const std::uint64_t tries = watched.stream.connections();
    EXPECT_GE(tries, 2u);
    EXPECT_LE(tries, 6u);
    EXPECT_EQ(watched.notices(), (std::vector<std::string>{"open", "the device ended the stream"}));
}
