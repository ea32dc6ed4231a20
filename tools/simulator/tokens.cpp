#include "tools/simulator/tokens.h"

namespace LCD {
namespace Sim {

void Tokens::accept(const std::string& token) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_tokens.insert(token);
}

std::string Tokens::issue() {
    static const char* hex = "0123456789abcdef";
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string token;
    for (int i = 0; i < 32; ++i)
        token += hex[m_random() & 15];
    m_tokens.insert(token);
    return token;
}

bool Tokens::authorized(const httplib::Request& req) const {
    if (!req.has_header("Authorization"))
        return false;
    const std::string token = req.get_header_value("Authorization");
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_tokens.count(token) != 0;
}

} // namespace Sim
} // namespace LCD
