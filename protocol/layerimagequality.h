// Layer image-quality records: what a set request carries, what the device
// is sent as JSON, and what an auto-report body decodes to.
//
//   LCD::ProtoModel::s_RGB           R, G, B            (50, 50, 50)
//   LCD::ProtoModel::s_RGBW          R, G, B, W         (50, 50, 50, 100)
//   LCD::ProtoModel::s_QuickAdjust   value              (0)
//   LCD::ProtoModel::Layer::s_ColorTemperature     mode, quickAdjust, advanceAdjust
//   LCD::ProtoModel::Layer::s_ImageQualityBody     imageQualityMode, eyeCare, hue,
//       saturation (50), gamma (220), contrast, brightness, shadow, highLight,
//       colorTemperature
//   LCD::ProtoModel::Layer::s_LayerImageQualityBody  layerId, imageQuality
//   LCD::ProtoModel::Layer::LayerList               a list of them, as messages carry it
//
// Every leaf is an int and every value passes through unchanged; ranges and
// units are the device's. A whole s_LayerImageQualityBody is 25 ints in
// member order. Other components exchange lists of it in memory, so that
// layout is pinned below.
#pragma once

#include <cstddef>
#include <type_traits>
#include <vector>

#include "json/ajson.h"

namespace LCD {
namespace ProtoModel {

struct s_RGB {
    int R = 50;
    int G = 50;
    int B = 50;
};

struct s_RGBW {
    int R = 50;
    int G = 50;
    int B = 50;
    int W = 100;
};

struct s_QuickAdjust {
    int value = 0;
};

namespace Layer {

struct s_ColorTemperature {
    int mode = 0;
    s_QuickAdjust quickAdjust;
    s_RGB advanceAdjust;
};

struct s_ImageQualityBody {
    int imageQualityMode = 0;
    int eyeCare = 0;
    int hue = 0;
    int saturation = 50;
    int gamma = 220;
    s_RGB contrast;
    s_RGB brightness;
    s_RGBW shadow;
    s_RGBW highLight;
    s_ColorTemperature colorTemperature;
};

struct s_LayerImageQualityBody {
    int layerId = 0;
    s_ImageQualityBody imageQuality;
};

// The payload of the set request and of the change notification: the
// sender's list object itself.
using LayerList = std::vector<s_LayerImageQualityBody>;

} // namespace Layer
} // namespace ProtoModel
} // namespace LCD

AJSON(LCD::ProtoModel::s_RGB, R, G, B)
AJSON(LCD::ProtoModel::s_RGBW, R, G, B, W)
AJSON(LCD::ProtoModel::s_QuickAdjust, value)
AJSON(LCD::ProtoModel::Layer::s_ColorTemperature, mode, quickAdjust, advanceAdjust)
AJSON(LCD::ProtoModel::Layer::s_ImageQualityBody, imageQualityMode, eyeCare, hue, saturation, gamma,
      contrast, brightness, shadow, highLight, colorTemperature)
AJSON(LCD::ProtoModel::Layer::s_LayerImageQualityBody, layerId, imageQuality)

namespace LCD {
namespace ProtoModel {
namespace detail {

constexpr std::size_t ints(std::size_t n) {
    return n * sizeof(int);
}

static_assert(sizeof(int) == 4, "the records hold 32-bit integers");

static_assert(sizeof(s_RGB) == ints(3) && offsetof(s_RGB, G) == ints(1) &&
                  offsetof(s_RGB, B) == ints(2),
              "");
static_assert(sizeof(s_RGBW) == ints(4) && offsetof(s_RGBW, G) == ints(1) &&
                  offsetof(s_RGBW, B) == ints(2) && offsetof(s_RGBW, W) == ints(3),
              "");
static_assert(sizeof(s_QuickAdjust) == ints(1), "");

static_assert(sizeof(Layer::s_ColorTemperature) == ints(5), "");
static_assert(offsetof(Layer::s_ColorTemperature, quickAdjust) == ints(1), "");
static_assert(offsetof(Layer::s_ColorTemperature, advanceAdjust) == ints(2), "");

static_assert(sizeof(Layer::s_ImageQualityBody) == ints(24), "");
static_assert(offsetof(Layer::s_ImageQualityBody, eyeCare) == ints(1), "");
static_assert(offsetof(Layer::s_ImageQualityBody, hue) == ints(2), "");
static_assert(offsetof(Layer::s_ImageQualityBody, saturation) == ints(3), "");
static_assert(offsetof(Layer::s_ImageQualityBody, gamma) == ints(4), "");
static_assert(offsetof(Layer::s_ImageQualityBody, contrast) == ints(5), "");
static_assert(offsetof(Layer::s_ImageQualityBody, brightness) == ints(8), "");
static_assert(offsetof(Layer::s_ImageQualityBody, shadow) == ints(11), "");
static_assert(offsetof(Layer::s_ImageQualityBody, highLight) == ints(15), "");
static_assert(offsetof(Layer::s_ImageQualityBody, colorTemperature) == ints(19), "");

static_assert(sizeof(Layer::s_LayerImageQualityBody) == ints(25), "a layer record is 25 ints");
static_assert(offsetof(Layer::s_LayerImageQualityBody, imageQuality) == ints(1), "");

static_assert(std::is_standard_layout<Layer::s_LayerImageQualityBody>::value &&
                  std::is_trivially_copyable<Layer::s_LayerImageQualityBody>::value,
              "a layer record is copied member for member");

} // namespace detail
} // namespace ProtoModel
} // namespace LCD
