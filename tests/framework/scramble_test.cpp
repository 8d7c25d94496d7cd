// The keyed scrambling shared by the game and the score server.
#include "framework/scramble.h"

#include <gtest/gtest.h>

#include "game/keyword.h"

namespace {

// The table as defined: (code of keyword[i mod length] + i + game number) rem 92.
ScrambleTable TableByDefinition(const String& keyword, int game) {
    ScrambleTable table{};
    for (int i = 0; i < 64; ++i) table[i] = (keyword[i % keyword.size()] + i + game) % 92;
    return table;
}

// Unscrambling written from the definition, independent of the library's own.
String UnscrambleByDefinition(const ScrambleTable& table, const String& text) {
    String out;
    int a = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        a = (a + table[i % 64]) % 92;
        out.push_back(static_cast<char16_t>(((text[i] - 32 - a) % 92 + 92) % 92 + 32));
    }
    return out;
}

TEST(Scramble, TableFollowsKeywordPositionAndGameNumber) {
    ScrambleTable table{};
    ASSERT_TRUE(bbMakeScrambleTable(kQuorvaneKeyword, kQuorvaneGameNumber, table));
    EXPECT_EQ(table, TableByDefinition(kQuorvaneKeyword, kQuorvaneGameNumber));
    // "C" is 67: (67 + 0 + 512) rem 92 = 27.
    EXPECT_EQ(table[0], 27);
    for (int32_t entry : table) {
        EXPECT_GE(entry, 0);
        EXPECT_LT(entry, 92);
    }
}

TEST(Scramble, EmptyKeywordOrNoGameNumberKeepsTheTable) {
    ScrambleTable table{};
    table[5] = 17;
    EXPECT_FALSE(bbMakeScrambleTable(u"", 512, table));
    EXPECT_FALSE(bbMakeScrambleTable(u"word", 0, table));
    EXPECT_EQ(table[5], 17);
}

TEST(Scramble, RoundTripsThroughAnUnscrambleWrittenFromTheDefinition) {
    ScrambleTable table{};
    ASSERT_TRUE(bbMakeScrambleTable(kQuorvaneKeyword, kQuorvaneGameNumber, table));
    const String payload =
        u"20261211123456789{Enter Name   {0512{0001{0000{0000000120{0000012{ZOLT"
        u" with more than sixty-four characters so the table wraps around{|}";
    const String scrambled = bbScrambleText(table, payload);
    ASSERT_EQ(scrambled.size(), payload.size());
    for (char16_t c : scrambled) {
        EXPECT_GE(c, 32);
        EXPECT_LE(c, 123);
    }
    // "|" (124) and "}" (125) are outside 32..123: they scramble as spaces.
    String expected = payload;
    expected[expected.size() - 2] = u' ';
    expected[expected.size() - 1] = u' ';
    EXPECT_EQ(UnscrambleByDefinition(table, scrambled), expected);
    EXPECT_EQ(bbUnscrambleText(table, scrambled), expected);
}

TEST(Scramble, PositionSixtyFiveReusesTableEntryZero) {
    ScrambleTable table{};
    for (int i = 0; i < 64; ++i) table[i] = i == 0 ? 5 : 0;
    const String scrambled = bbScrambleText(table, String(65, u' '));
    EXPECT_EQ(scrambled[0], u' ' + 5);
    EXPECT_EQ(scrambled[63], u' ' + 5);
    EXPECT_EQ(scrambled[64], u' ' + 10);  // the running offset grew by entry 0 again
    EXPECT_EQ(bbScrambleText(table, u""), u"");
}

}  // namespace
