// The head of a reply as libcurl hands it over, one header line at a time:
// each line and all of them together, interim 1xx heads included, are held
// to their caps, and the end of the final head is told apart from the end
// of an interim one. Shared by the communicator and the host's auto-report
// stream.
//
//   size_t onHeader(char* line, size_t size, size_t count, void* user) {
//       if (!head.add(curl, line, size * count)) return 0;   // head.cause() says which cap
//       if (head.ended()) { ... status and content type are known ... }
#pragma once

#include <curl/curl.h>

#include <string>

#include "platform/communicator/device_limits.h"

namespace lcdcomm::detail {

class ReplyHead {
public:
    // One header line, its line break included. False once a cap is passed.
    bool add(CURL* curl, const char* line, std::size_t length) {
        m_bytes += length;
        if (length > limits::kHeaderLineBytes)
            m_cause = "a header line of the reply is more than the " +
                      std::to_string(limits::kHeaderLineBytes) + " bytes allowed";
        else if (m_bytes > limits::kHeadBytes)
            m_cause = "the reply's headers are more than the " +
                      std::to_string(limits::kHeadBytes) + " bytes allowed";
        if (!m_cause.empty())
            return false;
        if (length <= 2 && (line[0] == '\r' || line[0] == '\n')) { // the end of a head
            long status = 0;
            curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
            m_ended = status >= 200;
        }
        return true;
    }

    // The final head has ended: the status is not an interim 1xx.
    bool ended() const { return m_ended; }

    // Why a transfer that failed with `code` failed in its head, or empty.
    // libcurl refuses a header line of 100 KiB before it is handed over, as
    // if memory ran out; that is a line over our cap too.
    std::string cause(CURLcode code) const {
        if (m_cause.empty() && !m_ended && code == CURLE_OUT_OF_MEMORY)
            return "a header line of the reply is more than the " +
                   std::to_string(limits::kHeaderLineBytes) + " bytes allowed";
        return m_cause;
    }

private:
    std::size_t m_bytes = 0;
    bool m_ended = false;
    std::string m_cause;
};

} // namespace lcdcomm::detail
