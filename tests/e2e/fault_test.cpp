// Faults of the device and of the connection to it: each gives the outcome
// the handlers define, and the host serves the next request as usual.
#include <gtest/gtest.h>

#include <string>

#include "platform/framework/autoreportstream.h"
#include "tests/e2e/device_rig.h"
#include "tests/e2e/log_capture.h"

namespace e2e {
namespace {

using Status = pqxhost::Answer::Status;

constexpr const char* kSendFailed =
    "[layer] send request failed. url :  /movra/v1/layers/image-quality";
constexpr const char* kDecodeFailed = "[layer] decode json failed : ";

struct FaultCase {
    const char* what;
    // Body of POST /sim/fault. The fault stays until cleared: libcurl sends
    // a request again on a fresh connection once when a reused one dies
    // before any reply, so a fault for one PUT may be played on none.
    std::string control;
    Status status;
    int byte;             // the answer's byte; -1: no answer
    const char* warning;  // a Qt warning that must appear; empty: none
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.what; }

class DeviceFault : public testing::TestWithParam<FaultCase> {};

TEST_P(DeviceFault, GivesTheHandlersOutcomeAndTheNextSetIsServed) {
    const FaultCase& c = GetParam();
    DeviceRig rig;
    LogCapture logs;
    expectStillServing(rig, 1);

    rig.fault(c.control);
    const auto answer = rig.set({layer(4, 50)});
    rig.fault(R"({"mode":"none"})");
    EXPECT_EQ(answer.status, c.status) << toString(answer.status);
    EXPECT_EQ(answerByte(answer), c.byte);
    if (*c.warning) {
        EXPECT_TRUE(logs.contains(c.warning)) << c.warning;
    } else {
        EXPECT_TRUE(logs.qtLines().empty()) << logs.qtLines().front();
    }

    expectStillServing(rig, 2);
    expectStillServing(rig, 3);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DeviceFault,
    testing::Values(
        FaultCase{"connection closed before any reply", R"({"mode":"close"})",
                  Status::none, -1, kSendFailed},
        FaultCase{"connection closed mid-reply", R"({"mode":"close-mid"})",
                  Status::none, -1, kSendFailed},
        // The decoder stores no code, so it stays 0: accepted.
        FaultCase{"reply that is not JSON", R"({"mode":"non-json"})",
                  Status::answered, 1, kDecodeFailed},
        FaultCase{"empty reply", R"({"mode":"empty"})", Status::answered, 1,
                  kDecodeFailed},
        // A valid reply of 10 MB whose code is 0.
        FaultCase{"10 MB reply", R"({"mode":"huge","bytes":10485760})",
                  Status::answered, 1, ""},
        // The HTTP status plays no part: the code 500 in the body refuses.
        FaultCase{"HTTP 500 with a JSON body", R"({"mode":"http500"})",
                  Status::answered, 0, ""}),
    [](const testing::TestParamInfo<FaultCase>& info) {
        std::string name;
        for (const char* p = info.param.what; *p; ++p)
            if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
        return name;
    });

TEST(DeviceFaults, AReplyLaterThanTheTimeOutGivesNoAnswerAndTheNextSetIsServed) {
    RigOptions options;
    options.timeoutMs = 600;
    DeviceRig rig(options);
    LogCapture logs;

    rig.fault(R"({"mode":"delay","ms":2000,"count":1})");
    const auto answer = rig.set({layer(2, 60)});
    EXPECT_EQ(answer.status, Status::none) << toString(answer.status);
    EXPECT_TRUE(logs.contains(kSendFailed));

    // The late reply still comes, on a connection nobody reads any more;
    // it is not taken for the next answer.
    expectStillServing(rig, 4);
}

TEST(DeviceFaults, ADeviceThatIsDownGivesNoAnswerAndServingResumesWhenItIsBack) {
    DeviceRig rig;
    LogCapture logs;
    expectStillServing(rig, 1);

    rig.stopDevice();
    for (int i = 0; i < 3; ++i) {
        const auto answer = rig.set({layer(3, 70 + i)});
        EXPECT_EQ(answer.status, Status::none) << toString(answer.status);
    }
    EXPECT_TRUE(logs.contains(kSendFailed));

    rig.restartDevice();
    ASSERT_TRUE(rig.waitForSubscriber()) << "the stream did not come back";
    expectStillServing(rig, 5);
}

TEST(DeviceFaults, AfterTheReportStreamDropsTheNextReportStillArrivesOnce) {
    DeviceRig rig;
    expectStillServing(rig, 1);
    const auto connections = rig.stream().connections();

    for (int round = 0; round < 2; ++round) {
        rig.simPost("/sim/stream/drop", "{}");
        ASSERT_TRUE(eventually([&] { return rig.stream().connections() > connections + round; },
                               10000))
            << "the stream did not reconnect";
        ASSERT_TRUE(rig.waitForSubscriber());
        expectStillServing(rig, 2 + round);
    }
    EXPECT_EQ(rig.notificationCount(), 3u);
}

} // namespace
} // namespace e2e
