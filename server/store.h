// store.h: the score database (one SQLite file in WAL mode) and the boards.
//
// One row per user id and game type: the best score with its count, when it
// was first reached (a date and an order number, so equal scores keep the
// order in which they were reached), the player's current name and when the
// player was last seen. Only game types with a score above 0 get a row.
//
//   ScoreStore store;
//   if (!store.Open("scores.db", error)) ...
//   Boards boards;
//   store.Record(submission, time(nullptr), boards);   // the top five after it
//   store.Close();                                     // writes what is queued
//
// The boards (top five per game type) live in memory and are exact: stored
// bests only ever grow, so a player outside the top five can enter it only
// with the score being submitted. Record updates them at once and queues the
// row changes for a writer thread, which commits whatever has queued up in
// one transaction; a reply thus never waits for the disk, and a busy server
// writes many submissions per commit. What is queued when the process is
// killed outright (not stopped) is lost, a few milliseconds' worth.
//
// Every statement is prepared once at Open and bound with values: no SQL is
// ever built from text. Safe to use from several threads. A full queue (the
// disk cannot keep up) makes Record return false and store nothing; a failed
// commit is reported on standard error and retried.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "server/submission.h"

struct sqlite3;
struct sqlite3_stmt;

namespace scored {

constexpr int kBoardSize = 5;               // entries per game type in a reply
constexpr size_t kMaxQueuedWrites = 20000;  // submissions waiting for the writer

struct BoardEntry {
    std::string name;
    int32_t score = 0;
    int32_t count = 0;
    int64_t reachedAt = 0;  // seconds since 1970 when this best was first reached
    std::string userId;
    int64_t order = 0;  // reached before every entry with a larger order
};

using Board = std::vector<BoardEntry>;  // best first, at most kBoardSize
using Boards = std::array<Board, kGameTypes>;

class ScoreStore {
  public:
    ScoreStore() = default;
    ScoreStore(const ScoreStore&) = delete;
    ScoreStore& operator=(const ScoreStore&) = delete;
    ~ScoreStore();

    // Opens or creates the database, reads the boards and starts the writer;
    // false with a message when it cannot.
    bool Open(const std::string& path, std::string& error);
    // Writes everything queued, stops the writer and closes the database.
    void Close();

    // Keeps each best that beats the stored one and takes the submission's
    // name for all the user's rows; fills `boards` as they are after it.
    // `now` is seconds since 1970. False (nothing stored) when closed or full.
    bool Record(const Submission& submission, int64_t now, Boards& boards);

    // The current boards.
    bool ReadBoards(Boards& boards);

    // Waits until everything recorded so far is committed; false if a commit failed.
    bool Flush();

    // The database's journal mode as SQLite reports it ("wal").
    std::string JournalMode();

  private:
    struct Write {
        Submission submission;
        int64_t now;
        std::array<int64_t, kGameTypes> orders;
    };

    bool Exec(const char* sql);
    bool Prepare(sqlite3_stmt** statement, const char* sql);
    bool LoadBoards();
    void CloseDatabase();
    void UpdateBoards(const Write& write);
    void WriterLoop();
    bool Commit(const std::vector<Write>& batch);
    bool WriteOne(const Write& write);

    // Boards, queue and counters.
    std::mutex mutex_;
    std::condition_variable wake_;       // the writer: work or stop
    std::condition_variable committed_;  // Flush: the queue has drained
    bool open_ = false;
    bool stopping_ = false;
    Boards boards_;
    std::deque<Write> queue_;
    uint64_t queuedCount_ = 0;     // writes queued so far
    uint64_t committedCount_ = 0;  // writes committed so far
    uint64_t failedCommits_ = 0;
    int64_t nextOrder_ = 1;  // order number of the next best reached

    // The connection; used by the writer thread, and by Open, Close and
    // JournalMode while it does not run or under dbMutex_.
    std::mutex dbMutex_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* begin_ = nullptr;
    sqlite3_stmt* commit_ = nullptr;
    sqlite3_stmt* rollback_ = nullptr;
    sqlite3_stmt* upsertBest_ = nullptr;
    sqlite3_stmt* touchUser_ = nullptr;
    std::thread writer_;
};

}  // namespace scored
