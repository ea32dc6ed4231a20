#include "tools/lcdhost/commands.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>

#include "tools/client/devicelayers.h"
#include "tools/client/interruption.h"
#include "tools/client/layerjson.h"
#include "tools/client/layersummary.h"

namespace lcdhost {

using lcdclient::LayerList;
using Verdict = lcdclient::SetAnswer::Verdict;

bool Commands::connect() {
    std::string why;
    if (!m_connection.startDevice(m_options.connection, &why, lcdclient::interruption::requested)) {
        if (lcdclient::interruption::requested())
            abandon();
        m_out.error(why);
        return false;
    }
    // The device and the plug-in's registrations are part of the demo's
    // story; for the other commands, of the verbose account on stderr.
    const bool story = m_options.command == Command::demo;
    const auto announce = [&](const std::string& line) {
        story ? m_out.say(line) : m_out.note(line);
    };
    announce("device: " + m_connection.settings().url +
             (m_connection.simulated() ? " (a device simulator started by lcdhost)" : ""));

    const bool withSession = m_options.command != Command::get;
    bool opened = false;
    unlessInterrupted([&] {
        opened = m_connection.open(
            withSession, [this](const LayerList& changed) { m_inbox.add(changed); }, &why,
            [this](bool open, const std::string& cause) { m_inbox.stream(open, cause); });
    });
    if (!opened) {
        m_out.error(why);
        return false;
    }
    if (withSession)
        for (const std::string& line : m_connection.session().registrations())
            announce(line);
    return true;
}

int Commands::run() {
    int status = 0;
    switch (m_options.command) {
    case Command::set: status = set(); break;
    case Command::get: status = get(); break;
    case Command::watch: status = watch(); break;
    case Command::demo: status = demo(); break;
    }
    m_connection.close();
    return status;
}

lcdclient::SetAnswer Commands::setAndShow(const LayerList& layers, bool& failed) {
    lcdclient::Session& session = m_connection.session();
    m_out.say("set " + describe(layers));
    const std::uint64_t before = session.changes();
    lcdclient::SetAnswer answer;
    unlessInterrupted([&] { answer = lcdclient::sendSet(session, layers); });

    const bool accepted = answer.verdict == Verdict::accepted;
    failed = !accepted || (m_options.strict && answer.warned);
    const std::string line = answer.text();
    m_out.say("  answer: " + line);
    if (failed && m_out.quiet)
        m_out.error("answer: " + line);

    if (accepted && m_options.waitMs > 0) {
        const auto until =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(m_options.waitMs);
        while (!session.waitForChanges(before + 1, 10)) {
            if (lcdclient::interruption::requested())
                abandon();
            if (std::chrono::steady_clock::now() >= until) {
                m_out.say("  no change reported within " + std::to_string(m_options.waitMs) +
                          " ms");
                break;
            }
        }
    }
    Json changes = Json::array();
    for (const Inbox::Change& change : m_inbox.takeChanges()) {
        m_out.say("  changed: " + describe(change.layers));
        changes.push_back(lcdclient::layersToJson(change.layers));
    }
    m_out.sayJson(Json{{"set", lcdclient::layersToJson(layers)},
                       {"answer", answer.word()},
                       {"reason", answer.reason},
                       {"changes", changes}});
    return answer;
}

int Commands::set() {
    bool failed = false;
    setAndShow(m_options.layers, failed);
    return failed ? 1 : 0;
}

int Commands::demo() {
    bool failed = false, anyFailed = false;
    LayerList one(1);
    one[0].layerId = 1;
    one[0].imageQuality.hue = -10;
    setAndShow(one, failed);
    anyFailed |= failed;

    LayerList two(2);
    two[0].layerId = 2;
    two[0].imageQuality.saturation = 70;
    two[0].imageQuality.gamma = 200;
    two[1].layerId = 3;
    two[1].imageQuality.contrast = {60, 55, 45};
    setAndShow(two, failed);
    anyFailed |= failed;

    m_out.say("a layer the device does not have:");
    LayerList unknown(1);
    unknown[0].layerId = 99;
    anyFailed |= setAndShow(unknown, failed).verdict == Verdict::accepted;
    m_out.say(anyFailed ? "demo: an answer was not as expected" : "demo: every answer as expected");
    return anyFailed ? 1 : 0;
}

int Commands::get() {
    LayerList all;
    std::string why;
    bool ok = false;
    unlessInterrupted([&] { ok = lcdclient::readDeviceLayers(all, &why); });
    if (!ok) {
        m_out.error("cannot read the device's layers: " + why);
        return 1;
    }
    LayerList shown = m_options.getIds.empty() ? all : LayerList{};
    for (int id : m_options.getIds) {
        const auto at = std::find_if(all.begin(), all.end(),
                                     [id](const auto& layer) { return layer.layerId == id; });
        if (at == all.end()) {
            m_out.error("the device has no layer " + std::to_string(id));
            return 1;
        }
        shown.push_back(*at);
    }
    for (const auto& layer : shown)
        m_out.say(lcdclient::summary(layer));
    m_out.sayJson(lcdclient::layersToJson(shown));
    return 0;
}

int Commands::watch() {
    const int seconds = m_options.seconds;
    m_out.say(std::string("watching") + (seconds ? " for " + std::to_string(seconds) + " s" : "") +
              "; Ctrl-C ends");
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (seconds == 0 || std::chrono::steady_clock::now() < end) {
        const bool interrupted = lcdclient::interruption::sleep(100);
        m_inbox.printStreamNotes(m_out);
        for (const Inbox::Change& change : m_inbox.takeChanges()) {
            m_out.say(timestamp(change.when, false) + " changed: " + describe(change.layers));
            m_out.sayJson(Json{{"time", timestamp(change.when, true)},
                               {"layers", lcdclient::layersToJson(change.layers)}});
        }
        // A reader that went away (watch | head) ends the watch too.
        if (interrupted || !std::cout)
            break;
    }
    if (!m_connection.session().streamOpen()) {
        m_out.error("the device's auto-report stream was lost and did not come back");
        return 1;
    }
    return 0;
}

void Commands::unlessInterrupted(const std::function<void()>& work) {
    if (!lcdclient::interruption::run(work))
        abandon();
}

void Commands::abandon() {
    m_connection.stopDevice();
    std::fflush(stdout);
    static const char kLine[] = "lcdhost: interrupted\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, kLine, sizeof kLine - 1);
    ::_exit(130);
}

} // namespace lcdhost
