#include "platform/framework/autoreportstream.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>

#include "platform/framework/eventstreamparser.h"

namespace pqxhost {

namespace {

struct Transfer {
    AutoReportStream* stream;
    EventStreamParser* parser;
    std::atomic<bool>* stop;
    std::atomic<bool>* connected;
    std::function<void()> onOpen;
};

size_t onBytes(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    if (!transfer->connected->load())
        transfer->onOpen();
    transfer->parser->feed(data, size * count);
    return size * count;
}

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Transfer*>(user)->stop->load() ? 1 : 0;
}

} // namespace

AutoReportStream::AutoReportStream(std::string baseUrl, Callback onReport)
    : m_url(std::move(baseUrl) + "/events"), m_onReport(std::move(onReport)) {
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
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

bool AutoReportStream::waitConnected(int timeoutMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] {
        return m_connected.load() || m_stop.load();
    }) && m_connected.load();
}

void AutoReportStream::run() {
    EventStreamParser parser([this](const std::string& event, const std::string& data) {
        if (!event.empty() && event != "autoreport")
            return;
        ++m_reports;
        m_onReport(data);
    });
    auto backoff = std::chrono::milliseconds(100);
    while (!m_stop.load()) {
        CURL* curl = curl_easy_init();
        if (curl == nullptr)
            break;
        Transfer transfer{this, &parser, &m_stop, &m_connected, [this, &backoff] {
                              {
                                  std::lock_guard<std::mutex> lock(m_mutex);
                                  m_connected = true;
                              }
                              ++m_connections;
                              backoff = std::chrono::milliseconds(100);
                              m_changed.notify_all();
                          }};
        curl_easy_setopt(curl, CURLOPT_URL, m_url.c_str());
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &onBytes);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &onProgress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, 2000L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, 5L);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_perform(curl);
        curl_easy_cleanup(curl);
        parser.reset();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_connected = false;
        }
        m_changed.notify_all();

        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait_for(lock, backoff, [this] { return m_stop.load(); });
        backoff = std::min(backoff * 2, std::chrono::milliseconds(2000));
    }
}

} // namespace pqxhost
