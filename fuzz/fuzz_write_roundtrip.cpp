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
#include "tests/support/layer_records.h"
#include "tests/support/codec.h"

using layer_records::List;

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
        testsupport::pieces_only<> pieces(1024);
        ajson::lite_write<testsupport::pieces_only<>> w2(pieces);
        ajson::json_impl<List>::write(w2, first);
        if (std::string(pieces.data(), pieces.size()) != body ||
            pieces.capacity() != whole.capacity())
            std::abort();
        List second;
        if (!LCD::ProtoModel::decode(body, second, err) ||
            !layer_records::same_records(first, second))
            std::abort();
        std::string again;
        LCD::ProtoModel::encode(again, second);
        if (again != body)
            std::abort();
    }

    const std::string json = testsupport::json_of(text);
    for (const char c : json)
        if (static_cast<unsigned char>(c) >= 0x80)
            std::abort(); // the writer's output is pure ASCII
    std::string back;
    if (!ajson::escape_string(back, json.data() + 1, json.size() - 2))
        std::abort();
    if (testsupport::json_of(back) != json)
        std::abort();
    return 0;
}
