// Reading one value from a text and writing one to compact text, as the
// json tests do it: errors come back as their message texts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/test_support.h"
#include "json/ajson.h"

namespace jsontest {

// Reads one T from `input`; returns "" or the error text. `after` receives the
// text of the token left current.
template <class T>
std::string read_into(const std::string& input, T& out, std::string* after = nullptr,
                      std::uint64_t limit = ajson::reader::no_limit) {
    try {
        ajson::reader rd(input.c_str(), limit);
        rd.next();
        ajson::json_impl<T>::read(rd, out);
        if (after != nullptr)
            after->assign(rd.current().text.str, rd.current().text.len);
    } catch (const ajson::exception& e) {
        return e.what();
    }
    return "";
}

// The compact JSON text of v.
template <class T>
std::string json_of(const T& v) {
    ajson::ajson_string_stream<> s(1024);
    ajson::lite_write<ajson::ajson_string_stream<>> w(s);
    ajson::json_impl<T>::write(w, v);
    return std::string(s.data(), s.size());
}

} // namespace jsontest
