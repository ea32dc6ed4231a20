// The layer record's members as lcdhost's options name them, and the
// integers it accepts for them.
#include "platform/framework/lcdhost/layerfields.h"
#include "tests/protocol/layer_list.h"

#include <string>
#include <utility>

#include <gtest/gtest.h>

TEST(LayerFields, IntegersAreWholeDecimal32BitValuesOnly) {
    const std::pair<const char*, bool> cases[] = {
        {"0", true},           {"-10", true},          {"2147483647", true}, {"-2147483648", true},
        {"2147483648", false}, {"-2147483649", false}, {"", false},          {"-", false},
        {"1-2", false},        {" 5", false},          {"5 ", false},        {"+5", false},
        {"0x10", false},       {"1.5", false}};
    for (const auto& [text, ok] : cases) {
        int value = 12345; // left alone unless the whole text is a value
        EXPECT_EQ(lcdhost::parseInt(text, value), ok) << '"' << text << '"';
        EXPECT_EQ(value, ok ? std::stoi(text) : 12345) << '"' << text << '"';
    }
}

TEST(LayerFields, EachNamedMemberIsItsOwnIntegerAndNoOther) {
    const auto& names = lcdhost::fieldNames();
    ASSERT_EQ(names.size(), sizeof(lcdhost::LayerRecord) / sizeof(int));
    for (std::size_t i = 0; i < names.size(); ++i) {
        lcdhost::LayerRecord layer, before; // both the device defaults
        lcdhost::fieldAt(layer, i) = -777;
        // Exactly the i-th of the 25 ints in member order changed.
        const testing_layers::Ints got = testing_layers::ints_of(layer);
        const testing_layers::Ints was = testing_layers::ints_of(before);
        for (std::size_t k = 0; k < names.size(); ++k)
            EXPECT_EQ(got[k], k == i ? -777 : was[k]) << names[i] << " changed member " << k;
    }
}
