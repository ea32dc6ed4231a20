#include "platform/framework/lcdhost/embeddeddevice.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace lcdhost {

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

} // namespace

bool EmbeddedDevice::start(const std::string& program, const std::vector<std::string>& arguments,
                           int timeoutMs, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        stop();
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
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    const int rc = ::posix_spawnp(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    m_stdout = pipeFds[0];
    if (rc != 0) {
        m_pid = -1;
        return fail("cannot start " + program + ": " + std::strerror(rc));
    }

    // Read the first line, within the time allowed.
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (line.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0)
            return fail("the device simulator did not report its port within " +
                        std::to_string(timeoutMs) + " ms");
        pollfd p{m_stdout, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
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

void EmbeddedDevice::stop() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_pid = -1;
    }
    if (m_stdout >= 0) {
        ::close(m_stdout);
        m_stdout = -1;
    }
}

} // namespace lcdhost
