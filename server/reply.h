// reply.h: the text the server answers a submission with.
//
// The game splits a reply at every "{". An accepted submission gets
// "OnlineScores" and then, for each game type, a group of 22 pieces:
//
//   piece 0         the game type (1..3)
//   pieces 1 + 4k   name of rank k + 1 (k = 0..4, best first; empty when unused)
//   pieces 2 + 4k   its score (0 when unused)
//   pieces 3 + 4k   the rank, 1..5
//   pieces 4 + 4k   the date that score was first reached, YYYY-MM-DD
//   piece 21        the date of the reply, YYYY-MM-DD
//
// The game reads only the names and scores; the rest is there for people
// reading the reply. A refused request gets a text that never starts with
// "OnlineScores", so the game leaves its board alone.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "server/store.h"

namespace scored {

constexpr std::string_view kReplyHeader = "OnlineScores";
constexpr int kPiecesPerGameType = 22;

// The reply to an accepted submission; `now` (seconds since 1970) dates it.
std::string FormatBoardReply(const Boards& boards, int64_t now);

// The reply to a refused request: "Refused: " and the reason, one line.
std::string FormatRefusal(std::string_view reason);

// A day as YYYY-MM-DD (UTC).
std::string FormatDate(int64_t seconds);

}  // namespace scored
