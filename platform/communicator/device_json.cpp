#include "platform/communicator/device_json.h"

#include <cstdio>

#include "platform/communicator/device_limits.h"
#include "platform/communicator/lcdcomm.h"

namespace lcdcomm::detail {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::size_t skipBlanks(std::string_view text, std::size_t at) {
    while (at < text.size() && isBlank(text[at]))
        ++at;
    return at;
}

// Past the closing quote of the string that opens at `at`.
std::size_t stringEnd(std::string_view text, std::size_t at) {
    for (std::size_t i = at + 1; i < text.size(); ++i) {
        if (text[i] == '\\')
            ++i;
        else if (text[i] == '"')
            return i + 1;
    }
    return text.size();
}

// Past the value that starts at `at`: a string to its closing quote, an
// object or array to the bracket that closes it (counted, not recursed),
// anything else to the next delimiter.
std::size_t valueEnd(std::string_view text, std::size_t at) {
    if (at < text.size() && text[at] == '"')
        return stringEnd(text, at);
    if (at >= text.size() || (text[at] != '{' && text[at] != '[')) {
        while (at < text.size() && !isBlank(text[at]) &&
               std::string_view(",:]}").find(text[at]) == std::string_view::npos)
            ++at;
        return at;
    }
    std::size_t depth = 0;
    for (std::size_t i = at; i < text.size();) {
        const char c = text[i];
        if (c == '"') {
            i = stringEnd(text, i);
            continue;
        }
        if (c == '{' || c == '[')
            ++depth;
        else if ((c == '}' || c == ']') && --depth == 0)
            return i + 1;
        ++i;
    }
    return text.size();
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Whether the member name `quoted` (quotes included) means `word`, an ASCII
// word, once its escapes are read: "\u0074oken" is "token".
bool nameIs(std::string_view quoted, std::string_view word) {
    std::size_t at = 0;
    for (std::size_t i = 1; i < quoted.size(); ++i) {
        char c = quoted[i];
        if (c == '"')
            return at == word.size();
        if (c == '\\' && i + 1 < quoted.size()) {
            c = quoted[++i];
            if (c == 'u') {
                int code = 0;
                for (int k = 0; k < 4; ++k) {
                    const int digit = i + 1 < quoted.size() ? hexDigit(quoted[++i]) : -1;
                    if (digit < 0)
                        return false;
                    code = code * 16 + digit;
                }
                c = code < 0x80 ? static_cast<char>(code) : '\0';
            } else if (c != '"' && c != '\\' && c != '/') {
                return false; // \b, \n and the like are in no name we look for
            }
        }
        if (at >= word.size() || c != word[at++])
            return false;
    }
    return false;
}

// How many bytes from `at` form one printable character: 1 to 4, or 0 for
// a control byte, DEL, a C1 control (U+0080..U+009F) or a broken sequence.
std::size_t printable(std::string_view text, std::size_t at) {
    const auto c = static_cast<unsigned char>(text[at]);
    if (c >= 0x20 && c < 0x7f)
        return 1;
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xbf; // of the second byte
    if (c >= 0xc2 && c <= 0xdf)
        n = 2, low = c == 0xc2 ? 0xa0 : 0x80;
    else if (c >= 0xe0 && c <= 0xef)
        n = 3, low = c == 0xe0 ? 0xa0 : 0x80, high = c == 0xed ? 0x9f : 0xbf;
    else if (c >= 0xf0 && c <= 0xf4)
        n = 4, low = c == 0xf0 ? 0x90 : 0x80, high = c == 0xf4 ? 0x8f : 0xbf;
    if (n == 0 || at + n > text.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const auto b = static_cast<unsigned char>(text[at + k]);
        if (b < (k == 1 ? low : 0x80) || b > (k == 1 ? high : 0xbf))
            return 0;
    }
    return n;
}

} // namespace

std::string_view member(std::string_view text, std::string_view name) {
    std::size_t at = skipBlanks(text, 0);
    if (at >= text.size() || text[at] != '{')
        return {};
    std::string_view found;
    for (++at;; ++at) {
        at = skipBlanks(text, at);
        if (at >= text.size() || text[at] != '"')
            return found;
        const std::size_t nameEnd = stringEnd(text, at);
        const std::string_view quoted = text.substr(at, nameEnd - at);
        at = skipBlanks(text, nameEnd);
        if (at >= text.size() || text[at] != ':')
            return found;
        const std::size_t start = skipBlanks(text, at + 1);
        const std::size_t end = valueEnd(text, start);
        if (nameIs(quoted, name))
            found = text.substr(start, end - start);
        at = skipBlanks(text, end);
        if (at >= text.size() || text[at] != ',')
            return found;
    }
}

std::string masked(std::string_view text, std::string_view name, std::string_view mask) {
    std::string out;
    std::size_t copied = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (text[at] != '"') {
            ++at;
            continue;
        }
        const std::size_t end = stringEnd(text, at);
        const std::size_t colon = skipBlanks(text, end);
        if (colon < text.size() && text[colon] == ':' && nameIs(text.substr(at, end - at), name)) {
            const std::size_t start = skipBlanks(text, colon + 1);
            out.append(text.substr(copied, start - copied)).append(mask);
            at = copied = valueEnd(text, start);
        } else {
            at = end;
        }
    }
    return out.append(text.substr(copied));
}

std::string shown(std::string_view text, std::size_t limit) {
    std::string out;
    std::size_t at = 0;
    while (at < text.size() && at < limit) {
        const std::size_t n = printable(text, at);
        if (n == 0) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(text[at]));
            out += escaped;
            ++at;
        } else {
            out.append(text.substr(at, n));
            at += n;
        }
    }
    if (at < text.size())
        out += "... (" + std::to_string(text.size()) + " bytes)";
    return out;
}

} // namespace lcdcomm::detail

namespace lcdcomm {

std::string deviceSaid(const std::string& reply) {
    const std::string_view code = detail::member(reply, "code");
    if (code.empty())
        return "";
    std::string text = "code " + detail::shown(code, limits::kQuotedBytes);
    const std::string_view message = detail::member(reply, "message");
    if (!message.empty())
        text += " " + detail::shown(message, limits::kQuotedBytes);
    return text;
}

} // namespace lcdcomm
