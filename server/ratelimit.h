// ratelimit.h: a per-address request budget.
//
// Each client address has a token bucket holding up to one minute's worth of
// requests and refilling at the configured rate; a request spends one token
// or is turned away. The key is the connection's real socket address (never a
// header): an IPv4 address, or the /64 network of an IPv6 address, since one
// IPv6 host usually owns a whole /64. IPv4 addresses mapped into IPv6 count as
// IPv4.
//
//   RateLimiter limiter(30);                              // 30 requests a minute
//   if (!limiter.Allow(address, steady_clock::now())) ...  // refuse: too many
//
// The table of addresses is bounded: when it is full, addresses whose bucket
// has refilled are forgotten; if none has, unknown addresses are turned away
// until some have. A rate of 0 turns the limit off. Safe from several threads.
#pragma once

#include <sys/socket.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>

namespace scored {

constexpr size_t kMaxTrackedAddresses = 100000;  // about 6 MB of buckets at most
constexpr auto kPruneInterval =
    std::chrono::seconds(1);  // a full table is swept at most this often

class RateLimiter {
  public:
    using Clock = std::chrono::steady_clock;

    explicit RateLimiter(int perMinute, size_t maxTracked = kMaxTrackedAddresses);

    // Spends one request of this address's budget; false when it is used up.
    // An address of an unknown family is always turned away.
    bool Allow(const sockaddr* address, Clock::time_point now);

  private:
    using Key = std::array<uint8_t, 9>;  // family tag, then up to 8 address bytes
    struct Bucket {
        double tokens;
        Clock::time_point updated;
    };

    static bool MakeKey(const sockaddr* address, Key& key);
    void Refill(Bucket& bucket, Clock::time_point now) const;
    void Prune(Clock::time_point now);

    const double perMinute_;
    const size_t maxTracked_;
    std::mutex mutex_;
    std::map<Key, Bucket> buckets_;
    Clock::time_point lastPrune_{};
};

}  // namespace scored
