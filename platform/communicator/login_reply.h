// The two texts of a login: the request body and the token in the reply.
#pragma once

#include <string>

namespace lcdcomm::detail {

// {"username":...,"password":...} with both strings escaped.
std::string loginBody(const std::string& user, const std::string& password);

// The token of a reply {"code":0,...,"data":{"token":"..."}}. False, with
// the reason in `error`, when the reply is not JSON, carries a non-zero
// code or has no non-empty token.
bool tokenFromReply(const std::string& reply, std::string& token, std::string& error);

// Why a login answered with HTTP `status` other than 2xx failed, with the
// device's code and message when the reply carries them:
// "the device refused the login: HTTP status 401, code 10001 \"invalid ...\"".
std::string loginRefusal(int status, const std::string& reply);

} // namespace lcdcomm::detail
