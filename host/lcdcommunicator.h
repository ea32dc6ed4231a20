// The communicator library: the one connection to the device, with its login
// token. The plug-in calls exactly the public operations below.
//
// Ownership: requests and responses belong to the library. Each thread has
// one request slot and one response slot. `createRequest` frees the calling
// thread's previous request and previous response; `sendRequest` frees the
// thread's previous response and keeps the new one in the slot. Whatever is
// left in a thread's slots is freed when that thread ends. So a response
// stays valid on its thread until that thread's next `createRequest` or
// `sendRequest`, and callers never free either object.
//
// Thread safety: every operation may be called from several threads at once.
// `sendRequest` is synchronous; it returns null on any transport failure
// (refused, reset, time-out) and otherwise a response, whatever its HTTP
// status. `*status` receives the HTTP status, or a negative transport code.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#define LCDCOMM_API __attribute__((visibility("default")))

class HttpClient;

class LCDCOMM_API HttpRequest {
public:
    // Both texts are copied.
    void setHead(const char* name, const char* value);
    // The bytes are copied; `size` is the length in bytes.
    void setBody(const char* data, int size);

private:
    friend class HttpClient;
    HttpRequest() = default;
    std::string m_method;
    std::string m_path;
    std::vector<std::pair<std::string, std::string>> m_heads;
    std::string m_body;
};

class LCDCOMM_API HttpRespon {
public:
    const char* getBody() const;
    std::uint32_t getBodySize() const;

private:
    friend class HttpClient;
    HttpRespon() = default;
    std::string m_body;
};

class LCDCOMM_API HttpClient {
public:
    HttpRequest* createRequest(const char* method, const char* path);
    HttpRespon* sendRequest(HttpRequest* request, int* status);

private:
    friend class HttpSingleTon;
    HttpClient();
    ~HttpClient();
    struct Impl;
    Impl* m_impl;
};

class LCDCOMM_API HttpSingleTon {
public:
    // Created on first use, once, under `flag`; never null.
    static HttpSingleTon* getInstance();
    HttpClient* getHttpClient();

    static std::once_flag flag;

private:
    HttpSingleTon();
    HttpClient* m_client;
};

class LCDCOMM_API HttpLogin {
public:
    static HttpLogin* getInstance();
    // The current access token; empty when there is none.
    std::string getToken();

private:
    HttpLogin();
    struct Impl;
    Impl* m_impl;
};
