// ajson::reader: a pull tokenizer over NUL-terminated JSON text.
//
//   ajson::reader rd(text.c_str());
//   rd.next();                        // load the first token
//   const ajson::token& t = rd.current();
//   ... t.kind, t.text, t.value, t.negative ...
//   rd.next();                        // and so on; errors throw ajson::exception
//
// The reader holds exactly one token and never copies the input: token texts
// are views into it. Every error names the line and column (both from 0) of
// the character the reader stands on. They are a function of the characters
// stepped onto, so they are counted only when an error is raised, by going
// over the text up to that character once more.
//
// Accepted beyond plain JSON: // and /* */ comments, bare words (any run of
// characters that starts no other token, e.g. true, null, 'ab', +5), leading
// zeros, numbers ending in '.' or an exponent mark. Not accepted: '+' in
// exponents (1e+5 is 1e followed by the bare word +5), raw line feeds in
// quoted strings.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "json/exception.h"
#include "json/hints.h"
#include "json/string_ref.h"

namespace ajson {

struct token {
    // Kind codes. 0 to 3 are scalars; punctuation is recognised by the first
    // character of the text, whatever the kind.
    static constexpr std::uint32_t string = 0;       // quoted string or bare word
    static constexpr std::uint32_t signed_int = 1;   // starts with '-'; value is the magnitude
    static constexpr std::uint32_t unsigned_int = 2; // starts with a digit
    static constexpr std::uint32_t floating = 3; // has '.' or an exponent; value is the magnitude
    static constexpr std::uint32_t control = 4;  // one of { } [ ] : ,
    static constexpr std::uint32_t end = 5;      // end of input; text is the terminating character

    detail::string_ref text; // quoted strings: between the quotes, escapes undecoded
    std::uint32_t kind = end;
    union {
        std::uint64_t u64;
        std::int64_t i64;
        double d64;
    } value{0};
    bool negative = false; // the sign is never applied to value
};

class reader {
public:
    // Both 0 and all ones mean "no limit": the text ends at its NUL.
    static constexpr std::uint64_t no_limit = ~std::uint64_t(0);
    // A limit that no text reaches: nothing is read in place and no run of
    // characters is taken at once, so every character goes by the plain
    // rules. What the shortcuts are checked against.
    static constexpr std::uint64_t scanning_only = no_limit - 1;

    explicit reader(const char* input, std::uint64_t limit = no_limit) noexcept
        : reader(input, limit, limit == 0 || limit == no_limit ? std::strlen(input) : 0) {}
    // `length` is the number of characters before the text's terminating NUL
    // (a std::string's size; NULs inside still end the text). Without a
    // limit it lets the typed readers look at several characters at once.
    reader(const char* input, std::uint64_t limit, std::size_t length) noexcept
        : m_limit(limit == 0 ? no_limit : limit), m_in(input),
          m_stop(m_limit == no_limit ? input + length : nullptr) {
        m_tok.text = detail::string_ref(input, 0);
        if (input[0] == '\0')
            m_end = true;
    }

    // Skips white space and comments and makes the next token current.
    void next();
    // Steps onto the next character.
    void take() noexcept;
    // next(); then, if that token is ':', next() again and true; else false
    // with the offending token current.
    bool next_past_colon();
    // Scans the rest of a number whose first character is current; next() only.
    void parser_number();
    // Throws ajson::exception "error at line :L col :C msg:<message>".
    [[noreturn]] AJSON_COLD void error(const char* message) const;

    const token& current() const noexcept { return m_tok; }
    std::uint64_t offset() const noexcept { return m_off; }

    // Reading in place (json/in_place.h): without a limit a typed reader may
    // look at the text from here() on, up to readable() characters at once,
    // and hand back with continue_at() where the plain rules must go on.
    bool in_place() const noexcept { return m_stop != nullptr; }
    const char* here() const noexcept { return m_in + m_off; }
    bool readable(const char* p, std::size_t n) const noexcept {
        return n <= static_cast<std::size_t>(m_stop - p);
    }
    // Stands on p, which an in-place reading reached without passing a NUL,
    // and scans the token there: the state that stepping onto p and calling
    // next() leaves.
    void continue_at(const char* p) {
        m_off = static_cast<std::uint64_t>(p - m_in);
        m_end = *p == '\0';
        next();
    }

private:
    struct place {
        std::uint64_t line = 0;
        std::uint64_t column = 0;
    };
    place position() const noexcept;
    bool plain_integer(const char* p, std::uint64_t v) noexcept;
    void set_end() noexcept;
    void scan_quoted();
    void scan_word();
    void scan_comment();
    void to_floating() noexcept;
    void exponent() noexcept;
    std::uint64_t run_length(unsigned char cls) const noexcept;
    std::uint64_t quoted_run_length() const noexcept;
    void step_run(std::uint64_t n) noexcept;

    token m_tok;
    std::uint64_t m_limit;
    std::uint64_t m_off = 0;
    bool m_end = false;
    const char* m_in;
    const char* m_stop; // the terminating NUL when reading in place, else null
};

namespace detail {

// Character classes for the scanning loops.
enum : unsigned char {
    cls_quoted = 1, // continues a quoted string without special handling: not " \ LF NUL
    cls_word = 2,   // continues a bare word: not NUL, blank, LF, CR, tab , : [ ] { }
    cls_digit = 4,
};

struct scan_classes {
    unsigned char of[256];
};

constexpr scan_classes make_scan_classes() {
    scan_classes t{};
    for (int c = 0; c < 256; ++c) {
        unsigned char v = 0;
        if (c != '"' && c != '\\' && c != '\n' && c != 0)
            v |= cls_quoted;
        if (c != 0 && c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != ',' && c != ':' &&
            c != '[' && c != ']' && c != '{' && c != '}')
            v |= cls_word;
        if (c >= '0' && c <= '9')
            v |= cls_digit;
        t.of[c] = v;
    }
    return t;
}

inline constexpr scan_classes scan_class_table = make_scan_classes();

} // namespace detail

// ---------------------------------------------------------------------------

inline void reader::take() noexcept {
    ++m_off;
    if (m_in[m_off] == '\0' || m_off >= m_limit)
        m_end = true;
}

// Line and column of the current character, by the counting rules of
// stepping: the character at offset 0 is never stepped onto; a line feed
// starts the next line at column 0; a carriage return is not counted; every
// other character, the final NUL included, is one column.
inline reader::place reader::position() const noexcept {
    place at;
    for (std::uint64_t i = 1; i <= m_off; ++i) {
        const char c = m_in[i];
        if (c == '\n') {
            ++at.line;
            at.column = 0;
        } else if (c != '\r') {
            ++at.column;
        }
    }
    return at;
}

// The same as next() followed, when that token is ':', by a second next().
// A key is nearly always followed directly by its colon, which then needs no
// token of its own.
inline bool reader::next_past_colon() {
    if (AJSON_LIKELY(!m_end && m_in[m_off] == ':')) {
        take();
        next();
        return true;
    }
    next();
    if (*m_tok.text.str != ':')
        return false;
    next();
    return true;
}

// Number of characters from the current one on that belong to class cls and
// lie before the limit.
inline std::uint64_t reader::run_length(unsigned char cls) const noexcept {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(m_in + m_off);
    const unsigned char* of = detail::scan_class_table.of;
    std::uint64_t n = 0;
    if (m_limit == no_limit) {
        while (of[p[n]] & cls)
            ++n;
    } else {
        const std::uint64_t room = m_limit - m_off;
        while (n < room && (of[p[n]] & cls))
            ++n;
    }
    return n;
}

// The run of a quoted string from the current character on. Without a limit
// it takes in escapes (but not a backslash before the NUL), so text full of
// \" (a JSON body inside a string) is stepped over in one run.
inline std::uint64_t reader::quoted_run_length() const noexcept {
    if (m_limit != no_limit)
        return run_length(detail::cls_quoted);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(m_in + m_off);
    const unsigned char* of = detail::scan_class_table.of;
    std::uint64_t n = 0;
    for (;;) {
        while (of[p[n]] & detail::cls_quoted)
            ++n;
        // p[n] is a backslash, not the NUL, so p[n + 1] is inside the text.
        if (p[n] != '\\' || p[n + 1] == '\0')
            return n;
        n += 2;
    }
}

// Same as n calls of take() when the n-1 characters stepped over before the
// last one are not NUL and lie before the limit.
inline void reader::step_run(std::uint64_t n) noexcept {
    m_off += n - 1;
    take();
}

inline void reader::set_end() noexcept {
    m_tok.kind = token::end;
    m_tok.text = detail::string_ref(m_in + m_off, 1);
    m_tok.negative = false;
}

inline void reader::next() {
    for (;;) {
        if (m_end) {
            set_end();
            return;
        }
        for (;;) {
            const char c = m_in[m_off];
            if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
                break;
            take();
            if (m_end) {
                set_end();
                return;
            }
        }
        m_tok.negative = false;
        const char* p = m_in + m_off;
        switch (*p) {
        case '"': scan_quoted(); return;
        case '/': scan_comment(); continue;
        case '{':
        case '}':
        case '[':
        case ']':
        case ':':
        case ',':
            m_tok.kind = token::control;
            m_tok.text = detail::string_ref(p, 1);
            take();
            return;
        case '-':
            m_tok.kind = token::signed_int;
            m_tok.negative = true;
            if (!plain_integer(p, 0)) {
                m_tok.value.u64 = 0;
                parser_number();
            }
            return;
        case '0':
        case '1':
        case '2':
        case '3':
        case '4':
        case '5':
        case '6':
        case '7':
        case '8':
        case '9':
            m_tok.kind = token::unsigned_int;
            if (!plain_integer(p, static_cast<std::uint64_t>(*p - '0'))) {
                m_tok.value.u64 = static_cast<std::uint64_t>(*p - '0');
                parser_number();
            }
            return;
        case '\0': set_end(); return;
        default: scan_word(); return;
        }
    }
}

// The common number: digits only, no fraction or exponent, no limit in
// play. It yields what parser_number would (the same wrapping sum, text and
// end position) without its general steps; anything else is left to it.
inline bool reader::plain_integer(const char* p, std::uint64_t v) noexcept {
    if (m_limit != no_limit)
        return false;
    const unsigned char* q = reinterpret_cast<const unsigned char*>(p);
    const unsigned char* of = detail::scan_class_table.of;
    std::uint64_t n = 1;
    while (of[q[n]] & detail::cls_digit) {
        v = v * 10u + static_cast<std::uint64_t>(q[n] - '0');
        ++n;
    }
    const unsigned char c = q[n];
    if (c == '.' || c == 'e' || c == 'E')
        return false;
    m_tok.value.u64 = v;
    m_tok.text = detail::string_ref(p, n);
    m_off += n - 1; // the digits are ordinary characters
    take();
    return true;
}

inline void reader::scan_quoted() {
    m_tok.kind = token::string;
    take();
    if (m_end)
        error("not a valid quote string!");
    const char* start = m_in + m_off;
    for (;;) {
        if (const std::uint64_t n = quoted_run_length()) {
            step_run(n);
            if (m_end)
                error("not a valid quote string!");
        }
        const char c = m_in[m_off];
        if (c == '"') {
            m_tok.text =
                detail::string_ref(start, static_cast<std::uint64_t>(m_in + m_off - start));
            take();
            return;
        }
        if (c == '\n' || c == '\0')
            error("not a valid quote string!");
        if (c == '\\') {
            // The escaped character is taken whatever it is; escape_string judges it.
            take();
            if (m_end)
                error("not a valid quote string!");
        }
        take();
        if (m_end)
            error("not a valid quote string!");
    }
}

inline void reader::scan_word() {
    m_tok.kind = token::string;
    const char* start = m_in + m_off;
    take();
    if (m_end)
        error("not a valid string!");
    if (const std::uint64_t n = run_length(detail::cls_word)) {
        step_run(n);
        if (m_end)
            error("not a valid string!");
    }
    if (m_in[m_off] == '\0')
        error("not a valid string!");
    m_tok.text = detail::string_ref(start, static_cast<std::uint64_t>(m_in + m_off - start));
}

// Leaves the reader after the comment; an unclosed comment leaves it at the end.
inline void reader::scan_comment() {
    take();
    if (m_end)
        error("not a comment!");
    const char c = m_in[m_off];
    if (c == '/') {
        // The line feed stays current; the white-space skip steps over it.
        do {
            take();
        } while (!m_end && m_in[m_off] != '\n');
        return;
    }
    if (c != '*')
        error("not a comment!");
    take();
    while (!m_end) {
        if (m_in[m_off] == '*') {
            take();
            if (!m_end && m_in[m_off] == '/') {
                take();
                return;
            }
            continue; // the character after '*' may itself be '*'
        }
        take();
    }
}

inline void reader::to_floating() noexcept {
    m_tok.value.d64 = m_tok.kind == token::signed_int ? static_cast<double>(m_tok.value.i64)
                                                      : static_cast<double>(m_tok.value.u64);
    m_tok.kind = token::floating;
}

inline void reader::parser_number() {
    const char* start = m_in + m_off;
    take();
    if (!m_end) {
        // Integer digits wrap modulo 2^64; there is no overflow error.
        std::uint64_t n = run_length(detail::cls_digit);
        if (n) {
            const char* p = m_in + m_off;
            std::uint64_t v = m_tok.value.u64;
            for (std::uint64_t i = 0; i < n; ++i)
                v = v * 10u + static_cast<std::uint64_t>(p[i] - '0');
            m_tok.value.u64 = v;
            step_run(n);
        }
        bool fraction = false;
        if (!m_end) {
            const char c = m_in[m_off];
            if (c == '.') {
                to_floating();
                take();
                fraction = !m_end;
            } else if (c == 'e' || c == 'E') {
                exponent();
            }
        }
        if (fraction) {
            n = run_length(detail::cls_digit);
            if (n) {
                const char* p = m_in + m_off;
                double v = m_tok.value.d64;
                double scale = 0.1;
                for (std::uint64_t i = 0; i < n; ++i) {
                    v = std::fma(scale, static_cast<double>(p[i] - '0'), v);
                    scale *= 0.1;
                }
                m_tok.value.d64 = v;
                step_run(n);
            }
            if (!m_end) {
                const char c = m_in[m_off];
                if (c == '.')
                    error("not a valid number!");
                if (c == 'e' || c == 'E')
                    exponent();
            }
        }
    }
    m_tok.text = detail::string_ref(start, static_cast<std::uint64_t>(m_in + m_off - start));
}

// The exponent scales by repeated multiplication with 0.1 or 10.0, which fixes
// the exact double a text yields (1e-2 is 1 * 0.1 * 0.1).
inline void reader::exponent() noexcept {
    if (m_tok.kind != token::floating)
        to_floating();
    take();
    if (m_end)
        return;
    const bool down = m_in[m_off] == '-';
    if (down) {
        take();
    } else if (!(detail::scan_class_table.of[static_cast<unsigned char>(m_in[m_off])] &
                 detail::cls_digit)) {
        return; // '+' or anything else: empty exponent
    }
    // Wraps modulo 2^32; a wrapped count that is not above 0 leaves the value as it is.
    std::int32_t count = 0;
    while (!m_end && (detail::scan_class_table.of[static_cast<unsigned char>(m_in[m_off])] &
                      detail::cls_digit)) {
        count = static_cast<std::int32_t>(static_cast<std::uint32_t>(count) * 10u +
                                          static_cast<std::uint32_t>(m_in[m_off] - '0'));
        take();
    }
    const double factor = down ? 0.1 : 10.0;
    double v = m_tok.value.d64;
    // Once the value is 0 or infinite further steps cannot change it.
    for (std::int32_t i = 0; i < count && v != 0.0 && !std::isinf(v); ++i)
        v *= factor;
    m_tok.value.d64 = v;
}

inline void reader::error(const char* message) const {
    std::string text = "error at line :";
    const place at = position();
    text += std::to_string(at.line);
    text += " col :";
    text += std::to_string(at.column);
    text += " msg:";
    text += message;
    throw exception(text);
}

} // namespace ajson
