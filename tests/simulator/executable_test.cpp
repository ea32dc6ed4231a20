// lcd-device-sim as a program: its command line, its help, its port and
// its stop.
#include <gtest/gtest.h>
#include <httplib.h>

#include <fnmatch.h>

#include <cstring>
#include <string>

#include "tests/support/process.h"
#include "tests/support/scripted_device.h"
#include "tests/support/test_support.h"
#include "tools/simulator/picture.h"

namespace {

using testsupport::Process;

TEST(SimulatorExecutable, UsageErrorsSayWhatIsWrongWithStatusTwo) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--host", "0.0.0.0"},
         "refusing --host 0.0.0.0: only loopback addresses (127.0.0.0/8, "
         "::1) are allowed"},
        {{"--colour", "red"}, "unknown option --colour"},
        {{"extra"}, "unexpected argument \"extra\""},
        {{"--port"}, "--port needs a value"},
        {{"--port", "abc"}, "--port: \"abc\" is not a whole number from 0 to 65535"},
        {{"--fault", "{}"}, "--fault: \"mode\" is missing"},
    };
    for (const auto& [arguments, message] : cases) {
        Process sim(LCD_DEVICE_SIM_PATH, arguments);
        EXPECT_EQ(sim.wait(), 2) << message;
        EXPECT_EQ(sim.err(), "lcd-device-sim: " + message + "\nTry 'lcd-device-sim --help'.\n");
    }
}

TEST(SimulatorExecutable, HelpListsEachControlEndpointOnALineOfItsOwnAndWhatAPictureShows) {
    Process sim(LCD_DEVICE_SIM_PATH, {"--help"});
    EXPECT_EQ(sim.wait(), 0);
    for (const char* endpoint :
         {"POST   /sim/fault", "POST   /sim/autoreport", "POST   /sim/stream/drop",
          "GET    /sim/requests", "DELETE /sim/requests", "GET    /sim/stats",
          "GET    /sim/layers/N/picture.png"}) {
        const std::string line = testsupport::lineWith(sim.out(), endpoint);
        EXPECT_EQ(line.find(endpoint), 2u) << endpoint;
        EXPECT_NE(line.find_first_not_of(' ', 2 + std::strlen(endpoint)), std::string::npos);
    }
    EXPECT_NE(sim.out().find(LCD::Sim::kPictureRules), std::string::npos);
}

TEST(SimulatorExecutable, ServesOnItsListeningLinesPortLogsWhatPassedAndStopsOnSigterm) {
    for (const char* host : {"localhost", "127.0.0.2"}) {
        Process sim(LCD_DEVICE_SIM_PATH,
                    {"--host", host, "--port", "0", "--token", "T1", "--verbose"});
        const std::string url = sim.firstUrl();
        EXPECT_EQ(sim.out(), "lcd-device-sim listening on " + url + "\n");
        ASSERT_EQ(fnmatch(("http://" + std::string(host) + ":[1-9]*").c_str(), url.c_str(), 0), 0)
            << url;
        httplib::Client client(url);
        EXPECT_TRUE(client.Get("/sim/stats"));
        // An event stream read to its greeting and left, then a fault that is no JSON.
        client.Get("/events", {{"Authorization", "T1"}}, [](const char*, size_t) { return false; });
        EXPECT_TRUE(testsupport::eventually([&] {
            return client.Get("/sim/stats")->body.find("\"subscribers\":0") != std::string::npos;
        }));
        client.Post("/sim/fault", "x", "text/plain");
        sim.signal(SIGTERM);
        EXPECT_EQ(sim.wait(), 0);
        // A line for each exchange, in whichever order they ended.
        const std::string err = sim.err();
        EXPECT_EQ(fnmatch("lcd-device-sim: event stream to *:[1-9]* ended: 0 reports, * bytes out; "
                          "closed by the client",
                          testsupport::lineWith(err, "event stream to ").c_str(), 0),
                  0)
            << err;
        for (const char* line : {"GET /sim/stats 200 (0 bytes in, 38 out)",
                                 "GET /events 200 (0 bytes in; an event stream from now on)",
                                 "POST /sim/fault 400 (1 bytes in, 51 out)"})
            EXPECT_NE(err.find(std::string("lcd-device-sim: ") + line + "\n"), std::string::npos)
                << err;
    }
}

TEST(SimulatorExecutable, APortInUseIsRefusedWhoeverHoldsIt) {
    Process other(LCD_DEVICE_SIM_PATH, {"--port", "0"});
    const testsupport::ScriptedDevice plain({}); // a listener that is no simulator
    for (const std::string& url : {other.firstUrl(), plain.url()}) {
        const std::string port = url.substr(url.rfind(':') + 1);
        Process sim(LCD_DEVICE_SIM_PATH, {"--port", port});
        EXPECT_EQ(sim.wait(), 1);
        EXPECT_EQ(sim.err(), "lcd-device-sim: port " + port + " is in use\n");
    }
}

} // namespace
