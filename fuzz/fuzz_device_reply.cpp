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

// A loopback port that libcurl connects to; the device accepts the
// connection once it is made and sends its whole answer at once.
int listener(sockaddr_in& address) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    address = {AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    return ::listen(fd, 8) == 0 ? fd : -1;
}

sockaddr_in g_address;
const int g_listener = listener(g_address);

// Closes the device's end with a reset: no TIME_WAIT, though ten million
// connections are made.
void hangUp() {
    const linger reset{1, 0};
    ::setsockopt(g_device, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    ::close(g_device);
    g_device = -1;
}

// A failed login is tried again by the next getToken: a second connection.
int answer(void*, char*, char*, int, int) {
    hangUp();
    g_device = ::accept(g_listener, nullptr, nullptr);
    // The fuzzer's inputs are far smaller than the connection's buffers.
    if (g_device < 0 || ::write(g_device, g_answer.data(), g_answer.size()) !=
                            static_cast<ssize_t>(g_answer.size()))
        std::abort();
    ::shutdown(g_device, SHUT_WR);
    return CURL_PREREQFUNC_OK;
}

void useTheListener(void* curl) {
    curl_easy_setopt(curl, CURLOPT_PREREQFUNCTION, answer);
}

bool printable(const std::string& text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7f)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool hooked =
        (lcdcomm::detail::setTransferHook(useTheListener),
         lcdcomm::observe([](const lcdcomm::Exchange& e) { g_seen = e; }), true);
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
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(g_address.sin_port));
    lcdcomm::configure({url, login ? "" : "t", "ann", "pw", 1000});
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
        HttpRequest* request = client->createRequest("PUT", "/movra/v1/layers/image-quality");
        request->setHead("Authorization", "t");
        int got = 0;
        const HttpRespon* response = client->sendRequest(request, &got);
        if ((response != nullptr) != (got > 0) ||
            (framed &&
             (got != status || std::string(response->getBody(), response->getBodySize()) != body)))
            std::abort();
    }
    if (g_seen.reply.size() > lcdcomm::limits::kShownReplyBytes + 5 || !printable(g_seen.said))
        std::abort();
    hangUp();
    return 0;
}
