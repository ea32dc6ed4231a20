// A device simulator run as a program, with a token of its own, and a plain
// client of it. A process, not threads of the test: under an emulator a
// process with threads may not start another one reliably.
//
//   testsupport::SimulatorProcess device({"--layers", "4"});
//   device.url;                             // "http://127.0.0.1:PORT"
//   device.get("/movra/v1/layers/list-detail")["data"];
//
// The including test defines LCD_DEVICE_SIM_PATH and links httplib.
#pragma once

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "tests/support/process.h"
#include "tests/support/test_support.h"

namespace testsupport {

struct SimulatorProcess : Process {
    static constexpr const char* kToken = "tok-5e2";

    // `arguments` follow --port 0 and --token.
    explicit SimulatorProcess(std::vector<std::string> arguments = {})
        : Process(
              LCD_DEVICE_SIM_PATH,
              (arguments.insert(arguments.begin(), {"--port", "0", "--token", kToken}), arguments)),
          url(firstUrl()) {}
    // GET with the token; null when there is no JSON answer.
    nlohmann::json get(const std::string& path) const {
        httplib::Client client(url);
        const auto reply = client.Get(path.c_str(), {{"Authorization", kToken}});
        return reply ? nlohmann::json::parse(reply->body, nullptr, false) : nlohmann::json();
    }

    std::string url;
};

} // namespace testsupport
