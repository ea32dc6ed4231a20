// The login token: the device refuses requests without the one it issued,
// and no log line of the process ever shows a token.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <set>
#include <string>

#include "host/lcdcommunicator.h"
#include "tests/e2e/device_rig.h"
#include "tests/e2e/log_capture.h"

namespace e2e {
namespace {

constexpr const char* kSetPath = "/movra/v1/layers/image-quality";

// Authorization values of the image-quality PUTs the device received.
std::vector<nlohmann::json> authorizationsSeen(DeviceRig& rig) {
    std::vector<nlohmann::json> out;
    for (const auto& r : rig.simGet("/sim/requests"))
        if (r.value("path", "") == kSetPath) {
            const auto& h = r["headers"];
            out.push_back(h.contains("Authorization") ? h["Authorization"] : nlohmann::json());
        }
    return out;
}

TEST(Token, TheDeviceRefusesAWrongOrEmptyTokenSentByThePlugIn) {
    DeviceRig rig;
    const int setsBefore = rig.stats().value("sets", -1);

    struct Case {
        const char* what;
        std::string token;
    } const cases[] = {{"wrong", "00000000000000000000000000000000"}, {"empty", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        rig.useToken(c.token);  // an empty token and no user: nothing to log in with
        EXPECT_EQ(answerByte(rig.set({layer(1, 30)})), 0);
        const auto seen = authorizationsSeen(rig);
        ASSERT_FALSE(seen.empty());
        // The device's HTTP parser drops a header line with an empty value,
        // so an empty token is seen as no header at all; refused either way.
        if (c.token.empty())
            EXPECT_TRUE(seen.back().is_null() || seen.back() == "") << seen.back();
        else
            EXPECT_EQ(seen.back(), nlohmann::json(c.token));
    }
    EXPECT_EQ(rig.stats().value("sets", -1), setsBefore) << "a refused set changed the device";

    rig.useLogin();
    expectStillServing(rig, 1);
}

TEST(Token, TheDeviceRefusesARequestWithoutAnAuthorizationHeader) {
    DeviceRig rig;
    HttpClient* client = HttpSingleTon::getInstance()->getHttpClient();
    HttpRequest* request = client->createRequest("PUT", kSetPath);
    request->setHead("Content-Type", "application/json");
    const std::string body = "[" + toDeviceJson(layer(1, 31)).dump() + "]";
    request->setBody(body.data(), static_cast<int>(body.size()));
    int status = 0;
    HttpRespon* response = client->sendRequest(request, &status);
    ASSERT_NE(response, nullptr);
    const auto reply =
        nlohmann::json::parse(std::string(response->getBody(), response->getBodySize()));
    EXPECT_EQ(status, 401);
    EXPECT_NE(reply.value("code", 0), 0);
    EXPECT_TRUE(authorizationsSeen(rig).back().is_null()) << "no header was sent";
    EXPECT_EQ(rig.stats().value("sets", -1), 0);
}

TEST(Token, NoLogLineEverShowsAToken) {
    LogCapture logs;  // from before the first login
    std::set<std::string> tokens{"e2e-wrong-token-5f3a9c"};
    {
        DeviceRig rig;
        expectStillServing(rig, 1);
        for (const char* fault : {R"({"mode":"non-json"})", R"({"mode":"close"})",
                                  R"({"mode":"close-mid"})", R"({"mode":"empty"})",
                                  R"({"mode":"http500"})"}) {
            rig.fault(fault);
            rig.set({layer(2, 32)});
        }
        rig.fault(R"({"mode":"none"})");
        rig.simPost("/sim/autoreport", R"({"errorCode":7})");
        rig.simPost("/sim/autoreport", R"({"raw":"broken"})");
        for (const auto& t : authorizationsSeen(rig))
            if (t.is_string()) tokens.insert(t.get<std::string>());

        rig.stopDevice();
        rig.set({layer(2, 33)});
        rig.restartDevice();  // a new device: a new login and a new token
        expectStillServing(rig, 2);
        rig.useToken("e2e-wrong-token-5f3a9c");
        rig.set({layer(2, 34)});
        for (const auto& t : authorizationsSeen(rig))
            if (t.is_string()) tokens.insert(t.get<std::string>());
        ASSERT_TRUE(rig.waitForReportsDrained());
    }
    std::fputs("e2e stderr canary\n", stderr);
    const std::string err = logs.stderrText();
    const auto lines = logs.qtLines();

    // The capture saw both channels, and the run logged warnings.
    EXPECT_NE(err.find("e2e stderr canary"), std::string::npos);
    EXPECT_TRUE(logs.contains("[layer] decode json failed"));
    EXPECT_TRUE(logs.contains("[layer] send request failed"));
    EXPECT_TRUE(logs.contains("error code : 7."));
    // Two logins and the wrong token, at least.
    EXPECT_GE(tokens.size(), 3u);
    for (const auto& token : tokens) {
        ASSERT_GE(token.size(), 8u);
        EXPECT_EQ(err.find(token), std::string::npos) << "stderr shows a token";
        for (const auto& line : lines)
            EXPECT_EQ(line.find(token), std::string::npos) << "Qt message shows a token: " << line;
    }
}

} // namespace
} // namespace e2e
