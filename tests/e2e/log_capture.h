// Everything the process writes as log lines while one of these is alive:
// Qt messages (all types, with their category and function) and the bytes
// written to file descriptor 2, which go to a temporary file meanwhile.
//
//   e2e::LogCapture logs;
//   ... run the system ...
//   for (const auto& line : logs.qtLines()) ...;
//   std::string err = logs.stderrText();   // ends the stderr redirection
#pragma once

#include <string>
#include <vector>

namespace e2e {

class LogCapture {
public:
    LogCapture();
    ~LogCapture();  // restores the previous Qt handler and fd 2
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // "category|function|message" for every Qt message so far.
    std::vector<std::string> qtLines() const;
    // True when some Qt message so far holds `text`.
    bool contains(const std::string& text) const;
    // Stops redirecting fd 2 and returns what was written to it.
    std::string stderrText();

private:
    int m_savedStderr = -1;
    std::string m_path;
};

} // namespace e2e
