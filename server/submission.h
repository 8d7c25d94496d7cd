// submission.h: decoding and checking one score submission.
//
// A submission arrives as the query "Game=NNNN&Score=VALUE", where VALUE is
// the game's scrambled payload with its special characters written as
// five-character tokens ("&" as "*!A!*", ..., the space as "*!U!*"). Decoding
// undoes the tokens, unscrambles with the game's table and reads the payload
// by its fixed layout:
//
//   user id (17 digits) "{" name (13 characters) "{" game "{" version "{"
//   mode "{" then per game type: best score "{" its count "{" then "ZOLT{"
//
// where game, version and mode are four digits each. Anything the game itself
// would never send is refused with a short reason; nothing is stored for a
// refused submission. The name may contain "{", so it is cut by its length,
// never split at "{".
//
//   Verdict v = DecodeSubmission(query, table);
//   if (!v.ok()) refuse(v.refusal); else store(v.submission);
//
// Depends on qv_scramble (the table and the unscrambling shared with the game).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "framework/scramble.h"

namespace scored {

constexpr int kGameTypes = 3;             // score blocks Slow, Normal, Fast
constexpr int kUserIdLength = 17;         // 8-digit date, then 9 digits
constexpr int kNameLength = 13;           // padded with spaces by the game
constexpr int kExpectedGameNumber = 512;  // the only game this server keeps scores for
constexpr int32_t kPointsPerEmail = 10;   // every point comes from one handled email
constexpr int32_t kMaxCount = 100000;     // emails in one game: far beyond any real game
constexpr int32_t kMaxScore = kMaxCount * kPointsPerEmail;
constexpr int kMaxNumberDigits = 7;  // digits of kMaxScore

// The longest payload the layout allows, and its longest token-encoded form
// (every character a five-character token).
constexpr size_t kMaxPayloadLength =
    kUserIdLength + 1 + kNameLength + 1 + 3 * (4 + 1) + kGameTypes * 2 * (kMaxNumberDigits + 1) + 5;
constexpr size_t kMaxEncodedLength = kMaxPayloadLength * 5;

// The name a player who never entered one has; the game never submits it.
constexpr std::string_view kUnsetName = "Enter Name   ";

struct Best {
    int32_t score = 0;
    int32_t count = 0;
};

struct Submission {
    std::string userId;  // 17 digits
    std::string name;    // 13 characters, cleaned by CleanName
    int32_t version = 0;
    std::array<Best, kGameTypes> bests{};  // index 0 is game type 1
};

// The outcome of decoding: a submission, or the reason it was refused.
struct Verdict {
    Submission submission;
    std::string refusal;
    bool ok() const { return refusal.empty(); }
};

// The character a token letter stands for, or 0 for a letter that is no token.
char TokenCharacter(char letter);

// Undoes the token encoding. Empty when the text holds a character the game
// would have written as a token, or one outside the scrambled range 33..123.
std::optional<std::string> DecodeTokens(std::string_view encoded);

// Reads an unscrambled payload by its layout and checks every field.
Verdict ParsePayload(std::string_view payload);

// The whole path from the raw query text to a checked submission.
Verdict DecodeSubmission(std::string_view query, const ScrambleTable& table);

// A name safe to store and to send: "{" (the reply's separator) and every
// character outside printable ASCII become a space.
std::string CleanName(std::string_view name);

}  // namespace scored
