// A plug-in whose one component cannot be made: its creator returns null.
#include "host/pqxplugin.h"

namespace {

const pqx::ComponentInfo component{[]() -> void* { return nullptr; }, [](void*) {},
                                   [](void*) -> pqx::IMessageHandler* { return nullptr; },
                                   "test.component.nullcreator", "{}"};
const pqx::ComponentInfo* const table[] = {&component, nullptr};
const pqx::PluginInfo info{"0.1", table, "nullcreator", "0.0.1", "{}"};

} // namespace

extern "C" __attribute__((visibility("default"))) const pqx::PluginInfo* pluginfo() {
    return &info;
}
extern "C" __attribute__((visibility("default"))) void pluginit(pqx::IApi*) {}
