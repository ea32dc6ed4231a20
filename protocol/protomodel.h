// The doors between the model and the JSON codec.
//
//   bool decode<T>(const std::string& text, T& out, std::string& err)
//       Reads one JSON value of type T from text (up to its first NUL).
//       true: out holds what was read, err is untouched.
//       false: err holds the codec's text, e.g.
//       "error at line :0 col :0 msg:read object must start with {!";
//       out keeps whatever was stored before the fault (no rollback).
//       Lists are appended to, not cleared. After the value one more token
//       is scanned and nothing beyond it.
//   void encode<T>(std::string& text, const T& value)
//       Replaces text with the compact JSON of value. std::bad_alloc passes
//       through, and then text keeps its old content.
//
// LCD::ProtoModel::s_nullResponse is the device's generic reply {code, message}.
// The layer records are in protocol/layerimagequality.h, the auto-report
// envelope in protocol/autoreport.h.
#pragma once

#include <exception>
#include <string>

#include "json/ajson.h"

namespace LCD {
namespace ProtoModel {

struct s_nullResponse {
    int code = 0;
    std::string message;
};

template <class T>
bool decode(const std::string& text, T& out, std::string& err) {
    try {
        ajson::reader rd(text.c_str(), ajson::reader::no_limit, text.size());
        rd.next();
        ajson::json_impl<T>::read(rd, out);
        return true;
    } catch (const std::exception& e) {
        // ajson::exception for every codec fault; std::bad_alloc and the like
        // from a growing list or string end the same way.
        err = e.what();
        return false;
    }
}

template <class T>
void encode(std::string& text, const T& value) {
    ajson::ajson_string_stream<> stream(1024);
    ajson::lite_write<ajson::ajson_string_stream<>> writer(stream);
    ajson::json_impl<T>::write(writer, value);
    text.assign(stream.data(), stream.size());
}

} // namespace ProtoModel
} // namespace LCD

AJSON(LCD::ProtoModel::s_nullResponse, code, message)
