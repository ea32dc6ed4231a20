#include "platform/communicator/exchange.h"

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <strings.h>

#include "platform/communicator/connection_pool.h"
#include "platform/communicator/http_only.h"
#include "platform/communicator/reply_head.h"
#include "platform/communicator/transport_failure.h"

namespace lcdcomm::detail {

namespace {

std::atomic<void (*)(void*)> g_transferHook{nullptr};

class HeaderList {
public:
    ~HeaderList() { curl_slist_free_all(m_list); }
    bool add(const std::string& line) {
        curl_slist* grown = curl_slist_append(m_list, line.c_str());
        if (!grown)
            return false;
        m_list = grown;
        return true;
    }
    curl_slist* get() const { return m_list; }

private:
    curl_slist* m_list = nullptr;
};

bool isToken(const std::string& text) {
    if (text.empty())
        return false;
    for (unsigned char c : text) {
        if (c <= 0x20 || c >= 0x7f || c == ':' || c == ';' || c == '(' || c == ')' || c == ',' ||
            c == '"' || c == '/' || c == '[' || c == ']' || c == '?' || c == '=' || c == '{' ||
            c == '}' || c == '\\' || c == '@' || c == '<' || c == '>')
            return false;
    }
    return true;
}

// CR, LF or NUL in a value would end the header early and let the rest pass
// as a header of its own.
bool isSafeValue(const std::string& text) {
    return text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

bool isBlank(const std::string& text) {
    for (unsigned char c : text)
        if (c != ' ' && c != '\t')
            return false;
    return true;
}

// The path goes out byte for byte (CURLOPT_PATH_AS_IS), so the trace shows
// what was sent; one that libcurl would have to change (a blank, a byte
// outside ASCII, a fragment) is refused.
bool isSendablePath(const std::string& path) {
    if (!path.empty() && path[0] != '/')
        return false;
    for (unsigned char c : path)
        if (c <= 0x20 || c >= 0x7f || c == '#')
            return false;
    return true;
}

struct Transfer {
    CURL* curl;
    std::string* body;
    ReplyHead head;
    std::string cause; // why a callback stopped the transfer
};

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    return transfer->head.add(transfer->curl, data, size * count) ? size * count : 0;
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t length = size * count;
    if (length > limits::kReplyBytes - transfer->body->size()) {
        transfer->cause =
            "the reply is more than the " + std::to_string(limits::kReplyBytes) + " bytes allowed";
        return 0; // libcurl ends the transfer with a write error
    }
    try {
        transfer->body->append(data, length);
    } catch (...) {
        transfer->cause = "no memory for the reply";
        return 0;
    }
    return length;
}

Outcome failed(CURLcode code, std::string cause) {
    Outcome outcome;
    outcome.status = -static_cast<int>(code);
    outcome.error = std::move(cause);
    return outcome;
}

} // namespace

const std::string* findHead(const Heads& heads, const char* name) {
    for (const auto& head : heads)
        if (strcasecmp(head.first.c_str(), name) == 0)
            return &head.second;
    return nullptr;
}

std::string transportError(int status) {
    return transportFailure(static_cast<CURLcode>(-status), 0, 0, "");
}

void setTransferHook(void (*hook)(void* curl)) {
    g_transferHook = hook;
}

Outcome perform(const std::string& method, const Snapshot& now, const std::string& path,
                const Heads& heads, const std::string& body) {
    const long timeoutMs = now.settings.timeoutMs;
    Outcome outcome;
    outcome.path = now.basePath + path;
    const auto refuse = [&](CURLcode code, std::string cause) {
        Outcome refusal = failed(code, std::move(cause));
        refusal.path = outcome.path;
        return refusal;
    };
    if (!now.urlProblem.empty())
        return refuse(CURLE_URL_MALFORMAT,
                      "the device's address cannot be used: " + now.urlProblem);
    if (!isSendablePath(path))
        return refuse(CURLE_URL_MALFORMAT, "the request path is not a path that goes out as it is");
    if (!isToken(method))
        return refuse(CURLE_BAD_FUNCTION_ARGUMENT, "the request method is not an HTTP token");

    HeaderList list;
    for (const auto& head : heads) {
        if (!isToken(head.first))
            return refuse(CURLE_BAD_FUNCTION_ARGUMENT,
                          "a header name of the request is not an HTTP token");
        if (!isSafeValue(head.second))
            return refuse(CURLE_BAD_FUNCTION_ARGUMENT,
                          "the header " + head.first +
                              " holds bytes that cannot go into a header (CR, LF or NUL)");
        // "Name:" with nothing after it would remove the header; "Name;" is
        // how an empty one is sent.
        const std::string line =
            isBlank(head.second) ? head.first + ";" : head.first + ": " + head.second;
        if (!list.add(line))
            return refuse(CURLE_OUT_OF_MEMORY, "no memory for the request");
    }
    // No wait for a 100-continue before a larger body, and no form type
    // that the caller did not ask for.
    if ((!findHead(heads, "Expect") && !list.add("Expect:")) ||
        (!findHead(heads, "Content-Type") && !list.add("Content-Type:")))
        return refuse(CURLE_OUT_OF_MEMORY, "no memory for the request");

    PooledHandle pooled;
    CURL* curl = pooled.get();
    if (!curl)
        return refuse(CURLE_OUT_OF_MEMORY, "no memory for the request");

    Transfer transfer{curl, &outcome.body, {}, {}};
    char detail[CURL_ERROR_SIZE] = "";
    const std::string url = now.settings.url + path;

    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
    httpOnly(curl);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL,
                     1L); // time-outs without SIGALRM: we run on host threads
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, list.get());
    // A body the device encodes although nobody asked is kept as it came,
    // not inflated past the cap.
    curl_easy_setopt(curl, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, detail);

    if (method == "GET" && body.empty()) {
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    } else if (method == "HEAD") {
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    } else {
        // The body is sent from our buffer with its exact length, so NUL
        // bytes pass and an empty body goes out as Content-Length: 0.
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
        if (method != "POST")
            curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method.c_str());
    }
    if (auto hook = g_transferHook.load())
        hook(curl);

    const auto began = std::chrono::steady_clock::now();
    const CURLcode code = curl_easy_perform(curl);
    outcome.ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
    long http = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &http);
    if (code != CURLE_OK) {
        long osErrno = 0;
        curl_easy_getinfo(curl, CURLINFO_OS_ERRNO, &osErrno);
        outcome.status = -static_cast<int>(code);
        outcome.error = !transfer.cause.empty() ? transfer.cause
                        : !transfer.head.cause(code).empty()
                            ? transfer.head.cause(code)
                            : transportFailure(code, osErrno, timeoutMs, detail);
    } else if (http < 100) {
        outcome.status = -static_cast<int>(CURLE_WEIRD_SERVER_REPLY);
        outcome.error = transportFailure(CURLE_WEIRD_SERVER_REPLY, 0, timeoutMs, "");
    } else {
        outcome.delivered = true;
        outcome.status = static_cast<int>(http);
    }
    return outcome;
}

} // namespace lcdcomm::detail
