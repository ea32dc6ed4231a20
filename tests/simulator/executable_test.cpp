#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace {

int runForExit(const std::string& args, std::string& err) {
  const std::string errFile = testing::TempDir() + "lcd-device-sim-stderr.txt";
  const int status = std::system((std::string(LCD_DEVICE_SIM_PATH) + " " + args + " 2>" + errFile).c_str());
  std::ifstream in(errFile);
  std::stringstream text;
  text << in.rdbuf();
  err = text.str();
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
  int out[2];
  ASSERT_EQ(pipe(out), 0);
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    execl(LCD_DEVICE_SIM_PATH, LCD_DEVICE_SIM_PATH, "--host", "127.0.0.2", "--port", "0", nullptr);
    _exit(127);
  }
  close(out[1]);
  std::string line;
  char c = 0;
  while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
  close(out[0]);
  EXPECT_TRUE(std::regex_match(line, std::regex(R"(lcd-device-sim listening on http://127\.0\.0\.2:[1-9][0-9]*)")))
      << line;
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
