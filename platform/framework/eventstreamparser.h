// Splits a server-sent event stream into events.
//
//   EventStreamParser parser([](const std::string& event, const std::string& data) {...});
//   parser.feed(bytes, n);   // any chunking; calls back once per complete event
//
// Lines end in "\n" or "\r\n". "event: NAME" names the event, "data: TEXT"
// adds a data line (several are joined with "\n"), a line starting with ':'
// is a comment (the device's keep-alive), and a blank line ends the event.
// Events without data are dropped.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace pqxhost {

class EventStreamParser {
public:
    using Callback = std::function<void(const std::string& event, const std::string& data)>;

    explicit EventStreamParser(Callback callback) : m_callback(std::move(callback)) {}

    void feed(const char* bytes, std::size_t size);
    // Forgets a half-received event, e.g. when the connection is lost.
    void reset();

private:
    void line(std::string text);

    Callback m_callback;
    std::string m_pending;
    std::string m_event;
    std::string m_data;
    bool m_hasData = false;
};

} // namespace pqxhost
