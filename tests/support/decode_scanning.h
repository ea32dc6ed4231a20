// A value read by the codec's plain scanning rules alone, for comparing with
// what decode reads in place: a limit that no text reaches keeps the reader
// from reading anything in place. Returns false with the codec's error text.
#pragma once

#include <string>

#include "json/ajson.h"

namespace testsupport {

template <class T>
bool decode_scanning(const std::string& text, T& out, std::string& err) {
    try {
        ajson::reader rd(text.c_str(), ajson::reader::no_limit - 1);
        rd.next();
        ajson::json_impl<T>::read(rd, out);
        return true;
    } catch (const ajson::exception& e) {
        err = e.what();
        return false;
    }
}

} // namespace testsupport
