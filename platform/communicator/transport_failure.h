// What a failed transfer means, in words a user can act on, followed by
// libcurl's own account of it:
//
//   "connection refused (Failed to connect to 127.0.0.1 port 9 after 0 ms: ...)"
//
// Shared by the communicator and the host's auto-report stream, so that the
// same failure reads the same wherever it happens.
#pragma once

#include <curl/curl.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace lcdcomm::detail {

// `osErrno` is CURLINFO_OS_ERRNO, `detail` the transfer's error buffer
// (may be empty), `timeoutMs` the limit the transfer ran under.
inline std::string transportFailure(CURLcode code, long osErrno, long timeoutMs,
                                    const std::string& detail) {
    std::string cause;
    switch (code) {
    case CURLE_COULDNT_CONNECT:
        cause = osErrno == ECONNREFUSED ? std::string("connection refused")
                : osErrno != 0 ? "cannot connect: " + std::string(std::strerror(int(osErrno)))
                               : std::string("cannot connect");
        break;
    case CURLE_COULDNT_RESOLVE_HOST: cause = "host not found"; break;
    case CURLE_OPERATION_TIMEDOUT:
        cause = "time-out after " + std::to_string(timeoutMs) + " ms";
        break;
    case CURLE_SSL_CONNECT_ERROR:
        cause = "wrong protocol: the TLS handshake failed (is the device plain http?)";
        break;
    case CURLE_UNSUPPORTED_PROTOCOL:
        // libcurl's only word for an answer without a status line.
        cause = detail.find("HTTP/0.9") != std::string::npos
                    ? "the reply is not HTTP"
                    : "wrong protocol: only http and https are spoken";
        break;
    case CURLE_URL_MALFORMAT: cause = "malformed URL"; break;
    case CURLE_GOT_NOTHING: cause = "the device closed the connection without a reply"; break;
    case CURLE_WEIRD_SERVER_REPLY: cause = "the reply is not HTTP"; break;
    case CURLE_RECV_ERROR:
        // libcurl's word for a lost connection and for a broken chunked body alike.
        cause = detail.find("chunk") != std::string::npos ? "the reply breaks HTTP's framing"
                                                          : "the connection was lost";
        break;
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE: cause = "the connection was lost"; break;
    case CURLE_WRITE_ERROR: cause = "the reply is too large"; break;
    default: cause = curl_easy_strerror(code); break;
    }
    if (detail.empty() || detail == curl_easy_strerror(code))
        return cause;
    return cause + " (" + detail + ")";
}

} // namespace lcdcomm::detail
