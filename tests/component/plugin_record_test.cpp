#include <gtest/gtest.h>

#include "component/api.h"
#include "component/layerimagequalitymodel.h"
#include "host/pqxplugin.h"
#include "tests/component/fake_host.h"

extern "C" const pqx::PluginInfo* pluginfo();

namespace {

using Tmpl = pqx::ComponentTmpl<layerimagequality::LayerImageQualityModel>;

// The names are also what the loader test sees through dlopen.
TEST(PluginDescriptor, ListsItsOneComponentWhoseRecordCarriesThreeCallables) {
    const pqx::PluginInfo* info = pluginfo();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info, pluginfo());
    EXPECT_STREQ(info->interfaceVersion, "0.1");
    EXPECT_STREQ(info->version, "0.1.0");
    EXPECT_STREQ(info->attributes, "{\"desc\":\"lcd layer image quality model!\",\"end\":0 }");
    ASSERT_NE(info->componentTable, nullptr);
    EXPECT_EQ(info->componentTable[0], &Tmpl::componentInfo);
    EXPECT_EQ(info->componentTable[1], nullptr);
    const pqx::ComponentInfo& rec = Tmpl::componentInfo;
    EXPECT_STREQ(rec.attributes, "{\"end\":0 }\r\n");
    ASSERT_TRUE(rec.creator && rec.deletor && rec.getMessageHandler);
    int any = 0;
    EXPECT_EQ(rec.getMessageHandler(&any), nullptr);
    rec.deletor(nullptr); // ignored
}

} // namespace
