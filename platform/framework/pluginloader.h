// Loading a plug-in and the life of its components.
//
//   std::string error;
//   auto plugin = pqxhost::Plugin::load("lib/liblayerimagequalitymodel.so.1", host, &error);
//   if (!plugin) { std::cerr << error; }   // names the file and what failed
//   ...
//   host.stopDelivery();          // no handler may run past this point
//   plugin->destroyComponents();  // deletor of each component, newest first
//   host.global().clear();        // handler copies hold the plug-in's code
//   plugin.reset();               // dlclose
//
// Loading calls pluginit with the host API, then pluginfo, walks the
// component table to its null entry and creates every component.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/pqx.h"
#include "host/pqxplugin.h"

namespace pqxhost {

class Plugin {
public:
    static std::unique_ptr<Plugin> load(const std::string& path, pqx::IApi& api,
                                        std::string* error);
    ~Plugin(); // destroys any components left, then unloads
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    struct Component {
        const pqx::ComponentInfo* info;
        void* instance;
    };

    const pqx::PluginInfo& info() const { return *m_info; }
    const std::vector<Component>& components() const { return m_components; }
    const std::string& path() const { return m_path; }
    void destroyComponents();

private:
    Plugin(std::string path, void* handle) : m_path(std::move(path)), m_handle(handle) {}

    std::string m_path;
    void* m_handle;
    const pqx::PluginInfo* m_info = nullptr;
    bool m_keepMapped = false;
    std::vector<Component> m_components;
};

} // namespace pqxhost
