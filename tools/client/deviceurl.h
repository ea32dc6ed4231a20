// The device's address as lcdhost and lcdpanel take it, from --device or
// LCD_DEVICE_URL: http://HOST[:PORT] or https://HOST[:PORT], nothing after
// it. Every request path is put right after the address, so a path, a
// query or a user name in it would send each request somewhere else; such
// an address is refused, naming what is in the way. One trailing slash,
// which a person often copies along, is dropped.
//
//   std::string url = "http://10.0.0.5:8900/";
//   lcdclient::deviceUrlFault(url);     // "", url is "http://10.0.0.5:8900"
//   url = "http://10.0.0.5:8900/movra";
//   lcdclient::deviceUrlFault(url);     // "\"http://10.0.0.5:8900/movra\" has a path (/movra);
//   ..."
#pragma once

#include <string>

namespace lcdclient {

// What keeps `url` from being a device's address, or "" with `url`
// normalised.
std::string deviceUrlFault(std::string& url);

} // namespace lcdclient
