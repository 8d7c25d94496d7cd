// store.cpp: the SQLite schema, its prepared statements and the board query.
//
// Owns one connection and its statements. Writes run in an immediate
// transaction that also reads the boards, so a reply always shows a board
// that includes the submission it answers. Depends on SQLite.
#include "server/store.h"

#include <sqlite3.h>

namespace scored {

namespace {

// ---- constants ----

constexpr int kBusyTimeoutMs = 5000;  // wait for another process holding the write lock

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
    "SELECT name, score, count, reached_at FROM scores WHERE game_type = ?1"
    " ORDER BY score DESC, reached_order ASC LIMIT ?2";

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

}  // namespace

// ---- public operations ----

ScoreStore::~ScoreStore() {
    Close();
}

bool ScoreStore::Open(const std::string& path, std::string& error) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (db_ != nullptr) {
        error = "database already open";
        return false;
    }
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        error = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        return false;
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    // WAL lets readers and the writer proceed together; with NORMAL
    // synchronisation a commit waits for no disk flush, only checkpoints do.
    bool ok = Exec("PRAGMA journal_mode = WAL;") && Exec("PRAGMA synchronous = NORMAL;") &&
              Exec(kSchema) && Prepare(&begin_, "BEGIN IMMEDIATE") && Prepare(&commit_, "COMMIT") &&
              Prepare(&rollback_, "ROLLBACK") && Prepare(&upsertBest_, kUpsertBest) &&
              Prepare(&touchUser_, kTouchUser) && Prepare(&board_, kBoard);
    if (ok) {
        sqlite3_stmt* maxOrder = nullptr;
        ok = Prepare(&maxOrder, "SELECT COALESCE(MAX(reached_order), 0) FROM scores") &&
             sqlite3_step(maxOrder) == SQLITE_ROW;
        if (ok) nextOrder_ = sqlite3_column_int64(maxOrder, 0) + 1;
        sqlite3_finalize(maxOrder);
    }
    if (ok && JournalModeLocked() != "wal") {
        error = "the database cannot use write-ahead logging";
        CloseLocked();
        return false;
    }
    if (!ok) {
        error = sqlite3_errmsg(db_);
        CloseLocked();
        return false;
    }
    return true;
}

void ScoreStore::Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    CloseLocked();
}

void ScoreStore::CloseLocked() {
    for (sqlite3_stmt** statement :
         {&begin_, &commit_, &rollback_, &upsertBest_, &touchUser_, &board_}) {
        sqlite3_finalize(*statement);
        *statement = nullptr;
    }
    sqlite3_close(db_);
    db_ = nullptr;
}

bool ScoreStore::Record(const Submission& submission, int64_t now, Boards& boards) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (db_ == nullptr || !StepDone(begin_)) return false;
    if (RecordLocked(submission, now, boards) && StepDone(commit_)) return true;
    StepDone(rollback_);
    return false;
}

bool ScoreStore::ReadBoards(Boards& boards) {
    std::lock_guard<std::mutex> lock(mutex_);
    return db_ != nullptr && ReadBoardsLocked(boards);
}

std::string ScoreStore::JournalMode() {
    std::lock_guard<std::mutex> lock(mutex_);
    return JournalModeLocked();
}

// ---- private helpers ----

std::string ScoreStore::JournalModeLocked() {
    std::string mode;
    sqlite3_stmt* statement = nullptr;
    if (db_ != nullptr && Prepare(&statement, "PRAGMA journal_mode") &&
        sqlite3_step(statement) == SQLITE_ROW) {
        mode = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    }
    sqlite3_finalize(statement);
    return mode;
}

bool ScoreStore::Exec(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool ScoreStore::Prepare(sqlite3_stmt** statement, const char* sql) {
    return sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, statement, nullptr) ==
           SQLITE_OK;
}

bool ScoreStore::RecordLocked(const Submission& submission, int64_t now, Boards& boards) {
    const std::string name = CleanName(submission.name);
    for (int type = 1; type <= kGameTypes; ++type) {
        const Best& best = submission.bests[type - 1];
        if (best.score <= 0) continue;
        sqlite3_stmt* s = upsertBest_;
        const bool bound = BindText(s, 1, submission.userId) &&
                           sqlite3_bind_int(s, 2, type) == SQLITE_OK && BindText(s, 3, name) &&
                           sqlite3_bind_int(s, 4, best.score) == SQLITE_OK &&
                           sqlite3_bind_int(s, 5, best.count) == SQLITE_OK &&
                           sqlite3_bind_int64(s, 6, now) == SQLITE_OK &&
                           sqlite3_bind_int64(s, 7, nextOrder_) == SQLITE_OK;
        if (!bound || !StepDone(s)) return false;
        ++nextOrder_;
    }
    sqlite3_stmt* s = touchUser_;
    const bool bound = BindText(s, 1, submission.userId) && BindText(s, 2, name) &&
                       sqlite3_bind_int64(s, 3, now) == SQLITE_OK;
    return bound && StepDone(s) && ReadBoardsLocked(boards);
}

bool ScoreStore::ReadBoardsLocked(Boards& boards) {
    for (int type = 1; type <= kGameTypes; ++type) {
        Board& board = boards[type - 1];
        board.clear();
        sqlite3_bind_int(board_, 1, type);
        sqlite3_bind_int(board_, 2, kBoardSize);
        int rc;
        while ((rc = sqlite3_step(board_)) == SQLITE_ROW) {
            BoardEntry entry;
            const unsigned char* text = sqlite3_column_text(board_, 0);
            entry.name = CleanName(text ? reinterpret_cast<const char*>(text) : "");
            entry.score = sqlite3_column_int(board_, 1);
            entry.count = sqlite3_column_int(board_, 2);
            entry.reachedAt = sqlite3_column_int64(board_, 3);
            board.push_back(std::move(entry));
        }
        sqlite3_reset(board_);
        if (rc != SQLITE_DONE) return false;
    }
    return true;
}

}  // namespace scored
