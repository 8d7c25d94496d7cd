// net_support.h: loopback test servers, hand-offs between threads and the
// update pump shared by the networking tests.
//
// A LoopbackServer listens on an ephemeral port of 127.0.0.1 (or of every
// local address), accepts one connection on its own thread and runs a script
// on it written with plain BSD calls, so the code under test meets an
// independent peer. Gates let a script wait for the test and the test for a
// script. PumpUntil calls bb_asyncevent_UpdateAsyncEvents as the game's update
// does until a condition holds; its deadline only keeps a broken test from
// hanging.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "net/net.h"

namespace nettest {

constexpr auto kHangGuard = std::chrono::seconds(20);  // far beyond any healthy wait

// A counter one thread posts to and another takes from.
class Gate {
  public:
    void Post() {
        std::lock_guard<std::mutex> lock(mutex_);
        ++count_;
        changed_.notify_all();
    }
    // False when nothing was posted before the hang guard ran out.
    bool Take() {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!changed_.wait_for(lock, kHangGuard, [&] { return count_ > 0; })) return false;
        --count_;
        return true;
    }
    bool TryTake() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (count_ == 0) return false;
        --count_;
        return true;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int count_ = 0;
};

inline void SendText(int fd, std::string_view text) {
    size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t n = ::send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<size_t>(n);
    }
}

// Reads until the empty line that ends a request head, or the end of stream.
inline std::string ReadHead(int fd) {
    std::string head;
    char c;
    while (head.size() < 65536 && ::recv(fd, &c, 1, 0) == 1) {
        head.push_back(c);
        if (head.size() >= 4 && head.compare(head.size() - 4, 4, "\r\n\r\n") == 0) break;
    }
    return head;
}

// Reads exactly n bytes unless the stream ends first.
inline std::string ReadBytes(int fd, size_t n) {
    std::string bytes(n, '\0');
    size_t got = 0;
    while (got < n) {
        const ssize_t r = ::recv(fd, bytes.data() + got, n - got, 0);
        if (r <= 0) break;
        got += static_cast<size_t>(r);
    }
    bytes.resize(got);
    return bytes;
}

// Ends the connection with a reset instead of an orderly close.
inline void Reset(int& fd) {
    linger abort{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    ::close(fd);
    fd = -1;
}

class LoopbackServer {
  public:
    // The script owns the connection; it may close or reset it (setting it
    // to -1), otherwise it is closed when the script returns.
    using Script = std::function<void(int& connection)>;

    explicit LoopbackServer(Script script, in_addr_t address = htonl(INADDR_LOOPBACK)) {
        listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in where{};
        where.sin_family = AF_INET;
        where.sin_addr.s_addr = address;
        ::bind(listen_, reinterpret_cast<sockaddr*>(&where), sizeof where);
        ::listen(listen_, 16);
        socklen_t length = sizeof where;
        getsockname(listen_, reinterpret_cast<sockaddr*>(&where), &length);
        port_ = ntohs(where.sin_port);
        thread_ = std::thread([this, script = std::move(script)] {
            int connection = ::accept(listen_, nullptr, nullptr);
            if (connection < 0) return;
            script(connection);
            if (connection >= 0) ::close(connection);
        });
    }
    ~LoopbackServer() {
        ::shutdown(listen_, SHUT_RDWR);  // wakes an accept that never got a client
        if (thread_.joinable()) thread_.join();
        ::close(listen_);
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int Port() const { return port_; }
    String Url(const std::string& path) const {
        return bbStringFromUtf8("http://127.0.0.1:" + std::to_string(port_) + path);
    }

  private:
    int listen_ = -1;
    int port_ = 0;
    std::thread thread_;
};

// A port on 127.0.0.1 that nothing listens on.
inline int RefusedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&where), sizeof where);
    socklen_t length = sizeof where;
    getsockname(fd, reinterpret_cast<sockaddr*>(&where), &length);
    ::close(fd);
    return ntohs(where.sin_port);
}

// Waits without updating until done() holds.
inline bool WaitFor(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + kHangGuard;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Updates as the game's main loop would, about once a millisecond.
inline bool PumpUntil(const std::function<bool()>& done,
                      std::chrono::steady_clock::duration guard = kHangGuard) {
    const auto deadline = std::chrono::steady_clock::now() + guard;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        bb_asyncevent_UpdateAsyncEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

inline void PumpUpdates(int updates) {
    for (int i = 0; i < updates; ++i) {
        bb_asyncevent_UpdateAsyncEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// Inside a death test: the runtime error report goes to standard output and
// then waits for a debugger on standard input; send the one to the stream the
// death test reads and give the other no debugger.
inline void RouteErrorReportToDeathTest() {
    ::dup2(STDERR_FILENO, STDOUT_FILENO);
    if (!std::freopen("/dev/null", "r", stdin)) std::fclose(stdin);
}

}  // namespace nettest
