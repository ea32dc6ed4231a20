// The shipped binaries as the device's loader sees them: what the plug-in
// exports, its SONAME and link, and the hardening of plug-in and communicator.
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace {

std::string run(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>&1").c_str(), "r"), pclose);
    if (!pipe)
        return {};
    std::string out;
    std::array<char, 4096> buffer;
    for (std::size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0;)
        out.append(buffer.data(), n);
    return out;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Names of the dynamic symbols a file defines (nm's last column).
std::set<std::string> definedSymbols(const std::string& file) {
    std::istringstream lines(run(std::string(LCD_NM) + " -D --defined-only '" + file + "'"));
    std::set<std::string> names;
    for (std::string line; std::getline(lines, line);) {
        const auto blank = line.rfind(' ');
        if (!line.empty())
            names.insert(line.substr(blank == std::string::npos ? 0 : blank + 1));
    }
    return names;
}

TEST(PluginShape, DefinesExactlyPluginfoAndPluginit) {
    EXPECT_EQ(definedSymbols(LCD_PLUGIN_PATH), (std::set<std::string>{"pluginfo", "pluginit"}));
}

TEST(PluginShape, SonameIsTheVersionedNameAndTheLinkPointsAtIt) {
    const std::string dynamic = run(std::string(LCD_READELF) + " -d '" LCD_PLUGIN_PATH "'");
    EXPECT_TRUE(contains(dynamic, "Library soname: [liblayerimagequalitymodel.so.1]")) << dynamic;

    const std::string link = LCD_PLUGIN_LINK;
    ASSERT_EQ(link.substr(link.rfind('/') + 1), "liblayerimagequalitymodel.so");
    struct stat st {};
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    std::array<char, 256> target{};
    ASSERT_GT(readlink(link.c_str(), target.data(), target.size() - 1), 0);
    EXPECT_STREQ(target.data(), "liblayerimagequalitymodel.so.1");
}

class Hardening : public ::testing::TestWithParam<const char*> {};

TEST_P(Hardening, FullRelroNonExecutableStackAndStackProtector) {
    const std::string file = GetParam();
    const std::string readelf = LCD_READELF;
    const std::string segments = run(readelf + " -lW '" + file + "'");
    const std::string dynamic = run(readelf + " -dW '" + file + "'");
    const std::string imports = run(readelf + " --dyn-syms -W '" + file + "'");

    EXPECT_TRUE(contains(segments, "GNU_RELRO")) << segments;
    EXPECT_TRUE(contains(dynamic, "BIND_NOW") || contains(dynamic, "Flags: NOW")) << dynamic;

    // GNU_STACK must be there and its flags RW, not RWE.
    std::istringstream lines(segments);
    bool stackSeen = false;
    for (std::string line; std::getline(lines, line);) {
        if (!contains(line, "GNU_STACK"))
            continue;
        stackSeen = true;
        EXPECT_TRUE(contains(line, " RW ")) << line;
        EXPECT_FALSE(contains(line, "RWE")) << line;
    }
    EXPECT_TRUE(stackSeen) << segments;

    EXPECT_TRUE(contains(imports, "__stack_chk_fail")) << file;
    // The communicator formats into fixed buffers, which the optimiser turns
    // into checked calls when fortification is on. The plug-in gets the same
    // flags, but whether any of its copies has a size known at compile time
    // depends on the target's inlining (none has on arm64), so only the
    // communicator is sure to show it.
    if (LCD_OPTIMISED && file == std::string(LCD_COMMUNICATOR_PATH)) {
        EXPECT_TRUE(contains(imports, "_chk@")) << imports;
    }
}

INSTANTIATE_TEST_SUITE_P(ShippedLibraries, Hardening,
                         ::testing::Values(LCD_PLUGIN_PATH, LCD_COMMUNICATOR_PATH),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.index == 0 ? "Plugin" : "Communicator");
                         });

} // namespace
