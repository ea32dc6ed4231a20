// The device's own verdict in a reply, its top-level "code", read as
// strict JSON and kept as the device sent it. The plug-in reads the code by
// the codec's rules, which take "E_FAIL", 0.5 or 4294967296 for 0; the
// tools count a reply as the device's acceptance only when its code is
// exactly the integer 0:
//
//   lcdclient::readReplyCode(R"({"code":0,"message":"success"})").kind;   // zero
//   lcdclient::readReplyCode(R"({"code":"E_FAIL"})").fault();   // "the device's code is
//   \"E_FAIL\", not 0" lcdclient::readReplyCode("<html>").fault();                 // "the device's
//   reply is not JSON"
//
// The reader walks the text once, keeping nothing of it but the code: no
// tree is built however deep the reply nests.
#pragma once

#include <string>
#include <string_view>

namespace lcdclient {

struct ReplyCode {
    enum class Kind {
        zero,    // the integer 0
        other,   // any other value
        twice,   // the reply gives "code" more than once
        none,    // no top-level "code", or the reply is no object
        notJson, // not strict JSON (a NUL byte included)
        empty,   // no bytes at all
    };
    Kind kind = Kind::empty;
    std::string sent; // zero, other: the value as sent, printable and bounded

    // Why such a reply is no acceptance, in a person's words; "" for zero.
    std::string fault() const;

    // What the device said of its verdict: `deviceSaid` (its code and
    // message, quoted), else a code that is not 0 as sent.
    std::string said(std::string deviceSaid) const {
        return deviceSaid.empty() && kind == Kind::other ? "code " + sent : deviceSaid;
    }
};

ReplyCode readReplyCode(std::string_view reply);

} // namespace lcdclient
