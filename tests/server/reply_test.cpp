// reply_test.cpp: board replies read back the way the game reads them.
#include "server/reply.h"

#include <gtest/gtest.h>

#include <string>

#include "server/board_reader.h"

namespace {

using scored::BoardEntry;
using scored::Boards;
using scoredtest::ReadOnlineBoard;

constexpr int64_t kNow = 1765209600;  // 2025-12-08 16:00:00 UTC

BoardEntry Entry(const std::string& name, int score) {
    return {name, score, score / 10, kNow, "", 0};
}

TEST(BoardReply, FillsEveryNameAndScoreTheGameReads) {
    Boards boards;
    for (int t = 0; t < 3; ++t) {
        for (int k = 0; k < 5; ++k) {
            boards[t].push_back(
                Entry("n" + std::to_string(t) + std::to_string(k), 1000 * (t + 1) - 10 * k));
        }
    }
    const std::string reply = scored::FormatBoardReply(boards, kNow);
    const auto board = ReadOnlineBoard(reply);
    ASSERT_TRUE(board.understood);
    EXPECT_EQ(board.pieces, 1u + 3 * scored::kPiecesPerGameType);
    for (int t = 1; t <= 3; ++t) {
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(board.names[20 * t + k], "n" + std::to_string(t - 1) + std::to_string(k));
            EXPECT_EQ(board.scores[20 * t + k], 1000 * t - 10 * k);
        }
    }
}

TEST(BoardReply, UnusedPlacesReadAsAnEmptyNameAndZero) {
    Boards boards;
    boards[1].push_back(Entry("only", 70));
    const auto board = ReadOnlineBoard(scored::FormatBoardReply(boards, kNow));
    ASSERT_TRUE(board.understood);
    EXPECT_EQ(board.names[40], "only");
    EXPECT_EQ(board.scores[40], 70);
    for (int index : {20, 24, 41, 44, 60, 64}) {
        EXPECT_EQ(board.names[index], "") << index;
        EXPECT_EQ(board.scores[index], 0) << index;
    }
}

TEST(BoardReply, ABraceInANameCannotShiftTheOtherPieces) {
    Boards boards;
    boards[0] = {Entry("a{b{c{d{e{f{g", 50), Entry("h|i j", 40)};
    boards[2] = {Entry("z", 10)};
    const auto board = ReadOnlineBoard(scored::FormatBoardReply(boards, kNow));
    EXPECT_EQ(board.names[20], "a b c d e f g");
    EXPECT_EQ(board.scores[20], 50);
    EXPECT_EQ(board.names[21], "h|i j");
    EXPECT_EQ(board.scores[21], 40);
    EXPECT_EQ(board.names[60], "z");
    EXPECT_EQ(board.scores[60], 10);
}

TEST(BoardReply, UnreadPiecesCarryRankAndDates) {
    Boards boards;
    boards[0].push_back({"x", 10, 1, kNow - 86400 * 3, "", 0});
    const auto pieces = scoredtest::SplitAtBrace(scored::FormatBoardReply(boards, kNow));
    EXPECT_EQ(pieces[1], "1");  // the game type
    EXPECT_EQ(pieces[4], "1");  // rank
    EXPECT_EQ(pieces[5], "2025-12-05");
    EXPECT_EQ(pieces[22], "2025-12-08");  // the reply's date
}

TEST(Refusal, NeverStartsLikeABoard) {
    const std::string refusal = scored::FormatRefusal("OnlineScores");
    EXPECT_NE(refusal.substr(0, 12), "OnlineScores");
    EXPECT_FALSE(ReadOnlineBoard(refusal).understood);
}

}  // namespace
