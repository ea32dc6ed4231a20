#include <gtest/gtest.h>

#include "component/api.h"
#include "component/layerimagequalitymodel.h"
#include "protocol/protomodel.h"
#include "tests/component/fake_host.h"
#include "tests/support/fake_communicator.h"
#include "tests/support/qt_messages.h"

namespace {

using fake_host::List;
using Model = layerimagequality::LayerImageQualityModel;

class SetPath : public ::testing::Test {
protected:
    SetPath() {
        fake_comm::reset();
        pqx::api::get().iapi = &host;
        model = std::make_unique<Model>();
        host.log.clear();
    }
    // One set request with the list as payload, answered under reply id 77.
    pqx::IMessage* send(const List& layers) {
        const auto request = fake_host::message(77, sizeof(List), &layers);
        return model->setLayerImageQuality(&request);
    }
    fake_host::Api host;
    std::unique_ptr<Model> model;
    testsupport::QtMessages warnings;
};

TEST_F(SetPath, AnswersThroughTheMessageCenterWithTheReplyIdAndOneFlagByte) {
    struct Row {
        std::string reply;
        char flag;
        bool warns;
    };
    const Row rows[] = {
        {"{\"code\":0,\"message\":\"success\"}", 1, false},
        {"{\"code\":5,\"message\":\"refused\"}", 0, false},
        {"{\"message\":\"no code\"}", 1, false},
        {"", 1, true},
        {"not json", 1, true},
        {"{\"code\":5,\"message\":", 0, true}, // code already stored when the fault comes
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.reply);
        fake_comm::script().reply = row.reply;
        host.log.clear();
        host.center.made.clear();
        const std::size_t before = warnings.list().size();
        const List layers(1);
        pqx::IMessage* answer = send(layers);
        ASSERT_EQ(host.center.made.size(), 1u);
        const pqx::IMessage& m = *host.center.made[0];
        EXPECT_EQ(answer, &m);
        EXPECT_EQ(host.log, (std::vector<std::string>{"findMessageCenter pqx_default_messagecenter",
                                                      "createMessage 0x0000004d"}));
        EXPECT_STREQ(m.getSender(), "layerimagequalitymodelmsg");
        EXPECT_EQ(std::string(static_cast<const char*>(m.getData()), m.getDataSize()),
                  std::string(1, row.flag));
        EXPECT_EQ(m.getFlag(), 0u);
        if (row.warns) {
            LCD::ProtoModel::s_nullResponse r;
            std::string err;
            ASSERT_FALSE(LCD::ProtoModel::decode(row.reply, r, err));
            ASSERT_EQ(warnings.list().size(), before + 1);
            EXPECT_EQ(warnings.list().back().text, "[layer] decode json failed :  " + err);
            EXPECT_NE(warnings.list().back().function.find("setLayerImageQuality"),
                      std::string::npos);
        } else {
            EXPECT_EQ(warnings.list().size(), before);
        }
    }
}

TEST_F(SetPath, WrongPayloadIsRejectedWithoutTouchingTheDevice) {
    const List layers(1);
    struct Row {
        std::uint32_t size;
        const void* data;
    };
    for (const Row& row : {Row{0, &layers}, Row{sizeof(List) - 1, &layers},
                           Row{sizeof(List) + 1, &layers}, Row{sizeof(List), nullptr}}) {
        testsupport::QtMessages one;
        const auto request = fake_host::message(77, row.size, row.data);
        EXPECT_EQ(model->setLayerImageQuality(&request), nullptr);
        ASSERT_EQ(one.list().size(), 1u);
        EXPECT_EQ(one.list()[0].text, "[layer] msg data is null.");
    }
    EXPECT_TRUE(fake_comm::calls().empty());
    EXPECT_TRUE(host.log.empty());
}

using SetPathDeathTest = SetPath;

TEST_F(SetPathDeathTest, StopsWhenThereIsNoMessageCenter) {
    fake_comm::script().reply = "{\"code\":0}";
    host.withCenter = false;
    EXPECT_DEATH(send(List{}), "layerimagequalitymodel\\.cpp:[0-9]+: .*setLayerImageQuality.*"
                               "Assertion `messageCenter' failed");
}

} // namespace
