// lcdhost as a user runs it: usage errors, strict set files, honest
// answers, output for scripts, signals, a lost stream, and never a process
// left behind.
#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/process.h"
#include "tests/support/scripted_device.h"
#include "tests/support/simulator_process.h"
#include "tests/support/test_support.h"

namespace {

using nlohmann::json;
using testsupport::eventually;

constexpr auto npos = std::string::npos;

// A device simulator with a token and a password of its own.
struct Device : testsupport::SimulatorProcess {
    explicit Device(const std::string& fault = "")
        : SimulatorProcess(
              {"--password", "pw-9c1", "--fault", fault.empty() ? R"({"mode":"none"})" : fault}) {}
};

// lcdhost with the words of `line`, "URL" standing for the device's, ''
// for an empty word and >PATH for where its standard output goes.
struct Lcdhost : testsupport::Process {
    Lcdhost(const std::string& line, const std::string& url = "", const std::string& input = "",
            std::vector<std::string> environment = {})
        : Process(LCDHOST_PATH, words(line, url), std::move(environment), input,
                  line.find('>') == npos ? "" : line.substr(line.find('>') + 1)) {}
    static std::vector<std::string> words(const std::string& line, const std::string& url) {
        std::vector<std::string> out;
        std::istringstream in(line.substr(0, line.find('>')));
        for (std::string word; in >> word;)
            out.push_back(word == "URL" ? url : word == "''" ? "" : word);
        return out;
    }
};

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
        {std::string(1 << 20, ' ') + "[]", " larger than 1048576 bytes"},
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

// What lcdhost says when the device refuses, fails, answers oddly or
// attacks, or its output cannot be written: the exchange as a whole
// decides, and with -q the cause is one line on stderr that quotes no more
// of the device than its code and message. A row's device is scripted: it
// takes the login, opens the report stream and answers the set with `put`.
TEST(LcdhostAnswers, EachOutcomeIsSaidAsItHappenedWithTheMatchingStatus) {
    using testsupport::Answer, testsupport::reply;
    struct Case {
        std::string line;
        Answer put;
        int status;
        std::string said; // in stdout or stderr, "…" for any text
        const char* neverSaid = "";
        Answer login = reply(200, R"({"code":0,"data":{"token":"tok-5e2"}})");
        Answer events = {testsupport::eventStream(), "", 0, Answer::End::hold};
        int signal = 0; // sent once lcdhost has begun its command
    };
    const std::string set = "-q --user admin --password pw-9c1 set --layer 1",
                      answer = "lcdhost: answer: ",
                      full = "lcdhost: cannot write standard output: No space left on device\n",
                      deep = std::string(1 << 20, '[') + std::string(1 << 20, ']'),
                      fifo = ::testing::TempDir() + "lcdhost-reader";
    const Answer ok = reply(200, R"({"code":0})"), held{"", "", 0, Answer::End::hold},
                 open{testsupport::eventStream(), "", 0, Answer::End::hold},
                 refused = reply(200, R"({"code":7,"message":"no"})");
    Answer stale{reply(200, R"({"code":0,"data":{"token":"t"}})").bytes, ok.bytes, 1};
    stale.pauseMs = 50; // unasked, on the idle connection, well before the set
    Answer late{"", testsupport::eventStream(), 1, Answer::End::hold};
    late.pauseMs = 500;
    const Answer hinted{"HTTP/1.1 103 Early Hints\r\n\r\n" + testsupport::eventStream(), "", 0,
                        Answer::End::hold},
        overCap{"HTTP/1.1 200 OK\r\nContent-Length: 20000000\r\n\r\n", std::string(1 << 20, 'x'),
                20};
    const auto loginWith = [](const std::string& data) {
        return reply(200, R"({"code":0,"data":)" + data + "}");
    };
    const auto failing = [&](const std::string& why) {
        return answer + "failed (" + (why[0] == 'H' ? "" : "the device's ") + why +
               "; the plug-in answered accepted)\n";
    };
    const Case cases[] = {
        {set, reply(200, "this is not json"), 1, failing("reply is not JSON"), "this is not json"},
        {set, reply(200, ""), 1, failing("reply is empty")},
        {set, reply(500, R"({"code":500,"message":"internal error"})"), 1,
         answer + "refused by the device (HTTP status 500, code 500 \"internal error\")\n"},
        {set, {"", "", 0, Answer::End::close}, 1, answer + "no answer ("},
        // No redirect is followed, so none can loop or leave HTTP.
        {set, reply(307, "", "Location: http://127.0.0.1:9/\r\n"), 1, failing("HTTP status 307")},
        {set, reply(302, "", "Location: file:///etc/passwd\r\n"), 1, failing("HTTP status 302"),
         "root:"},
        {set + " --strict", reply(503, R"({"code":0})"), 1, failing("HTTP status 503, code 0")},
        {set, reply(401, ""), 1, failing("HTTP status 401")},
        {set, reply(200, R"({"code":"E_FAIL"})"), 1, failing("code is \"E_FAIL\", not 0")},
        {set, reply(200, R"({"code":4294967296})"), 1, failing("code is 4294967296, not 0")},
        {set, refused, 1, answer + "refused by the device (code 7 \"no\")\n", "", stale, late},
        {"--token t set --layer 1", ok, 0, "  answer: accepted\n", "", ok, hinted},
        {set, overCap, 1,
         answer + "no answer (the reply is more than the 16777216 bytes allowed)\n", "xxxx"},
        {set, ok, 1,
         "login to URL failed: the device's login token is 5000 bytes, more than the 4096", "",
         loginWith("{\"token\":\"" + std::string(5000, 't') + "\"}")},
        {set, ok, 0, "", "", loginWith("{\"token\":\"t\",\"deep\":" + deep + "}")},
        {set, reply(401, R"({"code":10002,"message":)" + deep + "}"), 1,
         answer + "refused by the device (HTTP status 401, code 10002 [[[[…... (2097152 bytes))\n"},
        {set, reply(200, R"({"code":7,"message":)" + deep + "}"), 1,
         answer + "refused by the device (code 7 [[[[…... (2097152 bytes))\n"},
        {"-q --device http://127.0.0.1:9 --token t --timeout-ms 20000 set --layer 1", ok, 1,
         "lcdhost: the device's auto-report stream http://127.0.0.1:9/events did not open: "
         "connection refused (Failed to connect to "},
        {"-q --token bogus watch", ok, 1,
         "lcdhost: the device's auto-report stream URL/events did not open: the device refused "
         "the token (HTTP status 401)\n",
         "", ok, reply(401, R"({"code":10002,"message":"unauthorized"})")},
        {"-v --token tok-5e2 set --layer 1",
         reply(200, R"({"code":0,"pad":")" + std::string(3000000, 'x') + "\"}"), 0,
         "xxxx... (3000019 bytes)\n", "xxxxx\n"},
        {"-v --user admin --password pw-9c1 set --layer 1", ok, 0,
         "> POST /movra/v1/system/auth/login (Content-Type: application/json) "
         "{\"password\":\"***\",\"username\":\"admin\"}\n< 200 in …: "
         "{\"code\":0,\"data\":{\"token\":"
         "\"***\"}}\n> GET /events (Authorization: ***)\n< 200 in …> PUT "
         "/movra/v1/layers/image-quality (Content-Type: application/json, Authorization: ***) "
         "[{\"layerId\":1,",
         "tok-5e2"},
        {"-q --user admin --password nope set --layer 1", ok, 1,
         "login to URL failed: the device refused the login: HTTP status 401, code 10001 "
         "\"invalid username or password\"\n",
         "", reply(401, R"({"code":10001,"message":"invalid username or password"})")},
        // Output that does not reach its reader is a failure, never a silent success.
        {"--help >/dev/full", ok, 1, full},
        {"--token t --json get >/dev/full", ok, 1, full},
        {"--token t set --layer 1 >/dev/full", ok, 1, full},
        {"-q --token t get >/dev/full", ok, 0, ""}, // nothing to write
        // At once, well within the set's time-out; a simulator lcdhost
        // started ends with it, even on SIGKILL.
        {"--token t --timeout-ms 60000 set --layer 1", held, 130, "lcdhost: interrupted\n", "", ok,
         open, SIGINT},
        {"--token t --timeout-ms 60000 set --layer 1", held, 130, "lcdhost: interrupted\n", "", ok,
         open, SIGTERM},
        {"--token t watch", ok, 0, "watching; Ctrl-C ends\n", "lcdhost:", ok, open, SIGINT},
        {"--simulator " LCD_DEVICE_SIM_PATH " watch", ok, 128 + SIGKILL, "", "", ok, open, SIGKILL},
        // A reader that goes (watch | head -c1) ends a watch as Ctrl-C does.
        {"--token t watch >" + fifo, ok, 0, "", "lcdhost:"},
    };
    ::mkfifo(fifo.c_str(), 0600);
    for (const Case& c : cases) {
        testsupport::ScriptedDevice device(
            {{"/movra/v1/system/auth/login", c.login},
             {"/movra/v1/layers/image-quality", c.put},
             {"/movra/v1/layers/list-detail", reply(200, R"({"code":0,"data":[]})")},
             {"/events", c.events}});
        // A row that names no device of its own has the scripted one.
        const bool named = c.line.find("--device") != npos || c.line.find("--sim") != npos;
        const std::string line =
            std::string(named ? "" : "--device URL ") + "--wait-ms 0 " + c.line;
        const int reader = c.line.find(fifo) == npos
                               ? -1
                               : ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        Lcdhost host(line, device.url());
        char first; // a reader that takes a byte and goes
        EXPECT_TRUE(reader < 0 ||
                    (eventually([&] { return ::read(reader, &first, 1) == 1; }, 30000) &&
                     ::close(reader) == 0));
        if (c.signal) {
            EXPECT_TRUE(eventually([&] { return !host.out().empty(); }, 30000)) << c.line;
            host.signal(c.signal);
        }
        // Well within its time-out (5 s, or 20 s where the row gives it)
        // plus a second, even on a busy machine.
        EXPECT_EQ(host.wait(15000), c.status) << c.line << "\n" << host.out() << host.err();
        std::string said = c.said;
        if (said.find("URL") != npos)
            said.replace(said.find("URL"), 3, device.url());
        const std::string all = host.out() + host.err();
        std::size_t at = 0;
        for (std::size_t from = 0, end = 0; end != npos && at != npos; from = end + 3) {
            end = said.find("…", from);
            const std::string part = said.substr(from, end - from);
            at = all.find(part, at);
            at += at == npos ? 0 : part.size();
        }
        EXPECT_NE(at, npos) << c.line << "\n" << all;
        EXPECT_TRUE(!*c.neverSaid || all.find(c.neverSaid) == npos) << c.line;
        EXPECT_TRUE(eventually([&] { return host.groupGone(); })) << c.line;
        const bool oneLine =
            host.out().empty() && std::count(all.begin(), all.end(), '\n') == (c.status ? 1 : 0);
        EXPECT_TRUE(line.find(" -q ") == npos || oneLine) << c.line << "\n" << all;
    }
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
