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

} // namespace lcdcomm::detail
