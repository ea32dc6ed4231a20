#include "platform/framework/autoreportstream.h"
#include "tests/support/test_support.h"
#include "tools/client/layerjson.h"
#include "tools/simulator/devicesim.h"
#include "tools/simulator/requestlog.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <mutex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using nlohmann::json;

const char* kSet = "/movra/v1/layers/image-quality";
const char* kList = "/movra/v1/layers/list-detail";

// Layer `id` at the record's initial values but for its hue, as JSON.
json layer(int id, int hue = 0) {
    lcdclient::LayerList record(1);
    record[0].layerId = id;
    record[0].imageQuality.hue = hue;
    std::ostringstream written;
    lcdclient::writeLayersJson(written, record);
    return json::parse(written.str())[0];
}

using testsupport::eventually;

json status(int code, const char* message) {
    return {{"code", code}, {"message", message}};
}

json parsed(const httplib::Result& r) {
    return r ? json::parse(r->body) : json();
}

void expectReply(const httplib::Result& r, int status, const json& body) {
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, status);
    EXPECT_EQ(json::parse(r->body), body);
}

class Simulator : public testing::Test {
protected:
    void SetUp() override {
        LCD::Sim::Options options{"127.0.0.1", 0, "admin", "pw-3d", "T0", 4};
        options.logSize = 3;
        m_sim = std::make_unique<LCD::Sim::DeviceSim>(options);
        ASSERT_GT(m_sim->start(), 0) << m_sim->error();
        m_client = std::make_unique<httplib::Client>("127.0.0.1", m_sim->port());
    }
    httplib::Result put(const std::string& body, const std::string& token = "T0") {
        return m_client->Put(
            kSet, token.empty() ? httplib::Headers{} : httplib::Headers{{"Authorization", token}},
            body, "application/json");
    }
    json get(const char* path, const std::string& token = "T0") {
        return parsed(m_client->Get(path, {{"Authorization", token}}));
    }
    httplib::Result post(const char* path, const std::string& body) {
        return m_client->Post(path, body, "application/json");
    }

    std::unique_ptr<LCD::Sim::DeviceSim> m_sim;
    std::unique_ptr<httplib::Client> m_client;
};

TEST_F(Simulator, LoginIssuesATokenForTheRightCredentialsOnlyAndSetsNeedAnIssuedTokenExactly) {
    const json ok =
        parsed(post("/movra/v1/system/auth/login", R"({"username":"admin","password":"pw-3d"})"));
    ASSERT_EQ(ok["code"], 0);
    const std::string token = ok["data"]["token"]; // an empty one would be refused
    expectReply(put("[]", token), 200, {{"code", 0}, {"message", "success"}});
    for (const char* body :
         {R"({"username":"admin","password":"nope"})", R"({"username":"root","password":"pw-3d"})",
          R"({"username":"admin"})", "not json"}) {
        SCOPED_TRACE(body);
        expectReply(post("/movra/v1/system/auth/login", body), 401,
                    {{"code", 10001}, {"message", "invalid username or password"}});
    }
    for (const char* wrong : {"", "T1", "Bearer T0", "t0", "T0T0"}) {
        SCOPED_TRACE(std::string("'") + wrong + "'");
        expectReply(put("[]", wrong), 401, {{"code", 10002}, {"message", "unauthorized"}});
    }
    EXPECT_EQ(get(kList, "wrong")["code"], 10002);
}

TEST_F(Simulator, RefusedSetsSayWhatIsWrongAndStoreNothing) {
    auto with = [](const char* key, const json& v) {
        json l = layer(1, 5);
        l["imageQuality"][key] = v;
        return json::array({l}).dump();
    };
    json noG = layer(1, 5);
    noG["imageQuality"]["contrast"].erase("G");
    const std::string bad = "malformed body: ", notInt = " is not a 32-bit integer";
    const std::tuple<std::string, int, std::string> cases[] = {
        {json::array({noG}).dump(), 20001, bad + "element 0: missing imageQuality.contrast.G"},
        {with("hue", "5"), 20001, bad + "element 0: imageQuality.hue" + notInt},
        {with("hue", 2147483648LL), 20001, bad + "element 0: imageQuality.hue" + notInt},
        {with("sharpness", 1), 20001, bad + "element 0: unknown member imageQuality.sharpness"},
        {with("shadow", 1), 20001, bad + "element 0: imageQuality.shadow is not an object"},
        {"[" + layer(1).dump() + ",3]", 20001, bad + "element 1 is not an object"},
        {layer(1).dump(), 20001, bad + "not an array"},
        {"[{\"layerId\":1,", 20001, bad + "not JSON at byte 15"},
        {"[3,x]", 20001, bad + "not JSON at byte 4"}, // the syntax first, as a whole
        {json::array({layer(3, 9), layer(0)}).dump(), 20002, "unknown layer 0"},
        {json::array({layer(3, 9), layer(5)}).dump(), 20002, "unknown layer 5"},
    };
    for (const auto& [body, code, message] : cases) {
        SCOPED_TRACE(body);
        expectReply(put(body), 200, {{"code", code}, {"message", message}});
    }
    EXPECT_EQ(get(kList)["data"], (json{layer(1), layer(2), layer(3), layer(4)}));
    EXPECT_EQ(get("/sim/stats")["sets"], 0);
}

TEST_F(Simulator, AFaultIsTakenOnlyWithEveryMemberKnownPresentAndInRangeAndPlaysItsCount) {
    const std::pair<const char*, const char*> cases[] = {
        {R"({"ms":5})", R"("mode" is missing)"},
        {R"({"mode":"nap"})", "unknown mode nap"},
        {R"({"mode":"delay"})", R"("ms" is missing)"},
        {R"({"mode":"delay","ms":5,"mss":1})", R"(unknown member "mss")"},
        {R"({"mode":"close","ms":5})", R"("ms" does not go with mode close)"},
        {R"({"mode":"none","count":2})", R"("count" does not go with mode none)"},
        {R"({"mode":"huge","bytes":22})", R"("bytes" must be from 23 to 1073741824)"},
        {R"({"mode":"delay","ms":18446744073709551615})", R"("ms" must be from 0 to 600000)"},
        {R"({"mode":"code","code":1.5})", R"("code" must be an integer)"},
        {R"({"mode":"code","code":-7,"count":1})", nullptr},
    };
    for (const auto& [body, why] : cases) {
        SCOPED_TRACE(body);
        expectReply(post("/sim/fault", body), why ? 400 : 200,
                    why ? status(1, why) : json{{"code", 0}});
    }
    EXPECT_EQ(parsed(put("[]")), status(-7, "refused by test"));
    EXPECT_EQ(parsed(put("[]")), status(0, "success"));
}

TEST_F(Simulator, AcceptedSetsAreListedAndEachOneAndEachControlPostSendsOneAutoReport) {
    std::mutex mutex;
    std::vector<std::string> seen; // the data of every auto-report event
    pqxhost::AutoReportStream events("http://127.0.0.1:" + std::to_string(m_sim->port()),
                                     [&](const std::string& report) {
                                         std::lock_guard<std::mutex> lock(mutex);
                                         seen.push_back(report);
                                     });
    events.token([] { return "T0"; });
    events.start();
    ASSERT_TRUE(eventually([this] { return get("/sim/stats")["subscribers"] == 1; }));
    const json sets[] = {{layer(1, 3)}, {layer(2, -4), layer(3, 8)}};
    expectReply(put(sets[0].dump()), 200, {{"code", 0}, {"message", "success"}});
    ASSERT_EQ(parsed(put("[{\"layerId\":9}]"))["code"], 20001); // refused: no report
    expectReply(put(sets[1].dump()), 200, {{"code", 0}, {"message", "success"}});
    const json listed = {layer(1, 3), layer(2, -4), layer(3, 8),
                         layer(4)}; // never set: the defaults
    EXPECT_EQ(get(kList), (json{{"code", 0}, {"message", "success"}, {"data", listed}}));
    EXPECT_EQ(parsed(post("/sim/autoreport", R"({"errorCode":7})")),
              json::parse(R"({"code":0,"subscribers":1})"));
    EXPECT_EQ(parsed(post("/sim/autoreport", R"({"body":"[1,"})"))["subscribers"], 1);
    EXPECT_EQ(parsed(post("/sim/autoreport", R"({"raw":"{not an envelope"})"))["subscribers"], 1);
    ASSERT_TRUE(eventually([&] { return events.reports() >= 5; }));
    std::unique_lock<std::mutex> lock(mutex);
    ASSERT_EQ(seen.size(), 5u);
    const json bodies[] = {sets[0], sets[1], listed, "[1,"}; // the last one is no JSON
    for (size_t i = 0; i < 4; ++i) {
        const json e = json::parse(seen[i]);
        const std::string body = e["body"];
        EXPECT_EQ(e, (json{{"source", "lcd-device-sim"},
                           {"seq", i + 1},
                           {"sn", "SIM-0001"},
                           {"body", body},
                           {"tl",
                            {{"CommandCode", 528653},
                             {"ErrorCode", i == 2 ? 7 : 0},
                             {"UserDataLength", body.size()}}}}));
        EXPECT_EQ(i < 3 ? json::parse(body) : json(body), bodies[i]);
    }
    EXPECT_EQ(seen[4], "{not an envelope");
    lock.unlock();
    EXPECT_EQ(get("/sim/stats"), json::parse(R"({"sets":2,"reports":5,"subscribers":1})"));

    // A dropped stream is the device's doing: the listener comes back, and
    // the next report arrives once.
    ASSERT_TRUE(post("/sim/stream/drop", "{}"));
    ASSERT_TRUE(eventually([&] { return events.connections() == 2; }));
    ASSERT_TRUE(eventually([this] { return get("/sim/stats")["subscribers"] == 1; }));
    EXPECT_EQ(parsed(post("/sim/autoreport", R"({"errorCode":0})"))["subscribers"], 1);
    EXPECT_TRUE(eventually([&] { return events.reports() == 6; }));
    events.stop();
    EXPECT_TRUE(eventually([this] { return get("/sim/stats")["subscribers"] == 0; }));
}

TEST_F(Simulator, TheRequestLogKeepsTheLastRequestsOnlyAndNeverAPasswordOrAToken) {
    for (int i = 0; i < 2; ++i) // dropped: older than the last three
        put("[]");
    const char* login = "/movra/v1/system/auth/login";
    post(login, R"({"username":"admin","password":"pw-3d"})");
    m_client->Post(login, "password=pw-3d", "text/plain");
    m_client->Get(kList, {{"Authorization", "T0"}, {"Cookie", "sid=T0"}, {"X-Auth-Token", "T0"}});
    const json log = get("/sim/requests");
    ASSERT_EQ(log.size(), 3u) << log;
    const char* bodies[] = {R"({"username":"admin","password":"***"})", "***", ""};
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(log[i]["body"], bodies[i]) << log[i]["path"];
    EXPECT_EQ(log[2]["headers"]["Cookie"], "***");
    EXPECT_EQ(log.dump().find("pw-3d"), std::string::npos);
    EXPECT_EQ(log.dump().find("T0"), std::string::npos);
}

TEST(SimulatorLog, HoldsToItsByteBoundWithTheNewestAndKeepsABodysPrefixAndLength) {
    LCD::Sim::RequestLog log(1000, 10000);
    httplib::Request request;
    request.method = "PUT";
    request.path = kSet;
    for (char c = 'a'; c <= 'e'; ++c)
        log.add(request, std::string(5000, c));
    const std::string text = log.toJson();
    EXPECT_LE(text.size(), 10000u);
    const json entries = json::parse(text);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0]["body"], std::string(LCD::Sim::kLogBodyBytes, 'd'));
    EXPECT_EQ(entries[1], (json{{"method", "PUT"},
                                {"path", kSet},
                                {"headers", json::object()},
                                {"body", std::string(LCD::Sim::kLogBodyBytes, 'e')},
                                {"bodyBytes", 5000}}));
}

} // namespace
