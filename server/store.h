// store.h: the score database, one SQLite file in WAL mode.
//
// One row per user id and game type: the best score with its count, when it
// was first reached (a date and an order number, so equal scores keep the
// order in which they were reached), the player's current name and when the
// player was last seen. Only game types with a score above 0 get a row.
//
//   ScoreStore store;
//   if (!store.Open("scores.db", error)) ...
//   Boards boards;
//   store.Record(submission, time(nullptr), boards);   // stores, then reads the top five
//
// Every statement is prepared once at Open and bound with values: no SQL is
// ever built from text. A ScoreStore is safe to use from several threads (one
// connection behind a mutex; SQLite serialises writers anyway). A database
// failure makes Record return false and leaves the stored data as it was.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "server/submission.h"

struct sqlite3;
struct sqlite3_stmt;

namespace scored {

constexpr int kBoardSize = 5;  // entries per game type in a reply

struct BoardEntry {
    std::string name;
    int32_t score = 0;
    int32_t count = 0;
    int64_t reachedAt = 0;  // seconds since 1970 when this best was first reached
};

using Board = std::vector<BoardEntry>;  // best first, at most kBoardSize
using Boards = std::array<Board, kGameTypes>;

class ScoreStore {
  public:
    ScoreStore() = default;
    ScoreStore(const ScoreStore&) = delete;
    ScoreStore& operator=(const ScoreStore&) = delete;
    ~ScoreStore();

    // Opens or creates the database; false with a message when it cannot.
    bool Open(const std::string& path, std::string& error);
    void Close();

    // Keeps each best that beats the stored one, updates the name and the
    // last-seen time of the user's rows, then reads the boards, all in one
    // transaction. `now` is seconds since 1970.
    bool Record(const Submission& submission, int64_t now, Boards& boards);

    // The current boards without storing anything.
    bool ReadBoards(Boards& boards);

    // The database's journal mode as SQLite reports it ("wal").
    std::string JournalMode();

  private:
    void CloseLocked();
    std::string JournalModeLocked();
    bool Exec(const char* sql);
    bool Prepare(sqlite3_stmt** statement, const char* sql);
    bool ReadBoardsLocked(Boards& boards);
    bool RecordLocked(const Submission& submission, int64_t now, Boards& boards);

    std::mutex mutex_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* begin_ = nullptr;
    sqlite3_stmt* commit_ = nullptr;
    sqlite3_stmt* rollback_ = nullptr;
    sqlite3_stmt* upsertBest_ = nullptr;
    sqlite3_stmt* touchUser_ = nullptr;
    sqlite3_stmt* board_ = nullptr;
    int64_t nextOrder_ = 1;  // order number of the next best reached
};

}  // namespace scored
