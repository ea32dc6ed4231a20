#include "tools/simulator/picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/common/layersettings.h"

namespace LCD {
namespace Sim {

const char* const kPictureRules =
    "  imageQualityMode      0: the settings below apply; 1: the test image as it is (0..1)\n"
    "  eyeCare               blue lowered by this many per cent (0..100; 0 off)\n"
    "  colorTemperature.mode 0: quickAdjust applies; 1: advanceAdjust applies (0..1)\n"
    "    quickAdjust.value   warm (+) or cool (-): red up, blue down by value/2 % (-100..100)\n"
    "    advanceAdjust.R/G/B gain of each channel, 50 is 1.0 (0..100)\n"
    "  hue                   every colour's hue turned by this many degrees (-180..180)\n"
    "  saturation            colour around the pixel's luma: 50 as is, 0 grey, 100 twice (0..100)\n"
    "  contrast.R/G/B        slope around mid grey: 50 as is, 0 flat, 100 twice (0..100)\n"
    "  brightness.R/G/B      offset: 50 as is, each step 1 % of full scale (0..100)\n"
    "  shadow.R/G/B          lifts (above 50) or sinks (below) the dark end of a channel\n"
    "                        (0..100); shadow.W does it for all three, 100 as is (0..200)\n"
    "  highLight.R/G/B/W     the same at the bright end\n"
    "  gamma                 hundredths, 220 (2.2) as is: out = in ^ (gamma / 220) (10..1000)\n"
    "  Steps in this order: eye care, colour temperature, hue, saturation, contrast,\n"
    "  brightness, shadow and highlight, gamma; each result is kept within black..white.\n";

namespace {

constexpr int kBars = 8;
constexpr int kBarWidth = kPictureWidth / kBars;
constexpr int kBarsHeight = 90;
constexpr int kRampHeight = 30;
constexpr int kPatchWidth = 80;

struct Rgb {
    double r, g, b;
};

double unit(double v) {
    return std::clamp(v, 0.0, 1.0);
}

// The same operation on each channel with its own setting.
template <class F>
Rgb perChannel(const Rgb& c, int r, int g, int b, F f) {
    return {unit(f(c.r, r)), unit(f(c.g, g)), unit(f(c.b, b))};
}

Rgb turnHue(const Rgb& c, double degrees) {
    const double max = std::max({c.r, c.g, c.b});
    const double min = std::min({c.r, c.g, c.b});
    const double chroma = max - min;
    if (chroma <= 0.0)
        return c;
    double h = 0.0; // in sixths of a turn
    if (max == c.r)
        h = std::fmod((c.g - c.b) / chroma + 6.0, 6.0);
    else if (max == c.g)
        h = (c.b - c.r) / chroma + 2.0;
    else
        h = (c.r - c.g) / chroma + 4.0;
    h = std::fmod(h + degrees / 60.0 + 12.0, 6.0);
    const double x = chroma * (1.0 - std::fabs(std::fmod(h, 2.0) - 1.0));
    const int sector = static_cast<int>(h) % 6;
    const Rgb sectors[6] = {{chroma, x, 0}, {x, chroma, 0}, {0, chroma, x},
                            {0, x, chroma}, {x, 0, chroma}, {chroma, 0, x}};
    const Rgb& s = sectors[sector];
    return {unit(s.r + min), unit(s.g + min), unit(s.b + min)};
}

double luma(const Rgb& c) {
    return 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b;
}

// The image-quality settings of a stored record as the picture reads them:
// each within its range; one absent or not an integer at its neutral value.
LCD::ProtoModel::Layer::s_ImageQualityBody pictureSettings(const Json& record) {
    lcdtools::LayerRecord read;
    for (const lcdtools::LayerSetting& setting : lcdtools::kLayerSettings) {
        const Json::json_pointer at(lcdtools::settingPointer(setting));
        if (record.contains(at) && record.at(at).is_number_integer())
            setting.of(read) = static_cast<int>(
                std::clamp<long long>(record.at(at).get<long long>(), setting.low, setting.high));
    }
    return read.imageQuality;
}

Rgb apply(const LCD::ProtoModel::Layer::s_ImageQualityBody& q, Rgb c) {
    c.b = unit(c.b * (1.0 - q.eyeCare / 100.0));
    const auto& temperature = q.colorTemperature;
    if (temperature.mode == 1) {
        const auto& gain = temperature.advanceAdjust;
        c = perChannel(c, gain.R, gain.G, gain.B, [](double v, int s) { return v * s / 50.0; });
    } else {
        c.r = unit(c.r * (1.0 + temperature.quickAdjust.value / 200.0));
        c.b = unit(c.b * (1.0 - temperature.quickAdjust.value / 200.0));
    }
    c = turnHue(c, q.hue);
    const double y = luma(c);
    c = perChannel(c, q.saturation, q.saturation, q.saturation,
                   [y](double v, int s) { return y + (v - y) * s / 50.0; });
    c = perChannel(c, q.contrast.R, q.contrast.G, q.contrast.B,
                   [](double v, int s) { return 0.5 + (v - 0.5) * s / 50.0; });
    c = perChannel(c, q.brightness.R, q.brightness.G, q.brightness.B,
                   [](double v, int s) { return v + (s - 50) / 100.0; });
    const int w = q.shadow.W - 100;
    c = perChannel(c, q.shadow.R + w, q.shadow.G + w, q.shadow.B + w,
                   [](double v, int s) { return v + (s - 50) / 100.0 * (1.0 - v) * (1.0 - v); });
    const int hw = q.highLight.W - 100;
    c = perChannel(c, q.highLight.R + hw, q.highLight.G + hw, q.highLight.B + hw,
                   [](double v, int s) { return v + (s - 50) / 100.0 * v * v; });
    const double exponent = q.gamma / 220.0;
    return perChannel(c, 0, 0, 0, [exponent](double v, int) { return std::pow(v, exponent); });
}

QRgb toPixel(const Rgb& c) {
    const auto byte = [](double v) { return static_cast<int>(std::lround(unit(v) * 255.0)); };
    return qRgb(byte(c.r), byte(c.g), byte(c.b));
}

} // namespace

QRect pictureRect(PicturePart part) {
    const int p = static_cast<int>(part);
    if (p < kBars)
        return QRect(p * kBarWidth, 0, kBarWidth, kBarsHeight);
    const int below = kBarsHeight + kRampHeight;
    switch (part) {
    case PicturePart::GreyRamp: return QRect(0, kBarsHeight, kPictureWidth, kRampHeight);
    case PicturePart::SkinPatch: return QRect(0, below, kPatchWidth, kPictureHeight - below);
    default: return QRect(kPatchWidth, below, kPictureWidth - kPatchWidth, kPictureHeight - below);
    }
}

QImage testImage() {
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    // White, yellow, cyan, green, magenta, red, blue, black: full-scale bars.
    const QRgb bars[kBars] = {qRgb(255, 255, 255), qRgb(255, 255, 0), qRgb(0, 255, 255),
                              qRgb(0, 255, 0),     qRgb(255, 0, 255), qRgb(255, 0, 0),
                              qRgb(0, 0, 255),     qRgb(0, 0, 0)};
    for (int b = 0; b < kBars; ++b) {
        const QRect r = pictureRect(static_cast<PicturePart>(b));
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                image.setPixel(x, y, bars[b]);
    }
    const QRect ramp = pictureRect(PicturePart::GreyRamp);
    for (int y = ramp.top(); y <= ramp.bottom(); ++y)
        for (int x = 0; x < kPictureWidth; ++x) {
            const int v = x * 255 / (kPictureWidth - 1);
            image.setPixel(x, y, qRgb(v, v, v));
        }
    const QRect skin = pictureRect(PicturePart::SkinPatch);
    for (int y = skin.top(); y <= skin.bottom(); ++y)
        for (int x = skin.left(); x <= skin.right(); ++x)
            image.setPixel(x, y, qRgb(224, 172, 140));
    // Every hue from left to right, from full colour at the top to white.
    const QRect grad = pictureRect(PicturePart::Gradient);
    for (int y = grad.top(); y <= grad.bottom(); ++y)
        for (int x = grad.left(); x <= grad.right(); ++x) {
            const double h = 360.0 * (x - grad.left()) / grad.width();
            const double paleness = static_cast<double>(y - grad.top()) / grad.height();
            const Rgb pure = turnHue({1.0, 0.0, 0.0}, h);
            image.setPixel(
                x, y,
                toPixel({pure.r + (1 - pure.r) * paleness, pure.g + (1 - pure.g) * paleness,
                         pure.b + (1 - pure.b) * paleness}));
        }
    return image;
}

QImage renderLayer(const Json& record) {
    QImage image = testImage();
    const auto settings = pictureSettings(record);
    if (settings.imageQualityMode == 1)
        return image;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            line[x] =
                toPixel(apply(settings, {qRed(p) / 255.0, qGreen(p) / 255.0, qBlue(p) / 255.0}));
        }
    }
    return image;
}

std::string pngOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace Sim
} // namespace LCD
