#include "tools/client/replycode.h"

#include <nlohmann/json.hpp>

#include "tools/common/printable.h"

namespace lcdclient {

namespace {

constexpr std::size_t kShownCodeBytes = 40;

// Follows the parser's events, at depth 1 only: the members of the
// top-level object.
class CodeFinder : public nlohmann::json_sax<nlohmann::json> {
public:
    ReplyCode code;
    bool sawCode = false;

    bool null() override { return value("null", false); }
    bool boolean(bool v) override { return value(v ? "true" : "false", false); }
    bool number_integer(number_integer_t v) override { return value(std::to_string(v), v == 0); }
    bool number_unsigned(number_unsigned_t v) override { return value(std::to_string(v), v == 0); }
    bool number_float(number_float_t, const string_t& text) override { return value(text, false); }
    bool string(string_t& v) override {
        return value("\"" + lcdtools::printable(v, kShownCodeBytes) + "\"", false);
    }
    bool binary(binary_t&) override { return value("binary", false); }
    bool start_object(std::size_t) override { return open(true); }
    bool start_array(std::size_t) override { return open(false); }
    bool end_object() override { return close(); }
    bool end_array() override { return close(); }
    bool key(string_t& name) override {
        m_isCode = m_depth == 1 && m_topIsObject && name == "code";
        if (m_isCode && sawCode)
            code.kind = ReplyCode::Kind::twice;
        return true;
    }
    bool parse_error(std::size_t, const std::string& token,
                     const nlohmann::detail::exception& fault) override {
        // A number beyond a double (1e999) is JSON, but ends the parse: as
        // the code it is no 0, as sent.
        if (fault.id == 406)
            value(token, false);
        return false;
    }

private:
    bool value(const std::string& text, bool zero) {
        if (m_isCode && m_depth == 1) {
            take(text, zero);
            m_isCode = false;
        }
        return true;
    }
    void take(const std::string& text, bool zero) {
        if (!sawCode) {
            sawCode = true;
            code.kind = zero ? ReplyCode::Kind::zero : ReplyCode::Kind::other;
            code.sent = lcdtools::printable(text, kShownCodeBytes + 2);
        }
    }
    bool open(bool object) {
        if (m_depth == 0)
            m_topIsObject = object;
        if (m_isCode && m_depth == 1) {
            take(object ? "{...}" : "[...]", false);
            m_isCode = false;
        }
        ++m_depth;
        return true;
    }
    bool close() {
        --m_depth;
        return true;
    }

    std::size_t m_depth = 0;
    bool m_topIsObject = false;
    bool m_isCode = false; // the value now due is the top-level code
};

} // namespace

ReplyCode readReplyCode(std::string_view reply) {
    ReplyCode result;
    if (reply.empty())
        return result;
    // The parser would take a NUL byte for the end of the text.
    CodeFinder finder;
    const bool parsed = reply.find('\0') == std::string_view::npos &&
                        nlohmann::json::sax_parse(reply.begin(), reply.end(), &finder);
    if (!parsed && !(finder.sawCode && finder.code.kind == ReplyCode::Kind::other)) {
        result.kind = ReplyCode::Kind::notJson;
        return result;
    }
    if (!finder.sawCode)
        result.kind = ReplyCode::Kind::none;
    else
        result = finder.code;
    return result;
}

std::string ReplyCode::fault() const {
    switch (kind) {
    case Kind::zero: return "";
    case Kind::other: return "the device's code is " + sent + ", not 0";
    case Kind::twice: return "the device's reply gives its code more than once";
    case Kind::none: return "the device's reply holds no code";
    case Kind::notJson: return "the device's reply is not JSON";
    case Kind::empty: break;
    }
    return "the device's reply is empty";
}

} // namespace lcdclient
