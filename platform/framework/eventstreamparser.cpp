#include "platform/framework/eventstreamparser.h"

#include <cstring>

#include "platform/communicator/device_limits.h"

namespace pqxhost {

using lcdcomm::limits::kEventBytes;
using lcdcomm::limits::kEventLineBytes;

bool EventStreamParser::feed(const char* bytes, std::size_t size) {
    const char* const end = bytes + size;
    while (bytes < end && m_fault.empty()) {
        const auto* lineEnd = static_cast<const char*>(std::memchr(bytes, '\n', end - bytes));
        const char* stop = lineEnd ? lineEnd : end;
        const auto length = static_cast<std::size_t>(stop - bytes);
        if (length > kEventLineBytes - m_lineBytes)
            return fail("the device sent an event-stream line of more than the " +
                        std::to_string(kEventLineBytes) + " bytes allowed");
        m_lineBytes += length;
        if (length > 0)
            m_endsInCR = stop[-1] == '\r';
        take(bytes, length);
        if (lineEnd && m_fault.empty())
            endLine();
        bytes = lineEnd ? lineEnd + 1 : end;
    }
    return m_fault.empty();
}

void EventStreamParser::reset() {
    m_field.clear();
    m_inValue = m_skipBlank = m_endsInCR = m_comment = m_hasData = false;
    m_value = nullptr;
    m_lineBytes = 0;
    m_event.clear();
    m_data.clear();
    m_fault.clear();
    m_lines = m_comments = 0;
}

bool EventStreamParser::fail(const std::string& why) {
    m_fault = why;
    return false;
}

// Bytes of the line under way, without its line feed.
void EventStreamParser::take(const char* bytes, std::size_t size) {
    if (!m_inValue) {
        const auto* colon = static_cast<const char*>(std::memchr(bytes, ':', size));
        const std::size_t name = colon ? static_cast<std::size_t>(colon - bytes) : size;
        m_field.append(bytes, name);
        if (!colon)
            return;
        startValue();
        bytes += name + 1;
        size -= name + 1;
    }
    if (size > 0 && m_skipBlank) {
        m_skipBlank = false;
        if (*bytes == ' ')
            ++bytes, --size;
    }
    if (m_value == &m_data && !dataRoom(size))
        return;
    if (m_value)
        m_value->append(bytes, size);
}

bool EventStreamParser::dataRoom(std::size_t size) {
    return size <= kEventBytes - m_data.size() ||
           fail("the device sent an event of more than the " + std::to_string(kEventBytes) +
                " bytes allowed");
}

// The field's name is complete: its value starts here.
void EventStreamParser::startValue() {
    m_inValue = m_skipBlank = true;
    m_comment = m_field.empty();
    m_value = nullptr;
    if (m_field == "event") {
        m_event.clear();
        m_value = &m_event;
    } else if (m_field == "data" && (!m_hasData || dataRoom(1))) {
        if (m_hasData)
            m_data += '\n';
        m_hasData = true;
        m_value = &m_data;
    }
}

void EventStreamParser::endLine() {
    std::string* last = m_inValue ? m_value : &m_field;
    if (m_endsInCR && last) // of "\r\n"
        last->pop_back();
    ++m_lines;
    if (!m_inValue && m_field.empty()) {
        if (m_hasData)
            m_callback(m_event, m_data);
        m_event.clear();
        m_data.clear();
        m_hasData = false;
    } else if (!m_inValue) {
        startValue(); // a field without a colon has an empty value
    }
    m_comments += m_inValue && m_comment;
    m_field.clear();
    m_inValue = m_endsInCR = false;
    m_value = nullptr;
    m_lineBytes = 0;
}

} // namespace pqxhost
