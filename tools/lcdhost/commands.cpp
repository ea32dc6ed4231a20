#include "tools/lcdhost/commands.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "tools/client/devicelayers.h"
#include "tools/client/interruption.h"
#include "tools/client/layerjson.h"
#include "tools/client/layersummary.h"
#include "tools/common/printable.h"
#include "tools/common/standardoutput.h"

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
    // A reader that left ends a watch as Ctrl-C does; any other command's
    // output was cut short.
    const bool written = lcdtools::standardoutput::finish("lcdhost");
    return written ||
                   (m_options.command == Command::watch && lcdtools::standardoutput::readerLeft())
               ? status
               : 1;
}

bool Commands::setAndShow(const LayerList& layers, bool refusalExpected) {
    lcdclient::Session& session = m_connection.session();
    m_out.say("set " + describe(layers));
    // What was reported before this set is not its change.
    m_inbox.takeChanges();
    lcdclient::SetAnswer answer;
    unlessInterrupted([&] { answer = lcdclient::sendSet(session, layers); });

    const bool expected = refusalExpected ? answer.verdict == Verdict::refused
                                          : answer.ok() && !(m_options.strict && answer.warned());
    const std::string line = answer.text();
    m_out.say("  answer: " + line);
    for (const std::string& warning : answer.warnings)
        m_out.note("plug-in: " + lcdtools::printable(warning));
    if (!expected && m_out.quiet)
        m_out.error("answer: " + line);

    // The set's own change is the one that reports what was sent; other
    // clients' changes may come before it.
    const auto until = std::chrono::steady_clock::now() +
                       std::chrono::milliseconds(answer.ok() ? m_options.waitMs : 0);
    LayerList own; // the set's own change, once seen
    bool seen = false;
    for (;;) {
        for (Inbox::Change& change : m_inbox.takeChanges()) {
            if (seen || !reportsSet(change.layers, layers)) {
                m_out.note("a change this set did not make: " + describe(change.layers));
                continue;
            }
            seen = true;
            m_out.say("  changed: " + describe(change.layers));
            own = std::move(change.layers);
        }
        if (seen || std::chrono::steady_clock::now() >= until)
            break;
        if (lcdclient::interruption::sleep(10))
            abandon();
    }
    if (!seen && answer.ok() && m_options.waitMs > 0)
        m_out.say("  no change reported within " + std::to_string(m_options.waitMs) + " ms");
    // Why a change may not have come: a report over the stream's cap ends
    // the stream, which says so.
    m_inbox.printStreamNotes(m_out, true);
    m_out.sayJson([&](std::ostream& out) {
        out << "{\"set\":";
        lcdclient::writeLayersJson(out, layers);
        out << ",\"answer\":" << jsonText(answer.word()) << ",\"reason\":" << jsonText(answer.why())
            << ",\"changes\":[";
        if (seen)
            lcdclient::writeLayersJson(out, own);
        out << "]}";
    });
    return expected;
}

int Commands::set() {
    return setAndShow(m_options.layers) ? 0 : 1;
}

int Commands::demo() {
    bool asExpected = true;
    LayerList one(1);
    one[0].layerId = 1;
    one[0].imageQuality.hue = -10;
    asExpected &= setAndShow(one);

    LayerList two(2);
    two[0].layerId = 2;
    two[0].imageQuality.saturation = 70;
    two[0].imageQuality.gamma = 200;
    two[1].layerId = 3;
    two[1].imageQuality.contrast = {60, 55, 45};
    asExpected &= setAndShow(two);

    m_out.say("a layer the device does not have:");
    LayerList unknown(1);
    unknown[0].layerId = 99;
    asExpected &= setAndShow(unknown, true);
    m_out.say(asExpected ? "demo: every answer as expected"
                         : "demo: an answer was not as expected");
    return asExpected ? 0 : 1;
}

int Commands::get() {
    LayerList all;
    std::string why;
    bool ok = false;
    unlessInterrupted([&] { ok = lcdclient::readDeviceLayers(all, &why, m_out.verbose); });
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
    if (shown.empty())
        m_out.say("the device has no layers");
    for (const auto& layer : shown)
        m_out.say(lcdclient::summary(layer));
    m_out.sayJson([&](std::ostream& out) { lcdclient::writeLayersJson(out, shown); });
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
            m_out.sayJson([&](std::ostream& out) {
                out << "{\"time\":" << jsonText(timestamp(change.when, true)) << ",\"layers\":";
                lcdclient::writeLayersJson(out, change.layers);
                out << "}";
            });
        }
        // A reader that went away (watch | head) ends the watch too.
        if (interrupted || !lcdtools::standardoutput::flush() ||
            lcdtools::standardoutput::readerLeft())
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
