// The tokens the simulated device accepts: one given on the command line
// and those its logins issued. A request carries its token as the whole
// value of the Authorization header.
#pragma once

#include <httplib.h>

#include <mutex>
#include <random>
#include <set>
#include <string>

namespace LCD {
namespace Sim {

class Tokens {
public:
    // Accepts `token` from now on.
    void accept(const std::string& token);
    // A new random token, accepted from now on.
    std::string issue();
    bool authorized(const httplib::Request& req) const;

private:
    mutable std::mutex m_mutex;
    std::set<std::string> m_tokens;
    std::mt19937_64 m_random{std::random_device{}()};
};

} // namespace Sim
} // namespace LCD
