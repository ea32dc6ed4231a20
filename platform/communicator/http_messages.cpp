// What a request and a response hold: the same in the communicator and in
// every stand-in of it that the tests and benchmarks link instead.
#include "host/lcdcommunicator.h"

void HttpRequest::setHead(const char* name, const char* value) {
    m_heads.emplace_back(name ? name : "", value ? value : "");
}

void HttpRequest::setBody(const char* data, int size) {
    if (data && size > 0)
        m_body.assign(data, static_cast<std::size_t>(size));
    else
        m_body.clear();
}

const char* HttpRespon::getBody() const {
    return m_body.data();
}

std::uint32_t HttpRespon::getBodySize() const {
    // Bodies are capped far below 4 GiB, so this never truncates.
    return static_cast<std::uint32_t>(m_body.size());
}
