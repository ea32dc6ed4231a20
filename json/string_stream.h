// ajson_string_stream: the writer's output buffer.
//
//   ajson_string_stream<> s(1024);   // one allocation of 1024 bytes
//   s.put('[');  s.append("{}", 2);
//   std::string(s.data(), s.size());
//
// Growth is in whole 1024-byte steps, only as many as the one append needs
// (not geometric): one byte more than a full 1024 gives 2048, a 3000-byte
// block into an empty 1024 gives 3072. After a step the buffer holds the
// whole old buffer at its start. A size that cannot be represented throws
// std::bad_alloc before anything changes. The text carries no terminating
// zero.
//
// With the standard allocator, which cannot extend a block, the buffer is
// a block of the C library, extended where it lies when it can be (realloc;
// a mapped block is remapped, not copied). The block underneath at least
// doubles when it must grow, and the capacity keeps its steps within it: a
// long text costs a few calls into the C library rather than one per step
// (each of which may copy when the block cannot be extended where it lies,
// and above the library's mapping threshold is a system call), and time
// linear in its length.
// Any other allocator gets a new block per step and the old one is copied.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

#include "json/hints.h"

namespace ajson {

// Derives from the allocator so that a stateless one costs no space.
template <class Alloc = std::allocator<char>>
class ajson_string_stream : private Alloc {
    using traits = std::allocator_traits<Alloc>;
    static_assert(std::is_same<typename traits::pointer, char*>::value,
                  "the buffer is a plain char array");
    static constexpr bool c_library = std::is_same<Alloc, std::allocator<char>>::value;

public:
    explicit ajson_string_stream(std::size_t capacity = 1024, const Alloc& alloc = Alloc())
        : Alloc(alloc) {
        if (capacity != 0)
            m_start = block(nullptr, capacity);
        m_wpos = m_start;
        m_end = m_start + capacity;
        m_cap = capacity;
    }
    ~ajson_string_stream() {
        if constexpr (c_library)
            std::free(m_start);
        else if (m_start != nullptr)
            traits::deallocate(allocator(), m_start, static_cast<std::size_t>(m_cap));
    }
    ajson_string_stream(const ajson_string_stream&) = delete;
    ajson_string_stream& operator=(const ajson_string_stream&) = delete;

    void put(char c) {
        if (AJSON_UNLIKELY(m_wpos == m_end))
            grow(1);
        *m_wpos++ = c;
    }

    void append(const char* p, std::size_t n) {
        if (AJSON_UNLIKELY(n > static_cast<std::size_t>(m_end - m_wpos)))
            grow(n);
        if (n != 0)
            std::memcpy(m_wpos, p, n);
        m_wpos += n;
    }

    // Direct writing for callers that have checked free_space() first:
    // write at cursor(), then advance_to() the byte after the last written.
    // Bytes beyond the written text are not part of it.
    std::size_t free_space() const noexcept { return static_cast<std::size_t>(m_end - m_wpos); }
    // Appending up to n bytes at once leaves the buffer as appending them in
    // pieces would: with a capacity of whole steps and n within one step,
    // either way grows at most once, to the next step.
    bool one_step_for(std::size_t n) const noexcept { return n <= 1024 && m_cap % 1024 == 0; }
    char* cursor() noexcept { return m_wpos; }
    void advance_to(char* p) noexcept { m_wpos = p; }

    const char* data() const noexcept { return m_start; }
    std::size_t size() const noexcept { return static_cast<std::size_t>(m_wpos - m_start); }
    std::size_t capacity() const noexcept { return static_cast<std::size_t>(m_cap); }

private:
    Alloc& allocator() noexcept { return *this; }

    AJSON_COLD AJSON_NOINLINE void grow(std::size_t n) {
        const std::size_t used = size();
        constexpr std::size_t max_size = static_cast<std::size_t>(PTRDIFF_MAX);
        if (n > max_size - used || used + n > max_size - 1023)
            throw std::bad_alloc();
        const std::size_t needed = used + n;
        const std::size_t new_cap = (needed + 1023) & ~std::size_t(1023);
        char* const buf = new_cap <= m_block ? m_start : block(m_start, new_cap);
        m_wpos = buf + used;
        m_start = buf;
        m_end = buf + new_cap;
        m_cap = new_cap;
    }

    // A block of at least new_cap bytes that starts with the whole of old
    // (null: none).
    char* block(char* old, std::size_t new_cap) {
        if constexpr (c_library) {
            std::size_t size = new_cap;
            if (m_block <= static_cast<std::size_t>(PTRDIFF_MAX) / 2)
                size = std::max(size, 2 * m_block);
            void* buf = std::realloc(old, size);
            if (buf == nullptr && size != new_cap) // the reserve is a wish, the step is not
                buf = std::realloc(old, size = new_cap);
            if (buf == nullptr)
                throw std::bad_alloc();
            m_block = size;
            return static_cast<char*>(buf);
        } else {
            char* const buf = traits::allocate(allocator(), new_cap);
            if (old != nullptr) {
                std::memcpy(buf, old, static_cast<std::size_t>(m_cap));
                traits::deallocate(allocator(), old, static_cast<std::size_t>(m_cap));
            }
            return buf;
        }
    }

    char* m_start = nullptr;
    char* m_wpos = nullptr;
    char* m_end = nullptr;
    std::uint64_t m_cap = 0;
    std::size_t m_block = 0; // bytes of the C library's block; capacity <= it
};

} // namespace ajson
