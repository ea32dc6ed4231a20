// The programs a test of lcdhost runs: a device simulator with a token and
// password of its own, and lcdhost with the words of a line.
#pragma once

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/process.h"
#include "tests/support/simulator_process.h"

namespace lcdhost_test {

// A device simulator with a token and a password of its own.
struct Device : testsupport::SimulatorProcess {
    explicit Device(const std::string& fault = "")
        : SimulatorProcess(
              {"--password", "pw-9c1", "--fault", fault.empty() ? R"({"mode":"none"})" : fault}) {}
};

// lcdhost with the words of `line`, "URL" standing for the device's, ''
// for an empty word and >PATH for where its standard output goes.
struct Lcdhost : testsupport::Process {
    Lcdhost(const std::string& line, const std::string& url = "", const std::string& input = "",
            std::vector<std::string> environment = {})
        : Process(LCDHOST_PATH, words(line, url), std::move(environment), input,
                  line.find('>') == std::string::npos ? "" : line.substr(line.find('>') + 1)) {}
    static std::vector<std::string> words(const std::string& line, const std::string& url) {
        std::vector<std::string> out;
        std::istringstream in(line.substr(0, line.find('>')));
        for (std::string word; in >> word;)
            out.push_back(word == "URL" ? url : word == "''" ? "" : word);
        return out;
    }
};

} // namespace lcdhost_test
