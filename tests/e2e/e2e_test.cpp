// The set path and the auto-report path through the loaded plug-in, the
// real communicator and the simulated device: an accepted set, a pushed
// report, tokens kept out of the logs, and faults of the device, each
// followed by a set that is served as usual.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "host/lcdcommunicator.h"
#include "tests/e2e/device_rig.h"

namespace e2e {
namespace {

using Status = pqxhost::Answer::Status;

TEST(RoundTrip, AnAcceptedSetComesBackOnceAndThePushedReportListsItAsStored) {
    DeviceRig rig;
    const LayerList list{layer(2, 7), layer(5, 11), layer(8, 13)};
    expectServed(rig, list);

    // A report the device pushes of its own lists every layer it stores.
    EXPECT_EQ(rig.simPost("/sim/autoreport", R"({"errorCode":0})").value("subscribers", 0), 1);
    ASSERT_TRUE(rig.waitForNotifications(2));
    ASSERT_TRUE(rig.waitForReportsDrained());
    const auto notes = rig.notifications();
    ASSERT_EQ(notes.size(), 2u);
    ASSERT_EQ(notes[1].size(), 8u);
    for (const Layer& record : list)
        EXPECT_TRUE(same_records({notes[1][record.layerId - 1]}, {record})) << record.layerId;
}

TEST(Token, NeitherAGivenNorAnIssuedTokenShowsInALogLine) {
    const std::string wrong = "e2e-wrong-token-5f3a9c";
    DeviceRig rig;
    // Warnings under either token: a failed send and an undecodable reply.
    std::set<std::string> tokens;
    for (const std::string& token : {wrong, std::string()}) {
        rig.configure(token);
        for (const char* fault : {R"({"mode":"close"})", R"({"mode":"non-json"})"}) {
            rig.simPost("/sim/fault", fault);
            rig.set({layer(2, 31)});
        }
        tokens.insert(HttpLogin::getInstance()->getToken());
    }
    EXPECT_EQ(tokens.size(), 2u) << "the wrong token and an issued one";
    const auto lines = rig.logLines();
    EXPECT_FALSE(lines.empty());
    for (const auto& token : tokens)
        for (const auto& line : lines)
            EXPECT_EQ(line.find(token), std::string::npos) << "a log line shows a token: " << line;
}

struct FaultCase {
    const char* name;
    const char* control; // body of POST /sim/fault, kept until cleared
    Status status;
    int byte;            // the answer's byte; -1: no answer
    const char* warning; // held by the one Qt warning logged; empty: none
    // Of one request: room for a ten-megabyte reply under a sanitizer on a
    // loaded machine, unless the case is the time-out.
    long timeoutMs = 20000;
};

const char* const kSendFailed =
    "[layer] send request failed. url :  /movra/v1/layers/image-quality";

// Also names the case in ctest's list, which would otherwise show its bytes.
void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

class DeviceFault : public testing::TestWithParam<FaultCase> {};

TEST_P(DeviceFault, GivesItsOutcomeAndTheNextSetIsServed) {
    const FaultCase& c = GetParam();
    DeviceRig rig(c.timeoutMs);
    expectStillServing(rig, 1);
    rig.simPost("/sim/fault", c.control);
    const auto answer = rig.set({layer(4, 50)});
    rig.simPost("/sim/fault", R"({"mode":"none"})");
    EXPECT_EQ(answer.status, c.status) << toString(answer.status);
    EXPECT_EQ(answerByte(answer), c.byte);
    const auto lines = rig.logLines();
    ASSERT_EQ(lines.size(), *c.warning ? 1u : 0u) << testing::PrintToString(lines);
    for (const std::string& line : lines)
        EXPECT_NE(line.find(c.warning), std::string::npos) << line;
    expectStillServing(rig, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DeviceFault,
    testing::Values(
        FaultCase{"CloseBeforeReply", R"({"mode":"close"})", Status::none, -1, kSendFailed},
        FaultCase{"CloseMidReply", R"({"mode":"close-mid"})", Status::none, -1, kSendFailed},
        // The late reply must not be taken for the next set's.
        FaultCase{"ReplyAfterTheTimeOut", R"({"mode":"delay","ms":2000,"count":1})", Status::none,
                  -1, kSendFailed, 600},
        FaultCase{"TenMegabyteReply", R"({"mode":"huge","bytes":10485760})", Status::answered, 1,
                  ""},
        // The HTTP status plays no part: the code 500 in the body refuses.
        FaultCase{"Http500", R"({"mode":"http500"})", Status::answered, 0, ""}),
    [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace e2e
