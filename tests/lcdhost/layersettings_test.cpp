// The numbers a person gives the tools, and the table of a layer's settings
// by which they name the record's members.
#include "tests/support/layer_records.h"
#include "tools/common/layersettings.h"
#include "tools/common/wholenumber.h"

#include <climits>
#include <string>
#include <utility>

#include <gtest/gtest.h>

TEST(WholeNumbers, AreOptionalMinusAndDigitsWithinTheirBoundsOnly) {
    const std::pair<const char*, bool> cases[] = {
        {"0", true},           {"-10", true},
        {"2147483647", true},  {"-2147483648", true},
        {"2147483648", false}, {"-2147483649", false},
        {"", false},           {"-", false},
        {"1-2", false},        {" 5", false},
        {"5 ", false},         {"+5", false},
        {"0x10", false},       {"1.5", false},
        {"--5", false},        {"99999999999999999999", false}};
    for (const auto& [text, ok] : cases) {
        long long value = 12345; // left alone unless the whole text is a value
        EXPECT_EQ(lcdtools::parseWhole(text, INT_MIN, INT_MAX, value), ok) << '"' << text << '"';
        EXPECT_EQ(value, ok ? std::stoll(text) : 12345) << '"' << text << '"';
    }
}

TEST(LayerSettings, EachRowIsTheNextMemberOfTheRecordAfterTheLayerId) {
    for (std::size_t i = 0; i < std::size(lcdtools::kLayerSettings); ++i) {
        lcdtools::LayerRecord layer, before; // both the record's defaults
        lcdtools::kLayerSettings[i].of(layer) = -777;
        const layer_records::Ints got = layer_records::ints_of(layer);
        const layer_records::Ints was = layer_records::ints_of(before);
        for (std::size_t k = 0; k < got.size(); ++k)
            EXPECT_EQ(got[k], k == i + 1 ? -777 : was[k])
                << lcdtools::kLayerSettings[i].name << " changed member " << k;
    }
}
