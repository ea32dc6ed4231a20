#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

namespace {

// Behind LCD_EXEC_WRAPPER (the emulator, when the tree is built for the
// device), so that the child runs the same way as this test.
std::string simulator(const std::string& args) {
    const char* wrapper = std::getenv("LCD_EXEC_WRAPPER");
    return std::string(wrapper ? wrapper : "") + " " LCD_DEVICE_SIM_PATH " " + args;
}

TEST(SimulatorExecutable, RefusesNonLoopbackHostsAndUnknownFlagsWithExitTwo) {
    const std::pair<const char*, const char*> cases[] = {
        {"--host 0.0.0.0 --port 0", "only loopback addresses"},
        {"--host 10.1.2.3 --port 0", "only loopback addresses"},
        {"--host :: --port 0", "only loopback addresses"},
        {"--host localhost.example", "only loopback addresses"},
        {"--colour red", "unknown argument --colour"}};
    for (const auto& [args, message] : cases) {
        // The shell shows what the simulator said, then checks its exit status and message.
        const std::string check = "out=$(" + simulator(args) +
                                  " 2>&1); code=$?; echo \"$out\" >&2; [ $code -eq 2 ] && " +
                                  "echo \"$out\" | grep -qF '" + message + "'";
        EXPECT_EQ(std::system(check.c_str()), 0) << args;
    }
}

TEST(SimulatorExecutable, PrintsOneListeningLineAndStopsOnSigterm) {
    // The shell prints the simulator's pid first, then passes on its exit status.
    FILE* pipe = popen(
        ("exec 2>&1; " + simulator("--host 127.0.0.2 --port 0") + " & echo $!; wait $!").c_str(),
        "r");
    ASSERT_NE(pipe, nullptr);
    char pid[32] = {}, line[256] = {};
    const bool read = std::fgets(pid, sizeof pid, pipe) && std::fgets(line, sizeof line, pipe);
    // Checked without returning early, so that the simulator is always stopped below.
    const std::string prefix = "lcd-device-sim listening on http://127.0.0.2:", text = line;
    EXPECT_TRUE(read && text.compare(0, prefix.size(), prefix) == 0) << text;
    const std::string port = text.size() > prefix.size() ? text.substr(prefix.size()) : "";
    EXPECT_TRUE(port.size() > 1 && port[0] != '0' &&
                port.find_first_not_of("0123456789") == port.size() - 1)
        << text;
    if (std::atoi(pid) > 0)
        kill(std::atoi(pid), SIGTERM); // never 0: that is our own group
    const int status = pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

} // namespace
