// The auto-report stream against a scripted device: what opens it, what
// ends a connection and how that is told, and how often a device that
// drops it again and again is tried.
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/framework/autoreportstream.h"
#include "tests/support/scripted_device.h"
#include "tests/support/test_support.h"

namespace {

using testsupport::Answer;
using testsupport::eventStream;
using testsupport::kEndless;

// A stream on a device that answers /events with `answer` (its url given
// with a trailing slash), and what the stream told: "open", or a loss's cause.
struct Watched {
    explicit Watched(const Answer& answer) : device({{"/events", answer}}) {
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
    pqxhost::AutoReportStream stream{device.url() + "/", [](const std::string&) {}};
};

} // namespace

// Each row: the device's answer to GET /events, whether the stream opens,
// why it does not or why its open connection ends (empty: it stays open),
// and the reports handed on.
TEST(AutoReportStream, OpensPastInterimHeadsAndEndsAConnectionThatPassesACapNamingIt) {
    const std::string kb(65536, 'x'), hints = "HTTP/1.1 103 Early Hints\r\n\r\n";
    const std::string cap =
        "the device sent an event-stream line of more than the 1048576 bytes allowed";
    Answer drip{eventStream() + "data: x", "x", kEndless};
    drip.pauseMs = 200, drip.chunk = 1;
    const std::vector<std::tuple<Answer, bool, std::string, unsigned>> rows = {
        {{hints + eventStream(": open\n\ndata: {}\n\n"), "", 0, Answer::End::hold}, true, "", 1},
        {testsupport::reply(307, "", "Location: http://127.0.0.2:9/\r\n"), false,
         "the device answered with HTTP status 307", 0},
        {{"", hints, kEndless},
         false,
         "the reply's headers are more than the 65536 bytes allowed",
         0},
        {{eventStream("data: "), kb, kEndless}, true, cap, 0},
        {{eventStream(), "data:\ndata: " + kb + "\n", kEndless},
         true,
         "the device sent an event of more than the 1048576 bytes allowed",
         0},
        {drip, true, "the device sent no event or ping for 5 s", 0},
    };
    for (const auto& [answer, opens, why, reports] : rows) {
        Watched watched(answer);
        std::string error;
        EXPECT_EQ(watched.stream.waitConnected(5000, &error), opens) << why << ": " << error;
        EXPECT_EQ(opens ? why : error, why);
        std::vector<std::string> told{"open", why};
        told.resize(opens ? (why.empty() ? 1 : 2) : 0);
        EXPECT_TRUE(testsupport::eventually([&] { return watched.notices().size() >= told.size(); },
                                            10000));
        EXPECT_EQ(watched.notices(), told);
        EXPECT_TRUE(testsupport::eventually([&] { return watched.stream.reports() == reports; }));
    }
}

// Opened and closed at once: tried at the back-off's pace, 100 ms doubling
// to 2 s (six tries in the first 3.1 s, where a reset on every opening
// would make some thirty), and the loss told once.
TEST(AutoReportStream, ADeviceThatDropsEveryConnectionAtOnceIsTriedAtTheBackOffsPaceAndToldOnce) {
    Watched watched({eventStream(), "", 0, Answer::End::close});
    ASSERT_TRUE(watched.stream.waitConnected(5000));
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    EXPECT_GE(watched.stream.connections(), 2u);
    EXPECT_LE(watched.stream.connections(), 6u);
    EXPECT_EQ(watched.notices(), (std::vector<std::string>{"open", "the device ended the stream"}));
}
