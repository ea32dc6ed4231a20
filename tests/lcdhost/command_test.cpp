// lcdhost as a user runs it: its own device simulator, its exit status and
// what it prints.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace {

struct Outcome {
    int status;
    std::string output;  // stdout and stderr together
};

Outcome lcdhost(const std::string& arguments) {
    const char* wrapper = std::getenv("LCD_EXEC_WRAPPER");
    const std::string command = std::string(wrapper ? wrapper : "") + " " LCDHOST_PATH " " +
                                arguments + " 2>&1";
    Outcome run{-1, {}};
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.output.append(buffer.data(), n);
    const int raw = ::pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(LcdhostCommand, HelpListsTheCommandsAndEveryMemberAndSucceeds) {
    const Outcome run = lcdhost("--help");
    EXPECT_EQ(run.status, 0);
    for (const char* part : {"demo", "set --layer N", "watch", "--device URL",
                             "--colorTemperature.advanceAdjust.B", "--highLight.W"})
        EXPECT_TRUE(contains(run.output, part)) << part;
}

TEST(LcdhostCommand, UsageErrorsExitWithTwoAndNameTheMistake) {
    struct Case {
        const char* arguments;
        const char* message;
    };
    const Case cases[] = {
        {"frobnicate", "unknown option or command \"frobnicate\""},
        {"set", "set: give --layer N or --file FILE"},
        {"set --hue 5", "set: --hue comes before any --layer"},
        {"set --layer 3 --hue", "set: --hue needs a value"},
        {"set --layer 3 --hue ten", "set: --hue: \"ten\" is not a 32-bit integer"},
        {"set --layer 3 --tint 1", "set: unknown member \"tint\""},
        {"--timeout-ms 0 demo", "--timeout-ms: \"0\" is not a number of at least 1"},
    };
    for (const Case& c : cases) {
        const Outcome run = lcdhost(c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments;
        EXPECT_TRUE(contains(run.output, c.message)) << c.arguments << "\n" << run.output;
    }
}

TEST(LcdhostCommand, AnAcceptedSetPrintsItsAnswerThenTheChangeTheDeviceReports) {
    const Outcome run = lcdhost("set --layer 3 --hue -10 --contrast.R 61 --layer 4");
    EXPECT_EQ(run.status, 0) << run.output;
    const std::string layers = "layer 3: hue -10, contrast.R 61; layer 4: defaults";
    const auto answer = run.output.find("  answer: accepted\n");
    const auto change = run.output.find("  changed: " + layers + "\n");
    ASSERT_NE(answer, std::string::npos) << run.output;
    ASSERT_NE(change, std::string::npos) << run.output;
    EXPECT_LT(answer, change);
}

TEST(LcdhostCommand, ASetTheDeviceRefusesExitsWithOneAndReportsNoChange) {
    const Outcome run = lcdhost("--wait-ms 300 set --layer 99");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_TRUE(contains(run.output, "  answer: refused by the device\n")) << run.output;
    EXPECT_FALSE(contains(run.output, "changed:")) << run.output;
}

TEST(LcdhostCommand, ADeviceThatIsNotThereIsReportedNotCrashedOn) {
    // Port 9 on loopback: nothing listens there.
    const Outcome run = lcdhost("--device http://127.0.0.1:9 --token t --timeout-ms 500 set --layer 1");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_TRUE(contains(run.output, "auto-report stream http://127.0.0.1:9/events did not open"))
        << run.output;
}

TEST(LcdhostCommand, TheDemoShowsThePluginRegisteredAndEndsWithEveryAnswerAsExpected) {
    const Outcome run = lcdhost("");
    EXPECT_EQ(run.status, 0) << run.output;
    for (const char* line : {"component movra.lcd.model.layer.imagequality created\n",
                             "client \"layerimagequalitymodelmsg\" registered\n",
                             "request handler for 0xfc050410 (set) registered\n",
                             "notification handler for 0x0008110d (auto-report) registered\n"})
        EXPECT_TRUE(contains(run.output, line)) << line << run.output;
    EXPECT_TRUE(contains(run.output, "demo: every answer as expected")) << run.output;
}

} // namespace
