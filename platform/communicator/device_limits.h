// How much of each thing the device sends is taken, at most. Each cap is
// enforced as the bytes arrive, so a device that sends more (broken
// firmware, a misconfigured proxy, an attacker on the network) costs no
// more memory than the cap, and the failure names the cap it passed. Each
// lies far above what a device sends, and together they keep a tool that
// holds one of everything at once well under 200 MB.
//
// The communicator and the auto-report stream enforce them; the tools say
// them in their help with summary():
//
//   a reply 16 MiB, a header line 8 KiB and all of a reply's headers 64 KiB,
//   the login token 4 KiB, an auto-report event or event-stream line 1 MiB
#pragma once

#include <cstddef>
#include <string>

namespace lcdcomm::limits {

// One reply's body. The largest a device sends is the layer list of GET
// /movra/v1/layers/list-detail, some 350 bytes a layer: 16 MiB is over
// 40,000 layers. A longer reply fails as "the reply is more than the
// 16777216 bytes allowed".
constexpr std::size_t kReplyBytes = std::size_t(16) << 20;

// One header line of a reply, and all the header lines of one exchange
// together, interim 1xx heads included, so that a flood of those ends too.
// A device's head is a few hundred bytes.
constexpr std::size_t kHeaderLineBytes = std::size_t(8) << 10;
constexpr std::size_t kHeadBytes = std::size_t(64) << 10;

// The login token. It goes into the Authorization header of every request,
// where common servers allow a line of 8 KiB.
constexpr std::size_t kTokenBytes = std::size_t(4) << 10;

// One event's data on the auto-report stream, and one line of the stream
// (a data line may hold a whole event). A report holds the layers that one
// set changed, some 450 bytes a layer: 1 MiB is over 2,000 layers. The
// plug-in turns a report into layer records, and "{}," is 3 bytes of text
// for a record of about a hundred: 1 MiB of report is at most some 36 MB
// of records (4 MiB took the plug-in and its host past 230 MB). A stream
// that passes either cap is ended and opened again.
constexpr std::size_t kEventBytes = std::size_t(1) << 20;
constexpr std::size_t kEventLineBytes = kEventBytes;

// Of a reply, what the observer of exchanges is shown, with the reply's
// whole size: any refusal's code and message fit, and a large reply is not
// held twice.
constexpr std::size_t kShownReplyBytes = std::size_t(64) << 10;

// Of a value the device sent, what is quoted to a person.
constexpr std::size_t kQuotedBytes = 200;

// The caps the device is held to, in a person's words.
inline std::string summary() {
    const auto size = [](std::size_t bytes) {
        return bytes % (1 << 20) == 0 ? std::to_string(bytes >> 20) + " MiB"
                                      : std::to_string(bytes >> 10) + " KiB";
    };
    return "a reply " + size(kReplyBytes) + ", a header line " + size(kHeaderLineBytes) +
           " and all of a reply's headers " + size(kHeadBytes) + ", the login token " +
           size(kTokenBytes) + ", an auto-report event or event-stream line " + size(kEventBytes);
}

} // namespace lcdcomm::limits
