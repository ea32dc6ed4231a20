// lcdhost as a user runs it: its own device simulator, its exit status and
// what it prints.
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include <gtest/gtest.h>

namespace {

// Runs lcdhost with the arguments; its exit status and stdout and stderr together.
std::pair<int, std::string> lcdhost(const std::string& arguments) {
    const char* wrapper = std::getenv("LCD_EXEC_WRAPPER");
    FILE* pipe = ::popen(
        (std::string(wrapper ? wrapper : "") + " " LCDHOST_PATH " " + arguments + " 2>&1").c_str(),
        "r");
    std::string output;
    for (int c; pipe != nullptr && (c = std::fgetc(pipe)) != EOF;)
        output += static_cast<char>(c);
    const int raw = pipe != nullptr ? ::pclose(pipe) : -1;
    return {raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, output};
}

constexpr auto npos = std::string::npos;

TEST(LcdhostCommand, HelpListsTheCommandsAndEveryMemberAndSucceeds) {
    const auto [status, output] = lcdhost("--help");
    EXPECT_EQ(status, 0);
    for (const char* part : {"demo", "set --layer N", "watch", "--device URL",
                             "--colorTemperature.advanceAdjust.B", "--highLight.W"})
        EXPECT_NE(output.find(part), npos) << part;
}

// A usage error prints its one line and the pointer to --help, nothing else.
TEST(LcdhostCommand, UsageErrorsExitWithTwoAndSayExactlyWhatIsWrong) {
    const std::pair<const char*, std::string> cases[] = {
        {"frobnicate", "unknown option or command \"frobnicate\""},
        {"set", "set: give --layer N or --file FILE"},
        {"set --hue 5", "set: --hue comes before any --layer"},
        {"set --layer 3 --hue", "set: --hue needs a value"},
        {"set --layer 3 --hue ten", "set: --hue: \"ten\" is not a 32-bit integer"},
        {"set --layer 3 --tint 1", "set: unknown member \"tint\" (see lcdhost --help)"},
        {"--timeout-ms 0 demo", "--timeout-ms: \"0\" is not a number of at least 1"},
    };
    for (const auto& [arguments, message] : cases) {
        EXPECT_EQ(lcdhost(arguments),
                  std::make_pair(2, "lcdhost: " + message + "\nTry 'lcdhost --help'.\n"))
            << arguments;
    }
}

TEST(LcdhostCommand, AnAcceptedSetPrintsItsAnswerThenTheChangeTheDeviceReports) {
    const auto [status, output] = lcdhost("set --layer 3 --hue -10 --contrast.R 61 --layer 4");
    EXPECT_EQ(status, 0) << output;
    const auto answer = output.find("  answer: accepted\n");
    const auto change =
        output.find("  changed: layer 3: hue -10, contrast.R 61; layer 4: defaults\n");
    ASSERT_NE(change, npos) << output;
    EXPECT_LT(answer, change) << output; // a missing answer is npos: never before the change
}

TEST(LcdhostCommand, ASetTheDeviceRefusesExitsWithOneAndReportsNoChange) {
    const auto [status, output] = lcdhost("--wait-ms 300 set --layer 99");
    EXPECT_EQ(status, 1) << output;
    // The plug-in was loaded and registered with the host before the set.
    for (const char* line : {"component movra.lcd.model.layer.imagequality created\n",
                             "client \"layerimagequalitymodelmsg\" registered\n",
                             "request handler for 0xfc050410 (set) registered\n",
                             "notification handler for 0x0008110d (auto-report) registered\n",
                             "  answer: refused by the device\n"})
        EXPECT_NE(output.find(line), npos) << line << output;
    EXPECT_EQ(output.find("changed:"), npos) << output;
}

TEST(LcdhostCommand, ADeviceThatIsNotThereIsReportedNotCrashedOn) {
    // Port 9 on loopback: nothing listens there.
    const auto [status, output] =
        lcdhost("--device http://127.0.0.1:9 --token t --timeout-ms 500 set --layer 1");
    EXPECT_EQ(status, 1) << output;
    EXPECT_NE(output.find("auto-report stream http://127.0.0.1:9/events did not open"), npos)
        << output;
}

} // namespace
