// ratelimit_test.cpp: per-address budgets, driven by a hand-moved clock.
#include "server/ratelimit.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>

#include <string>

namespace {

using scored::RateLimiter;
using namespace std::chrono_literals;

const RateLimiter::Clock::time_point kStart = RateLimiter::Clock::time_point{} + 1000h;

struct Address {
    sockaddr_storage storage{};
    const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&storage); }
};

Address V4(const char* text) {
    Address a;
    auto* v4 = reinterpret_cast<sockaddr_in*>(&a.storage);
    v4->sin_family = AF_INET;
    v4->sin_port = htons(40000);
    inet_pton(AF_INET, text, &v4->sin_addr);
    return a;
}

Address V6(const char* text, uint16_t port = 40000) {
    Address a;
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&a.storage);
    v6->sin6_family = AF_INET6;
    v6->sin6_port = htons(port);
    inet_pton(AF_INET6, text, &v6->sin6_addr);
    return a;
}

int Allowed(RateLimiter& limiter, const Address& address, int tries,
            RateLimiter::Clock::time_point now) {
    int allowed = 0;
    for (int i = 0; i < tries; ++i) allowed += limiter.Allow(address.get(), now) ? 1 : 0;
    return allowed;
}

TEST(RateLimiter, AllowsOneMinutesWorthAtOnceThenRefillsWithTime) {
    RateLimiter limiter(6);
    const Address a = V4("192.0.2.1");
    EXPECT_EQ(Allowed(limiter, a, 10, kStart), 6);
    EXPECT_EQ(Allowed(limiter, a, 10, kStart + 30s), 3);  // half a minute earns half a budget
    EXPECT_EQ(Allowed(limiter, a, 10, kStart + 1h), 6);   // never more than one minute's worth
}

TEST(RateLimiter, KeysOnTheAddressNotThePort) {
    RateLimiter limiter(2);
    EXPECT_EQ(Allowed(limiter, V4("192.0.2.1"), 3, kStart), 2);
    EXPECT_EQ(Allowed(limiter, V4("192.0.2.1"), 1, kStart), 0);
    EXPECT_EQ(Allowed(limiter, V4("192.0.2.2"), 3, kStart), 2);
    // The same host through an IPv4-mapped IPv6 socket shares its budget.
    EXPECT_EQ(Allowed(limiter, V6("::ffff:192.0.2.2", 50000), 1, kStart), 0);
}

TEST(RateLimiter, TreatsAnIPv6SlashSixtyFourAsOneClient) {
    RateLimiter limiter(2);
    EXPECT_EQ(Allowed(limiter, V6("2001:db8:1:2::1"), 1, kStart), 1);
    EXPECT_EQ(Allowed(limiter, V6("2001:db8:1:2:ffff::9"), 3, kStart), 1);
    EXPECT_EQ(Allowed(limiter, V6("2001:db8:1:3::1"), 3, kStart), 2);
}

TEST(RateLimiter, ZeroRateNeverLimits) {
    RateLimiter limiter(0);
    EXPECT_EQ(Allowed(limiter, V4("192.0.2.1"), 1000, kStart), 1000);
}

TEST(RateLimiter, RefusesUnknownAddressFamilies) {
    RateLimiter limiter(0);
    Address unix;
    unix.storage.ss_family = AF_UNIX;
    EXPECT_FALSE(limiter.Allow(unix.get(), kStart));
    EXPECT_FALSE(limiter.Allow(nullptr, kStart));
}

TEST(RateLimiter, AFullTableTurnsNewAddressesAwayUntilOldBucketsRefill) {
    RateLimiter limiter(3, 2);
    EXPECT_EQ(Allowed(limiter, V4("192.0.2.1"), 1, kStart), 1);
    EXPECT_EQ(Allowed(limiter, V4("192.0.2.2"), 1, kStart), 1);
    EXPECT_EQ(Allowed(limiter, V4("192.0.2.3"), 1, kStart + 1s), 0);
    // Known addresses keep their budgets meanwhile.
    EXPECT_EQ(Allowed(limiter, V4("192.0.2.1"), 1, kStart + 2s), 1);
    // After a minute both buckets are full again and can be forgotten.
    EXPECT_EQ(Allowed(limiter, V4("192.0.2.3"), 1, kStart + 2min), 1);
}

}  // namespace
