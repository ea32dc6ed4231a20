// The plug-in's two exported entry points and its constant descriptor.
#include "component/api.h"
#include "component/layerimagequalitymodel.h"
#include "host/pqxplugin.h"

#define PQX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

const pqx::ComponentInfo* const lcdlayerimagequalitymodel_pqx_componentInfoTable[] = {
    &pqx::ComponentTmpl<layerimagequality::LayerImageQualityModel>::componentInfo,
    nullptr,
};

} // namespace

PQX_EXPORT const pqx::PluginInfo* pluginfo() {
    static const pqx::PluginInfo pinfo = {
        "0.1",
        lcdlayerimagequalitymodel_pqx_componentInfoTable,
        "lcdlayerimagequalitymodel",
        "0.1.0",
        "{\"desc\":\"lcd layer image quality model!\",\"end\":0 }",
    };
    return &pinfo;
}

PQX_EXPORT void pluginit(pqx::IApi* api) {
    pqx::api::get().iapi = api;
}
