#include "tools/client/installpaths.h"

#include <climits>
#include <unistd.h>

namespace lcdclient {
namespace {

// The directory of the running program; "." when it cannot be read.
std::string programDir() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    std::string dir(path, static_cast<std::size_t>(n));
    const auto slash = dir.rfind('/');
    return slash == std::string::npos ? "." : dir.substr(0, slash);
}

} // namespace

std::string defaultPluginPath() {
    const std::string dir = programDir();
    const std::string built = dir + "/" LCDHOST_BUILD_PLUGIN_DIR "/" LCDHOST_PLUGIN_FILE;
    if (::access(built.c_str(), F_OK) == 0)
        return built;
    const std::string installed = LCDHOST_INSTALLED_PLUGIN_DIR "/" LCDHOST_PLUGIN_FILE;
    return installed.front() == '/' ? installed : dir + "/" + installed;
}

std::string defaultSimulatorPath() {
    return programDir() + "/lcd-device-sim";
}

} // namespace lcdclient
