// lcdhost as a user runs it: usage errors, strict set files, output for
// scripts, a change told as the set's own, a lost stream.
#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/lcdhost/lcdhost_process.h"
#include "tests/support/scripted_device.h"
#include "tests/support/simulator_process.h"
#include "tests/support/test_support.h"

namespace {

using nlohmann::json;
using testsupport::eventually;

using lcdhost_test::Device;
using lcdhost_test::Lcdhost;
constexpr auto npos = std::string::npos;

TEST(LcdhostUsage, EveryUsageErrorIsOneLineAndAPointerToHelpWithStatusTwoAndNothingStarted) {
    Device device;
    struct Case {
        const char* line;
        const char* command; // in the pointer to --help
        std::string message;
        const char* environment = "LCD_DEVICE_URL=";
    };
    const Case cases[] = {
        {"frobnicate", "", "unknown command \"frobnicate\""},
        {"--token T", "",
         "name a command: with --device or LCD_DEVICE_URL nothing is written to the device by "
         "default",
         "LCD_DEVICE_URL=http://127.0.0.1:9"},
        {"get", " get",
         "LCD_DEVICE_URL: \"http://h:1/x\" has a path (/x); give http://HOST[:PORT] or "
         "https://HOST[:PORT]",
         "LCD_DEVICE_URL=http://h:1/x"},
        {"--device notaurl get", " get",
         "--device: \"notaurl\" is not http://HOST[:PORT] or https://HOST[:PORT]"},
        {"--timeout-ms 0 get", " get",
         "--timeout-ms: \"0\" is not a whole number from 1 to 3600000"},
        {"--json -q get", " get", "--json and --quiet exclude each other"},
        {"--token a --token b get", " get", "--token is given more than once"},
        {"--token '' get", " get", "--token: is empty"},
        {"watch --seconds", " watch", "--seconds needs a value"},
        {"watch --bogus=1", " watch", "unknown option --bogus"},
        {"watch extra", " watch", "unexpected argument \"extra\""},
        {"set", " set", "set needs --layer N or --file PATH"},
        {"set --hue 5", " set", "--hue comes before any --layer"},
        {"set --layer 1 --hue 1 --hue 2", " set", "--hue is given more than once for layer 1"},
        {"set --layer 3 --hue", " set", "--hue needs a value"},
        {"set --layer 3 --hue 99999999999", " set",
         "--hue: \"99999999999\" is not a 32-bit integer"},
        {"set --file /nonexistent.json", " set", "/nonexistent.json: No such file or directory"},
        {"set --file .", " set", ".: is a directory"},
        {"set --file x --hue 5", " set",
         "--file and --hue do not mix: the records come from the file or from the command line"},
    };
    for (const Case& c : cases) {
        Lcdhost host(c.line, device.url, "", {c.environment});
        EXPECT_EQ(host.wait(), 2) << c.line;
        EXPECT_EQ(host.err(),
                  "lcdhost: " + c.message + "\nTry 'lcdhost" + c.command + " --help'.\n");
        EXPECT_EQ(host.out(), "") << c.line;
        EXPECT_TRUE(host.groupGone()) << c.line;
    }
    EXPECT_EQ(device.get("/sim/requests"), json::array()) << "a usage error reached the device";
}

TEST(LcdhostUsage, HelpOfEachCommandAndTheVersionArePrintedWithStatusZero) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"--version", "lcdhost", "lcdhost " LCD_VERSION},
        {"--help", "Exit status:", "0 when every set was accepted"},
        {"--help", "  an auto-report event or event-stream line ", "1 MiB"}, // the caps
        {"set --help", "  --colorTemperature.advanceAdjust.B V ", "default 50"},
        {"get --help", "  --layer N ... ", "only layer N, in the order given"},
    };
    for (const auto& [line, part, alsoOnItsLine] : cases) {
        Lcdhost host(line);
        EXPECT_EQ(host.wait(), 0) << line;
        EXPECT_NE(testsupport::lineWith(host.out(), part).find(alsoOnItsLine), npos) << line << "\n"
                                                                                     << host.out();
    }
}

TEST(LcdhostSetFile, EachFaultIsNamedWithItsPlaceAndNothingIsSent) {
    Device device;
    const std::string file = ::testing::TempDir() + "lcdhost-layers.json";
    const std::string unexpected = "syntax error while parsing value - unexpected ";
    using namespace std::string_literals;
    std::string manyRecords = "[";
    for (int i = 0; i < 100000; ++i)
        manyRecords += "{},";
    const std::pair<std::string, std::string> cases[] = {
        {"[{\"layerId\": 1,\n  \"imageQuality\": {\"hue\": 99999999999}}]",
         "2:27: [0].imageQuality.hue: 99999999999 is not a 32-bit integer"},
        {R"([{"layerId": "abc"}])", "1:14: [0].layerId: \"abc\" is not a 32-bit integer"},
        {R"([{"layerId": 1}, {"layerId": 5.5}])", "1:30: [1].layerId: 5.5 is not a 32-bit integer"},
        {R"([{"imageQuality": {"tint": 1}}])", "1:20: [0].imageQuality.tint: unknown member"},
        {R"([{"layerId": 1, "layerId": 2}])", "1:17: [0].layerId: duplicate member"},
        {R"([{"layerId": 1}] x)", "1:18: syntax error while parsing value - invalid literal; "
                                  "last read: '1}] x'; expected end of input"},
        {R"([{"layerId": 1},])",
         "1:17: [1]: " + unexpected + "']'; expected '[', '{', or a literal"},
        {R"({"layerId": 1})", "1:1: not an array of layer records"},
        {"", "1:1: " + unexpected + "end of input; expected '[', '{', or a literal"},
        {"[]", "1:1: the array holds no layer records"},
        // A fault after a complete element names none; bytes are quoted printable.
        {R"([{"layerId": 1} /* c */])", "1:17: syntax error while parsing array - invalid "
                                        "literal; last read: '1} /'; expected ']'"},
        {"[{\"layerId\": 1},\xff]", "1:17: [1]: syntax error while parsing value - invalid "
                                    "literal; last read: '1},\\xff'"},
        {"[{\"layerId\": 1}]\0garbage"s, "1:17: a NUL byte, which JSON text does not hold"},
        {"\0[]"s, "1:1: a NUL byte, which JSON text does not hold"},
        {std::string(16 << 20, ' ') + "[]", " larger than 16777216 bytes"},
        // Three bytes a record: the count is bounded, not only the bytes.
        {manyRecords + "{}]", "1:300002: [100000]: more than 100000 layer records"},
    };
    for (const auto& [text, message] : cases) {
        std::ofstream(file) << text;
        Lcdhost host("--device URL --token tok-5e2 set --file " + file, device.url);
        EXPECT_EQ(host.wait(), 2) << text;
        EXPECT_EQ(host.err(), "lcdhost: " + file + ":" + message + "\nTry 'lcdhost set --help'.\n");
    }
    EXPECT_EQ(device.get("/sim/requests"), json::array()) << "a faulty file reached the device";
}

TEST(LcdhostJson, SetGetAndWatchPrintJsonThatReadsBackAsWhatTheDeviceStores) {
    Device device;
    const std::string url = device.url, auth = "--device URL --token tok-5e2 ";
    Lcdhost watch(auth + "watch --json", url), watchText(auth + "watch", url);
    ASSERT_TRUE(eventually([&] { return device.get("/sim/stats")["subscribers"] == 2; }))
        << watch.out() << watch.err() << device.err();

    // Members not in the file keep the record's defaults.
    Lcdhost set(auth + "--json set --file -", url,
                R"([{"layerId":2,"imageQuality":{"hue":-7,"contrast":{"G":1}}}])");
    ASSERT_EQ(set.wait(), 0) << set.err();
    const json stored = device.get("/movra/v1/layers/list-detail")["data"][1];
    EXPECT_EQ(stored["imageQuality"]["hue"], -7);
    EXPECT_EQ(stored["imageQuality"]["contrast"], json::parse(R"({"R":50,"G":1,"B":50})"));
    EXPECT_EQ(
        json::parse(set.out()),
        (json{{"set", {stored}}, {"answer", "accepted"}, {"reason", ""}, {"changes", {{stored}}}}));

    Lcdhost get(auth + "get --json --layer 2 --layer 1", url);
    ASSERT_EQ(get.wait(), 0) << get.err();
    EXPECT_EQ(json::parse(get.out()),
              (json{stored, device.get("/movra/v1/layers/list-detail")["data"][0]}));

    // Ctrl-C ends a watch as a person ends it: status 0.
    ASSERT_TRUE(eventually([&] { return watch.out().find('\n') != npos; }));
    watch.signal(SIGINT);
    EXPECT_EQ(watch.wait(), 0) << watch.err();
    const json line = json::parse(watch.out());
    EXPECT_EQ(line["layers"], json{stored});
    const std::string date = "[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]",
                      time = "[0-9][0-9]:[0-9][0-9]:[0-9][0-9].[0-9][0-9][0-9]";
    EXPECT_EQ(
        fnmatch((date + "T" + time + "Z").c_str(), line["time"].get<std::string>().c_str(), 0), 0)
        << line;
    // The text says its time zone too.
    ASSERT_TRUE(eventually([&] { return watchText.out().find("changed") != npos; }));
    EXPECT_EQ(fnmatch(("*\n" + date + " " + time +
                       " [+-][0-9][0-9][0-9][0-9] changed: layer 2: hue -7, contrast.G 1\n")
                          .c_str(),
                      watchText.out().c_str(), 0),
              0)
        << watchText.out();
}

TEST(LcdhostSet, AChangeIsShownAsTheSetsOwnOnlyWhenItReportsWhatWasSent) {
    Device device(R"({"mode":"delay","ms":500,"count":1})");
    Lcdhost set("--device URL --token tok-5e2 set --layer 1 --hue 4", device.url);
    ASSERT_TRUE(eventually([&] { return set.out().find("set layer 1") != npos; }));
    // Another client's change, reported while the set is on its way.
    httplib::Client(device.url)
        .Post("/sim/autoreport", R"({"body":"[{\"layerId\":5,\"imageQuality\":{\"hue\":77}}]"})",
              "application/json");
    EXPECT_EQ(set.wait(), 0) << set.err();
    EXPECT_EQ(set.out(), "set layer 1: hue 4\n  answer: accepted\n  changed: layer 1: hue 4\n");
}

TEST(LcdhostWatch, ALostStreamIsReportedRetriedAndEndsWithStatusOneWhenItNeverComesBack) {
    Device device;
    Lcdhost watch("--device URL --token tok-5e2 watch --seconds 2", device.url);
    ASSERT_TRUE(eventually([&] { return watch.out().find("watching") != npos; }));
    device.signal(SIGTERM);
    EXPECT_EQ(watch.wait(), 1);
    // How the stream ended depends on how far the device got in closing it.
    EXPECT_EQ(fnmatch("lcdhost: stream lost, reconnecting (*)\n"
                      "lcdhost: the device's auto-report stream was lost and did not come back\n",
                      watch.err().c_str(), 0),
              0)
        << watch.err();
}

} // namespace
