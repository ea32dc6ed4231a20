// The device's REST vocabulary: HTTP method names, the body content type, the
// base path with three path pieces, and one constant per endpoint path.
//
// Every constant is a constexpr pointer to a string literal at namespace
// scope, so it is constant-initialised and has internal linkage: each unit
// that includes this header has its own copy of the pointers. Paths are
// complete and used as written; nothing joins the base and piece constants.
// A leading PUT, GET or POST in a name only hints at the endpoint's use.
#pragma once

namespace LCD {
namespace Proto {
namespace Constants {

// HTTP methods, body content type, base path and path pieces.
constexpr const char* HTTPGETREQUEST = "GET";
constexpr const char* HTTPPOSTREQUEST = "POST";
constexpr const char* HTTPPUTREQUEST = "PUT";
constexpr const char* HTTPDELETEREQUEST = "DELETE";
constexpr const char* CONTENTTYPE = "application/json";
constexpr const char* MOVRAPROTOBASEURL = "/movra/v1";
constexpr const char* MOVRAPROTOINTERFACE = "interface";
constexpr const char* MOVRAPROTONODE = "node";
constexpr const char* MOVRAPROTOSYSTEM = "system";

// Layers.
constexpr const char* MOVRAPROTOPUTLAYERSDELETE = "/movra/v1/layers";
constexpr const char* PUTLAYERBORDER = "/movra/v1/layers/border";
constexpr const char* MOVRAPROTOPUTLAYERSCREATE = "/movra/v1/layers/create";
constexpr const char* MOVRAPROTOPUTLAYERCROP = "/movra/v1/layers/crop";
constexpr const char* PUTLAYERSCUTOUT = "/movra/v1/layers/cutout";
constexpr const char* PUTLAYERSCUTOUTCURSOR = "/movra/v1/layers/cutout/color";
constexpr const char* PUTLAYERGENERAL = "/movra/v1/layers/general";
constexpr const char* PUTLAYERIMAGEQUALITY = "/movra/v1/layers/image-quality";
constexpr const char* MOVRAPROTOGETLAYERSLISTDETAIL = "/movra/v1/layers/list-detail";
constexpr const char* LAYERSLISTTHUMB = "/movra/v1/layers/list-thumb";
constexpr const char* PUTLAYERSLOCK = "/movra/v1/layers/lock";
constexpr const char* PUTLAYERMASK = "/movra/v1/layers/mask";
constexpr const char* PUTLAYEROPACITY = "/movra/v1/layers/opacity";
constexpr const char* MOVRAPROTOPUTLAYERSSOURCE = "/movra/v1/layers/source";
constexpr const char* MOVRAPROTOPUTLAYERSWITCH = "/movra/v1/layers/switch";
constexpr const char* GETLAYERTEMPLATELIST = "/movra/v1/layers/template";
constexpr const char* GETLAYERTSELECTEMPLATE = "/movra/v1/layers/template/select";
constexpr const char* PUTLAYERSELECTTEMPLATE = "/movra/v1/layers/template/select";
constexpr const char* PUTLAYERSLAYOUT = "/movra/v1/layers/window";
constexpr const char* PUTLAYERZORDER = "/movra/v1/layers/zorder";

// Screens.
constexpr const char* PUTSCREENCOLORDEPTH = "/movra/v1/screen/color-depth";
constexpr const char* PUTSCREENCOLORDYNAMICRANGE = "/movra/v1/screen/color-dynamic-range";
constexpr const char* PUTSCREENCOLORGAMUT = "/movra/v1/screen/color-gamut";
constexpr const char* PUTSCREENCOLORSPACE = "/movra/v1/screen/color-space";
constexpr const char* PUTSCREENMOSAIC = "/movra/v1/screen/crop-mosaic";
constexpr const char* SCREENCUT = "/movra/v1/screen/cut";
constexpr const char* PUTGENLOCK = "/movra/v1/screen/genlock";
constexpr const char* SWITCHMODE = "/movra/v1/screen/global/swap";
constexpr const char* SWITCHEFFECT = "/movra/v1/screen/global/switch-effect";
constexpr const char* PUTSCREENHDCP = "/movra/v1/screen/hdcp";
constexpr const char* PUTSCREENHDR = "/movra/v1/screen/hdr";
constexpr const char* PUTSCREENIMAGEQUALITY = "/movra/v1/screen/image-quality";
constexpr const char* GETSCREENLISTDETAIL = "/movra/v1/screen/list-detail";
constexpr const char* MOVRAPROTOGETSCREENDETAIL = "/movra/v1/screen/list-detail";
constexpr const char* GETSCREENLISTTHUMB = "/movra/v1/screen/list-thumb";
constexpr const char* SCREENPGMEDIT = "/movra/v1/screen/pgm-edit";
constexpr const char* SCREENHDRRESET = "/movra/v1/screen/reset/hdr";
constexpr const char* SCREENSELECT = "/movra/v1/screen/select";
constexpr const char* SELECTSCREENCUT = "/movra/v1/screen/selected/cut";
constexpr const char* SCREENFREEZE = "/movra/v1/screen/selected/freeze";
constexpr const char* SCREENFTB = "/movra/v1/screen/selected/ftb";
constexpr const char* SELECTSCREENTAKE = "/movra/v1/screen/selected/take";
constexpr const char* SELECTSCREENTBAR = "/movra/v1/screen/selected/tbar";
constexpr const char* SCREENTAKE = "/movra/v1/screen/take";
constexpr const char* SCREENTESTPATTERN = "/movra/v1/screen/test-pattern";
constexpr const char* MOVRAPROTOPUTSCREENTHUMBTIMING = "/movra/v1/screen/thumb-timing";
constexpr const char* MOVRAPROTOPUTSCREENREFTIMING = "/movra/v1/screen/timing";

// Input interfaces.
constexpr const char* MOVRAPROTOPUTCOLORDEPTH = "/movra/v1/interface/color-depth";
constexpr const char* PUTCOLORDEPTH = "/movra/v1/interface/color-depth";
constexpr const char* INTERFACECOLORDYNAMICRANGE = "/movra/v1/interface/color-dynamic-range";
constexpr const char* INTERFACECOLORGAMUT = "/movra/v1/interface/color-gamut";
constexpr const char* PUTCOLORRANGE = "/movra/v1/interface/color-range";
constexpr const char* MOVRAPROTOPUTCOLORSPACE = "/movra/v1/interface/color-space";
constexpr const char* PUTINTERFACECOLORSPACE = "/movra/v1/interface/color-space";
constexpr const char* PUTEDIDFILE = "/movra/v1/interface/edid-file";
constexpr const char* GETEDIDFILE = "/movra/v1/interface/edid-file";
constexpr const char* MOVRAPROTOPUTHDCP = "/movra/v1/interface/hdcp";
constexpr const char* PUTHDCP = "/movra/v1/interface/hdcp";
constexpr const char* INTERFACEHDR = "/movra/v1/interface/hdr";
constexpr const char* MOVRAPROTOPUTIMAGEQUALITY = "/movra/v1/interface/image-quality";
constexpr const char* PUTIMAGEQUALITY = "/movra/v1/interface/image-quality";
constexpr const char* MOVRAPROTOGETINTERFACELISTDETAIL = "/movra/v1/interface/list-detail";
constexpr const char* GETINTERFACELISTDETAIL = "/movra/v1/interface/list-detail";
constexpr const char* MOVRAPROTOGETINTERFACELISTTHUMB = "/movra/v1/interface/list-thumb";
constexpr const char* GETINTERFACELISTTHUMB = "/movra/v1/interface/list-thumb";
constexpr const char* MOVRAPROTOPUTINPUTTHUMBTIMING = "/movra/v1/interface/preset-thumb-timing";
constexpr const char* MOVRAPROTOPUTINPUTPRESETTIMING = "/movra/v1/interface/preset-timing";
constexpr const char* INTERFACEHDRRESET = "/movra/v1/interface/reset/hdr";
constexpr const char* THUMBTIMINGCHECK = "/movra/v1/interface/thumbtiming-check";
constexpr const char* DETAILTIMINGCHECK = "/movra/v1/interface/timing-check";

// Node.
constexpr const char* DEVICEFACTORY = "/movra/v1/node/automation/production";
constexpr const char* DEVICEBACKUP = "/movra/v1/node/backup";
constexpr const char* DEVICEBACKUPDETAIL = "/movra/v1/node/backup/detail";
constexpr const char* NODECOMPRESSLOG = "/movra/v1/node/compresslog";
constexpr const char* GETNODEDETAIL = "/movra/v1/node/detail";
constexpr const char* MOVRAPROTOCOMMUNICATION = "/movra/v1/node/ethernet";
constexpr const char* GETNODEEXTGENLOCK = "/movra/v1/node/ext-genlock";
constexpr const char* FIRMWAREVERSION = "/movra/v1/node/firmware/version";
constexpr const char* GETNODELIST = "/movra/v1/node/list";
constexpr const char* PUTNODEWORKMODE = "/movra/v1/node/mode";
constexpr const char* GETNODENETWORKPORTLINK = "/movra/v1/node/networkport-link";
constexpr const char* PUTNODEPOWEROFF = "/movra/v1/node/power";
constexpr const char* NODEPOWERONSTATE = "/movra/v1/node/power-state";
constexpr const char* NODESELFCHECK = "/movra/v1/node/selfcheck";
constexpr const char* NODESELFCHECKPROGRESS = "/movra/v1/node/selfcheck-progress";
constexpr const char* GETSTATEINFO = "/movra/v1/node/state-info";
constexpr const char* GETNODESTATUS = "/movra/v1/node/status";
constexpr const char* NODESUBCARDMODELIST = "/movra/v1/node/subcard/mode";
constexpr const char* GETNODESUBCARDLIST = "/movra/v1/node/subcards";
constexpr const char* UPGRADEPROGRESS = "/movra/v1/node/upgrade/progress";
constexpr const char* MOVRAPROTOPUTUPGRADEFILE = "/movra/v1/node/upgrade/upload";
constexpr const char* GETNODEVERSION = "/movra/v1/node/version-number";

// System.
constexpr const char* POSTLOGIN = "/movra/v1/system/auth/login";
constexpr const char* MOVRAPROTOPUTASSESSLAYERCUTOUT =
    "/movra/v1/system/auxiliary/assess/layers-cutout";
constexpr const char* MOVRAPROTOPUTASSESSLAYERSOURCE =
    "/movra/v1/system/auxiliary/assess/layers-source";
constexpr const char* MOVRAPROTOPUTASSESSLAYERSWITCH =
    "/movra/v1/system/auxiliary/assess/layers-switch";
constexpr const char* LAYERWINDOWASSESS = "/movra/v1/system/auxiliary/assess/layers-window";
constexpr const char* SCREENCROPMOSICASSESS =
    "/movra/v1/system/auxiliary/assess/screen-crop-mosaic";
constexpr const char* ASSESSSCREENTIMINGASSESS =
    "/movra/v1/system/auxiliary/assess/screen-thumb-timing";
constexpr const char* SWITCHCAPACITYASSESS = "/movra/v1/system/auxiliary/assess/switch-capacity";
constexpr const char* DYNAMICRANGCONVERSION = "/movra/v1/system/ctrl/dynamic-rang-conversion";
constexpr const char* GETDYNAMICRANGECONVERSION = "/movra/v1/system/ctrl/dynamic-rang-conversion";
constexpr const char* SOURCEBACKUP = "/movra/v1/system/ctrl/source-backup";
constexpr const char* MOVRAPROTOGETSYSTEMDETAIL = "/movra/v1/system/detail";
constexpr const char* RESTOREFACTORY = "/movra/v1/system/restore-factory";

// Presets.
constexpr const char* PRESETDELETE = "/movra/v1/preset";
constexpr const char* PRESETCREATE = "/movra/v1/preset/create-assign";
constexpr const char* PRESETLISTDETAIL = "/movra/v1/preset/list-detail";
constexpr const char* PRESETAPPLY = "/movra/v1/preset/play";
constexpr const char* CURPRESETINFO = "/movra/v1/preset/play-id";

// Pictures.
constexpr const char* PICTUREDELETEFILE = "/movra/v1/picture";
constexpr const char* PICTURECAPTURE = "/movra/v1/picture/capture";
constexpr const char* PICTURESAVEAS = "/movra/v1/picture/capture/save";
constexpr const char* PICTUREEXPORTFILE = "/movra/v1/picture/export";
constexpr const char* PICTUREIMPORTFILE = "/movra/v1/picture/import";
constexpr const char* PICTURELIST = "/movra/v1/picture/list";
constexpr const char* PICTURELOADPROGRESS = "/movra/v1/picture/loadprogress";
constexpr const char* PICTUREPROGRESS = "/movra/v1/picture/progress";

// Project files.
constexpr const char* PROJFILEEXPORT = "/movra/v1/project-file/export";
constexpr const char* PROJFILEIMPORT = "/movra/v1/project-file/import";

// Device list.
constexpr const char* DEVICELIST = "/movra/v1/ucenter/device-list";

} // namespace Constants
} // namespace Proto
} // namespace LCD
