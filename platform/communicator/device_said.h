// What the device says in a reply of its own, the "code" and "message" of
// the JSON object it answers with, quoted the same way wherever a refusal
// is told: by the communicator's login and by the host's tools.
//
//   deviceSaid(R"({"code":20002,"message":"unknown layer 99"})")   // code 20002 "unknown layer 99"
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace lcdcomm::detail {

// Empty when the reply is not a JSON object with a "code". Bytes of the
// message that are not UTF-8 become U+FFFD.
inline std::string deviceSaid(const nlohmann::json& reply) {
    if (!reply.is_object() || !reply.contains("code"))
        return "";
    std::string text = "code " + reply["code"].dump();
    const auto message = reply.find("message");
    if (message != reply.end())
        text += " " + message->dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    return text;
}

inline std::string deviceSaid(const std::string& reply) {
    return deviceSaid(nlohmann::json::parse(reply, nullptr, false));
}

} // namespace lcdcomm::detail
