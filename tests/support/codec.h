// One value read from a text or written to one, as the tests and fuzz
// targets do it: read errors come back as the codec's texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "protocol/protomodel.h"
#include "json/ajson.h"

namespace testsupport {

// Reads one T from `input`; returns "" or the error text. `after` receives
// the text of the token left current. With a `limit` that no text reaches,
// nothing is read in place: every value goes by the plain scanning rules.
template <class T>
std::string read_into(const std::string& input, T& out, std::string* after = nullptr,
                      std::uint64_t limit = ajson::reader::no_limit) {
    try {
        ajson::reader rd(input.c_str(), limit);
        rd.next();
        ajson::json_impl<T>::read(rd, out);
        if (after != nullptr)
            after->assign(rd.current().text.str, rd.current().text.len);
    } catch (const ajson::exception& e) {
        return e.what();
    }
    return "";
}

// decode's contract with the scanning rules alone, to compare with what
// decode reads in place.
template <class T>
bool decode_scanning(const std::string& text, T& out, std::string& err) {
    const std::string error = read_into(text, out, nullptr, ajson::reader::scanning_only);
    if (!error.empty())
        err = error;
    return error.empty();
}

// The compact JSON text of v.
template <class T>
std::string json_of(const T& v) {
    std::string text;
    LCD::ProtoModel::encode(text, v);
    return text;
}

// A stream without direct storing, over a Stream given the same arguments:
// every piece of every record goes through its checked appends.
template <class Stream = ajson::ajson_string_stream<>>
class pieces_only {
public:
    template <class... A>
    explicit pieces_only(A&&... arguments) : m_s(std::forward<A>(arguments)...) {}
    void put(char c) { m_s.put(c); }
    void append(const char* p, std::size_t n) { m_s.append(p, n); }
    const char* data() const noexcept { return m_s.data(); }
    std::size_t size() const noexcept { return m_s.size(); }
    std::size_t capacity() const noexcept { return m_s.capacity(); }

private:
    Stream m_s;
};

} // namespace testsupport
