// Lets a transfer speak http and https only, whatever the URL says (no
// file://, no ftp:// from a redirect or a misconfigured address). Shared by
// the communicator and the host's auto-report stream.
#pragma once

#include <curl/curl.h>

namespace lcdcomm::detail {

inline void httpOnly(CURL* curl) {
#if LIBCURL_VERSION_NUM >= 0x075500
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
#else
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS, long(CURLPROTO_HTTP | CURLPROTO_HTTPS));
#endif
}

} // namespace lcdcomm::detail
