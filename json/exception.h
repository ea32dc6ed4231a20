// The codec's one error type. Its text names the line, the column and the
// fault, e.g. "error at line :1 col :11 msg:not a valid number!".
#pragma once

#include <exception>
#include <string>

namespace ajson {

class exception : public std::exception {
public:
    explicit exception(const std::string& msg) : m_msg(msg) {}
    ~exception() override = default;
    const char* what() const noexcept override { return m_msg.c_str(); }

private:
    std::string m_msg;
};

} // namespace ajson
