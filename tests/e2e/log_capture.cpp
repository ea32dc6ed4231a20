#include "tests/e2e/log_capture.h"

#include <QString>
#include <QtGlobal>

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>

namespace e2e {

namespace {

std::mutex g_mutex;
std::vector<std::string> g_lines;
QtMessageHandler g_previous = nullptr;

void collect(QtMsgType, const QMessageLogContext& context, const QString& text) {
    std::string line = context.category ? context.category : "";
    line += '|';
    line += context.function ? context.function : "";
    line += '|';
    line += text.toStdString();
    std::lock_guard<std::mutex> lock(g_mutex);
    g_lines.push_back(std::move(line));
}

} // namespace

LogCapture::LogCapture() {
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_lines.clear();
    }
    g_previous = qInstallMessageHandler(collect);

    char path[] = "/tmp/lcd-e2e-stderr-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) {
        ADD_FAILURE() << "no temporary file for stderr";
        return;
    }
    m_path = path;
    std::fflush(stderr);
    m_savedStderr = dup(2);
    dup2(fd, 2);
    close(fd);
}

LogCapture::~LogCapture() {
    stderrText();
    qInstallMessageHandler(g_previous);
    if (!m_path.empty()) unlink(m_path.c_str());
}

std::vector<std::string> LogCapture::qtLines() const {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_lines;
}

bool LogCapture::contains(const std::string& text) const {
    for (const auto& line : qtLines())
        if (line.find(text) != std::string::npos) return true;
    return false;
}

std::string LogCapture::stderrText() {
    if (m_savedStderr >= 0) {
        std::fflush(stderr);
        dup2(m_savedStderr, 2);
        close(m_savedStderr);
        m_savedStderr = -1;
    }
    if (m_path.empty()) return {};
    std::ifstream in(m_path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace e2e
