// The envelope of a device auto-report.
//
//   {"source":"...","seq":17,"sn":"...",
//    "tl":{"CommandCode":N,"ErrorCode":0,"UserDataLength":N},
//    "body":"[{\"layerId\":3,...}]"}
//
// body is a JSON string whose text is the report's own data; for layer image
// quality the list of protocol/layerimagequality.h, decoded in a second step.
// Numbers are read as unsigned and kept in their own width (ErrorCode 70000
// is stored as 4464). Only ErrorCode is judged, by the caller: 0 means no
// error.
#pragma once

#include <cstdint>
#include <string>

#include "json/ajson.h"

namespace LCD {
namespace AutoReport {

struct AutoReportTLVDataMessage {
    std::uint32_t CommandCode = 0;
    std::uint16_t ErrorCode = 0;
    std::uint16_t UserDataLength = 0; // as the device states it; not checked against body
};

struct LCDAutoReportData {
    std::string source;
    std::uint32_t seq = 0;
    std::string sn;
    AutoReportTLVDataMessage tl;
    std::string body;
};

} // namespace AutoReport
} // namespace LCD

AJSON(LCD::AutoReport::AutoReportTLVDataMessage, CommandCode, ErrorCode, UserDataLength)
AJSON(LCD::AutoReport::LCDAutoReportData, source, seq, sn, tl, body)
