#include <gtest/gtest.h>

#include "component/api.h"
#include "component/layerimagequalitymodel.h"
#include "tests/component/fake_host.h"

namespace {

using Tmpl = pqx::ComponentTmpl<layerimagequality::LayerImageQualityModel>;

TEST(Construction, FindsTheGlobalHandlerThenRegistersClientRequestAndNotificationInOrder) {
    fake_host::Api host;
    pqx::api::get().iapi = &host;
    void* model = Tmpl::componentInfo.creator();
    ASSERT_NE(model, nullptr);
    const std::vector<std::string> want = {
        "findMessageHandler movra.message.globalmessagehandler layerimagequalitymodelmsg",
        "registerClient layerimagequalitymodelmsg",
        "registerRequestHandler 0xfc050410",
        "registerNotificationHandler 0x0008110d",
    };
    EXPECT_EQ(host.log, want);

    Tmpl::componentInfo.deletor(model);
    EXPECT_EQ(host.log, want) << "destruction must not call the host";
}

TEST(ConstructionDeathTest, StopsWithoutGlobalHandlerOrHostApi) {
    fake_host::Api host;
    host.withHandler = false;
    pqx::api::get().iapi = &host;
    EXPECT_DEATH(Tmpl::componentInfo.creator(),
                 "layerimagequalitymodel\\.cpp:[0-9]+: .*LayerImageQualityModel\\(\\).*"
                 "Assertion `m_msgHandler' failed");
    pqx::api::get().iapi = nullptr;
    EXPECT_DEATH(Tmpl::componentInfo.creator(), "Assertion `m_msgHandler' failed");
}

} // namespace
