// Logins, requests and failures in a loop on several threads, for the leak
// check under valgrind. Exits non-zero when a thread gets a reply that is
// not its own.
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "host/lcdcommunicator.h"
#include "tests/communicator/device_server.h"

int main() {
    std::atomic<int> wrong{0};
    HttpClient* client = HttpSingleTon::getInstance()->getHttpClient();
    {
        DeviceServer device;
        device.server.Put("/echo",
                          [](const httplib::Request& request, httplib::Response& response) {
                              response.set_content(request.body, "text/plain");
                          });
        device.start();
        device.use("", "ann", "pw");
        std::vector<std::thread> threads;
        for (int t = 0; t < 3; ++t) {
            threads.emplace_back([&, t] {
                for (int i = 0; i < 15; ++i) {
                    const std::string body = std::to_string(t) + ":" + std::to_string(i);
                    HttpRequest* request = client->createRequest("PUT", "/echo");
                    request->setHead("Authorization", HttpLogin::getInstance()->getToken().c_str());
                    request->setBody(body.data(), static_cast<int>(body.size()));
                    int status = 0;
                    HttpRespon* response = client->sendRequest(request, &status);
                    if (!response ||
                        std::string(response->getBody(), response->getBodySize()) != body)
                        ++wrong;
                }
            });
        }
        for (auto& thread : threads)
            thread.join();
    }
    // A refused connection on the main thread; its request stays in the slot
    // until exit.
    lcdcomm::Settings settings;
    settings.url = refusedUrl();
    lcdcomm::configure(settings);
    int status = 0;
    if (client->sendRequest(client->createRequest("PUT", "/x"), &status) != nullptr)
        ++wrong;
    std::printf("%d wrong replies\n", wrong.load());
    return wrong.load() == 0 ? 0 : 1;
}
