#include "tests/support/fake_communicator.h"

#include <mutex>

#include "host/lcdcommunicator.h"

namespace {
thread_local std::size_t t_bodyBytes = 0;
HttpSingleTon* g_instance = nullptr;
} // namespace

namespace fake_comm {

Script& script() {
    static Script s;
    return s;
}

std::vector<std::string>& calls() {
    static std::vector<std::string> c;
    return c;
}

std::size_t lastBodyBytes() {
    return t_bodyBytes;
}

void reset() {
    script() = Script{};
    calls().clear();
}

} // namespace fake_comm

std::once_flag HttpSingleTon::flag;

HttpClient::HttpClient() : m_impl(nullptr) {}
HttpClient::~HttpClient() = default;

HttpRequest* HttpClient::createRequest(const char* method, const char* path) {
    if (fake_comm::script().record)
        fake_comm::calls().push_back(std::string("createRequest ") + method + " " + path);
    static thread_local HttpRequest request;
    request.m_method = method;
    request.m_path = path;
    request.m_heads.clear();
    request.m_body.clear();
    return &request;
}

HttpRespon* HttpClient::sendRequest(HttpRequest* request, int* status) {
    t_bodyBytes = request->m_body.size();
    *status = 200;
    static thread_local HttpRespon response;
    response.m_body = fake_comm::script().reply;
    return &response;
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
