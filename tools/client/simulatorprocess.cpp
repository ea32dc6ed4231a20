#include "tools/client/simulatorprocess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace lcdclient {

namespace {

constexpr const char* kListening = "lcd-device-sim listening on ";

std::vector<std::string> wrapperWords() {
    std::vector<std::string> words;
    if (const char* wrapper = std::getenv("LCD_EXEC_WRAPPER")) {
        std::istringstream in(wrapper);
        std::string word;
        while (in >> word)
            words.push_back(word);
    }
    return words;
}

// In the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void becomeSimulator(pid_t parent, int output, char* const* argv) {
    // Ends with us however we end, SIGKILL included; a parent already gone
    // before the request took hold is caught by the check after it.
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent)
        ::_exit(127);
    const int nothing = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (nothing < 0 || ::dup2(nothing, STDIN_FILENO) < 0 || ::dup2(output, STDOUT_FILENO) < 0)
        ::_exit(127);
    // Signals that lcdhost blocks or catches must reach the simulator as usual.
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::execvp(argv[0], argv);
    ::_exit(127);
}

} // namespace

bool SimulatorProcess::start(const std::string& program, const std::vector<std::string>& arguments,
                             int timeoutMs, std::string* error,
                             const std::function<bool()>& cancelled) {
    auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        stop(0);
        return false;
    };
    if (::access(program.c_str(), X_OK) != 0)
        return fail("the device simulator " + program + " cannot be run: " + std::strerror(errno));

    std::vector<std::string> words = wrapperWords();
    words.push_back(program);
    words.push_back("--port");
    words.push_back("0");
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(&w[0]);
    argv.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return fail(std::string("pipe: ") + std::strerror(errno));
    const pid_t parent = ::getpid();
    m_pid = ::fork();
    if (m_pid == 0)
        becomeSimulator(parent, pipeFds[1], argv.data());
    ::close(pipeFds[1]);
    m_stdout = pipeFds[0];
    if (m_pid < 0)
        return fail("cannot start " + program + ": " + std::strerror(errno));

    // Read the first line, within the time allowed.
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (line.find('\n') == std::string::npos) {
        if (cancelled && cancelled())
            return fail("cancelled");
        if (std::chrono::steady_clock::now() >= deadline)
            return fail("the device simulator did not report its port within " +
                        std::to_string(timeoutMs) + " ms");
        pollfd p{m_stdout, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        char buffer[256];
        const ssize_t n = ::read(m_stdout, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail("the device simulator ended before it was listening");
        line.append(buffer, static_cast<std::size_t>(n));
    }
    line.resize(line.find('\n'));
    if (line.compare(0, std::strlen(kListening), kListening) != 0)
        return fail("the device simulator said \"" + line + "\" instead of its address");
    m_url = line.substr(std::strlen(kListening));
    return true;
}

void SimulatorProcess::stop(int graceMs) {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(graceMs);
        int status = 0;
        pid_t done = 0;
        while ((done = ::waitpid(m_pid, &status, WNOHANG)) == 0 &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (done == 0) {
            ::kill(m_pid, SIGKILL);
            while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
            }
        }
        m_pid = -1;
    }
    if (m_stdout >= 0) {
        ::close(m_stdout);
        m_stdout = -1;
    }
}

} // namespace lcdclient
