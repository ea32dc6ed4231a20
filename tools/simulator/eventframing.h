// How an event stream looks on the wire: server-sent events, each sent as
// one chunk of a chunked HTTP body.
//
//   eventChunk(report);   // "1f4\r\nevent: autoreport\ndata: {...}\n\n\r\n"
#pragma once

#include <string>
#include <string_view>

namespace LCD {
namespace Sim {

// One "autoreport" event as a chunk, written in one piece however large; a
// text with line breaks becomes several data lines, which a client joins
// back with line feeds.
std::string eventChunk(std::string_view data);

// A comment line, which a client ignores: the greeting and the ping.
constexpr std::string_view kStreamOpen = ": open\n\n";
constexpr std::string_view kPing = ": ping\n\n";

// `bytes` framed as one chunk; the chunk that ends the body.
std::string chunk(std::string_view bytes);
constexpr std::string_view kLastChunk = "0\r\n\r\n";

} // namespace Sim
} // namespace LCD
