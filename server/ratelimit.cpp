// ratelimit.cpp: token buckets keyed by client address.
//
// Owns the bucket table behind one mutex; each call does a map lookup and a
// little arithmetic, so the lock is held only briefly.
#include "server/ratelimit.h"

#include <netinet/in.h>

#include <algorithm>
#include <cstring>

namespace scored {

namespace {

constexpr uint8_t kTagIPv4 = 4;
constexpr uint8_t kTagIPv6 = 6;
constexpr size_t kIPv6PrefixBytes = 8;  // the /64 network

}  // namespace

RateLimiter::RateLimiter(int perMinute, size_t maxTracked)
    : perMinute_(std::max(perMinute, 0)), maxTracked_(std::max<size_t>(maxTracked, 1)) {}

bool RateLimiter::MakeKey(const sockaddr* address, Key& key) {
    key.fill(0);
    if (address == nullptr) return false;
    if (address->sa_family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(address);
        key[0] = kTagIPv4;
        std::memcpy(&key[1], &v4->sin_addr, 4);
        return true;
    }
    if (address->sa_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(address);
        const uint8_t* bytes = v6->sin6_addr.s6_addr;
        if (IN6_IS_ADDR_V4MAPPED(&v6->sin6_addr)) {
            key[0] = kTagIPv4;
            std::memcpy(&key[1], bytes + 12, 4);
        } else {
            key[0] = kTagIPv6;
            std::memcpy(&key[1], bytes, kIPv6PrefixBytes);
        }
        return true;
    }
    return false;
}

void RateLimiter::Refill(Bucket& bucket, Clock::time_point now) const {
    const double minutes =
        std::chrono::duration<double, std::ratio<60>>(now - bucket.updated).count();
    if (minutes > 0) {
        bucket.tokens = std::min(perMinute_, bucket.tokens + minutes * perMinute_);
        bucket.updated = now;
    }
}

void RateLimiter::Prune(Clock::time_point now) {
    if (lastPrune_ != Clock::time_point{} && now - lastPrune_ < kPruneInterval) return;
    lastPrune_ = now;
    for (auto it = buckets_.begin(); it != buckets_.end();) {
        Refill(it->second, now);
        it = it->second.tokens >= perMinute_ ? buckets_.erase(it) : std::next(it);
    }
}

bool RateLimiter::Allow(const sockaddr* address, Clock::time_point now) {
    Key key;
    if (!MakeKey(address, key)) return false;
    if (perMinute_ <= 0) return true;
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = buckets_.find(key);
    if (it == buckets_.end()) {
        if (buckets_.size() >= maxTracked_) Prune(now);
        if (buckets_.size() >= maxTracked_) return false;
        it = buckets_.emplace(key, Bucket{perMinute_, now}).first;
    }
    Bucket& bucket = it->second;
    Refill(bucket, now);
    if (bucket.tokens < 1) return false;
    bucket.tokens -= 1;
    return true;
}

}  // namespace scored
