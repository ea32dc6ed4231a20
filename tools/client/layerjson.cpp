#include "tools/client/layerjson.h"

#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <set>
#include <string_view>
#include <vector>

#include "tools/common/layersettings.h"
#include "tools/common/printable.h"
#include "tools/common/wholenumber.h"

namespace lcdclient {

namespace {

using Json = nlohmann::json;

// Every path of a record ("imageQuality.contrast.R"): a leaf's setting,
// kLayerId for the layer id, or kObject for the objects that lead to leaves.
constexpr const lcdtools::LayerSetting* kObject = nullptr;
const lcdtools::LayerSetting kLayerId{
    "layerId", [](LayerRecord& r) -> int& { return r.layerId; }, "", "", 0, 0};

const std::map<std::string, const lcdtools::LayerSetting*>& schema() {
    static const std::map<std::string, const lcdtools::LayerSetting*> paths = [] {
        std::map<std::string, const lcdtools::LayerSetting*> all{{kLayerId.name, &kLayerId}};
        for (const lcdtools::LayerSetting& setting : lcdtools::kLayerSettings) {
            const std::string path = std::string("imageQuality.") + setting.name;
            all[path] = &setting;
            for (std::size_t dot = path.find('.'); dot != std::string::npos;
                 dot = path.find('.', dot + 1))
                all.emplace(path.substr(0, dot), kObject);
        }
        return all;
    }();
    return paths;
}

// Counts the bytes the parser has taken, so that each SAX event can be
// placed in the text.
struct CountingIterator {
    using iterator_category = std::forward_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    const char* at;
    std::size_t* taken;

    reference operator*() const { return *at; }
    CountingIterator& operator++() {
        ++at;
        ++*taken;
        return *this;
    }
    CountingIterator operator++(int) {
        CountingIterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const CountingIterator& other) const { return at == other.at; }
    bool operator!=(const CountingIterator& other) const { return at != other.at; }
};

bool isNumberChar(char c) {
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
}

class Reader : public nlohmann::json_sax<Json> {
public:
    Reader(const std::string& text, const std::string& name) : m_text(text), m_name(name) {}

    bool read(LayerList& layers, std::string& error) {
        // The parser takes a NUL byte for the end of the text; it is a
        // fault of its own, unless one comes before it.
        const std::size_t nul = std::min(m_text.find('\0'), m_text.size());
        const bool parsed = Json::sax_parse(CountingIterator{m_text.data(), &m_taken},
                                            CountingIterator{m_text.data() + nul, &m_taken}, this);
        if (nul < m_text.size() && (m_error.empty() || m_errorAt >= nul)) {
            m_error.clear();
            fail(nul, "", "a NUL byte, which JSON text does not hold");
        }
        if (parsed && m_error.empty() && m_layers.empty())
            fail(0, "", "the array holds no layer records");
        if (!parsed || !m_error.empty()) {
            error = m_error;
            return false;
        }
        layers = std::move(m_layers);
        return true;
    }

    bool null() override { return scalar(m_taken - 4); }
    bool boolean(bool value) override { return scalar(m_taken - (value ? 4 : 5)); }
    bool number_integer(number_integer_t) override { return number(); }
    bool number_unsigned(number_unsigned_t) override { return number(); }
    bool number_float(number_float_t, const string_t&) override { return number(); }
    bool string(string_t&) override { return scalar(stringStart()); }
    bool binary(binary_t&) override { return scalar(m_taken); }

    bool start_object(std::size_t) override { return open(true); }
    bool start_array(std::size_t) override { return open(false); }
    bool end_object() override { return close(); }
    bool end_array() override { return close(); }

    bool key(string_t& key) override {
        Frame& frame = m_frames.back();
        const std::string path = frame.schemaPath.empty() ? key : frame.schemaPath + "." + key;
        // Named only when at fault: most of a long file is keys.
        const auto shown = [&] { return frame.shownPath + "." + lcdtools::printable(key, 40); };
        if (schema().count(path) == 0)
            return fail(stringStart(), shown(), "unknown member");
        if (!frame.seen.insert(key).second)
            return fail(stringStart(), shown(), "duplicate member");
        m_key = key;
        return true;
    }

    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception& fault) override {
        // "[json.exception.parse_error.101] parse error at line 1, column 4: WHAT"
        std::string what = fault.what();
        const std::size_t column = what.find("column ");
        const std::size_t colon = what.find(": ", column == std::string::npos ? 0 : column);
        if (colon != std::string::npos)
            what = what.substr(colon + 2);
        // `position` counts the byte at fault, or one past the end. In the
        // array, an element is named only where one was due (after '[' or
        // ','), not after one that is complete.
        const std::size_t at = position > 0 ? position - 1 : 0;
        std::string path;
        if (!m_frames.empty() && m_frames.back().object) {
            path = m_frames.back().shownPath;
        } else if (!m_frames.empty()) {
            const std::size_t before = at > 0 ? m_text.find_last_not_of(" \t\r\n", at - 1) : 0;
            if (before != std::string::npos && (m_text[before] == ',' || m_text[before] == '['))
                path = where();
        }
        return fail(at, path, lcdtools::printable(what));
    }

private:
    struct Frame {
        bool object;
        std::string schemaPath; // "imageQuality.contrast"; "" for a record; unused in arrays
        std::string shownPath;  // "[0].imageQuality.contrast"
        std::size_t count = 0;  // elements so far, in arrays
        std::set<std::string> seen;
    };

    // Where the value now arriving belongs: its shown path and, inside a
    // record, its schema path.
    std::string where() const {
        const Frame& frame = m_frames.back();
        if (!frame.object)
            return "[" + std::to_string(frame.count) + "]";
        return frame.shownPath + "." + m_key;
    }
    std::string schemaPathHere() const {
        const Frame& frame = m_frames.back();
        return frame.schemaPath.empty() ? m_key : frame.schemaPath + "." + m_key;
    }

    bool open(bool object) {
        const std::size_t start = m_taken - 1;
        if (m_frames.empty()) {
            if (object)
                return fail(start, "", "not an array of layer records");
            m_frames.push_back(Frame{false, "", "", 0, {}});
            return true;
        }
        if (!m_frames.back().object) {
            if (!object)
                return fail(start, where(), "an array is not a layer record (an object)");
            if (m_layers.size() == kMostLayers)
                return fail(start, where(),
                            "more than " + std::to_string(kMostLayers) + " layer records");
            m_layers.emplace_back();
            m_frames.push_back(Frame{true, "", where(), 0, {}});
            ++m_frames[m_frames.size() - 2].count;
            return true;
        }
        const std::string path = schemaPathHere();
        if (!object || schema().at(path) != kObject)
            return fail(start, where(),
                        std::string(object ? "an object" : "an array") +
                            (schema().at(path) == kObject ? " is not an object"
                                                          : " is not a 32-bit integer"));
        m_frames.push_back(Frame{true, path, where(), 0, {}});
        return true;
    }

    bool close() {
        m_frames.pop_back();
        return true;
    }

    bool number() {
        std::size_t end = m_taken;
        if (end > 0 && end <= m_text.size() && !isNumberChar(m_text[end - 1]))
            --end; // the byte the parser looked ahead at
        std::size_t start = end;
        while (start > 0 && isNumberChar(m_text[start - 1]))
            --start;
        return scalar(start, end);
    }

    // A string ends where the parser stands; it starts at the quote that no
    // backslash escapes.
    std::size_t stringStart() const {
        std::size_t at = m_taken >= 2 ? m_taken - 2 : 0;
        for (;;) {
            while (at > 0 && m_text[at] != '"')
                --at;
            std::size_t slashes = 0;
            while (at > slashes && m_text[at - 1 - slashes] == '\\')
                ++slashes;
            if (at == 0 || slashes % 2 == 0)
                return at;
            --at;
        }
    }

    bool scalar(std::size_t start, std::size_t end = std::string::npos) {
        if (end == std::string::npos)
            end = m_taken;
        const std::string_view raw = std::string_view(m_text).substr(start, end - start);
        const auto literal = [raw] { return lcdtools::printable(raw, 40); };
        if (m_frames.empty())
            return fail(start, "", "not an array of layer records");
        const Frame& frame = m_frames.back();
        if (!frame.object)
            return fail(start, where(), literal() + " is not a layer record (an object)");
        const lcdtools::LayerSetting* member = schema().at(schemaPathHere());
        if (member == kObject)
            return fail(start, where(), literal() + " is not an object");
        long long value = 0;
        if (!lcdtools::parseWhole(raw, INT_MIN, INT_MAX, value))
            return fail(start, where(), literal() + " is not a 32-bit integer");
        member->of(m_layers.back()) = static_cast<int>(value);
        return true;
    }

    bool fail(std::size_t offset, const std::string& path, const std::string& what) {
        if (!m_error.empty())
            return false;
        offset = std::min(offset, m_text.size());
        m_errorAt = offset;
        std::size_t line = 1, lineStart = 0;
        for (std::size_t i = 0; i < offset; ++i)
            if (m_text[i] == '\n') {
                ++line;
                lineStart = i + 1;
            }
        m_error = m_name + ":" + std::to_string(line) + ":" +
                  std::to_string(offset - lineStart + 1) + ": " +
                  (path.empty() ? "" : path + ": ") + what;
        return false;
    }

    const std::string& m_text;
    const std::string& m_name;
    std::size_t m_taken = 0;
    std::vector<Frame> m_frames;
    std::string m_key;
    LayerList m_layers;
    std::string m_error;
    std::size_t m_errorAt = 0; // the byte m_error names
};

nlohmann::ordered_json recordToJson(const LayerRecord& layer) {
    nlohmann::ordered_json record = {{kLayerId.name, layer.layerId}};
    for (const lcdtools::LayerSetting& setting : lcdtools::kLayerSettings)
        record[nlohmann::ordered_json::json_pointer(lcdtools::settingPointer(setting))] =
            setting.in(layer);
    return record;
}

} // namespace

bool readLayers(const std::string& text, const std::string& name, LayerList& layers,
                std::string& error) {
    return Reader(text, name).read(layers, error);
}

bool readLayerFile(const std::string& path, LayerList& layers, std::string& error) {
    const bool fromStdin = path == "-";
    const std::string name = fromStdin ? kStdinName : path;
    struct stat info {};
    if (!fromStdin && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        error = name + ": is a directory";
        return false;
    }
    std::ifstream file;
    if (!fromStdin) {
        file.open(path, std::ios::binary);
        if (!file) {
            error = name + ": " + std::strerror(errno);
            return false;
        }
    }
    std::istream& in = fromStdin ? std::cin : file;
    // Read as it comes, never more than the limit and a byte: an endless
    // input ends here too.
    std::string text;
    char chunk[65536];
    while (text.size() <= kLayerFileMaxBytes && in.read(chunk, sizeof chunk).gcount() > 0)
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (text.size() > kLayerFileMaxBytes) {
        error = name + ": larger than " + std::to_string(kLayerFileMaxBytes) + " bytes";
        return false;
    }
    if (in.bad()) {
        error = name + ": cannot be read";
        return false;
    }
    return readLayers(text, name, layers, error);
}

void writeLayersJson(std::ostream& out, const LayerList& layers) {
    out << '[';
    for (std::size_t i = 0; i < layers.size(); ++i)
        out << (i ? "," : "") << recordToJson(layers[i]).dump();
    out << ']';
}

} // namespace lcdclient
