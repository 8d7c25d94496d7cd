// loopback_test.cpp: the built quorvane-scored, started as its own process on
// an ephemeral loopback port and spoken to over real sockets.
//
// Submissions are built by the game-side helper and sent with the game's
// request head; replies are read the way the game's online board reads them.
#include "server/loopback.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "server/board_reader.h"
#include "server/game_payload.h"

namespace {

using scoredtest::Exchange;
using scoredtest::GameSubmission;
using scoredtest::Get;
using scoredtest::HttpReply;
using scoredtest::ReadOnlineBoard;
using scoredtest::ServerProcess;
using scoredtest::SubmissionTarget;

constexpr const char* kServer = QUORVANE_SCORED;

std::string UserId(int n) {
    char id[18];
    std::snprintf(id, sizeof id, "2025121%010d", n);
    return id;
}

GameSubmission Player(int n, const std::string& name, int slow, int normal = 0, int fast = 0) {
    return {UserId(n), name, {{{slow, slow / 10}, {normal, normal / 10}, {fast, fast / 10}}}};
}

bool IsBoard(const HttpReply& reply) {
    return reply.body.rfind("OnlineScores", 0) == 0;
}

class LoopbackTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(Start({"--rate-limit", "0"})); }

    bool Start(const std::vector<std::string>& extra) {
        return server_.Start(kServer, database_, extra);
    }

    HttpReply Submit(const GameSubmission& s) { return Get(server_.port(), SubmissionTarget(s)); }

    scoredtest::TempFolder folder_;
    std::string database_ = folder_.path() + "/scores.db";
    ServerProcess server_;
};

TEST_F(LoopbackTest, AnAcceptedSubmissionIsStoredAndFillsTheBoard) {
    const HttpReply first = Submit(Player(1, "Ada          ", 120, 0, 4570));
    EXPECT_EQ(first.status, 200);
    const HttpReply second = Submit(Player(2, "Grace        ", 90, 30));
    ASSERT_TRUE(IsBoard(second)) << second.body;

    const auto board = ReadOnlineBoard(second.body);
    EXPECT_EQ(board.names[20], "Ada          ");
    EXPECT_EQ(board.scores[20], 120);
    EXPECT_EQ(board.names[21], "Grace        ");
    EXPECT_EQ(board.scores[21], 90);
    EXPECT_EQ(board.names[40], "Grace        ");
    EXPECT_EQ(board.scores[40], 30);
    EXPECT_EQ(board.names[60], "Ada          ");
    EXPECT_EQ(board.scores[60], 4570);
    EXPECT_EQ(board.names[22], "");
    EXPECT_EQ(board.scores[22], 0);

    // One log line per request, naming the client and the outcome.
    EXPECT_TRUE(server_.WaitForLog("127.0.0.1 GET /Scores.php 200 sent", 2)) << server_.Log();
    EXPECT_NE(server_.Log().find("stored " + UserId(2)), std::string::npos);
}

TEST_F(LoopbackTest, NamesWithBracesBarsAndSpacesComeBackWithoutBreakingTheReply) {
    // The game's scrambling carries "{" but turns "|" and "}" into spaces.
    Submit(Player(1, "{a|b} c{ d  {", 500));
    const HttpReply reply = Submit(Player(2, "[x] @y! *z*  ", 400));
    const auto board = ReadOnlineBoard(reply.body);
    ASSERT_TRUE(board.understood);
    EXPECT_EQ(board.names[20], " a b  c  d   ");
    EXPECT_EQ(board.scores[20], 500);
    EXPECT_EQ(board.names[21], "[x] @y! *z*  ");
    EXPECT_EQ(board.scores[21], 400);
}

TEST_F(LoopbackTest, RefusedRequestsGetNoBoardAndStoreNothing) {
    const std::string good = SubmissionTarget(Player(7, "Mallory      ", 990));
    std::string tampered = good;
    tampered[tampered.size() - 12] = tampered[tampered.size() - 12] == 'a' ? 'b' : 'a';
    GameSubmission forged = Player(8, "Mallory      ", 990);
    forged.bests[0] = {1000, 10};
    const std::string oversized = good + std::string(1100, 'a');
    const std::string body = "Hello";

    struct Case {
        const char* what;
        std::string request;
    };
    const Case cases[] = {
        {"tampered", "GET " + tampered + " HTTP/1.0\r\nHost: localhost\r\n\r\n"},
        {"truncated", "GET " + good.substr(0, good.size() - 7) + " HTTP/1.0\r\n\r\n"},
        {"forged score", "GET " + SubmissionTarget(forged) + " HTTP/1.0\r\n\r\n"},
        {"oversized target", "GET " + oversized + " HTTP/1.0\r\n\r\n"},
        {"far oversized target", "GET " + good + std::string(20000, 'a') + " HTTP/1.0\r\n\r\n"},
        {"other path", "GET /Scores.php.bak?" + good.substr(12) + " HTTP/1.0\r\n\r\n"},
        {"percent-escaped", "GET /Scores%2Ephp?" + good.substr(12) + " HTTP/1.0\r\n\r\n"},
        {"post", "POST " + good + " HTTP/1.0\r\nContent-Length: 0\r\n\r\n"},
        {"body with length",
         "GET " + good + " HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\n" + body},
        {"chunked body",
         "GET " + good +
             " HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nHello\r\n0\r\n\r\n"},
    };
    for (const Case& c : cases) {
        const HttpReply reply = Exchange(server_.port(), c.request);
        EXPECT_FALSE(IsBoard(reply)) << c.what << ": " << reply.body;
        EXPECT_NE(reply.status, 200) << c.what;
    }

    const HttpReply after = Submit(Player(9, "Honest       ", 10));
    const auto board = ReadOnlineBoard(after.body);
    ASSERT_TRUE(board.understood) << after.body;
    EXPECT_EQ(board.names[20], "Honest       ");
    EXPECT_EQ(board.names[21], "");
}

TEST(LoopbackMalformed, MalformedRequestsNeitherCrashNorStopIt) {
    // A short idle timeout: junk that never completes a line is cut off.
    scoredtest::TempFolder folder;
    ServerProcess server;
    ASSERT_TRUE(server.Start(kServer, folder.path() + "/scores.db", {"--timeout", "1"}));
    const std::string junk[] = {
        "\r\n\r\n",
        "GET\r\n\r\n",
        "GET /Scores.php\r\n\r\n",
        "GARBAGE GARBAGE GARBAGE GARBAGE\r\n\r\n",
        std::string("\x00\xff\x16\x03\x01\x02\x00", 7),
        "GET /Scores.php?Game=0512&Score= HTTP/1.0\r\n" + std::string(30000, 'X') + "\r\n\r\n",
        "GET /Scores.php?Game=0512&Score=*!J HTTP/9.9\r\n\r\n",
        "GET /Scores.php?Game=0512&Score=" + std::string(500, '%') + " HTTP/1.0\r\n\r\n",
        "GET /Scores.php HTTP/1.1\r\nHost: x\r\nContent-Length: -1\r\n\r\n",
        "GET /Scores.php HTTP/1.1\r\nHost: x\r\nContent-Length: 99999999999999999999\r\n\r\n",
    };
    for (const std::string& request : junk) {
        EXPECT_FALSE(IsBoard(Exchange(server.port(), request))) << request.substr(0, 40);
    }
    // A client that sends half a request and goes away.
    const int fd = scoredtest::ConnectLoopback(server.port());
    ASSERT_GE(fd, 0);
    send(fd, "GET /Sco", 8, MSG_NOSIGNAL);
    close(fd);

    EXPECT_TRUE(IsBoard(Get(server.port(), SubmissionTarget(Player(1, "Still here   ", 10)))));
    // A clean exit (under the sanitizers also: nothing leaked or overran).
    EXPECT_EQ(server.Stop(), 0);
}

TEST_F(LoopbackTest, ConcurrentSubmissionsAreAllStored) {
    constexpr int kThreads = 8;
    constexpr int kEach = 10;
    std::vector<std::thread> threads;
    std::vector<int> boards(kThreads, 0);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) {
                const int n = t * kEach + i;
                std::string name = "p" + std::to_string(n);
                name.resize(13, ' ');
                if (IsBoard(Submit(Player(n, name, 10 * (n + 1))))) ++boards[t];
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(boards[t], kEach) << t;

    const auto board = ReadOnlineBoard(Submit(Player(999, "late         ", 10)).body);
    for (int k = 0; k < 5; ++k) EXPECT_EQ(board.scores[20 + k], 10 * (kThreads * kEach - k));
}

TEST_F(LoopbackTest, StopsCleanlyAndRestartsWithItsDataIntact) {
    Submit(Player(1, "Before       ", 300, 20));
    EXPECT_EQ(server_.Stop(SIGTERM), 0);
    EXPECT_NE(server_.Log().find("stopped"), std::string::npos);

    ServerProcess again;
    ASSERT_TRUE(again.Start(kServer, database_, {"--rate-limit", "0"}));
    const auto board =
        ReadOnlineBoard(Get(again.port(), SubmissionTarget(Player(2, "After        ", 300))).body);
    EXPECT_EQ(board.names[20], "Before       ");
    EXPECT_EQ(board.names[21], "After        ");  // the tie goes to the older score
    EXPECT_EQ(board.scores[40], 20);
    EXPECT_EQ(again.Stop(SIGINT), 0);
}

TEST(LoopbackLimits, AnAddressOverItsBudgetIsTurnedAwayAndStoresNothing) {
    scoredtest::TempFolder folder;
    ServerProcess server;
    ASSERT_TRUE(server.Start(kServer, folder.path() + "/scores.db", {"--rate-limit", "3"}));
    for (int n = 0; n < 3; ++n) {
        EXPECT_TRUE(IsBoard(Get(server.port(), SubmissionTarget(Player(n, "ok           ", 10)))));
    }
    const HttpReply refused =
        Get(server.port(), SubmissionTarget(Player(3, "one too many ", 9990)));
    EXPECT_EQ(refused.status, 429);
    EXPECT_FALSE(IsBoard(refused));
    EXPECT_EQ(server.Stop(), 0);

    ServerProcess unlimited;
    ASSERT_TRUE(unlimited.Start(kServer, folder.path() + "/scores.db", {"--rate-limit", "0"}));
    const auto board = ReadOnlineBoard(
        Get(unlimited.port(), SubmissionTarget(Player(4, "check        ", 10))).body);
    EXPECT_EQ(board.scores[20], 10);  // the refused 9990 was never stored
}

TEST(LoopbackLimits, AnIdleConnectionIsClosedAfterTheTimeout) {
    scoredtest::TempFolder folder;
    ServerProcess server;
    ASSERT_TRUE(server.Start(kServer, folder.path() + "/scores.db", {"--timeout", "1"}));
    const int fd = scoredtest::ConnectLoopback(server.port());
    ASSERT_GE(fd, 0);
    send(fd, "GET /Scores.php?Game=05", 23, MSG_NOSIGNAL);
    std::string received;
    EXPECT_TRUE(scoredtest::ReadToClose(fd, received, std::chrono::seconds(5)));
    EXPECT_EQ(received.find("OnlineScores"), std::string::npos);
    close(fd);
    EXPECT_EQ(server.Stop(), 0);
}

TEST(LoopbackFlags, RefusesUnknownFlagsAndBadValues) {
    struct Case {
        std::vector<std::string> args;
    };
    const Case cases[] = {{{"--bogus"}},
                          {{"--port", "70000"}},
                          {{"--port"}},
                          {{"--address", "not-an-address"}},
                          {{"--rate-limit", "-1"}}};
    for (const Case& c : cases) {
        scoredtest::TempFolder folder;
        ServerProcess server;
        EXPECT_FALSE(server.Start(kServer, folder.path() + "/scores.db", c.args)) << c.args[0];
        EXPECT_NE(server.Stop(), 0) << c.args[0];
    }
}

}  // namespace
