// Adaptor through which the host creates and destroys a component of class T
// without knowing the class.
#pragma once

#include <new>

#include "host/pqxplugin.h"

namespace pqx {

template <class T>
struct ComponentTmpl {
    // A new T from non-throwing allocation, or null when memory is exhausted.
    // If T's constructor throws, the storage is released and the exception
    // passes on.
    static void* creator() { return new (std::nothrow) T(); }

    // Destroys an instance made by `creator` through T's virtual destructor;
    // null is ignored.
    static void deletor(void* instance) { delete static_cast<T*>(instance); }

    // This framework's components offer the host no handler of their own.
    static IMessageHandler* getMessageHandler(void*) { return nullptr; }

    // Binds the three functions to the component's name and attributes;
    // defined beside each component.
    static ComponentInfo componentInfo;
};

} // namespace pqx
