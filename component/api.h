// The plug-in's process-wide holder of the host API object.
#pragma once

#include "host/pqx.h"

namespace pqx {

// Created on first use under thread-safe one-time initialisation and
// zero-filled. `pluginit` stores the host API in `iapi`; a null `iapi` means
// there is no host API and every service looked up through it is absent.
// The other two members belong to the framework; the plug-in leaves them null.
struct api {
    IApi* iapi;
    void* reserved1;
    void* reserved2;

    static api& get() {
        static api _api{};
        return _api;
    }
};

} // namespace pqx
