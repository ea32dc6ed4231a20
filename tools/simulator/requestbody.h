// A request body read as it arrives into one buffer, never past
// kMaxBodyBytes: the limit holds for a body of stated length and for a
// chunked one alike.
#pragma once

#include <httplib.h>

#include <string>

namespace LCD {
namespace Sim {

// Reads the body of `req` into `body`. Returns 0, or the HTTP status that
// refuses it with `why`: 413 when it is too large (unread when its length
// says so), 400 when its length is no number or it does not arrive whole,
// 415 for a multipart form. A request without Content-Length or chunked
// Transfer-Encoding has no body.
int readBody(const httplib::Request& req, const httplib::ContentReader& reader, std::string& body,
             std::string& why);

// Whether the body `req` announces is over the limit; `why` then says so.
bool bodyTooLarge(const httplib::Request& req, std::string& why);

} // namespace Sim
} // namespace LCD
