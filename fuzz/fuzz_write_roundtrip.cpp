// Whatever decodes as a layer list must encode and decode back to the same
// values, stored whole or written piece by piece; and any bytes written as
// a JSON string must read back to text that writes the same string again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "protocol/layerimagequality.h"
#include "protocol/protomodel.h"

namespace {

using Layer = LCD::ProtoModel::Layer::s_LayerImageQualityBody;
using List = std::vector<Layer>;

bool same(const List& a, const List& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::memcmp(&a[i], &b[i], sizeof(Layer)) != 0) // 25 ints, no padding
            return false;
    return true;
}

// A stream without direct storing: every piece of every record goes
// through the checked appends.
class pieces_only {
public:
    void put(char c) { m_s.put(c); }
    void append(const char* p, std::size_t n) { m_s.append(p, n); }
    std::string text() const { return std::string(m_s.data(), m_s.size()); }
    std::size_t capacity() const noexcept { return m_s.capacity(); }

private:
    ajson::ajson_string_stream<> m_s{1024};
};

std::string as_json_string(const char* p, std::size_t n) {
    ajson::ajson_string_stream<> s(1024);
    ajson::lite_write<ajson::ajson_string_stream<>> w(s);
    w.write_str(p, n);
    return std::string(s.data(), s.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    List first;
    std::string err;
    if (LCD::ProtoModel::decode(text, first, err)) {
        std::string body;
        LCD::ProtoModel::encode(body, first);
        // Records stored whole give the bytes and the buffer of their pieces.
        ajson::ajson_string_stream<> whole(1024);
        ajson::lite_write<ajson::ajson_string_stream<>> w1(whole);
        ajson::json_impl<List>::write(w1, first);
        pieces_only pieces;
        ajson::lite_write<pieces_only> w2(pieces);
        ajson::json_impl<List>::write(w2, first);
        if (pieces.text() != body || pieces.capacity() != whole.capacity())
            std::abort();
        List second;
        if (!LCD::ProtoModel::decode(body, second, err) || !same(first, second))
            std::abort();
        std::string again;
        LCD::ProtoModel::encode(again, second);
        if (again != body)
            std::abort();
    }

    const std::string json = as_json_string(text.data(), text.size());
    for (const char c : json)
        if (static_cast<unsigned char>(c) >= 0x80)
            std::abort(); // the writer's output is pure ASCII
    std::string back;
    if (!ajson::escape_string(back, json.data() + 1, json.size() - 2))
        std::abort();
    if (as_json_string(back.data(), back.size()) != json)
        std::abort();
    return 0;
}
