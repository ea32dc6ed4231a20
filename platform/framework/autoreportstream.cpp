#include "platform/framework/autoreportstream.h"

#include <curl/curl.h>
#include <strings.h>

#include <algorithm>
#include <chrono>

#include "platform/communicator/http_only.h"
#include "platform/communicator/reply_head.h"
#include "platform/communicator/transport_failure.h"
#include "platform/framework/eventstreamparser.h"

namespace pqxhost {

namespace {

using Clock = std::chrono::steady_clock;

constexpr long kConnectTimeoutMs = 2000;
constexpr long kSilenceSeconds = 5;
constexpr auto kFirstWait = std::chrono::milliseconds(100);
constexpr auto kLongestWait = std::chrono::milliseconds(2000);
constexpr auto kRepeatAfter = std::chrono::seconds(30); // the same loss told again

struct Transfer {
    CURL* curl;
    EventStreamParser* parser;
    std::function<void()> onOpen;
    lcdcomm::detail::ReplyHead head;
    bool open = false;
    std::string refusal; // why the answer is not, or no longer, an event stream
    AutoReportStream::Attempt attempt;
    Clock::time_point began = Clock::now();
    bool told = false; // the attempt's answer was handed on
    const AutoReportStream::AttemptCallback* onAttempt = nullptr;

    // Hands the attempt's answer on, once: `cause` empty when it opened.
    void tell(long status, const std::string& cause) {
        if (told)
            return;
        told = true;
        attempt.status = status;
        attempt.cause = cause;
        attempt.ms = std::chrono::duration<double, std::milli>(Clock::now() - began).count();
        if (*onAttempt)
            (*onAttempt)(attempt);
    }
};

std::string refusalOf(long status, const char* type, bool withToken) {
    if (status == 401)
        return withToken ? "the device refused the token (HTTP status 401)"
                         : "the device asks for a token (HTTP status 401)";
    return "the device answered with HTTP status " + std::to_string(status) +
           (status == 200 ? std::string(" and content type ") + (type ? type : "(none)") +
                                ", not text/event-stream"
                          : "");
}

// Once the final head has ended, its status and content type are known,
// and the stream either opens or is refused; interim 1xx heads pass.
size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t length = size * count;
    if (!transfer->head.add(transfer->curl, data, length)) {
        transfer->refusal = transfer->head.cause(CURLE_OK);
        return 0;
    }
    if (!transfer->head.ended() || transfer->open)
        return length;
    long status = 0;
    const char* type = nullptr;
    curl_easy_getinfo(transfer->curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_getinfo(transfer->curl, CURLINFO_CONTENT_TYPE, &type);
    if (status == 200 && type && strncasecmp(type, "text/event-stream", 17) == 0) {
        transfer->open = true;
        transfer->tell(status, "");
        transfer->onOpen();
        return length;
    }
    transfer->refusal = refusalOf(status, type, transfer->attempt.withToken);
    transfer->tell(status, transfer->refusal);
    return 0;
}

size_t onBytes(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    if (transfer->parser->feed(data, size * count))
        return size * count;
    transfer->refusal = transfer->parser->fault();
    return 0;
}

} // namespace

AutoReportStream::AutoReportStream(std::string baseUrl, Callback onReport)
    : m_url(std::move(baseUrl)), m_onReport(std::move(onReport)) {
    // "http://host:port/" names the same device as "http://host:port".
    while (!m_url.empty() && m_url.back() == '/')
        m_url.pop_back();
    m_url += "/events";
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

AutoReportStream::~AutoReportStream() {
    stop();
}

void AutoReportStream::start() {
    if (m_thread.joinable())
        return;
    m_stop = false;
    m_thread = std::thread([this] { run(); });
}

void AutoReportStream::stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
        if (m_multi)
            curl_multi_wakeup(static_cast<CURLM*>(m_multi));
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

bool AutoReportStream::waitConnected(int timeoutMs, std::string* error) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const std::uint64_t failures = m_failures, connections = m_connections;
    // An opening counts even when the device closed it again before this
    // thread woke to look: the stream is up and reconnects by itself.
    const auto opened = [&] { return m_connected.load() || m_connections != connections; };
    m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                       [&] { return opened() || m_stop.load() || m_failures != failures; });
    if (opened())
        return true;
    if (error)
        *error = m_failures != failures ? m_lastError
                                        : "no answer within " + std::to_string(timeoutMs) + " ms";
    return false;
}

void AutoReportStream::attemptEnded(bool wasOpen, const std::string& why) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_connected = false;
        m_lastError = why;
        if (!wasOpen)
            ++m_failures;
    }
    m_changed.notify_all();
    if (!wasOpen || m_stop.load())
        return;
    if (why == m_toldWhy && Clock::now() - m_toldAt < kRepeatAfter)
        return;
    m_toldLost = true;
    m_toldWhy = why;
    m_toldAt = Clock::now();
    if (m_onState)
        m_onState(false, why);
}

void AutoReportStream::proven() {
    const bool wasLost = m_toldLost;
    m_toldLost = false;
    if (wasLost && m_onState)
        m_onState(true, "");
}

void AutoReportStream::run() {
    EventStreamParser parser([this](const std::string& event, const std::string& data) {
        if (!event.empty() && event != "autoreport")
            return;
        ++m_reports;
        m_onReport(data);
    });
    CURLM* multi = curl_multi_init();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_multi = multi;
    }
    auto wait = kFirstWait;
    while (multi && !m_stop.load()) {
        CURL* curl = curl_easy_init();
        if (curl == nullptr)
            break;
        Transfer transfer{curl,
                          &parser,
                          [this] {
                              std::uint64_t opened = 0;
                              {
                                  std::lock_guard<std::mutex> lock(m_mutex);
                                  m_connected = true;
                                  opened = ++m_connections;
                              }
                              m_changed.notify_all();
                              if (opened == 1 && m_onState)
                                  m_onState(true, "");
                          },
                          {},
                          false,
                          {},
                          {},
                          Clock::now(),
                          false,
                          &m_onAttempt};
        const std::string token = m_token ? m_token() : std::string();
        curl_slist* heads = nullptr;
        if (!token.empty()) {
            // What the communicator refuses to send (a line break) would
            // split the header, and libcurl would send it all the same.
            if (token.find_first_of("\r\n") == std::string::npos)
                heads = curl_slist_append(heads, ("Authorization: " + token).c_str());
            transfer.attempt.withToken = heads != nullptr;
        }
        char detail[CURL_ERROR_SIZE] = "";
        curl_easy_setopt(curl, CURLOPT_URL, m_url.c_str());
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, heads);
        lcdcomm::detail::httpOnly(curl);
        curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &onHeader);
        curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &onBytes);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, detail);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
        curl_easy_setopt(curl, CURLOPT_HTTP_CONTENT_DECODING, 0L);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_multi_add_handle(multi, curl);
        const std::uint64_t reportsBefore = m_reports.load();
        bool isProven = false, silent = false;
        std::uint64_t lines = 0;
        auto heard = Clock::now();
        int running = 1;
        while (running > 0 && !m_stop.load()) {
            if (curl_multi_perform(multi, &running) != CURLM_OK)
                break;
            if (parser.lines() != lines)
                lines = parser.lines(), heard = Clock::now();
            if (!isProven && (m_reports.load() != reportsBefore || parser.comments() > 1)) {
                isProven = true;
                wait = kFirstWait;
                proven();
            }
            if (running > 0 && Clock::now() - heard > std::chrono::seconds(kSilenceSeconds)) {
                silent = true;
                break;
            }
            if (running > 0)
                curl_multi_poll(multi, nullptr, 0, 500, nullptr);
        }
        CURLcode code = CURLE_OK;
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued))
            if (message->msg == CURLMSG_DONE)
                code = message->data.result;
        long osErrno = 0;
        curl_easy_getinfo(curl, CURLINFO_OS_ERRNO, &osErrno);
        curl_multi_remove_handle(multi, curl);
        curl_easy_cleanup(curl);
        curl_slist_free_all(heads);
        parser.reset();

        std::string why;
        if (!transfer.refusal.empty())
            why = transfer.refusal;
        else if (silent)
            why = transfer.open ? "the device sent no event or ping for " +
                                      std::to_string(kSilenceSeconds) + " s"
                                : "the device did not answer within " +
                                      std::to_string(kSilenceSeconds) + " s";
        else if (code == CURLE_OK)
            why = "the device ended the stream";
        else if (!transfer.head.cause(code).empty())
            why = transfer.head.cause(code);
        else
            why = lcdcomm::detail::transportFailure(code, osErrno, kConnectTimeoutMs, detail);
        if (!m_stop.load())
            transfer.tell(0, why);
        attemptEnded(transfer.open, why);

        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait_for(lock, wait, [this] { return m_stop.load(); });
        wait = std::min(wait * 2, kLongestWait);
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_multi = nullptr;
    if (multi)
        curl_multi_cleanup(multi);
}

} // namespace pqxhost
