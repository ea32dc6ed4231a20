// Splits a server-sent event stream into events in one pass over the bytes,
// whatever their chunking: nothing is scanned twice and only what an event
// needs is kept, so the work is linear in the bytes received and the memory
// held to the caps of lcdcomm::limits.
//
//   EventStreamParser parser([](const std::string& event, const std::string& data) {...});
//   if (!parser.feed(bytes, n))   // a cap was passed; parser.fault() says which
//       ...                       // reset() before the next connection's bytes
//
// Lines end in "\n" or "\r\n". "event: NAME" names the event, "data: TEXT"
// adds a data line (several are joined with "\n"), a line starting with ':'
// is a comment (the device's greeting and its pings), a blank line ends the
// event, and other fields are ignored. Events without data are dropped. A
// line longer than kEventLineBytes, or an event whose data grows past
// kEventBytes, is a fault: the stream cannot be trusted past it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace pqxhost {

class EventStreamParser {
public:
    using Callback = std::function<void(const std::string& event, const std::string& data)>;

    explicit EventStreamParser(Callback callback) : m_callback(std::move(callback)) {}

    // False once a cap has been passed; what follows is ignored until reset().
    bool feed(const char* bytes, std::size_t size);
    // Forgets a half-received event and a fault, e.g. when the connection is lost.
    void reset();

    const std::string& fault() const { return m_fault; }
    // Lines ended, and comment lines among them, since the last reset.
    std::uint64_t lines() const { return m_lines; }
    std::uint64_t comments() const { return m_comments; }

private:
    void take(const char* bytes, std::size_t size);
    void startValue();
    void endLine();
    bool dataRoom(std::size_t size);
    bool fail(const std::string& why);

    Callback m_callback;
    // The line under way: its field's name until the first ':', then where
    // its value goes (null: nowhere).
    std::string m_field;
    bool m_inValue = false;
    bool m_skipBlank = false; // the value's first byte is a blank to drop
    bool m_endsInCR = false;  // its last byte so far is a CR
    std::string* m_value = nullptr;
    bool m_comment = false;
    std::size_t m_lineBytes = 0;

    std::string m_event;
    std::string m_data;
    bool m_hasData = false;
    std::string m_fault;
    std::uint64_t m_lines = 0;
    std::uint64_t m_comments = 0;
};

} // namespace pqxhost
