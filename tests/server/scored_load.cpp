// scored_load.cpp: a load generator for quorvane-scored on loopback.
//
// Starts the built server on an ephemeral port of 127.0.0.1 with a fresh
// database and no rate limit, then keeps N connections in flight (default
// 50) for a bounded time (default 5 s, at most 60), each one a whole game
// submission: connect, the game's HTTP/1.0 request, the reply until the
// server closes. Users and scores vary so the store really writes. Prints
// submissions per second and latency percentiles (connect to close), then
// stops the server. One thread with epoll, so the generator itself takes as
// little of the machine as possible. Each connection slot sends from its own
// loopback address (127.0.1.x), like that many players: the server limits
// concurrent connections per address.
//
//   scored_load [connections] [seconds] [refused]
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "server/game_payload.h"
#include "server/loopback.h"

namespace {

constexpr int kDefaultConnections = 50;
constexpr int kMaxConnections = 500;
constexpr int kDefaultSeconds = 5;
constexpr int kMaxSeconds = 60;                // the run always ends by itself
constexpr int kDistinctUsers = 4000;           // requests cycle through this many players
constexpr uint32_t kFirstSource = 0x7F000101;  // 127.0.1.1, the first slot's address

using Clock = std::chrono::steady_clock;

struct Slot {
    int fd = -1;
    const std::string* request = nullptr;
    size_t sent = 0;
    std::string reply;
    Clock::time_point start;
};

// Valid submissions, or (to measure the HTTP side alone) ones the server
// refuses after decoding, storing nothing.
std::vector<std::string> MakeRequests(bool refused) {
    std::vector<std::string> requests;
    for (int n = 0; n < kDistinctUsers; ++n) {
        char id[18];
        std::snprintf(id, sizeof id, "2025121%010d", n);
        std::string name = "load " + std::to_string(n);
        name.resize(13, ' ');
        const int count = (n * 37) % 500 + (refused ? 1 : 0);
        scoredtest::GameSubmission s{
            id, name, {{{10 * count - (refused ? 1 : 0), count}, {0, 0}, {10 * (n % 7), n % 7}}}};
        requests.push_back("GET " + scoredtest::SubmissionTarget(s) +
                           " HTTP/1.0\r\nHost: localhost\r\n\r\n");
    }
    return requests;
}

class Generator {
  public:
    Generator(uint16_t port, int connections, bool refused)
        : port_(port), slots_(connections), requests_(MakeRequests(refused)), refused_(refused) {
        epoll_ = epoll_create1(0);
    }
    ~Generator() { close(epoll_); }

    void Run(std::chrono::seconds duration) {
        const auto end = Clock::now() + duration;
        started_ = Clock::now();
        for (size_t i = 0; i < slots_.size(); ++i) Open(i);
        epoll_event events[64];
        size_t open = slots_.size();
        while (open > 0) {
            const int n = epoll_wait(epoll_, events, 64, 1000);
            const bool stopping = Clock::now() >= end;
            for (int e = 0; e < n; ++e) {
                const size_t i = events[e].data.u64;
                if (!Step(i, events[e].events)) continue;
                Finish(i);
                if (stopping) {
                    --open;
                } else {
                    Open(i);
                }
            }
        }
        elapsed_ = Clock::now() - started_;
    }

    void Report() {
        std::sort(latencies_.begin(), latencies_.end());
        auto percentile = [&](double p) {
            if (latencies_.empty()) return 0.0;
            const size_t at =
                std::min(latencies_.size() - 1, static_cast<size_t>(p * latencies_.size()));
            return latencies_[at];
        };
        const double seconds = std::chrono::duration<double>(elapsed_).count();
        std::printf("connections %zu, %.1f s: %zu as expected, %zu failed\n", slots_.size(),
                    seconds, answered_, failed_);
        std::printf("%s/s %.0f\n", refused_ ? "refusals" : "submissions", answered_ / seconds);
        std::printf("latency ms: p50 %.2f  p90 %.2f  p99 %.2f  max %.2f\n", percentile(0.50),
                    percentile(0.90), percentile(0.99), latencies_.empty() ? 0 : latencies_.back());
    }

    size_t failed() const { return failed_; }

  private:
    void Open(size_t i) {
        Slot& slot = slots_[i];
        slot.request = &requests_[next_++ % requests_.size()];
        slot.sent = 0;
        slot.reply.clear();
        slot.start = Clock::now();
        slot.fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        const int one = 1;
        setsockopt(slot.fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        sockaddr_in source{};
        source.sin_family = AF_INET;
        source.sin_addr.s_addr = htonl(kFirstSource + static_cast<uint32_t>(i));
        bind(slot.fd, reinterpret_cast<sockaddr*>(&source), sizeof source);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port_);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connect(slot.fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        epoll_event event{};
        event.events = EPOLLOUT | EPOLLIN;
        event.data.u64 = i;
        epoll_ctl(epoll_, EPOLL_CTL_ADD, slot.fd, &event);
    }

    // Advances a connection; true when it has ended.
    bool Step(size_t i, uint32_t events) {
        Slot& slot = slots_[i];
        if (events & EPOLLERR) return true;
        if ((events & EPOLLOUT) && slot.sent < slot.request->size()) {
            const ssize_t n = send(slot.fd, slot.request->data() + slot.sent,
                                   slot.request->size() - slot.sent, MSG_NOSIGNAL);
            if (n < 0 && errno != EAGAIN) return true;
            if (n > 0) slot.sent += static_cast<size_t>(n);
            if (slot.sent == slot.request->size()) {
                epoll_event event{};
                event.events = EPOLLIN;
                event.data.u64 = i;
                epoll_ctl(epoll_, EPOLL_CTL_MOD, slot.fd, &event);
            }
        }
        if (events & (EPOLLIN | EPOLLHUP)) {
            char buffer[4096];
            while (true) {
                const ssize_t n = recv(slot.fd, buffer, sizeof buffer, 0);
                if (n > 0) {
                    slot.reply.append(buffer, static_cast<size_t>(n));
                    continue;
                }
                if (n == 0) return true;
                return errno != EAGAIN;
            }
        }
        return false;
    }

    void Finish(size_t i) {
        Slot& slot = slots_[i];
        close(slot.fd);
        slot.fd = -1;
        const auto reply = scoredtest::ParseReply(slot.reply);
        const bool expected = refused_
                                  ? reply.status == 400
                                  : reply.status == 200 && reply.body.rfind("OnlineScores", 0) == 0;
        if (expected) {
            ++answered_;
            latencies_.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - slot.start).count());
        } else {
            ++failed_;
        }
    }

    const uint16_t port_;
    std::vector<Slot> slots_;
    const std::vector<std::string> requests_;
    const bool refused_;
    size_t next_ = 0;
    int epoll_ = -1;
    std::vector<double> latencies_;
    size_t answered_ = 0;
    size_t failed_ = 0;
    Clock::time_point started_;
    Clock::duration elapsed_{};
};

}  // namespace

int main(int argc, char** argv) {
    const int connections =
        std::clamp(argc > 1 ? std::atoi(argv[1]) : kDefaultConnections, 1, kMaxConnections);
    const int seconds = std::clamp(argc > 2 ? std::atoi(argv[2]) : kDefaultSeconds, 1, kMaxSeconds);
    const bool refused = argc > 3 && std::string(argv[3]) == "refused";

    scoredtest::TempFolder folder;
    scoredtest::ServerProcess server;
    if (!server.Start(QUORVANE_SCORED, folder.path() + "/scores.db", {"--rate-limit", "0"})) {
        std::fprintf(stderr, "scored_load: the server did not start\n");
        return 1;
    }
    Generator generator(server.port(), connections, refused);
    generator.Run(std::chrono::seconds(seconds));
    generator.Report();
    const int status = server.Stop();
    return status == 0 && generator.failed() == 0 ? 0 : 1;
}
