// The layer list through RapidJSON: the SAX Reader straight into the
// records, a Document then copied into the records, and the Writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <rapidjson/document.h>
#include <rapidjson/reader.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "bench/layer_samples.h"
#include "bench/layer_schema.h"

namespace bench {
namespace rj {

// SAX: a stack of open records; a key selects the member the next value
// goes to. The value of an unknown member is passed over by counting its
// nesting.
class layer_handler : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, layer_handler> {
public:
    explicit layer_handler(LayerList& out) : m_out(out) {}

    bool StartArray() {
        if (open_unknown())
            return true;
        if (m_depth != 0 || m_in_list)
            return false;
        m_in_list = true;
        return true;
    }
    bool EndArray(rapidjson::SizeType) {
        if (m_skip)
            --m_skip;
        return true;
    }
    bool StartObject() {
        if (open_unknown())
            return true;
        if (m_depth == 0) {
            if (!m_in_list)
                return false;
            m_out.emplace_back();
            push(&layer_schema, &m_out.back());
            return true;
        }
        if (m_pending == nullptr || m_pending->nested == nullptr)
            return false;
        push(m_pending->nested, nested_base(m_stack[m_depth - 1].base, *m_pending));
        return true;
    }
    bool EndObject(rapidjson::SizeType) {
        if (m_skip)
            --m_skip;
        else
            --m_depth;
        return true;
    }
    bool Key(const char* s, rapidjson::SizeType len, bool) {
        if (m_skip)
            return true;
        m_pending = find_member(*m_stack[m_depth - 1].schema, std::string_view(s, len));
        m_unknown = m_pending == nullptr;
        return true;
    }
    bool Int(int v) { return store(static_cast<std::int64_t>(v)); }
    bool Uint(unsigned v) { return store(static_cast<std::int64_t>(v)); }
    bool Int64(std::int64_t v) { return store(v); }
    bool Uint64(std::uint64_t v) { return store(static_cast<std::int64_t>(v)); }
    // Strings, booleans, null and doubles: only as values of unknown members.
    bool Default() { return m_skip != 0 || take_unknown(); }

private:
    struct frame {
        const record_schema* schema;
        void* base;
    };

    bool open_unknown() {
        if (m_skip) {
            ++m_skip;
            return true;
        }
        if (!m_unknown)
            return false;
        m_unknown = false;
        m_skip = 1;
        return true;
    }
    void push(const record_schema* s, void* base) {
        m_stack[m_depth++] = frame{s, base};
        m_pending = nullptr;
    }
    bool store(std::int64_t v) {
        if (m_skip)
            return true;
        if (m_pending != nullptr && m_pending->nested == nullptr) {
            slot(m_stack[m_depth - 1].base, *m_pending) = static_cast<int>(v);
            m_pending = nullptr;
            return true;
        }
        return take_unknown();
    }
    bool take_unknown() {
        if (!m_unknown)
            return false;
        m_unknown = false;
        return true;
    }

    LayerList& m_out;
    frame m_stack[8] = {};
    std::size_t m_depth = 0;
    std::size_t m_skip = 0;
    const member_schema* m_pending = nullptr;
    bool m_unknown = false;
    bool m_in_list = false;
};

inline bool decode_sax(const std::string& text, LayerList& out) {
    rapidjson::Reader reader;
    rapidjson::StringStream in(text.c_str());
    layer_handler h(out);
    return !reader.Parse(in, h).IsError();
}

inline void copy_record(const rapidjson::Value& obj, const record_schema& s, void* base) {
    for (auto it = obj.MemberBegin(); it != obj.MemberEnd(); ++it) {
        const member_schema* m =
            find_member(s, std::string_view(it->name.GetString(), it->name.GetStringLength()));
        if (m == nullptr)
            continue;
        if (m->nested != nullptr) {
            if (it->value.IsObject())
                copy_record(it->value, *m->nested, nested_base(base, *m));
        } else if (it->value.IsInt64()) {
            slot(base, *m) = static_cast<int>(it->value.GetInt64());
        }
    }
}

inline bool copy_list(const rapidjson::Value& v, LayerList& out) {
    if (!v.IsArray())
        return false;
    for (const auto& e : v.GetArray()) {
        if (!e.IsObject())
            return false;
        out.emplace_back();
        copy_record(e, layer_schema, &out.back());
    }
    return true;
}

inline bool decode_document(const std::string& text, LayerList& out) {
    rapidjson::Document doc;
    doc.Parse(text.c_str(), text.size());
    return !doc.HasParseError() && copy_list(doc, out);
}

// The envelope through a Document, then its body through the SAX reader.
inline bool decode_report(const std::string& text, LayerList& out) {
    rapidjson::Document doc;
    doc.Parse(text.c_str(), text.size());
    if (doc.HasParseError() || !doc.IsObject())
        return false;
    const auto tl = doc.FindMember("tl");
    if (tl == doc.MemberEnd() || !tl->value.IsObject())
        return false;
    const auto code = tl->value.FindMember("ErrorCode");
    if (code != tl->value.MemberEnd() && code->value.GetUint() != 0)
        return false;
    const auto body = doc.FindMember("body");
    if (body == doc.MemberEnd() || !body->value.IsString())
        return false;
    const std::string text_of_body(body->value.GetString(), body->value.GetStringLength());
    return decode_sax(text_of_body, out);
}

template <class W>
inline void write_record(W& w, const record_schema& s, const void* base) {
    w.StartObject();
    for (std::size_t i = 0; i < s.count; ++i) {
        const member_schema& m = s.members[i];
        w.Key(m.name.data(), static_cast<rapidjson::SizeType>(m.name.size()));
        if (m.nested != nullptr)
            write_record(w, *m.nested, nested_base(base, m));
        else
            w.Int(slot(base, m));
    }
    w.EndObject();
}

inline void encode(std::string& text, const LayerList& layers) {
    rapidjson::StringBuffer buf;
    rapidjson::Writer<rapidjson::StringBuffer> w(buf);
    w.StartArray();
    for (const Layer& l : layers)
        write_record(w, layer_schema, &l);
    w.EndArray();
    text.assign(buf.GetString(), buf.GetSize());
}

} // namespace rj
} // namespace bench
