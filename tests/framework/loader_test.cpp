// The loader against the real plug-in and against files that are not usable
// plug-ins, and the plug-in's whole life repeated in one process.
#include <dlfcn.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "platform/framework/host.h"
#include "platform/framework/pluginloader.h"

namespace {

constexpr std::uint32_t setRequest = 0xfc050410;
constexpr std::uint32_t autoReport = 0x0008110d;

std::string scratchFile(const std::string& name, const std::string& content) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

struct Refusal {
    const char* what;
    std::string path;
    const char* reason;  // a part of the error text besides the file name
};

void PrintTo(const Refusal& c, std::ostream* out) { *out << c.path; }

class PluginLoaderRefuses : public ::testing::TestWithParam<Refusal> {};

TEST_P(PluginLoaderRefuses, WithAnErrorNamingTheFile) {
    const Refusal& c = GetParam();
    pqxhost::Host host(1);
    std::string error;
    auto plugin = pqxhost::Plugin::load(c.path, host, &error);
    EXPECT_EQ(plugin, nullptr);
    EXPECT_NE(error.find(c.path), std::string::npos) << error;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    host.stopDelivery();
    host.global().clear();
}

INSTANTIATE_TEST_SUITE_P(
    Files, PluginLoaderRefuses,
    ::testing::Values(
        Refusal{"missing", ::testing::TempDir() + "no-such-plugin.so", "No such file"},
        Refusal{"notElf", scratchFile("not-a-plugin.so", "this is plain text, not ELF\n"),
                "cannot load plug-in"},
        Refusal{"noEntry", LCD_PLUGIN_WITHOUT_ENTRY, "does not export pluginit"},
        Refusal{"nullCreator", LCD_PLUGIN_NULL_CREATOR,
                "creating test.component.nullcreator gave no instance"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.what); });

TEST(PluginLoader, AcceptsANullErrorPointer) {
    pqxhost::Host host(1);
    EXPECT_EQ(pqxhost::Plugin::load(LCD_PLUGIN_WITHOUT_ENTRY, host, nullptr), nullptr);
}

// Components, handler copies and the library itself are released every time;
// the leak checker of the sanitizer build sees whatever one round keeps.
TEST(PluginLifecycle, LoadCreateDestroyUnloadAHundredTimesEachRoundRegisteringTheSame) {
    for (int round = 0; round < 100; ++round) {
        pqxhost::Host host(2);
        std::string error;
        auto plugin = pqxhost::Plugin::load(LCD_PLUGIN_PATH, host, &error);
        ASSERT_NE(plugin, nullptr) << "round " << round << ": " << error;
        EXPECT_TRUE(error.empty());
        EXPECT_STREQ(plugin->info().name, "lcdlayerimagequalitymodel");
        ASSERT_EQ(plugin->components().size(), 1u);
        EXPECT_STREQ(plugin->components().front().info->name, "movra.lcd.model.layer.imagequality");
        EXPECT_NE(plugin->components().front().instance, nullptr);
        // The component announced itself and registered both handlers with us.
        EXPECT_EQ(host.global().clients(), std::vector<std::string>{"layerimagequalitymodelmsg"});
        ASSERT_TRUE(host.global().requestHandler(setRequest));
        EXPECT_EQ(host.global().notificationHandlers(autoReport).size(), 1u);
        host.stopDelivery();
        plugin->destroyComponents();
        EXPECT_TRUE(plugin->components().empty());
        host.global().clear();
        plugin.reset();
        EXPECT_TRUE(host.global().notificationHandlers(autoReport).empty());
    }
}

} // namespace
