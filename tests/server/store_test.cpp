// store_test.cpp: the SQLite score store on a real database file.
//
// Each test gets a fresh folder; boards are read back through the store and,
// for persistence, through a second store opened on the same file.
#include "server/store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using scored::Boards;
using scored::ScoreStore;
using scored::Submission;

constexpr int64_t kDay = 86400;
constexpr int64_t kMonday = 1765152000;  // 2025-12-08 00:00:00 UTC

Submission Player(const std::string& userId, const std::string& name, int slow, int normal = 0,
                  int fast = 0) {
    Submission s;
    s.userId = userId;
    s.name = name;
    s.version = 1;
    s.bests = {{{slow, slow / 10}, {normal, normal / 10}, {fast, fast / 10}}};
    return s;
}

std::vector<std::string> Names(const scored::Board& board) {
    std::vector<std::string> names;
    for (const auto& entry : board) names.push_back(entry.name);
    return names;
}

class StoreTest : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/scored-store-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        path_ = folder_ + "/scores.db";
        std::string error;
        ASSERT_TRUE(store_.Open(path_, error)) << error;
    }
    void TearDown() override {
        store_.Close();
        std::filesystem::remove_all(folder_);
    }

    Boards Record(const Submission& s, int64_t now = kMonday) {
        Boards boards;
        EXPECT_TRUE(store_.Record(s, now, boards));
        return boards;
    }

    std::string folder_;
    std::string path_;
    ScoreStore store_;
};

TEST_F(StoreTest, KeepsTheBestScoreWithItsCountAndFollowsTheLatestName) {
    Record(Player("10000000000000001", "Ada          ", 120), kMonday);
    Boards boards = Record(Player("10000000000000001", "Ada L        ", 80), kMonday + kDay);
    ASSERT_EQ(boards[0].size(), 1u);
    EXPECT_EQ(boards[0][0].score, 120);
    EXPECT_EQ(boards[0][0].count, 12);
    EXPECT_EQ(boards[0][0].name, "Ada L        ");
    EXPECT_EQ(boards[0][0].reachedAt, kMonday);

    boards = Record(Player("10000000000000001", "Ada L        ", 200), kMonday + 2 * kDay);
    EXPECT_EQ(boards[0][0].score, 200);
    EXPECT_EQ(boards[0][0].count, 20);
    EXPECT_EQ(boards[0][0].reachedAt, kMonday + 2 * kDay);
}

TEST_F(StoreTest, BoardsHoldTheTopFivePerGameTypeBestFirst) {
    const int slow[] = {50, 300, 10, 70, 300, 20, 90};
    for (int i = 0; i < 7; ++i) {
        Record(Player("2000000000000000" + std::to_string(i), "P" + std::to_string(i), slow[i],
                      i == 2 ? 40 : 0));
    }
    const Boards boards = Record(Player("30000000000000000", "Fast only", 0, 0, 10));
    EXPECT_EQ(Names(boards[0]), (std::vector<std::string>{"P1", "P4", "P6", "P3", "P0"}));
    EXPECT_EQ(Names(boards[1]), (std::vector<std::string>{"P2"}));
    EXPECT_EQ(Names(boards[2]), (std::vector<std::string>{"Fast only"}));
}

TEST_F(StoreTest, EqualScoresStayInTheOrderTheyWereReached) {
    Record(Player("40000000000000003", "third", 100), kMonday);
    Record(Player("40000000000000001", "first", 100), kMonday);
    Record(Player("40000000000000002", "second", 100), kMonday);
    // Sending the same best again, even under a new name, keeps the place.
    Boards boards = Record(Player("40000000000000003", "third again", 100), kMonday + kDay);
    EXPECT_EQ(Names(boards[0]), (std::vector<std::string>{"third again", "first", "second"}));

    boards = Record(Player("40000000000000002", "second", 110), kMonday + kDay);
    EXPECT_EQ(Names(boards[0]), (std::vector<std::string>{"second", "third again", "first"}));
}

TEST_F(StoreTest, DataAndTieOrderSurviveReopening) {
    Record(Player("50000000000000001", "before", 100, 30));
    store_.Close();

    ScoreStore reopened;
    std::string error;
    ASSERT_TRUE(reopened.Open(path_, error)) << error;
    Boards boards;
    ASSERT_TRUE(reopened.ReadBoards(boards));
    ASSERT_EQ(boards[0].size(), 1u);
    EXPECT_EQ(boards[0][0].name, "before");
    EXPECT_EQ(boards[1][0].score, 30);

    // A tie reached after the restart still ranks after the older score.
    ASSERT_TRUE(reopened.Record(Player("50000000000000002", "after", 100), kMonday, boards));
    EXPECT_EQ(Names(boards[0]), (std::vector<std::string>{"before", "after"}));
}

TEST_F(StoreTest, UsesWriteAheadLogging) {
    EXPECT_EQ(store_.JournalMode(), "wal");
}

TEST_F(StoreTest, StoresNamesAsValuesNeverAsSql) {
    const std::string names[] = {"x'); DROP TA", "\"; --       ", "Robert'--    "};
    for (size_t i = 0; i < 3; ++i) {
        Record(Player("6000000000000000" + std::to_string(i), names[i], 100 - 10 * int(i)));
    }
    const Boards boards = Record(Player("60000000000000009", "{brace{      ", 10));
    EXPECT_EQ(Names(boards[0]), (std::vector<std::string>{"x'); DROP TA", "\"; --       ",
                                                          "Robert'--    ", " brace       "}));
}

TEST_F(StoreTest, ZeroScoresAddNoEntry) {
    const Boards boards = Record(Player("70000000000000001", "nobody", 0, 0, 0));
    for (const auto& board : boards) EXPECT_TRUE(board.empty());
}

TEST_F(StoreTest, ConcurrentRecordsAreAllKept) {
    constexpr int kThreads = 4;
    constexpr int kEach = 50;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < kEach; ++i) {
                const int n = t * kEach + i;
                Boards boards;
                char id[18];
                std::snprintf(id, sizeof id, "8%016d", n);
                EXPECT_TRUE(store_.Record(Player(id, "p" + std::to_string(n), 10 * (n + 1)),
                                          kMonday, boards));
            }
        });
    }
    for (auto& thread : threads) thread.join();

    Boards boards;
    ASSERT_TRUE(store_.ReadBoards(boards));
    EXPECT_EQ(Names(boards[0]), (std::vector<std::string>{"p199", "p198", "p197", "p196", "p195"}));
    ASSERT_TRUE(store_.Flush());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* count = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT COUNT(*) FROM scores", -1, &count, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(count), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(count, 0), kThreads * kEach);
    sqlite3_finalize(count);
    sqlite3_close(db);
}

// A plain model of the rules: best per user and type, latest name, ties to
// the earlier best.
struct ModelRow {
    std::string userId, name;
    int score;
    int order;
};

std::vector<std::string> ModelTopFive(const std::vector<ModelRow>& rows) {
    std::vector<ModelRow> sorted = rows;
    std::sort(sorted.begin(), sorted.end(), [](const ModelRow& a, const ModelRow& b) {
        return a.score != b.score ? a.score > b.score : a.order < b.order;
    });
    std::vector<std::string> names;
    for (size_t i = 0; i < sorted.size() && i < 5; ++i) names.push_back(sorted[i].name);
    return names;
}

TEST_F(StoreTest, BoardsInMemoryMatchTheRulesAndTheDatabaseOverManySubmissions) {
    std::array<std::vector<ModelRow>, 3> model;
    uint32_t seed = 12345;
    auto next = [&](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    int order = 0;
    for (int i = 0; i < 600; ++i) {
        // Few users and few distinct scores: many ties, many improvements.
        const std::string id = "9000000000000" + std::to_string(1000 + next(40));
        const std::string name = "n" + std::to_string(next(1000));
        const Submission s = Player(id, name, 10 * next(20), 10 * next(5), 10 * next(50));
        Boards boards;
        ASSERT_TRUE(store_.Record(s, kMonday + i, boards));
        for (int t = 0; t < 3; ++t) {
            auto& rows = model[t];
            for (auto& row : rows) {
                if (row.userId == id) row.name = name;
            }
            const int score = s.bests[t].score;
            if (score <= 0) continue;
            auto row = std::find_if(rows.begin(), rows.end(),
                                    [&](const ModelRow& r) { return r.userId == id; });
            if (row == rows.end()) {
                rows.push_back({id, name, score, ++order});
            } else if (score > row->score) {
                row->score = score;
                row->order = ++order;
            }
            ASSERT_EQ(Names(boards[t]), ModelTopFive(rows)) << "submission " << i << " type " << t;
        }
    }
    Boards before;
    ASSERT_TRUE(store_.ReadBoards(before));
    store_.Close();
    ScoreStore reopened;
    std::string error;
    ASSERT_TRUE(reopened.Open(path_, error)) << error;
    Boards after;
    ASSERT_TRUE(reopened.ReadBoards(after));
    for (int t = 0; t < 3; ++t) {
        EXPECT_EQ(Names(after[t]), Names(before[t])) << t;
        for (size_t k = 0; k < after[t].size(); ++k) {
            EXPECT_EQ(after[t][k].score, before[t][k].score);
            EXPECT_EQ(after[t][k].count, before[t][k].count);
            EXPECT_EQ(after[t][k].reachedAt, before[t][k].reachedAt);
        }
    }
}

TEST(StoreOpen, RefusesAFileThatIsNotADatabase) {
    char pattern[] = "/tmp/scored-junk-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string path = std::string(pattern) + "/junk.db";
    std::ofstream(path) << std::string(4096, 'j');
    ScoreStore store;
    std::string error;
    EXPECT_FALSE(store.Open(path, error));
    EXPECT_FALSE(error.empty());
    Boards boards;
    EXPECT_FALSE(store.Record(Player("90000000000000001", "x", 10), kMonday, boards));
    std::filesystem::remove_all(pattern);
}

}  // namespace
