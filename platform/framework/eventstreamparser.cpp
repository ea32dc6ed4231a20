#include "platform/framework/eventstreamparser.h"

namespace pqxhost {

void EventStreamParser::feed(const char* bytes, std::size_t size) {
    // What is pending holds no line feed, so only the new bytes are searched:
    // a long line (a large report's data) that comes in many pieces is
    // looked at once, not once per piece.
    std::size_t from = m_pending.size();
    m_pending.append(bytes, size);
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = m_pending.find('\n', from);
        if (end == std::string::npos)
            break;
        std::size_t stop = end;
        if (stop > start && m_pending[stop - 1] == '\r')
            --stop;
        line(m_pending.substr(start, stop - start));
        start = from = end + 1;
    }
    m_pending.erase(0, start);
}

void EventStreamParser::reset() {
    m_pending.clear();
    m_event.clear();
    m_data.clear();
    m_hasData = false;
}

void EventStreamParser::line(std::string text) {
    if (text.empty()) {
        if (m_hasData)
            m_callback(m_event, m_data);
        m_event.clear();
        m_data.clear();
        m_hasData = false;
        return;
    }
    if (text[0] == ':')
        return;
    const std::size_t colon = text.find(':');
    std::string field = text.substr(0, colon);
    std::string value;
    if (colon != std::string::npos) {
        value = text.substr(colon + 1);
        if (!value.empty() && value[0] == ' ')
            value.erase(0, 1);
    }
    if (field == "event") {
        m_event = std::move(value);
    } else if (field == "data") {
        if (m_hasData)
            m_data += '\n';
        m_data += value;
        m_hasData = true;
    }
}

} // namespace pqxhost
