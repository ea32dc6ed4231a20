// A requester of layer image quality, as another component of the host
// application would be one: it fills a list of layer records, loads the
// installed plug-in into the stand-in host framework, sends the set request
// and prints the answer and the change notification the plug-in posts.
//
//   requester URL [PLUGIN]
//
// The login is admin/admin (the simulator's) unless the communicator's
// environment gives a token or a user (LCD_DEVICE_TOKEN, LCD_DEVICE_USER,
// LCD_DEVICE_PASSWORD). Exit status 0 when the device accepted the set and
// reported the change, 1 when not, 2 for a usage error.
#include <chrono>
#include <condition_variable>
#include <iostream>
#include <mutex>
#include <string>
#include <vector>

#include "host/lcdcommunicator.h"
#include "host/messageids.h"
#include "platform/communicator/lcdcomm.h"
#include "platform/framework/autoreportstream.h"
#include "platform/framework/host.h"
#include "platform/framework/pluginloader.h"
#include "protocol/constants.h"
#include "protocol/layerimagequality.h"

namespace {

using Layers = LCD::ProtoModel::Layer::LayerList;

void print(const Layers& layers) {
    for (const auto& layer : layers) {
        const auto& quality = layer.imageQuality;
        std::cout << "  layer " << layer.layerId << ": hue " << quality.hue << ", brightness "
                  << quality.brightness.R << "/" << quality.brightness.G << "/"
                  << quality.brightness.B << "\n";
    }
}

} // namespace

int main(int argc, char** argv) {
    const char* usage =
        "usage: requester URL [PLUGIN]\n"
        "Sets layer 2 through the plug-in on the device at URL, http://HOST[:PORT],\n"
        "and prints the answer and the change the device reports.\n";
    const std::string first = argc > 1 ? argv[1] : "";
    if (first == "-h" || first == "--help") {
        std::cout << usage << std::flush;
        return std::cout ? 0 : 1;
    }
    // Every request path follows the address, so nothing else may.
    const bool address = lcdcomm::isDeviceUrl(first) &&
                         first.find_first_of("/?#", first.find("://") + 3) == std::string::npos;
    if (argc < 2 || argc > 3 || !address) {
        if (argc > 1 && !address)
            std::cerr << "requester: \"" << first << "\" is not http://HOST[:PORT]\n";
        std::cerr << usage;
        return 2;
    }
    lcdcomm::Settings settings = lcdcomm::Settings::fromEnvironment();
    settings.url = argv[1];
    if (settings.token.empty() && settings.user.empty()) {
        settings.user = "admin";
        settings.password = "admin";
    }
    lcdcomm::configure(settings);
    // Why a set was not delivered, in our words: the plug-in's own warning
    // names the path alone.
    std::mutex mutex;
    std::string undelivered;
    lcdcomm::observe([&](const lcdcomm::Exchange& exchange) {
        std::lock_guard<std::mutex> lock(mutex);
        if (exchange.method == "PUT")
            undelivered = exchange.status > 0 ? "" : exchange.error;
    });

    // The change notification, as every other listener of it receives it.
    std::condition_variable changed;
    Layers reported;
    bool haveChange = false;
    pqxhost::Host host;
    host.global().registerNotificationHandler(
        LCD::MessageId::kLayerImageQualityChanged,
        [&](const pqx::IMessage* message) -> const pqx::IMessage* {
            if (message->getDataSize() == sizeof(Layers) && message->getData() != nullptr) {
                std::lock_guard<std::mutex> lock(mutex);
                reported = *static_cast<const Layers*>(message->getData());
                haveChange = true;
            }
            changed.notify_all();
            return nullptr;
        });

    std::string error;
    auto plugin = pqxhost::Plugin::load(argc > 2 ? argv[2] : REQUESTER_PLUGIN, host, &error);
    if (!plugin) {
        std::cerr << "requester: " << error << "\n";
        return 1;
    }
    std::cout << "plug-in " << plugin->path() << "\n";
    // The device's reports reach the plug-in as its auto-report message.
    pqxhost::AutoReportStream stream(settings.url, [&host](const std::string& report) {
        host.deliverText(LCD::MessageId::kAutoReportLayerImageQuality, report);
    });
    // The stream is one of the device's endpoints: it needs the token too.
    stream.token([] { return HttpLogin::getInstance()->getToken(); });
    stream.start();
    bool ok = stream.waitConnected(5000);
    if (!ok)
        std::cerr << "requester: no auto-report stream from " << settings.url << "\n";

    Layers layers(1); // the device's defaults, then what this requester wants
    layers[0].layerId = 2;
    layers[0].imageQuality.hue = 12;
    layers[0].imageQuality.brightness = {55, 50, 45};
    std::cout << "set:\n";
    print(layers);
    const pqxhost::Answer answer =
        host.sendRequest(LCD::MessageId::kSetLayerImageQuality, &layers, sizeof layers);
    const bool accepted = answer.status == pqxhost::Answer::Status::answered &&
                          answer.payload.size() == 1 && answer.payload[0] != 0;
    std::cout << "answer: " << (accepted ? "accepted" : "not accepted") << "\n";
    if (answer.status == pqxhost::Answer::Status::none) {
        std::lock_guard<std::mutex> lock(mutex);
        std::cerr << "requester: the set request did not reach " << settings.url
                  << LCD::Proto::Constants::PUTLAYERIMAGEQUALITY << ": "
                  << (undelivered.empty() ? "no reply" : undelivered) << "\n";
    }
    ok = ok && accepted;

    if (ok) {
        std::unique_lock<std::mutex> lock(mutex);
        ok = changed.wait_for(lock, std::chrono::seconds(5), [&] { return haveChange; });
        std::cout << (ok ? "changed:\n" : "no change reported\n");
        print(reported);
    }

    // Reports stop, then delivery; the components go before the handler
    // copies that hold the plug-in's code, and those before the plug-in.
    stream.stop();
    host.stopDelivery();
    plugin->destroyComponents();
    host.global().clear();
    plugin.reset();
    lcdcomm::observe({});
    std::cout.flush();
    return ok && std::cout ? 0 : 1;
}
