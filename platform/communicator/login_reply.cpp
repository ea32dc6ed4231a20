#include "platform/communicator/login_reply.h"

#include <nlohmann/json.hpp>

#include "platform/communicator/device_json.h"
#include "platform/communicator/device_limits.h"
#include "platform/communicator/lcdcomm.h"

namespace lcdcomm::detail {

std::string loginBody(const std::string& user, const std::string& password) {
    const nlohmann::json body = {{"username", user}, {"password", password}};
    // Bytes that are not UTF-8 become U+FFFD rather than an exception.
    return body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string loginRefusal(int status, const std::string& reply) {
    const std::string said = deviceSaid(reply);
    return "the device refused the login: HTTP status " + std::to_string(status) +
           (said.empty() ? "" : ", " + said);
}

bool tokenFromReply(const std::string& reply, std::string& token, std::string& error) {
    // A refusal is told with its code even when strict JSON rejects its message.
    const std::string_view code = member(reply, "code");
    if (!code.empty() && code != "0" && code != "-0") {
        error = "the device refused the login: " + deviceSaid(reply);
        return false;
    }
    // accept() checks the whole text without building it: its memory is a
    // bit a level, whatever the nesting.
    const std::size_t first = reply.find_first_not_of(" \t\r\n");
    if (first == std::string::npos || reply[first] != '{' || !nlohmann::json::accept(reply)) {
        error = "the login reply is not a JSON object";
        return false;
    }
    const std::string_view data = member(reply, "data");
    if (data.empty() || data[0] != '{') {
        error = "the login reply has no \"data\" object";
        return false;
    }
    const std::string_view quoted = member(data, "token");
    if (quoted.size() <= 2 || quoted[0] != '"') {
        error = "the login reply has no token";
        return false;
    }
    const std::string value = nlohmann::json::parse(quoted).get<std::string>();
    if (value.size() > limits::kTokenBytes) {
        error = "the device's login token is " + std::to_string(value.size()) +
                " bytes, more than the " + std::to_string(limits::kTokenBytes) + " allowed";
        return false;
    }
    for (unsigned char c : value) {
        if (c < 0x20 || c == 0x7f) {
            error = "the device's login token holds bytes that cannot go into a header "
                    "(control bytes such as CR or LF)";
            return false;
        }
    }
    token = value;
    return true;
}

} // namespace lcdcomm::detail
