#include <cstring>

#include <gtest/gtest.h>

#include "component/api.h"
#include "component/layerimagequalitymodel.h"
#include "protocol/autoreport.h"
#include "protocol/protomodel.h"
#include "tests/component/fake_host.h"
#include "tests/support/qt_messages.h"

namespace {

using fake_host::List;
using Model = layerimagequality::LayerImageQualityModel;

std::string report(const std::string& tl, const std::string& body) {
    return "{\"source\":\"lcd\",\"seq\":1,\"sn\":\"SN\"" + tl + ",\"body\":" + body + "}";
}
const std::string kTl0 = ",\"tl\":{\"CommandCode\":1,\"ErrorCode\":0,\"UserDataLength\":2}";

class AutoReport : public ::testing::Test {
protected:
    AutoReport() {
        pqx::api::get().iapi = &host;
        model = std::make_unique<Model>();
        host.log.clear();
    }
    pqx::IMessage* deliver(const std::string& text, std::uint32_t size) {
        const auto m = fake_host::message(0, size, text.c_str());
        return model->changeLayerImageQuality(&m);
    }
    fake_host::Api host;
    std::unique_ptr<Model> model;
};

TEST_F(AutoReport, PostsTheDecodedLayersAsChangeNotification) {
    struct Row {
        std::string text;
        std::size_t count;
    };
    const Row rows[] = {
        {report(kTl0, "\"[]\""), 0},
        {report("", "\"[{\\\"layerId\\\":3,\\\"imageQuality\\\":{\\\"hue\\\":-10}},{"
                    "\\\"layerId\\\":9}]\""),
         2},
    };
    testsupport::QtMessages warnings;
    for (const Row& row : rows) {
        host.handler.posts.clear();
        // Only a non-zero size is asked of the payload; the text runs to its NUL.
        EXPECT_EQ(deliver(row.text, 1), nullptr);
        ASSERT_EQ(host.handler.posts.size(), 1u) << row.text;
        const fake_host::Post& p = host.handler.posts[0];
        EXPECT_EQ(p.id, 0xfc08040bu);
        EXPECT_EQ(p.size, sizeof(List));
        EXPECT_EQ(p.flag, 0u);
        ASSERT_EQ(p.layers.size(), row.count);
    }
    EXPECT_EQ(host.handler.posts[0].layers[1].layerId, 9);
    EXPECT_TRUE(warnings.list().empty());
}

std::string envelopeError(const std::string& text) {
    LCD::AutoReport::LCDAutoReportData d;
    std::string err;
    EXPECT_FALSE(LCD::ProtoModel::decode(text, d, err));
    return err;
}

std::string bodyError(const std::string& body) {
    List l;
    std::string err;
    EXPECT_FALSE(LCD::ProtoModel::decode(body, l, err));
    return err;
}

TEST_F(AutoReport, EveryFailureLogsOneWarningAndPostsNothing) {
    const auto tl = [](const char* code) {
        return std::string(",\"tl\":{\"ErrorCode\":") + code + "}";
    };
    struct Row {
        std::string text;
        std::uint32_t size;
        bool nullData;
        std::string warning;
    };
    const Row rows[] = {
        {"{}", 0, false, "[layer] data does not matches."},
        {"{}", 3, true, "[layer] data does not matches."},
        {"", 1, false, "[layer]  " + envelopeError("")},
        {"not json", 9, false, "[layer]  " + envelopeError("not json")},
        {report(tl("7"), "\"[]\""), 9, false,
         "\"[layer] auto report data error. error code : 7.\""},
        {report(tl("65535"), "\"[]\""), 9, false,
         "\"[layer] auto report data error. error code : 65535.\""},
        {report(kTl0, "\"{\\\"layerId\\\":3}\""), 9, false, bodyError("{\"layerId\":3}")},
        {report(kTl0, "\"[{\\\"layerId\\\":\""), 9, false, bodyError("[{\"layerId\":")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        testsupport::QtMessages warnings;
        const auto m = fake_host::message(0, row.size, row.nullData ? nullptr : row.text.c_str());
        EXPECT_EQ(model->changeLayerImageQuality(&m), nullptr);
        const auto list = warnings.list();
        ASSERT_EQ(list.size(), 1u);
        const testsupport::QtMessage& w = list[0];
        EXPECT_EQ(w.type, QtWarningMsg);
        EXPECT_EQ(w.category, "default");
        EXPECT_NE(w.function.find("changeLayerImageQuality"), std::string::npos);
        EXPECT_EQ(w.text, row.warning);
    }
    EXPECT_TRUE(host.log.empty());
}

} // namespace
