#include "platform/communicator/exchange.h"

#include <curl/curl.h>

#include <cctype>
#include <chrono>
#include <strings.h>

#include "platform/communicator/connection_pool.h"
#include "platform/communicator/transport_failure.h"

namespace lcdcomm::detail {

namespace {

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

bool hasHead(const Heads& heads, const char* name) {
    return findHead(heads, name) != nullptr;
}

struct Sink {
    std::string* body;
};

size_t collect(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const size_t length = size * count;
    if (length > kMaxReplyBytes - sink->body->size())
        return 0; // libcurl ends the transfer with a write error
    try {
        sink->body->append(data, length);
    } catch (...) {
        return 0;
    }
    return length;
}

Outcome failed(CURLcode code, long timeoutMs, long osErrno = 0, const std::string& detail = "") {
    Outcome outcome;
    outcome.status = -static_cast<int>(code);
    outcome.error = transportFailure(code, osErrno, timeoutMs, detail);
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

Outcome perform(const std::string& method, const std::string& url, const Heads& heads,
                const std::string& body, long timeoutMs) {
    if (!isToken(method))
        return failed(CURLE_BAD_FUNCTION_ARGUMENT, timeoutMs);

    HeaderList list;
    for (const auto& head : heads) {
        if (!isToken(head.first) || !isSafeValue(head.second))
            return failed(CURLE_BAD_FUNCTION_ARGUMENT, timeoutMs);
        // "Name:" with nothing after it would remove the header; "Name;" is
        // how an empty one is sent.
        const std::string line =
            isBlank(head.second) ? head.first + ";" : head.first + ": " + head.second;
        if (!list.add(line))
            return failed(CURLE_OUT_OF_MEMORY, timeoutMs);
    }
    // No wait for a 100-continue before a larger body, and no form type
    // that the caller did not ask for.
    if (!hasHead(heads, "Expect") && !list.add("Expect:"))
        return failed(CURLE_OUT_OF_MEMORY, timeoutMs);
    if (!hasHead(heads, "Content-Type") && !list.add("Content-Type:"))
        return failed(CURLE_OUT_OF_MEMORY, timeoutMs);

    PooledHandle pooled;
    CURL* curl = pooled.get();
    if (!curl)
        return failed(CURLE_OUT_OF_MEMORY, timeoutMs);

    Outcome outcome;
    Sink sink{&outcome.body};
    char detail[CURL_ERROR_SIZE] = "";

    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
#if LIBCURL_VERSION_NUM >= 0x075500
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
#else
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS, long(CURLPROTO_HTTP | CURLPROTO_HTTPS));
#endif
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL,
                     1L); // time-outs without SIGALRM: we run on host threads
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, list.get());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
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

    const auto began = std::chrono::steady_clock::now();
    const CURLcode code = curl_easy_perform(curl);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
    if (code != CURLE_OK) {
        long osErrno = 0;
        curl_easy_getinfo(curl, CURLINFO_OS_ERRNO, &osErrno);
        Outcome failure = failed(code, timeoutMs, osErrno, detail);
        failure.ms = ms;
        return failure;
    }

    long http = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &http);
    if (http < 100)
        return failed(CURLE_WEIRD_SERVER_REPLY, timeoutMs);
    outcome.delivered = true;
    outcome.ms = ms;
    outcome.status = static_cast<int>(http);
    return outcome;
}

} // namespace lcdcomm::detail
