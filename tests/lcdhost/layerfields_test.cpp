#include "platform/framework/lcdhost/layerfields.h"

#include <gtest/gtest.h>

namespace {

using lcdhost::LayerRecord;

TEST(LayerFields, IntegersAreWholeDecimal32BitValuesOnly) {
    struct Case {
        const char* text;
        bool ok;
        int value;
    };
    const Case cases[] = {
        {"0", true, 0},           {"-10", true, -10},       {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},             {"2147483648", false, 0},
        {"-2147483649", false, 0}, {"", false, 0},           {"-", false, 0},
        {"1-2", false, 0},        {" 5", false, 0},          {"5 ", false, 0},
        {"+5", false, 0},         {"0x10", false, 0},        {"1.5", false, 0},
    };
    for (const Case& c : cases) {
        int value = 12345;
        EXPECT_EQ(lcdhost::parseInt(c.text, value), c.ok) << '"' << c.text << '"';
        EXPECT_EQ(value, c.ok ? c.value : 12345) << '"' << c.text << '"';
    }
}

TEST(LayerFields, EveryNamedMemberSetsItsOwnIntegerAndNoOther) {
    const auto& names = lcdhost::fieldNames();
    ASSERT_EQ(names.size(), sizeof(LayerRecord) / sizeof(int));
    for (std::size_t i = 0; i < names.size(); ++i) {
        LayerRecord layer;
        const LayerRecord before = layer;
        std::string error;
        ASSERT_TRUE(lcdhost::setField(layer, names[i], "-777", &error)) << names[i] << ": " << error;
        // The record is 25 ints in member order: exactly the i-th one changed.
        const int* now = &layer.layerId;
        const int* was = &before.layerId;
        for (std::size_t k = 0; k < names.size(); ++k)
            EXPECT_EQ(now[k], k == i ? -777 : was[k]) << names[i] << " changed member " << k;
    }
}

TEST(LayerFields, UnknownNamesAndBadValuesLeaveTheRecordAndSayWhy) {
    LayerRecord layer;
    std::string error;
    EXPECT_FALSE(lcdhost::setField(layer, "contrast.W", "1", &error));
    EXPECT_EQ(error, "unknown member \"contrast.W\" (see lcdhost --help)");
    EXPECT_FALSE(lcdhost::setField(layer, "imageQuality.hue", "1", &error));
    EXPECT_FALSE(lcdhost::setField(layer, "hue", "ten", &error));
    EXPECT_EQ(error, "--hue: \"ten\" is not a 32-bit integer");
    EXPECT_EQ(layer.imageQuality.hue, 0);
}

TEST(LayerFields, SummaryNamesOnlyWhatDiffersFromTheDeviceDefaults) {
    LayerRecord layer;
    layer.layerId = 3;
    EXPECT_EQ(lcdhost::summary(layer), "layer 3: defaults");
    layer.imageQuality.hue = -10;
    layer.imageQuality.shadow.W = 99;
    layer.imageQuality.colorTemperature.quickAdjust.value = 4;
    EXPECT_EQ(lcdhost::summary(layer),
              "layer 3: hue -10, shadow.W 99, colorTemperature.quickAdjust.value 4");
}

} // namespace
