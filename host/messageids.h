// The messages that the host's components exchange about layer image
// quality. The plug-in handles the first two and posts the third; a
// requester sends the first and listens to the third.
#pragma once

#include <cstdint>

namespace LCD {
namespace MessageId {

// Set request; payload: the requester's own std::vector of
// LCD::ProtoModel::Layer::s_LayerImageQualityBody, by address, with the
// list object's byte size. Answered with one byte: true when accepted.
constexpr std::uint32_t kSetLayerImageQuality = 0xfc050410u;

// The device's auto-report of changed layers; payload: its JSON text.
constexpr std::uint32_t kAutoReportLayerImageQuality = 0x0008110du;

// Layer image quality changed; payload as for the set request.
constexpr std::uint32_t kLayerImageQualityChanged = 0xfc08040bu;

} // namespace MessageId
} // namespace LCD
