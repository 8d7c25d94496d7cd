// board_reader.h: reads a reply the way the game's online board does.
//
// Splits the reply at every "{" and takes, for game type t = 1..3 and rank
// k = 0..4, the score from piece 3 + 22(t - 1) + 4k and the name from the
// piece before it; missing pieces read as an empty name and 0. Entries are
// indexed like the game's online arrays: 20t + k.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace scoredtest {

struct OnlineBoard {
    bool understood = false;  // piece 0 is exactly "OnlineScores"
    std::array<std::string, 100> names{};
    std::array<int, 100> scores{};
    size_t pieces = 0;
};

inline std::vector<std::string> SplitAtBrace(std::string_view text) {
    std::vector<std::string> pieces(1);
    for (char c : text) {
        if (c == '{') {
            pieces.emplace_back();
        } else {
            pieces.back() += c;
        }
    }
    return pieces;
}

inline OnlineBoard ReadOnlineBoard(std::string_view reply) {
    OnlineBoard board;
    const std::vector<std::string> pieces = SplitAtBrace(reply);
    board.pieces = pieces.size();
    if (pieces[0] != "OnlineScores") return board;
    board.understood = true;
    for (int t = 1; t <= 3; ++t) {
        for (int k = 0; k < 5; ++k) {
            const size_t i = 3 + 22 * (t - 1) + 4 * k;
            board.scores[20 * t + k] = i < pieces.size() ? std::atoi(pieces[i].c_str()) : 0;
            board.names[20 * t + k] = i - 1 < pieces.size() ? pieces[i - 1] : "";
        }
    }
    return board;
}

}  // namespace scoredtest
