// One client connection as the request workers see it: buffered socket
// I/O for the HTTP server with the request head limited as it arrives, the
// bytes of each exchange counted, and what a request's handler may ask of
// its connection (close it after the answer, drop it at once, hand it to
// the event hub).
//
//   Connection* c = Connection::current();   // in a handler: the caller's
//   c->closeAfterReply();
#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

namespace LCD {
namespace Sim {

class Connection final : public httplib::Stream {
public:
    // Owns `fd`; blocking waits give up early once `stopping` is set.
    Connection(int fd, const std::atomic<bool>& stopping);
    ~Connection() override; // closes the socket unless released
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The connection whose request this thread is serving, or null.
    static Connection* current();
    // Makes this the current connection of this thread while it lives.
    struct Serving {
        explicit Serving(Connection& c);
        ~Serving();
    };

    // What a handler may ask.
    void closeAfterReply() { m_closeAfterReply = true; }
    void abort(); // the client sees the connection fail, no answer
    // Answers with the head of a chunked body of `contentType` and then
    // gives the socket to `take`, which writes the body from then on;
    // `cancel` is called instead when the head could not be written.
    using Take = std::function<void(int fd, const std::string& peer)>;
    void handOverAfterHead(httplib::Response& res, const char* contentType, Take take,
                           std::function<void()> cancel);

    // Between the exchanges of a connection.
    void beginRequest();
    std::size_t exchanges() const { return m_exchanges; } // begun so far
    bool closeAfterReplyAsked() const { return m_closeAfterReply; }
    // After the exchange: true when the socket was handed over.
    bool finishHandover();
    bool handingOver() const { return m_take && m_headIsOut; }
    // What was answered, for the log: "GET /sim/stats" and 200.
    void noteAnswer(std::string request, int status) {
        m_request = std::move(request);
        m_status = status;
    }
    const std::string& request() const { return m_request; }
    int status() const { return m_status; }
    bool headTooLarge() const { return m_headTooLarge; }
    // Bytes of the request body read, of the answer after its head.
    std::size_t bodyBytesIn() const { return m_bodyIn; }
    std::size_t bytesOut() const { return m_out > m_headOut ? m_out - m_headOut : 0; }
    std::size_t bytesWritten() const { return m_out; }
    // Whether a next request has begun to arrive within `wait`.
    bool inputWithin(std::chrono::milliseconds wait);
    // Ends the connection so that the client reads what it was sent even
    // when it is still sending: no more writes, then what arrives is read
    // and dropped for a short while before the socket closes.
    void closeGracefully();
    // Writes a whole answer of our own, outside the HTTP server.
    void writeRaw(const std::string& bytes);
    std::string peer() const;

    // httplib::Stream
    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return m_fd; }

private:
    bool waitFor(short events, std::chrono::milliseconds limit) const;
    void countHead(const char* data, std::size_t n, std::size_t& bodyPart);

    int m_fd;
    std::size_t m_exchanges = 0;
    const std::atomic<bool>& m_stopping;
    char m_buffer[16384];
    std::size_t m_begin = 0, m_end = 0; // unread bytes in m_buffer

    // The exchange now served.
    bool m_headDone = false, m_headTooLarge = false;
    std::size_t m_headIn = 0, m_lineIn = 0, m_lines = 0;
    bool m_lineIsCr = false; // the line so far is a lone carriage return
    std::size_t m_bodyIn = 0, m_out = 0, m_headOut = 0;
    bool m_closeAfterReply = false;
    Take m_take;
    std::function<void()> m_cancel;
    bool m_headIsOut = false;
    std::string m_request;
    int m_status = 0;
};

} // namespace Sim
} // namespace LCD
