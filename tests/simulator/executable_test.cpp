#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The simulator's command line: behind LCD_EXEC_WRAPPER (the emulator, when
// the tree is built for the device), so that the child is run the same way
// as this test.
std::vector<std::string> simulatorCommand() {
  std::vector<std::string> words;
  std::istringstream wrapper(std::getenv("LCD_EXEC_WRAPPER") ? std::getenv("LCD_EXEC_WRAPPER") : "");
  for (std::string word; wrapper >> word;) words.push_back(word);
  words.emplace_back(LCD_DEVICE_SIM_PATH);
  return words;
}

int runForExit(const std::string& args, std::string& err) {
  // One file per test process: ctest runs these tests side by side.
  const std::string errFile =
      testing::TempDir() + "lcd-device-sim-stderr-" + std::to_string(getpid()) + ".txt";
  std::string command;
  for (const std::string& word : simulatorCommand()) command += word + " ";
  const int status = std::system((command + args + " 2>" + errFile).c_str());
  std::ifstream in(errFile);
  std::stringstream text;
  text << in.rdbuf();
  err = text.str();
  std::remove(errFile.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SimulatorExecutable, RefusesAHostOutsideLoopback) {
  for (const char* host : {"0.0.0.0", "10.1.2.3", "::", "localhost.example"}) {
    std::string err;
    EXPECT_EQ(runForExit(std::string("--host ") + host + " --port 0", err), 2) << host;
    EXPECT_NE(err.find("only loopback addresses"), std::string::npos) << err;
  }
}

TEST(SimulatorExecutable, RejectsAnUnknownFlag) {
  std::string err;
  EXPECT_EQ(runForExit("--colour red", err), 2);
  EXPECT_NE(err.find("unknown argument --colour"), std::string::npos) << err;
}

TEST(SimulatorExecutable, PrintsOneListeningLineAndStopsOnSigterm) {
  std::vector<std::string> words = simulatorCommand();
  for (const char* arg : {"--host", "127.0.0.2", "--port", "0"}) words.emplace_back(arg);
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  int out[2];
  ASSERT_EQ(pipe(out), 0);
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]);
  std::string line;
  char c = 0;
  while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
  close(out[0]);
  const std::string prefix = "lcd-device-sim listening on http://127.0.0.2:";
  // Checked without returning early, so that the simulator is always stopped below.
  EXPECT_EQ(line.compare(0, prefix.size(), prefix), 0) << line;
  const std::string port = line.size() > prefix.size() ? line.substr(prefix.size()) : "";
  EXPECT_TRUE(!port.empty() && port[0] != '0' &&
              port.find_first_not_of("0123456789") == std::string::npos)
      << line;
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
