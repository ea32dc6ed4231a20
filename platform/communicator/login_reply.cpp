#include "platform/communicator/login_reply.h"

#include <nlohmann/json.hpp>

#include "platform/communicator/device_said.h"

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
    const nlohmann::json json = nlohmann::json::parse(reply, nullptr, false);
    if (json.is_discarded() || !json.is_object()) {
        error = "the login reply is not a JSON object";
        return false;
    }
    const auto code = json.find("code");
    if (code != json.end() && !(code->is_number_integer() && code->get<long long>() == 0)) {
        error = "the device refused the login: " + deviceSaid(json);
        return false;
    }
    const auto data = json.find("data");
    if (data == json.end() || !data->is_object()) {
        error = "the login reply has no \"data\" object";
        return false;
    }
    const auto found = data->find("token");
    if (found == data->end() || !found->is_string() ||
        found->get_ref<const std::string&>().empty()) {
        error = "the login reply has no token";
        return false;
    }
    token = found->get<std::string>();
    return true;
}

} // namespace lcdcomm::detail
