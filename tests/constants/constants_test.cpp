// Values that two parts of the tree, or the tree and the device, must agree
// on: the set request's REST vocabulary, the login path, the host's names and
// the three message ids.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "component/layerimagequalitymodel.h"
#include "platform/communicator/login_reply.h"
#include "platform/framework/globalmessagehandler.h"
#include "platform/framework/lcdhost/session.h"
#include "platform/framework/messagecenter.h"
#include "protocol/constants.h"

const char* otherUnitSetPath();

namespace {

namespace C = LCD::Proto::Constants;

TEST(Constants, TextsTheDeviceAndTheHostDependOn) {
    struct Row {
        std::string got, want;
    };
    const Row rows[] = {
        {C::HTTPPUTREQUEST, "PUT"},
        {C::CONTENTTYPE, "application/json"},
        {C::PUTLAYERIMAGEQUALITY, "/movra/v1/layers/image-quality"}, // the simulator's set path
        {otherUnitSetPath(), C::PUTLAYERIMAGEQUALITY},
        {C::POSTLOGIN, lcdcomm::detail::kLoginPath},
        {C::POSTLOGIN, "/movra/v1/system/auth/login"},
        // Names the plug-in looks up; the component test sees it ask for them.
        {pqxhost::GlobalMessageHandler::name, "movra.message.globalmessagehandler"},
        {pqxhost::MessageCenter::name, "pqx_default_messagecenter"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.got, row.want);
}

TEST(Constants, MessageIdsAgreeBetweenThePlugInAndTheHost) {
    struct Row {
        std::uint32_t plugin, host, want;
    };
    const Row rows[] = {
        {layerimagequality::kSetLayerImageQuality, lcdhost::kSetLayerImageQuality, 0xfc050410u},
        {layerimagequality::kAutoReportLayerImageQuality, lcdhost::kAutoReportLayerImageQuality,
         0x0008110du},
        {layerimagequality::kLayerImageQualityChanged, lcdhost::kLayerImageQualityChanged,
         0xfc08040bu},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.plugin, row.want);
        EXPECT_EQ(row.host, row.want);
    }
}

} // namespace
