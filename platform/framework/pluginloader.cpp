#include "platform/framework/pluginloader.h"

#include <dlfcn.h>

#include <exception>

namespace pqxhost {

namespace {

void fail(std::string* error, const std::string& text) {
    if (error != nullptr)
        *error = text;
}

std::string lastDlError() {
    const char* text = dlerror();
    return text != nullptr ? text : "unknown error";
}

} // namespace

std::unique_ptr<Plugin> Plugin::load(const std::string& path, pqx::IApi& api, std::string* error) {
    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        fail(error, "cannot load plug-in " + path + ": " + lastDlError());
        return nullptr;
    }
    std::unique_ptr<Plugin> plugin(new Plugin(path, handle));

    dlerror();
    auto init = reinterpret_cast<pqx::PluginInitFunction>(dlsym(handle, "pluginit"));
    auto info = reinterpret_cast<pqx::PluginInfoFunction>(dlsym(handle, "pluginfo"));
    if (init == nullptr || info == nullptr) {
        fail(error,
             "plug-in " + path + " does not export " + (init == nullptr ? "pluginit" : "pluginfo"));
        return nullptr;
    }

    init(&api);
    plugin->m_info = info();
    if (plugin->m_info == nullptr || plugin->m_info->componentTable == nullptr) {
        fail(error, "plug-in " + path + " has no component table");
        return nullptr;
    }

    for (const pqx::ComponentInfo* const* entry = plugin->m_info->componentTable; *entry != nullptr;
         ++entry) {
        const pqx::ComponentInfo* component = *entry;
        const std::string name = component->name ? component->name : "(unnamed)";
        if (!component->creator) {
            fail(error, "plug-in " + path + ": component " + name + " has no creator");
            return nullptr;
        }
        void* instance = nullptr;
        // From here on the plug-in's code may be referenced by handlers it
        // registered; if loading fails it stays mapped rather than leave them
        // pointing into unloaded code.
        plugin->m_keepMapped = true;
        try {
            instance = component->creator();
        } catch (const std::exception& e) {
            fail(error, "plug-in " + path + ": creating " + name + " failed: " + e.what());
            return nullptr;
        }
        if (instance == nullptr) {
            fail(error, "plug-in " + path + ": creating " + name + " gave no instance");
            return nullptr;
        }
        plugin->m_components.push_back({component, instance});
    }
    plugin->m_keepMapped = false;
    return plugin;
}

void Plugin::destroyComponents() {
    while (!m_components.empty()) {
        const Component last = m_components.back();
        m_components.pop_back();
        if (last.info->deletor)
            last.info->deletor(last.instance);
    }
}

Plugin::~Plugin() {
    destroyComponents();
    if (m_handle != nullptr && !m_keepMapped)
        dlclose(m_handle);
}

} // namespace pqxhost
