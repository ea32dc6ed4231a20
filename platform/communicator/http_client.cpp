#include <curl/curl.h>

#include <memory>

#include "host/lcdcommunicator.h"
#include "platform/communicator/device_state.h"
#include "platform/communicator/exchange.h"
#include "platform/communicator/trace.h"

namespace {

// The calling thread's request and response; what they still hold is freed
// when the thread ends.
struct Slots {
    std::unique_ptr<HttpRequest> request;
    std::unique_ptr<HttpRespon> response;
};

Slots& slots() {
    thread_local Slots own;
    return own;
}

HttpSingleTon* singleton = nullptr;

} // namespace

// The connection pool and the settings are process-wide (the host reaches
// them through lcdcomm::configure without a client), so the client carries
// no state of its own.
HttpClient::HttpClient() : m_impl(nullptr) {}

HttpClient::~HttpClient() = default;

HttpRequest* HttpClient::createRequest(const char* method, const char* path) {
    Slots& own = slots();
    own.response.reset();
    own.request.reset();
    own.request.reset(new HttpRequest());
    own.request->m_method = method ? method : "";
    own.request->m_path = path ? path : "";
    return own.request.get();
}

HttpRespon* HttpClient::sendRequest(HttpRequest* request, int* status) {
    int ignored = 0;
    int& result = status ? *status : ignored;
    Slots& own = slots();
    own.response.reset();
    if (!request) {
        result = -static_cast<int>(CURLE_BAD_FUNCTION_ARGUMENT);
        return nullptr;
    }
    try {
        auto& state = lcdcomm::detail::DeviceState::instance();
        const lcdcomm::detail::Snapshot now = state.snapshot();
        lcdcomm::detail::Outcome outcome = lcdcomm::detail::perform(
            request->m_method, now, request->m_path, request->m_heads, request->m_body);
        lcdcomm::detail::report(request->m_method, request->m_heads, request->m_body, outcome,
                                false);
        result = outcome.status;
        if (!outcome.delivered)
            return nullptr;
        if (outcome.status == 401) {
            // The device no longer knows this token: log in again next time.
            if (const std::string* used =
                    lcdcomm::detail::findHead(request->m_heads, "Authorization"))
                state.rejectToken(*used);
        }
        own.response.reset(new HttpRespon());
        own.response->m_body = std::move(outcome.body);
        return own.response.get();
    } catch (...) {
        // perform() reports every transport fault as a status and throws
        // nothing itself; what can still leave this block is an allocation
        // of the response or its copy of the body.
        result = -static_cast<int>(CURLE_OUT_OF_MEMORY);
        return nullptr;
    }
}

std::once_flag HttpSingleTon::flag;

HttpSingleTon::HttpSingleTon() : m_client(new HttpClient()) {}

HttpSingleTon* HttpSingleTon::getInstance() {
    // Never destroyed: handlers on host threads may use it until exit.
    std::call_once(flag, [] { singleton = new HttpSingleTon(); });
    return singleton;
}

HttpClient* HttpSingleTon::getHttpClient() {
    return m_client;
}
