// The records through which a host finds and creates a plug-in's components.
//
// A plug-in exports two C functions:
//   const pqx::PluginInfo* pluginfo();     the constant descriptor
//   void pluginit(pqx::IApi* api);          hands the plug-in the host API
// The descriptor's component table is a null-terminated array of pointers to
// `ComponentInfo`; the host makes instances with `creator` and destroys them
// with `deletor`.
#pragma once

#include <functional>

namespace pqx {

class IApi;
class IMessageHandler;

struct ComponentInfo {
    std::function<void*()> creator;                           // null when it cannot
    std::function<void(void*)> deletor;                       // for instances of creator
    std::function<IMessageHandler*(void*)> getMessageHandler; // or null
    const char* name;                                         // component name
    const char* attributes;                                   // JSON attribute text
};

struct PluginInfo {
    const char* interfaceVersion;
    const ComponentInfo* const* componentTable; // ends with null
    const char* name;
    const char* version;
    const char* attributes;
};

using PluginInfoFunction = const PluginInfo* (*)();
using PluginInitFunction = void (*)(IApi*);

} // namespace pqx
