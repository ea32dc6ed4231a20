// A program of the tree run as a user would, in a process group of its own,
// so that a test can see whether anything it started is left behind, and
// never leaves anything itself: the destructor kills the whole group.
//
//   testsupport::Process host(LCDHOST_PATH, {"set", "--layer", "1"});
//   host.signal(SIGINT);
//   EXPECT_EQ(host.wait(), 130);
//   EXPECT_TRUE(host.groupGone());
//   host.out(); host.err();
//
// Programs run behind LCD_EXEC_WRAPPER (the emulator, when the tree is
// built for the device), as the tests themselves do.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

extern char** environ;

namespace testsupport {

class Process {
public:
    // `environment` entries ("NAME=VALUE") override ours; `input` is what
    // the program reads on standard input; `output`, when given, is where
    // its standard output goes instead of out() (e.g. /dev/full).
    Process(const std::string& program, const std::vector<std::string>& arguments,
            std::vector<std::string> environment = {}, const std::string& input = "",
            const std::string& output = "") {
        std::vector<std::string> words;
        if (const char* wrapper = std::getenv("LCD_EXEC_WRAPPER")) {
            std::istringstream in(wrapper);
            for (std::string word; in >> word;)
                words.push_back(word);
        }
        words.push_back(program);
        words.insert(words.end(), arguments.begin(), arguments.end());
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e, name = entry.substr(0, entry.find('=') + 1);
            if (std::none_of(environment.begin(), environment.end(),
                             [&](const std::string& given) { return given.rfind(name, 0) == 0; }))
                environment.push_back(entry);
        }
        std::ofstream(m_files[0]) << input;
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        for (int fd = 0; fd < 3; ++fd)
            posix_spawn_file_actions_addopen(
                &files, fd, (fd == 1 && !output.empty() ? output : m_files[fd]).c_str(),
                fd == 0 ? O_RDONLY : O_WRONLY | O_CREAT | O_TRUNC, 0600);
        // Orphans of the program come to us, not to an init that may never
        // reap them.
        ::prctl(PR_SET_CHILD_SUBREAPER, 1);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
        const std::vector<char*> argv = pointers(words), envp = pointers(environment);
        if (posix_spawnp(&m_pid, argv[0], &files, &attributes, argv.data(), envp.data()) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&files);
        posix_spawnattr_destroy(&attributes);
    }
    ~Process() {
        if (m_pid > 0) {
            ::kill(-m_pid, SIGKILL);
            while (::waitpid(-m_pid, nullptr, 0) > 0) {
            }
        }
        for (const std::string& file : m_files)
            std::remove(file.c_str());
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    void signal(int number) const { ::kill(m_pid, number); }

    // The exit status, 128 + N for signal N, or -1 while it still runs
    // after `timeoutMs`.
    int wait(int timeoutMs = 60000) {
        const bool ended = eventually(
            [this] {
                int raw = 0;
                if (m_status == kRunning && m_pid > 0 && ::waitpid(m_pid, &raw, WNOHANG) == m_pid)
                    m_status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
                return m_status != kRunning || m_pid <= 0;
            },
            timeoutMs);
        return ended ? m_status : -1;
    }

    std::string out() const { return read(m_files[1]); }
    // The http:// address on the first line printed, once there is one.
    std::string firstUrl(int timeoutMs = 30000) const {
        eventually([this] { return out().find('\n') != std::string::npos; }, timeoutMs);
        const std::string line = out().substr(0, out().find('\n'));
        const std::size_t at = line.find("http://");
        return at == std::string::npos ? "" : line.substr(at, line.find(' ', at) - at);
    }
    std::string err() const { return read(m_files[2]); }

    // No process of the group is left. What the program left behind is
    // ours to reap (we are the subreaper), so no zombie counts as alive.
    bool groupGone() const {
        while (::waitpid(-m_pid, nullptr, WNOHANG) > 0) {
        }
        return ::kill(-m_pid, 0) != 0;
    }

private:
    static constexpr int kRunning = -2;

    static std::vector<char*> pointers(std::vector<std::string>& words) {
        std::vector<char*> out;
        for (std::string& word : words)
            out.push_back(&word[0]);
        out.push_back(nullptr);
        return out;
    }
    static std::string temporaryFile() {
        char name[] = "/tmp/lcd-test-XXXXXX";
        ::close(::mkstemp(name));
        return name;
    }
    static std::string read(const std::string& file) {
        std::ifstream in(file);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string m_files[3] = {temporaryFile(), temporaryFile(), temporaryFile()};
    pid_t m_pid = -1;
    int m_status = kRunning;
};

} // namespace testsupport
