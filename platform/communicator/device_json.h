// Walks over JSON that the device sent, reading values as they stand in
// the text instead of building a tree. The walks are loops that count
// brackets, so no depth costs stack; and they are tolerant, so a refusal
// that a strict parser would reject (a NUL or bad UTF-8 in its message, a
// code of 1e999) still shows its code. Whether a text is valid JSON is a
// strict parser's question.
//
//   member(R"({"code":1e999,"message":"x"})", "code")    // 1e999
//   masked(R"({"data":{"token":"t0k"}})", "token", "\"***\"")
//   shown("a\x1b[2Jb", 200)                              // a\x1b[2Jb, the ESC as text
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lcdcomm::detail {

// The value of the last member called `name` of the object that `text`
// starts with (blanks aside), as it stands in the text; empty when there
// is none or `text` is not an object. A value cut short by the end of the
// text runs to that end.
std::string_view member(std::string_view text, std::string_view name);

// `text` with the value of every member called `name`, at any depth,
// replaced by `mask`. A value cut short by the end of the text is masked
// too, so a prefix of a reply can be masked on its own.
std::string masked(std::string_view text, std::string_view name, std::string_view mask);

// `text` as a terminal may show it: each byte that is not printable UTF-8
// (a control byte, DEL, a C1 control, a byte of a broken sequence) as
// \xNN, and cut after `limit` bytes with "... (N bytes)".
std::string shown(std::string_view text, std::size_t limit);

} // namespace lcdcomm::detail
