#include "simulator/devicesim.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using nlohmann::json;

const char* kSet = "/movra/v1/layers/image-quality";
const char* kList = "/movra/v1/layers/list-detail";

json layer(int id, int hue = 0) {
  const json rgb = {{"R", 50}, {"G", 50}, {"B", 50}};
  const json rgbw = {{"R", 50}, {"G", 50}, {"B", 50}, {"W", 100}};
  return {{"layerId", id},
          {"imageQuality",
           {{"imageQualityMode", 0}, {"eyeCare", 0}, {"hue", hue}, {"saturation", 50},
            {"gamma", 220}, {"contrast", rgb}, {"brightness", rgb}, {"shadow", rgbw},
            {"highLight", rgbw},
            {"colorTemperature", {{"mode", 0}, {"quickAdjust", {{"value", 0}}}, {"advanceAdjust", rgb}}}}}};
}

// Collects the data lines of every auto-report event on /events.
class EventListener {
 public:
  explicit EventListener(int port) : client_("127.0.0.1", port) {
    thread_ = std::thread([this] {
      client_.Get("/events", [this](const char* data, size_t len) {
        std::lock_guard<std::mutex> lock(mutex_);
        text_.append(data, len);
        return !stop_;
      });
      ended_ = true;
    });
  }
  ~EventListener() {
    stop_ = true;
    client_.stop();
    thread_.join();
  }
  std::vector<std::string> events() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> out;
    for (size_t at = 0; (at = text_.find("event: autoreport\ndata: ", at)) != std::string::npos;) {
      at += 24;
      out.push_back(text_.substr(at, text_.find('\n', at) - at));
    }
    return out;
  }
  bool ended() const { return ended_; }

 private:
  httplib::Client client_;
  std::thread thread_;
  std::mutex mutex_;
  std::string text_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> ended_{false};
};

// Waits (bounded) for a condition that another thread brings about.
template <typename F>
bool eventually(F condition) {
  for (int i = 0; i < 500; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return condition();
}

class Simulator : public testing::Test {
 protected:
  void SetUp() override {
    LCD::Sim::Options o;
    o.port = 0;
    o.token = "T0";
    o.layers = 4;
    sim_ = std::make_unique<LCD::Sim::DeviceSim>(o);
    ASSERT_GT(sim_->start(), 0) << sim_->error();
    client_ = std::make_unique<httplib::Client>("127.0.0.1", sim_->port());
  }

  httplib::Result put(const std::string& body, const std::string& token = "T0") {
    httplib::Headers h;
    if (!token.empty()) h.emplace("Authorization", token);
    return client_->Put(kSet, h, body, "application/json");
  }
  json putJson(const std::string& body, const std::string& token = "T0") {
    auto r = put(body, token);
    return r ? json::parse(r->body) : json();
  }
  json get(const char* path, const std::string& token = "T0") {
    auto r = client_->Get(path, {{"Authorization", token}});
    return r ? json::parse(r->body) : json();
  }
  void fault(const json& f) {
    auto r = client_->Post("/sim/fault", f.dump(), "application/json");
    ASSERT_TRUE(r && r->status == 200) << (r ? r->body : "no reply");
  }
  std::unique_ptr<EventListener> listen() {
    auto l = std::make_unique<EventListener>(sim_->port());
    EXPECT_TRUE(eventually([this] { return get("/sim/stats")["subscribers"] == 1; }));
    return l;
  }

  std::unique_ptr<LCD::Sim::DeviceSim> sim_;
  std::unique_ptr<httplib::Client> client_;
};

TEST_F(Simulator, LoginWithTheRightCredentialsIssuesATokenThatSetsAccept) {
  auto r = client_->Post("/movra/v1/system/auth/login", R"({"username":"admin","password":"admin"})",
                         "application/json");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 200);
  const json reply = json::parse(r->body);
  EXPECT_EQ(reply["code"], 0);
  const std::string token = reply["data"]["token"];
  EXPECT_FALSE(token.empty());
  EXPECT_EQ(putJson("[]", token)["code"], 0);
}

TEST_F(Simulator, LoginWithWrongCredentialsIsRefusedWith401) {
  for (const char* body : {R"({"username":"admin","password":"nope"})", R"({"username":"root","password":"admin"})",
                           R"({"username":"admin"})", "not json"}) {
    auto r = client_->Post("/movra/v1/system/auth/login", body, "application/json");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 401) << body;
    EXPECT_EQ(json::parse(r->body), json::parse(R"({"code":10001,"message":"invalid username or password"})"));
  }
}

TEST_F(Simulator, SetAndListNeedAnIssuedTokenExactly) {
  for (const char* token : {"", "T1", "Bearer T0", "t0", "T0T0"}) {
    auto r = put("[]", token);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 401) << "'" << token << "'";
    EXPECT_EQ(json::parse(r->body), json::parse(R"({"code":10002,"message":"unauthorized"})"));
  }
  EXPECT_EQ(get(kList, "wrong")["code"], 10002);
  EXPECT_EQ(putJson("[]")["code"], 0);
}

TEST_F(Simulator, AcceptedSetIsListedWithDefaultsForLayersNeverSet) {
  const json set = {layer(2, -10), layer(4, 7)};
  EXPECT_EQ(putJson(set.dump()), json::parse(R"({"code":0,"message":"success"})"));
  const json list = get(kList);
  EXPECT_EQ(list["code"], 0);
  ASSERT_EQ(list["data"].size(), 4u);
  EXPECT_EQ(list["data"][0], layer(1));
  EXPECT_EQ(list["data"][1], set[0]);
  EXPECT_EQ(list["data"][2], layer(3));
  EXPECT_EQ(list["data"][3], set[1]);
}

TEST_F(Simulator, MalformedBodiesAreRefusedWithWhatIsWrongAndNothingStored) {
  auto with = [](const char* key, const json& v) {
    json l = layer(1, 5);
    l["imageQuality"][key] = v;
    return json::array({l}).dump();
  };
  json noG = layer(1, 5);
  noG["imageQuality"]["contrast"].erase("G");
  const struct {
    std::string body;
    std::string message;
  } cases[] = {
      {json::array({noG}).dump(), "malformed body: element 0: missing imageQuality.contrast.G"},
      {with("hue", "5"), "malformed body: element 0: imageQuality.hue is not a 32-bit integer"},
      {with("gamma", 2.2), "malformed body: element 0: imageQuality.gamma is not a 32-bit integer"},
      {with("hue", 2147483648LL), "malformed body: element 0: imageQuality.hue is not a 32-bit integer"},
      {with("sharpness", 1), "malformed body: element 0: unknown member imageQuality.sharpness"},
      {with("shadow", 1), "malformed body: element 0: imageQuality.shadow is not an object"},
      {"[" + layer(1).dump() + ",3]", "malformed body: element 1 is not an object"},
      {layer(1).dump(), "malformed body: not an array"},
      {"[{\"layerId\":1,", "malformed body: not JSON at byte 15"},
  };
  for (const auto& c : cases) {
    auto r = put(c.body);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200);
    EXPECT_EQ(json::parse(r->body), (json{{"code", 20001}, {"message", c.message}})) << c.body;
  }
  EXPECT_EQ(get(kList)["data"][0], layer(1));
}

TEST_F(Simulator, AnUnknownLayerRefusesTheWholeSet) {
  for (int id : {0, 5, -1}) {
    const json reply = putJson(json::array({layer(3, 9), layer(id)}).dump());
    EXPECT_EQ(reply, (json{{"code", 20002}, {"message", "unknown layer " + std::to_string(id)}}));
  }
  EXPECT_EQ(get(kList)["data"][2], layer(3));
  EXPECT_EQ(get("/sim/stats")["sets"], 0);
}

TEST_F(Simulator, EachAcceptedSetSendsOneAutoReportWithTheRecordsAndACountingSeq) {
  auto events = listen();
  const json first = {layer(1, 3)};
  const json second = {layer(2, -4), layer(3, 8)};
  ASSERT_EQ(putJson(first.dump())["code"], 0);
  ASSERT_EQ(putJson("[{\"layerId\":9}]")["code"], 20001);  // refused: no report
  ASSERT_EQ(putJson(second.dump())["code"], 0);
  ASSERT_TRUE(eventually([&] { return events->events().size() >= 2; }));
  const auto seen = events->events();
  ASSERT_EQ(seen.size(), 2u);
  const json sets[] = {first, second};
  for (size_t i = 0; i < 2; ++i) {
    const json e = json::parse(seen[i]);
    EXPECT_EQ(e["source"], "lcd-device-sim");
    EXPECT_EQ(e["seq"], i + 1);
    EXPECT_EQ(e["sn"], "SIM-0001");
    EXPECT_EQ(e["tl"]["CommandCode"], 528653);
    EXPECT_EQ(e["tl"]["ErrorCode"], 0);
    const std::string body = e["body"];
    EXPECT_EQ(e["tl"]["UserDataLength"], body.size());
    EXPECT_EQ(json::parse(body), sets[i]);
  }
  EXPECT_EQ(get("/sim/stats"), json::parse(R"({"sets":2,"reports":2,"subscribers":1})"));
}

TEST_F(Simulator, ControlReportsCarryTheGivenErrorCodeBodyOrRawText) {
  auto events = listen();
  auto post = [this](const json& j) {
    auto r = client_->Post("/sim/autoreport", j.dump(), "application/json");
    return r ? json::parse(r->body) : json();
  };
  EXPECT_EQ(post({{"errorCode", 7}}), json::parse(R"({"code":0,"subscribers":1})"));
  EXPECT_EQ(post({{"body", "[1,"}})["subscribers"], 1);
  EXPECT_EQ(post({{"raw", "{not an envelope"}})["subscribers"], 1);
  ASSERT_TRUE(eventually([&] { return events->events().size() >= 3; }));
  const auto seen = events->events();
  const json withCode = json::parse(seen[0]);
  EXPECT_EQ(withCode["tl"]["ErrorCode"], 7);
  EXPECT_EQ(json::parse(withCode["body"].get<std::string>()).size(), 4u);
  EXPECT_EQ(json::parse(seen[1])["body"], "[1,");
  EXPECT_EQ(json::parse(seen[1])["seq"], 2);
  EXPECT_EQ(seen[2], "{not an envelope");
}

TEST_F(Simulator, DroppingTheStreamEndsEverySubscription) {
  auto events = listen();
  ASSERT_TRUE(client_->Post("/sim/stream/drop", "", "application/json"));
  EXPECT_TRUE(eventually([&] { return events->ended(); }));
  EXPECT_EQ(get("/sim/stats")["subscribers"], 0);
}

TEST_F(Simulator, FaultsReplaceTheAnswerAndStoreNothing) {
  const std::string body = json::array({layer(1, 1)}).dump();
  const struct {
    json fault;
    int status;
    std::string reply;
  } cases[] = {
      {{{"mode", "non-json"}}, 200, "this is not json"},
      {{{"mode", "empty"}}, 200, ""},
      {{{"mode", "code"}, {"code", 5}}, 200, R"({"code":5,"message":"refused by test"})"},
      {{{"mode", "http500"}}, 500, R"({"code":500,"message":"internal error"})"},
  };
  for (const auto& c : cases) {
    fault(c.fault);
    auto r = put(body);
    ASSERT_TRUE(r) << c.fault;
    EXPECT_EQ(r->status, c.status) << c.fault;
    EXPECT_EQ(r->body, c.reply) << c.fault;
  }
  fault({{"mode", "huge"}, {"bytes", 1 << 20}});
  auto huge = put(body);
  ASSERT_TRUE(huge);
  EXPECT_EQ(huge->body.size(), 1u << 20);
  EXPECT_EQ(json::parse(huge->body)["code"], 0);
  EXPECT_EQ(get("/sim/stats")["sets"], 0);
}

TEST_F(Simulator, CloseFaultsGiveTheClientATransportErrorNotAResponse) {
  for (const char* mode : {"close", "close-mid"}) {
    fault({{"mode", mode}});
    auto r = put("[]");
    EXPECT_FALSE(r) << mode << " gave status " << (r ? r->status : 0);
  }
}

TEST_F(Simulator, AFaultWithACountAppliesOnlyToThatManyPuts) {
  fault({{"mode", "code"}, {"code", 9}, {"count", 2}});
  EXPECT_EQ(putJson("[]")["code"], 9);
  EXPECT_EQ(putJson("[]")["code"], 9);
  EXPECT_EQ(putJson("[]")["code"], 0);
  fault({{"mode", "code"}, {"code", 9}});
  fault({{"mode", "none"}});
  EXPECT_EQ(putJson("[]")["code"], 0);
}

TEST_F(Simulator, DelayedAnswerIsStillTheNormalOne) {
  fault({{"mode", "delay"}, {"ms", 50}, {"count", 1}});
  EXPECT_EQ(putJson(json::array({layer(2, 6)}).dump())["code"], 0);
  EXPECT_EQ(get(kList)["data"][1], layer(2, 6));
}

TEST_F(Simulator, BadFaultRequestsAreRefused) {
  for (const char* f : {R"({"mode":"explode"})", R"({"mode":"delay"})", R"({"mode":"huge","bytes":10})",
                        R"({"mode":"code","code":"5"})", "[]"}) {
    auto r = client_->Post("/sim/fault", f, "application/json");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 400) << f;
  }
}

TEST_F(Simulator, RequestLogHoldsEveryDevicePathRequestExactlyInOrder) {
  const std::string body = "[ {\"layerId\":1} ]\n";
  put(body, "T0");
  get(kList, "tok");
  client_->Get("/sim/stats");  // control paths are not logged
  client_->Post("/movra/v1/node/power", "x", "text/plain");
  const json log = get("/sim/requests");
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0]["method"], "PUT");
  EXPECT_EQ(log[0]["path"], kSet);
  EXPECT_EQ(log[0]["body"], body);
  EXPECT_EQ(log[0]["headers"]["Authorization"], "T0");
  EXPECT_EQ(log[0]["headers"]["Content-Type"], "application/json");
  EXPECT_FALSE(log[0]["headers"].contains("REMOTE_ADDR"));
  EXPECT_EQ(log[1]["method"], "GET");
  EXPECT_EQ(log[1]["headers"]["Authorization"], "tok");
  EXPECT_EQ(log[2]["path"], "/movra/v1/node/power");
  EXPECT_EQ(log[2]["body"], "x");
  ASSERT_TRUE(client_->Delete("/sim/requests"));
  EXPECT_EQ(get("/sim/requests"), json::array());
}

TEST_F(Simulator, ConcurrentSetsAreEachReportedOnceInSeqOrder) {
  auto events = listen();
  constexpr int kThreads = 4, kEach = 10;
  std::vector<std::thread> threads;
  std::atomic<int> accepted{0};
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      httplib::Client c("127.0.0.1", sim_->port());
      for (int i = 0; i < kEach; ++i) {
        auto r = c.Put(kSet, {{"Authorization", "T0"}}, json::array({layer(t + 1, i)}).dump(), "application/json");
        if (r && json::parse(r->body)["code"] == 0) ++accepted;
      }
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(accepted, kThreads * kEach);
  ASSERT_TRUE(eventually([&] { return events->events().size() >= kThreads * kEach; }));
  const auto seen = events->events();
  ASSERT_EQ(seen.size(), static_cast<size_t>(kThreads * kEach));
  for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(json::parse(seen[i])["seq"], i + 1);
}

}  // namespace
