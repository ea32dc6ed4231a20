#include "tests/component/fake_communicator.h"

#include <memory>

#include "host/lcdcommunicator.h"

namespace fake_comm {

Script& script() {
    static Script s;
    return s;
}

std::vector<std::string>& calls() {
    static std::vector<std::string> c;
    return c;
}

void reset() {
    script() = Script{};
    calls().clear();
}

} // namespace fake_comm

namespace {
// The library owns its requests and responses; the last ones stay alive.
std::unique_ptr<HttpRequest> g_request;
std::unique_ptr<HttpRespon> g_response;
HttpSingleTon* g_instance = nullptr;
} // namespace

std::once_flag HttpSingleTon::flag;

HttpClient::HttpClient() : m_impl(nullptr) {}
HttpClient::~HttpClient() = default;

HttpRequest* HttpClient::createRequest(const char* method, const char* path) {
    fake_comm::calls().push_back(std::string("createRequest ") + method + " " + path);
    g_request.reset(new HttpRequest());
    return g_request.get();
}

HttpRespon* HttpClient::sendRequest(HttpRequest*, int* status) {
    *status = 200;
    g_response.reset(new HttpRespon());
    g_response->m_body = fake_comm::script().reply;
    return g_response.get();
}

HttpSingleTon::HttpSingleTon() : m_client(new HttpClient()) {}

HttpSingleTon* HttpSingleTon::getInstance() {
    std::call_once(flag, [] { g_instance = new HttpSingleTon(); });
    return g_instance;
}

HttpClient* HttpSingleTon::getHttpClient() {
    return m_client;
}

HttpLogin::HttpLogin() : m_impl(nullptr) {}

HttpLogin* HttpLogin::getInstance() {
    static HttpLogin login;
    return &login;
}

std::string HttpLogin::getToken() {
    return fake_comm::script().token;
}
