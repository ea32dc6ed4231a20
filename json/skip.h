// ajson::skip: passes over the value that begins at the reader's current
// token, leaving the reader on the token after it.
//
//   scalar        -> next()
//   end of input  -> nothing
//   [ ... ]  { ... }  -> the whole value, nested values included
//   any other punctuation -> nothing; the caller judges it
//
// Commas are optional while skipping and doubled commas are empty elements.
// A ':' , '}' or the end where an array element belongs, a key that is not a
// scalar, or a key without ':' raise "invalid json document!".
//
// Depth: nesting is followed without recursion, one bit per open bracket.
// The first 1024 levels live on the stack; deeper input is still skipped
// exactly, its bits move to the heap. Depth is therefore bounded by memory
// alone: a document of a million '[' ends in "invalid json document!" at the
// end of the text, and exhausting memory ends in std::bad_alloc.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "json/reader.h"

namespace ajson {

void skip(reader& rd);

namespace detail {

// Which kind of bracket is open at each level: 1 for an object, 0 for an array.
class nesting_stack {
public:
    bool empty() const noexcept { return m_depth == 0; }

    void push(bool object) {
        const std::size_t word = m_depth / 64;
        const std::uint64_t bit = std::uint64_t(1) << (m_depth % 64);
        std::uint64_t& w = word < inline_words ? m_local[word] : spill(word);
        w = object ? (w | bit) : (w & ~bit);
        ++m_depth;
    }

    void pop() noexcept { --m_depth; }

    bool top_is_object() const noexcept {
        const std::size_t level = m_depth - 1;
        const std::size_t word = level / 64;
        const std::uint64_t w = word < inline_words ? m_local[word] : m_heap[word - inline_words];
        return (w >> (level % 64)) & 1u;
    }

private:
    static constexpr std::size_t inline_words = 16;

    std::uint64_t& spill(std::size_t word) {
        if (m_heap.size() <= word - inline_words)
            m_heap.resize(word - inline_words + 1);
        return m_heap[word - inline_words];
    }

    std::uint64_t m_local[inline_words] = {};
    std::vector<std::uint64_t> m_heap;
    std::size_t m_depth = 0;
};

} // namespace detail

inline void skip(reader& rd) {
    const token& t = rd.current();
    if (t.kind <= token::floating) {
        rd.next();
        return;
    }
    if (t.kind != token::control)
        return;
    char c = *t.text.str;
    if (c != '[' && c != '{')
        return;

    detail::nesting_stack open;
    open.push(c == '{');
    rd.next();
    for (;;) {
        c = *t.text.str;
        if (open.top_is_object()) {
            if (c == '}') {
                rd.next();
                open.pop();
                if (open.empty())
                    return;
            } else {
                if (t.kind > token::floating)
                    rd.error("invalid json document!");
                rd.next();
                if (*t.text.str != ':')
                    rd.error("invalid json document!");
                rd.next();
                if (t.kind <= token::floating) {
                    rd.next();
                } else if (t.kind == token::control) {
                    c = *t.text.str;
                    if (c == '[' || c == '{') {
                        open.push(c == '{');
                        rd.next();
                        continue;
                    }
                    // ',' or '}' here is an empty value; ':' or ']' fails as a key next.
                }
            }
        } else {
            if (c == ']') {
                rd.next();
                open.pop();
                if (open.empty())
                    return;
            } else if (t.kind <= token::floating) {
                rd.next();
            } else if (t.kind == token::control && (c == '[' || c == '{')) {
                open.push(c == '{');
                rd.next();
                continue;
            } else if (t.kind != token::control || c != ',') {
                rd.error("invalid json document!");
            }
        }
        if (*t.text.str == ',')
            rd.next();
    }
}

} // namespace ajson
