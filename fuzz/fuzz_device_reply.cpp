// The device's answer to a PUT and to a login, as raw bytes, through the
// communicator: the transfer hook has the target's own loopback port send
// them on each connection as soon as it is made. The first byte chooses
// the request, and whether the rest is the whole answer or a body that a
// truthful head frames. Beyond the sanitizers: a framed body arrives
// whole, the observer is shown no more than its cap, what the device is
// quoted as saying is printable, and a login's token never shows.
#include <curl/curl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/lcdcommunicator.h"
#include "platform/communicator/device_limits.h"
#include "platform/communicator/exchange.h"
#include "platform/communicator/lcdcomm.h"

namespace {

std::string g_answer;
int g_device = -1; // the device's end of the connection under way
lcdcomm::Exchange g_seen;
sockaddr_in g_address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};

// A loopback port that libcurl connects to: once a connection is made, the
// device takes it and sends its whole answer (far smaller than the
// connection's buffers) at once. A failed login is tried again by the next
// getToken, on a new connection.
int listener() {
    static const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    static socklen_t size = sizeof g_address;
    static const bool ready =
        ::bind(fd, reinterpret_cast<sockaddr*>(&g_address), size) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&g_address), &size) == 0 &&
        ::listen(fd, 8) == 0;
    return ready ? fd : -1;
}

int answer(void*, char*, char*, int, int) {
    ::close(g_device);
    g_device = ::accept(listener(), nullptr, nullptr);
    const linger reset{1, 0}; // closed with a reset: no TIME_WAIT for ten million connections
    ::setsockopt(g_device, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    if (::write(g_device, g_answer.data(), g_answer.size()) !=
        static_cast<ssize_t>(g_answer.size()))
        std::abort();
    ::shutdown(g_device, SHUT_WR);
    return CURL_PREREQFUNC_OK;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool hooked =
        (lcdcomm::detail::setTransferHook(
             [](void* curl) { curl_easy_setopt(curl, CURLOPT_PREREQFUNCTION, answer); }),
         lcdcomm::observe([](const lcdcomm::Exchange& e) { g_seen = e; }), listener() >= 0);
    if (size == 0 || !hooked)
        return 0;
    const bool login = data[0] & 1, framed = data[0] & 2;
    static const int statuses[] = {200, 302, 401, 500};
    const int status = statuses[(data[0] >> 2) & 3];
    const std::string body(reinterpret_cast<const char*>(data) + 1, size - 1);
    g_answer = framed
                   ? "HTTP/1.1 " + std::to_string(status) +
                         " X\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body
                   : body;
    lcdcomm::configure({"http://127.0.0.1:" + std::to_string(ntohs(g_address.sin_port)),
                        login ? "" : "t", "ann", "pw", 1000});
    g_seen = lcdcomm::Exchange{};
    if (login) {
        const bool in = lcdcomm::login();
        const std::string token = HttpLogin::getInstance()->getToken();
        // A token that stands once in the answer, unescaped, is that member's value.
        if (in && token.size() >= 8 && g_answer.find('\\') == std::string::npos &&
            g_answer.find(token) == g_answer.rfind(token) &&
            g_seen.reply.find(token) != std::string::npos)
            std::abort();
    } else {
        HttpClient* client = HttpSingleTon::getInstance()->getHttpClient();
        int got = 0;
        const HttpRespon* response = client->sendRequest(
            client->createRequest("PUT", "/movra/v1/layers/image-quality"), &got);
        if ((response != nullptr) != (got > 0) ||
            (framed &&
             (got != status || std::string(response->getBody(), response->getBodySize()) != body)))
            std::abort();
    }
    for (unsigned char c : g_seen.said) // printable
        if (c < 0x20 || c == 0x7f)
            std::abort();
    if (g_seen.reply.size() > lcdcomm::limits::kShownReplyBytes + 5)
        std::abort();
    return 0;
}
