// game_payload.h: score submissions built the way the game builds them.
//
// The test side of the submission format, written from the game's point of
// view and independent of the server's decoder: the payload is joined field by
// field, scrambled with the game's table, and its special characters replaced
// by tokens one character after another in the game's order. The server tests
// feed what these helpers make to the real decoder and the real server.
//
//   GameSubmission s{"20251211123456789", "Ada          ", {{{120, 12}, {0, 0}, {30, 3}}}};
//   GamePayload(s)        // "20251211123456789{Ada          {0512{0001{0000{120{12{...ZOLT{"
//   SubmissionQuery(s)    // "Game=0512&Score=" + tokens(scramble(payload))
//   SubmissionTarget(s)   // "/Scores.php?" + the query
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "framework/scramble.h"
#include "game/keyword.h"

namespace scoredtest {

struct GameSubmission {
    std::string userId;                          // 17 digits
    std::string name;                            // 13 characters
    std::array<std::pair<int, int>, 3> bests{};  // best score and its count per game type
    int gameNumber = kQuorvaneGameNumber;
    int version = 1;
    int mode = 0;
};

// "0000" followed by the number, then the last four characters.
inline std::string FourDigits(int number) {
    const std::string text = "0000" + std::to_string(number);
    return text.substr(text.size() - 4);
}

// The payload before scrambling, field by field as the game joins it.
inline std::string GamePayload(const GameSubmission& s) {
    std::string payload = s.userId + "{" + s.name + "{" + FourDigits(s.gameNumber) + "{" +
                          FourDigits(s.version) + "{" + FourDigits(s.mode) + "{";
    if (s.mode == 0) {
        for (const auto& [score, count] : s.bests) {
            payload += std::to_string(score) + "{" + std::to_string(count) + "{";
        }
    }
    return payload + "ZOLT{";
}

inline ScrambleTable GameTable() {
    ScrambleTable table{};
    bbMakeScrambleTable(kQuorvaneKeyword, kQuorvaneGameNumber, table);
    return table;
}

inline std::string Scramble(std::string_view payload) {
    const String scrambled = bbScrambleText(GameTable(), String(payload.begin(), payload.end()));
    return std::string(scrambled.begin(), scrambled.end());
}

// Every occurrence of each character replaced by its token, in the game's order.
inline std::string EncodeTokens(std::string text) {
    static const std::pair<char, const char*> kTokens[] = {
        {'&', "*!A!*"}, {'\\', "*!B!*"}, {'\'', "*!C!*"}, {'`', "*!D!*"}, {'"', "*!E!*"},
        {'/', "*!F!*"}, {'>', "*!G!*"},  {'#', "*!H!*"},  {'^', "*!I!*"}, {'{', "*!J!*"},
        {'}', "*!K!*"}, {'<', "*!L!*"},  {'|', "*!M!*"},  {'%', "*!P!*"}, {'?', "*!Q!*"},
        {'+', "*!R!*"}, {'$', "*!S!*"},  {',', "*!T!*"},  {' ', "*!U!*"},
    };
    for (const auto& [character, token] : kTokens) {
        std::string out;
        for (char c : text) {
            if (c == character) {
                out += token;
            } else {
                out += c;
            }
        }
        text = std::move(out);
    }
    return text;
}

// The query for any payload text (lets a test damage the payload first).
inline std::string QueryForPayload(std::string_view payload, int gameNumber = 512) {
    return "Game=" + FourDigits(gameNumber) + "&Score=" + EncodeTokens(Scramble(payload));
}

inline std::string SubmissionQuery(const GameSubmission& s) {
    return QueryForPayload(GamePayload(s), s.gameNumber);
}

inline std::string SubmissionTarget(const GameSubmission& s) {
    return "/Scores.php?" + SubmissionQuery(s);
}

}  // namespace scoredtest
