// What the simulated device shows on a layer: a fixed test image of its own
// with the layer's image-quality settings applied, served as PNG.
//
//   QImage shown = renderLayer(record);   // a stored layer record
//   std::string png = pngOf(shown);
//
// The meaning given to each number is the simulator's own (kPictureRules
// says it in words, for --help and the README); the plug-in gives none.
#pragma once

#include <QImage>
#include <QRect>

#include <string>

#include "tools/simulator/layerrecords.h"

namespace LCD {
namespace Sim {

constexpr int kPictureWidth = 320;
constexpr int kPictureHeight = 180;

// The parts of the test image, for those who look at one of them.
enum class PicturePart {
    WhiteBar,
    YellowBar,
    CyanBar,
    GreenBar,
    MagentaBar,
    RedBar,
    BlueBar,
    BlackBar,
    GreyRamp,
    SkinPatch,
    Gradient
};
QRect pictureRect(PicturePart part);

// The test image as it is, before any setting.
QImage testImage();

// The test image with the settings of `record` (a layer record as the
// device stores it) applied. Members that are absent take their neutral
// value; values outside a setting's range count as its nearest end.
QImage renderLayer(const Json& record);

// The image as PNG bytes.
std::string pngOf(const QImage& image);

// One line per setting: what the simulator does with it and its range.
extern const char* const kPictureRules;

} // namespace Sim
} // namespace LCD
