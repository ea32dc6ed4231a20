// The set path and the auto-report path through the loaded plug-in, the
// real communicator and the simulated device.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/e2e/device_rig.h"
#include "tests/e2e/log_capture.h"

namespace e2e {
namespace {

TEST(RoundTrip, AnAcceptedSetIsStoredByTheDeviceAndReturnsAsExactlyOneNotification) {
    DeviceRig rig;
    const LayerList list{layer(2, 7), layer(5, 11), layer(8, 13)};

    const auto answer = rig.set(list);
    ASSERT_EQ(answer.status, pqxhost::Answer::Status::answered);
    EXPECT_EQ(answerByte(answer), 1);
    EXPECT_EQ(answer.answerId, answer.replyId);
    EXPECT_EQ(answer.sender, "layerimagequalitymodelmsg");

    const auto stored = rig.storedLayers();
    ASSERT_TRUE(stored.is_array());
    for (const auto& record : list) {
        const auto it = std::find_if(stored.begin(), stored.end(), [&](const nlohmann::json& j) {
            return j.value("layerId", -1) == record.layerId;
        });
        ASSERT_NE(it, stored.end()) << "layer " << record.layerId;
        EXPECT_EQ(*it, toDeviceJson(record));
    }

    ASSERT_TRUE(rig.waitForNotifications(1));
    ASSERT_TRUE(rig.waitForReportsDrained());
    const auto notes = rig.notifications();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_TRUE(sameRecords(notes[0], list));
}

TEST(RoundTrip, AnEmptyListIsSentAndAccepted) {
    DeviceRig rig;
    const auto answer = rig.set({});
    EXPECT_EQ(answerByte(answer), 1);
    ASSERT_TRUE(rig.waitForNotifications(1));
    EXPECT_TRUE(rig.notifications()[0].empty());
}

TEST(RoundTrip, TheDeviceRefusingASetGivesFalseAndTheNextSetIsServed) {
    DeviceRig rig;

    rig.useToken("0123456789abcdef0123456789abcdef");
    EXPECT_EQ(answerByte(rig.set({layer(1, 1)})), 0) << "a token the device never issued";
    rig.useLogin();
    expectStillServing(rig, 1);

    EXPECT_EQ(answerByte(rig.set({layer(2, 90), layer(9, 91)})), 0) << "layer 9 does not exist";
    EXPECT_EQ(answerByte(rig.set({layer(0, 92)})), 0) << "layer 0 does not exist";
    expectStillServing(rig, 2);

    rig.fault(R"({"mode":"code","code":5,"count":1})");
    EXPECT_EQ(answerByte(rig.set({layer(2, 93)})), 0) << "code 5";
    expectStillServing(rig, 3);

    // None of the refused sets changed the device or reported a change.
    const auto stored = rig.storedLayers();
    ASSERT_TRUE(stored.is_array());
    ASSERT_EQ(stored.size(), 8u);
    EXPECT_EQ(stored[1], toDeviceJson(layer(2, 1))) << "layer 2 keeps its accepted values";
    EXPECT_EQ(rig.notificationCount(), 3u);
}

TEST(RoundTrip, AutoReportsWithAnErrorCodeOrBrokenTextPostNothing) {
    DeviceRig rig;
    LogCapture logs;

    struct Case {
        const char* control;
        const char* warning;
    } const cases[] = {
        {R"({"errorCode":7})", "[layer] auto report data error. error code : 7."},
        {R"({"errorCode":65535})", "[layer] auto report data error. error code : 65535."},
        {R"({"raw":"{\"source\":\"dev\",\"seq\":"})", "[layer] "},
        {R"({"raw":"not a report"})", "[layer] "},
        {R"({"body":"[{\"layerId\":1} {\"layerId\":2}]"})", "no valid array!"},
        {R"({"body":"{}"})", "array must start with [."},
    };
    int seed = 10;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        const auto reply = rig.simPost("/sim/autoreport", c.control);
        EXPECT_EQ(reply.value("subscribers", 0), 1);
        // The report is handled before the next one: the stream is one
        // connection and the drain waits for the host's deliveries.
        ASSERT_TRUE(rig.waitForReportsDrained());
        EXPECT_EQ(rig.notificationCount(), static_cast<std::size_t>(seed - 10));
        if (*c.warning) {
            EXPECT_TRUE(logs.contains(c.warning));
        }
        expectStillServing(rig, seed++);
    }
}

} // namespace
} // namespace e2e
