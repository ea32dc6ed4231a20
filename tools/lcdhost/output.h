// What lcdhost prints: results on standard output, as text lines, as JSON
// (--json) or not at all (-q), each flushed as it is printed (whether it
// was written is asked of lcdtools::standardoutput); errors and notes on
// standard error.
//
//   lcdhost::Output out;                      // out.quiet, out.json, out.verbose from the options
//   out.say("set layer 1: hue -10");          // a text result
//   out.sayJson([&](std::ostream& o) { o << "{\"answer\":" << jsonText(word) << "}"; });
//   out.error("the device has no layer 7");   // "lcdhost: the device has no layer 7", always
//   out.note("device: http://...");           // on stderr with -v only
#pragma once

#include <nlohmann/json.hpp>

#include <chrono>
#include <functional>
#include <ostream>
#include <string>

#include "tools/client/layerlist.h"

namespace lcdhost {

using Json = nlohmann::ordered_json;
using Clock = std::chrono::system_clock;

struct Output {
    bool quiet = false;
    bool json = false;
    bool verbose = false;

    void say(const std::string& line) const;
    // A JSON result (--json only), written by `write` as it goes: a long
    // list of layers is never held whole.
    void sayJson(const std::function<void(std::ostream&)>& write) const;
    void error(const std::string& line) const;
    void note(const std::string& line) const;
};

// `value` as compact JSON text, bytes that are not UTF-8 replaced.
std::string jsonText(const Json& value);

// "layer 3: hue -10; layer 4: gamma 200", or "no layers".
std::string describe(const lcdclient::LayerList& layers);

// "2024-05-01 14:03:07.250 +0200" in local time, or "2024-05-01T12:03:07.250Z".
std::string timestamp(Clock::time_point when, bool utc);

} // namespace lcdhost
