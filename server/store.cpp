// store.cpp: the SQLite schema, its prepared statements, the in-memory
// boards and the writer thread that commits queued submissions in batches.
//
// Owns one connection, its statements and the writer. Record touches only
// memory under mutex_; the writer copies a batch from the front of the queue,
// commits it under dbMutex_ and only then removes it, so a failed commit
// loses nothing and is tried again. Depends on SQLite.
#include "server/store.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace scored {

namespace {

// ---- constants ----

constexpr int kBusyTimeoutMs = 5000;  // wait for another process holding the write lock
constexpr size_t kMaxBatch = 1000;    // submissions per transaction
constexpr auto kRetryDelay = std::chrono::milliseconds(200);  // after a failed commit

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS scores ("
    "  user_id TEXT NOT NULL,"
    "  game_type INTEGER NOT NULL,"
    "  name TEXT NOT NULL,"
    "  score INTEGER NOT NULL,"
    "  count INTEGER NOT NULL,"
    "  reached_at INTEGER NOT NULL,"
    "  reached_order INTEGER NOT NULL,"
    "  last_seen INTEGER NOT NULL,"
    "  PRIMARY KEY (user_id, game_type)"
    ") WITHOUT ROWID;"
    "CREATE INDEX IF NOT EXISTS scores_board ON scores (game_type, score DESC, reached_order);";

// A better score replaces the stored best, its count, date and order; the
// name and the last-seen time always follow the latest submission. All the
// right-hand sides read the row as it was before the update.
constexpr const char* kUpsertBest =
    "INSERT INTO scores (user_id, game_type, name, score, count, reached_at, reached_order,"
    "                    last_seen)"
    " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?6)"
    " ON CONFLICT (user_id, game_type) DO UPDATE SET"
    "  count = CASE WHEN excluded.score > score THEN excluded.count ELSE count END,"
    "  reached_at = CASE WHEN excluded.score > score THEN excluded.reached_at ELSE reached_at END,"
    "  reached_order = CASE WHEN excluded.score > score THEN excluded.reached_order"
    "                  ELSE reached_order END,"
    "  score = MAX(score, excluded.score),"
    "  name = excluded.name,"
    "  last_seen = excluded.last_seen";

constexpr const char* kTouchUser = "UPDATE scores SET name = ?2, last_seen = ?3 WHERE user_id = ?1";

constexpr const char* kBoard =
    "SELECT name, score, count, reached_at, user_id, reached_order FROM scores"
    " WHERE game_type = ?1 ORDER BY score DESC, reached_order ASC LIMIT ?2";

// ---- internal helpers ----

// Runs a statement without results to its end and makes it reusable.
bool StepDone(sqlite3_stmt* statement) {
    const int rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    return rc == SQLITE_DONE;
}

bool BindText(sqlite3_stmt* statement, int index, const std::string& text) {
    return sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                             SQLITE_TRANSIENT) == SQLITE_OK;
}

std::string ColumnText(sqlite3_stmt* statement, int column) {
    const unsigned char* text = sqlite3_column_text(statement, column);
    return text ? reinterpret_cast<const char*>(text) : "";
}

bool RanksBefore(const BoardEntry& a, const BoardEntry& b) {
    return a.score != b.score ? a.score > b.score : a.order < b.order;
}

}  // namespace

// ---- public operations ----

ScoreStore::~ScoreStore() {
    Close();
}

bool ScoreStore::Open(const std::string& path, std::string& error) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::lock_guard<std::mutex> dbLock(dbMutex_);
    if (open_) {
        error = "database already open";
        return false;
    }
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        error = db_ ? sqlite3_errmsg(db_) : "out of memory";
        CloseDatabase();
        return false;
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    // WAL lets readers (a backup, an admin's query) proceed beside the
    // writer; with NORMAL synchronisation a commit waits for no disk flush,
    // only checkpoints do.
    const bool ok = Exec("PRAGMA journal_mode = WAL;") && Exec("PRAGMA synchronous = NORMAL;") &&
                    Exec(kSchema) && Prepare(&begin_, "BEGIN IMMEDIATE") &&
                    Prepare(&commit_, "COMMIT") && Prepare(&rollback_, "ROLLBACK") &&
                    Prepare(&upsertBest_, kUpsertBest) && Prepare(&touchUser_, kTouchUser) &&
                    LoadBoards();
    if (!ok) {
        error = sqlite3_errmsg(db_);
        CloseDatabase();
        return false;
    }
    sqlite3_stmt* mode = nullptr;
    const bool wal = Prepare(&mode, "PRAGMA journal_mode") && sqlite3_step(mode) == SQLITE_ROW &&
                     ColumnText(mode, 0) == "wal";
    sqlite3_finalize(mode);
    if (!wal) {
        error = "the database cannot use write-ahead logging";
        CloseDatabase();
        return false;
    }
    open_ = true;
    stopping_ = false;
    queue_.clear();
    writer_ = std::thread(&ScoreStore::WriterLoop, this);
    return true;
}

void ScoreStore::Close() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!open_) return;
        stopping_ = true;
    }
    wake_.notify_all();
    writer_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    std::lock_guard<std::mutex> dbLock(dbMutex_);
    open_ = false;
    stopping_ = false;
    boards_ = {};
    CloseDatabase();
}

bool ScoreStore::Record(const Submission& submission, int64_t now, Boards& boards) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_ || stopping_ || queue_.size() >= kMaxQueuedWrites) return false;
    Write write{submission, now, {}};
    write.submission.name = CleanName(submission.name);
    for (int t = 0; t < kGameTypes; ++t) {
        if (submission.bests[t].score > 0) write.orders[t] = nextOrder_++;
    }
    UpdateBoards(write);
    queue_.push_back(std::move(write));
    ++queuedCount_;
    boards = boards_;
    wake_.notify_one();
    return true;
}

bool ScoreStore::ReadBoards(Boards& boards) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_) return false;
    boards = boards_;
    return true;
}

bool ScoreStore::Flush() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!open_) return false;
    const uint64_t target = queuedCount_;
    const uint64_t failures = failedCommits_;
    committed_.wait(lock, [&] { return committedCount_ >= target || failedCommits_ != failures; });
    return committedCount_ >= target;
}

std::string ScoreStore::JournalMode() {
    std::lock_guard<std::mutex> dbLock(dbMutex_);
    std::string mode;
    sqlite3_stmt* statement = nullptr;
    if (db_ != nullptr && Prepare(&statement, "PRAGMA journal_mode") &&
        sqlite3_step(statement) == SQLITE_ROW) {
        mode = ColumnText(statement, 0);
    }
    sqlite3_finalize(statement);
    return mode;
}

// ---- private helpers ----

bool ScoreStore::Exec(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool ScoreStore::Prepare(sqlite3_stmt** statement, const char* sql) {
    return sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, statement, nullptr) ==
           SQLITE_OK;
}

bool ScoreStore::LoadBoards() {
    sqlite3_stmt* board = nullptr;
    sqlite3_stmt* maxOrder = nullptr;
    bool ok = Prepare(&board, kBoard) &&
              Prepare(&maxOrder, "SELECT COALESCE(MAX(reached_order), 0) FROM scores") &&
              sqlite3_step(maxOrder) == SQLITE_ROW;
    if (ok) nextOrder_ = sqlite3_column_int64(maxOrder, 0) + 1;
    for (int type = 1; ok && type <= kGameTypes; ++type) {
        Board& entries = boards_[type - 1];
        entries.clear();
        sqlite3_bind_int(board, 1, type);
        sqlite3_bind_int(board, 2, kBoardSize);
        int rc;
        while ((rc = sqlite3_step(board)) == SQLITE_ROW) {
            entries.push_back({CleanName(ColumnText(board, 0)), sqlite3_column_int(board, 1),
                               sqlite3_column_int(board, 2), sqlite3_column_int64(board, 3),
                               ColumnText(board, 4), sqlite3_column_int64(board, 5)});
        }
        sqlite3_reset(board);
        ok = rc == SQLITE_DONE;
    }
    sqlite3_finalize(board);
    sqlite3_finalize(maxOrder);
    return ok;
}

void ScoreStore::CloseDatabase() {
    for (sqlite3_stmt** statement : {&begin_, &commit_, &rollback_, &upsertBest_, &touchUser_}) {
        sqlite3_finalize(*statement);
        *statement = nullptr;
    }
    sqlite3_close(db_);
    db_ = nullptr;
}

void ScoreStore::UpdateBoards(const Write& write) {
    const Submission& s = write.submission;
    for (int t = 0; t < kGameTypes; ++t) {
        Board& board = boards_[t];
        auto entry = std::find_if(board.begin(), board.end(),
                                  [&](const BoardEntry& e) { return e.userId == s.userId; });
        if (entry != board.end()) entry->name = s.name;
        const Best& best = s.bests[t];
        if (best.score <= 0) continue;
        if (entry == board.end()) {
            board.push_back({s.name, best.score, best.count, write.now, s.userId, write.orders[t]});
        } else if (best.score > entry->score) {
            *entry = {s.name, best.score, best.count, write.now, s.userId, write.orders[t]};
        }
        std::stable_sort(board.begin(), board.end(), RanksBefore);
        if (board.size() > kBoardSize) board.resize(kBoardSize);
    }
}

void ScoreStore::WriterLoop() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) break;  // stopping, and everything is written
        const size_t n = std::min(queue_.size(), kMaxBatch);
        const std::vector<Write> batch(queue_.begin(), queue_.begin() + n);
        lock.unlock();
        const bool ok = Commit(batch);
        lock.lock();
        if (ok) {
            queue_.erase(queue_.begin(), queue_.begin() + n);
            committedCount_ += n;
        } else {
            ++failedCommits_;
        }
        committed_.notify_all();
        if (ok) continue;
        if (stopping_) {
            std::fprintf(stderr, "quorvane-scored: %zu submissions could not be written\n",
                         queue_.size());
            queue_.clear();
            break;
        }
        wake_.wait_for(lock, kRetryDelay, [&] { return stopping_; });
    }
}

bool ScoreStore::Commit(const std::vector<Write>& batch) {
    std::lock_guard<std::mutex> dbLock(dbMutex_);
    if (!StepDone(begin_)) return false;
    bool ok = true;
    for (const Write& write : batch) ok = ok && WriteOne(write);
    if (ok && StepDone(commit_)) return true;
    std::fprintf(stderr, "quorvane-scored: database write failed: %s\n", sqlite3_errmsg(db_));
    StepDone(rollback_);
    return false;
}

bool ScoreStore::WriteOne(const Write& write) {
    const Submission& s = write.submission;
    for (int type = 1; type <= kGameTypes; ++type) {
        const Best& best = s.bests[type - 1];
        if (best.score <= 0) continue;
        sqlite3_stmt* u = upsertBest_;
        const bool bound = BindText(u, 1, s.userId) && sqlite3_bind_int(u, 2, type) == SQLITE_OK &&
                           BindText(u, 3, s.name) &&
                           sqlite3_bind_int(u, 4, best.score) == SQLITE_OK &&
                           sqlite3_bind_int(u, 5, best.count) == SQLITE_OK &&
                           sqlite3_bind_int64(u, 6, write.now) == SQLITE_OK &&
                           sqlite3_bind_int64(u, 7, write.orders[type - 1]) == SQLITE_OK;
        if (!bound || !StepDone(u)) return false;
    }
    sqlite3_stmt* t = touchUser_;
    return BindText(t, 1, s.userId) && BindText(t, 2, s.name) &&
           sqlite3_bind_int64(t, 3, write.now) == SQLITE_OK && StepDone(t);
}

}  // namespace scored
