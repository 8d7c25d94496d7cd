// reply.cpp: formatting of board replies and refusals.
//
// Owns no state. Names pass through CleanName once more on the way out, so
// a "{" can never reach the game, whatever the database holds.
#include "server/reply.h"

#include <ctime>

namespace scored {

namespace {

constexpr char kSeparator = '{';
constexpr std::string_view kRefusalPrefix = "Refused: ";

void AddPiece(std::string& out, std::string_view piece) {
    out.push_back(kSeparator);
    out.append(piece);
}

}  // namespace

std::string FormatDate(int64_t seconds) {
    const time_t t = static_cast<time_t>(seconds);
    struct tm day {};
    gmtime_r(&t, &day);
    char text[16];
    strftime(text, sizeof text, "%Y-%m-%d", &day);
    return text;
}

std::string FormatBoardReply(const Boards& boards, int64_t now) {
    const std::string today = FormatDate(now);
    std::string out(kReplyHeader);
    for (int type = 1; type <= kGameTypes; ++type) {
        const Board& board = boards[type - 1];
        AddPiece(out, std::to_string(type));
        for (int k = 0; k < kBoardSize; ++k) {
            const bool used = k < static_cast<int>(board.size());
            AddPiece(out, used ? CleanName(board[k].name) : "");
            AddPiece(out, used ? std::to_string(board[k].score) : "0");
            AddPiece(out, std::to_string(k + 1));
            AddPiece(out, used ? FormatDate(board[k].reachedAt) : "");
        }
        AddPiece(out, today);
    }
    return out;
}

std::string FormatRefusal(std::string_view reason) {
    std::string out(kRefusalPrefix);
    out.append(reason);
    out.push_back('\n');
    return out;
}

}  // namespace scored
