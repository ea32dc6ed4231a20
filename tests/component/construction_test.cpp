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

TEST(Construction, EachIdIsBoundToItsOwnHandler) {
    fake_host::Api host;
    pqx::api::get().iapi = &host;
    layerimagequality::LayerImageQualityModel model;
    const auto empty = fake_host::message(0, 0, nullptr);
    fake_host::Warnings warnings;
    EXPECT_EQ(host.handler.handlers.at(0xfc050410u)(&empty), nullptr);
    EXPECT_EQ(host.handler.handlers.at(0x0008110du)(&empty), nullptr);
    ASSERT_EQ(warnings.list().size(), 2u);
    EXPECT_EQ(warnings.list()[0].text, "[layer] msg data is null.");
    EXPECT_EQ(warnings.list()[1].text, "[layer] data does not matches.");
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
