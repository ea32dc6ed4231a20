// lcdhost's answers against a device that refuses, fails or attacks, its
// signals and a reader that goes: honest verdicts, and never a process
// left behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <string>
#include <vector>

#include "tests/lcdhost/lcdhost_process.h"
#include "tests/support/scripted_device.h"
#include "tests/support/test_support.h"

namespace {

using lcdhost_test::Device;
using lcdhost_test::Lcdhost;
using testsupport::eventually;
constexpr auto npos = std::string::npos;

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
        Answer list = reply(200, R"({"code":0,"data":[]})");
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
    std::string empties; // 16 MiB of empty records: the bytes within the cap, the count not
    for (std::size_t i = 0; i < (std::size_t(16) << 20) / 3 - 20; ++i)
        empties += "{},";
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
        {"--token t --json get", ok, 1,
         "lcdhost: cannot read the device's layers: the device's list holds more than 100000 "
         "layers\n",
         "", ok, open, 0, reply(200, R"({"code":0,"data":[)" + empties + "{}]}")},
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
        testsupport::ScriptedDevice device({{"/movra/v1/system/auth/login", c.login},
                                            {"/movra/v1/layers/image-quality", c.put},
                                            {"/movra/v1/layers/list-detail", c.list},
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

} // namespace
