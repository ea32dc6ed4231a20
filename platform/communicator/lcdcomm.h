// Settings of the communicator library: where the device is, how to log in,
// how long to wait. The host sets them with `configure`; when nothing does,
// the first request reads them from the environment:
//
//   LCD_DEVICE_URL         http[s]://host[:port][/path], default http://127.0.0.1:8900
//   LCD_DEVICE_TOKEN       used as the token as it is, without a login
//   LCD_DEVICE_USER        user and password of the login, used when no
//   LCD_DEVICE_PASSWORD    token is given
//   LCD_DEVICE_TIMEOUT_MS  time-out of one request in ms, default 5000
//
// A bad value falls back to its default with one line on stderr. The token
// and the password are never written anywhere.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/lcdcommunicator.h"

namespace lcdcomm {

struct LCDCOMM_API Settings {
    std::string url;   // base of every request path; empty: the default
    std::string token; // when set, used without logging in
    std::string user;
    std::string password;
    long timeoutMs = 5000; // whole request, connect included; <= 0: the default

    static Settings fromEnvironment();
};

// Replaces the settings. The token held so far and the pooled connections
// are dropped, so the next request goes to the new device with the new
// token (or a new login).
LCDCOMM_API void configure(const Settings& settings);

// The settings in force (read from the environment if nothing set them).
LCDCOMM_API Settings settings();

// Logs in now with the configured user and password and keeps the token.
// On failure returns false, keeps no token and, when `error` is given,
// says why (never with the password or a token in it).
LCDCOMM_API bool login(std::string* error = nullptr);

// What a status from HttpClient::sendRequest means: "HTTP status N" for an
// answer, the transport failure's cause for a negative one ("connection
// refused (...)", "host not found (...)", "time-out after N ms (...)"),
// in full when it is the calling thread's last failure.
LCDCOMM_API std::string statusText(int status);

// The device's address as requests use it: http:// or https://, a host, an
// optional port and an optional path, trailing slashes dropped
// ("http://10.0.0.5:8900/" gives "http://10.0.0.5:8900"). Empty, with `why`
// saying what is wrong, for anything else; a query or a fragment, for one,
// would swallow the path that each request appends.
LCDCOMM_API std::string deviceUrl(const std::string& url, std::string* why = nullptr);

// True when deviceUrl(url) is not empty: what the settings' url may be. The
// settings in force hold it as deviceUrl gives it; requests under a url it
// refuses fail at once, saying why.
LCDCOMM_API bool isDeviceUrl(const std::string& url);

// What the device says in a reply of its own, as lcdhost and the login
// quote a refusal: the "code" of the JSON object exactly as it stands in the
// text, and its "message" if it has one, each cut at 200 bytes with bytes a
// terminal would act on shown as \xNN. A message that strict JSON refuses,
// or any depth of nesting, does not lose the code. Empty when the reply
// holds no object with a code.
//
//   deviceSaid(R"({"code":20002,"message":"unknown layer 99"})")  // code 20002 "unknown layer 99"
//   deviceSaid(R"({"code":1e999})")                                // code 1e999
LCDCOMM_API std::string deviceSaid(const std::string& reply);

// One exchange with the device as an observer sees it: tokens and
// passwords are shown as "***" wherever they appear.
struct LCDCOMM_API Exchange {
    std::string method;
    std::string path; // as it went out: the settings' url's path, then the request's
    std::vector<std::pair<std::string, std::string>> heads;
    std::string body;
    int status = 0;    // HTTP status, or minus the transport error code
    std::string error; // the transport failure's cause; empty when answered
    // The reply's body as it came, or its first limits::kShownReplyBytes
    // when it is longer (`replyCut`); `replyBytes` is its whole size, or
    // what arrived of it when the exchange failed.
    std::string reply;
    std::size_t replyBytes = 0;
    bool replyCut = false;
    // The whole reply, for an observer that must judge all of it without a
    // copy: valid only during the observer's call. A login's is `reply`.
    std::string_view wholeReply;
    std::string said; // deviceSaid of the whole reply
    double ms = 0;    // the whole exchange, connect included
};

// Called after every exchange, logins included, on the thread that made
// it; several threads may call it at once. An empty function removes it.
using Observer = std::function<void(const Exchange&)>;
LCDCOMM_API void observe(Observer observer);

} // namespace lcdcomm
