// The auto-report stream while nothing listens at the device's address: it
// keeps retrying and still stops at once, having handed on nothing. (A
// pushed report and the reconnect after a drop run end to end, against the
// device.)
#include <atomic>
#include <string>

#include <gtest/gtest.h>

#include "platform/framework/autoreportstream.h"
#include "simulator/devicesim.h"

namespace {

TEST(AutoReportStream, StopsWhileTheDeviceIsAbsentHavingHandedOnNothing) {
    LCD::Sim::Options options;
    options.port = 0;
    std::string url;
    {
        LCD::Sim::DeviceSim probe(options); // a port that was free a moment ago
        ASSERT_GT(probe.start(), 0);
        url = probe.url();
    }
    std::atomic<int> handed{0};
    pqxhost::AutoReportStream stream(url, [&](const std::string&) { ++handed; });
    stream.start();
    EXPECT_FALSE(stream.waitConnected(300));
    stream.stop();
    EXPECT_EQ(handed.load(), 0);
    EXPECT_EQ(stream.reports(), 0u);
    EXPECT_EQ(stream.connections(), 0u);
}

} // namespace
