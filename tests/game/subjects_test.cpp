// subjects_test.cpp: the email subject tables and p_ReadEmail's random draw.
#include <gtest/gtest.h>

#include "framework/fw_fixture.h"
#include "game/game.h"

namespace {

class SubjectsTest : public FrameworkTest {
  protected:
    c_MyGame game;
};

TEST_F(SubjectsTest, MailAndSpamNeverGiveAnEmptySubject) {
    bb_random_Seed = 12345;
    for (int i = 0; i < 2000; ++i) {
        EXPECT_FALSE(game.p_ReadEmail(kTableMail).empty()) << "read " << i;
        EXPECT_FALSE(game.p_ReadEmail(kTableSpam).empty()) << "read " << i;
    }
    for (int i = 0; i < kSubjectCount; ++i) {
        EXPECT_FALSE(String(kMailSubjects[i]).empty()) << "mail " << i;
        EXPECT_FALSE(String(kSpamSubjects[i]).empty()) << "spam " << i;
    }
}

TEST_F(SubjectsTest, OtherTablesGiveEmptyTextButStillDrawOnce) {
    for (int table : {12, 13, -1, 2}) {
        bb_random_Seed = 777;
        EXPECT_EQ(game.p_ReadEmail(table), u"") << "table " << table;
        EXPECT_EQ(bb_random_Seed, SeedAfter(777, 1)) << "table " << table;
    }
}

TEST_F(SubjectsTest, EveryReadAdvancesTheGeneratorByOneStep) {
    for (int table : {kTableMail, kTableSpam}) {
        bb_random_Seed = 99;
        game.p_ReadEmail(table);
        EXPECT_EQ(bb_random_Seed, SeedAfter(99, 1)) << "table " << table;
    }
}

TEST_F(SubjectsTest, BothTablesUseTheSameIndexFromTheSameSeed) {
    for (uint32_t seed : {1u, 42u, 0xdeadbeefu, 0xffffffffu, 31337u}) {
        bb_random_Seed = seed;
        const int index = bb_zolt_Rand(0, kSubjectCount - 1);
        bb_random_Seed = seed;
        const String mail = game.p_ReadEmail(kTableMail);
        bb_random_Seed = seed;
        const String spam = game.p_ReadEmail(kTableSpam);
        EXPECT_EQ(mail, kMailSubjects[index]) << "seed " << seed;
        EXPECT_EQ(spam, kSpamSubjects[index]) << "seed " << seed;
    }
}

TEST_F(SubjectsTest, EveryIndexIsReachedIncludingTheLast) {
    bool seen[kSubjectCount] = {};
    bb_random_Seed = 5;
    for (int i = 0; i < 20000; ++i) {
        const String mail = game.p_ReadEmail(kTableMail);
        for (int n = 0; n < kSubjectCount; ++n)
            if (mail == kMailSubjects[n]) seen[n] = true;
    }
    for (int n = 0; n < kSubjectCount; ++n) EXPECT_TRUE(seen[n]) << "index " << n;
}

TEST_F(SubjectsTest, TextsAtKnownIndexesAreExact) {
    struct Case {
        const char16_t* const* table;
        int index;
        const char16_t* text;
    };
    const Case cases[] = {
        {kMailSubjects, 0, u"Someone Retweeted You"},
        {kMailSubjects, 7, u"Haha.  LOL"},
        {kMailSubjects, 38, u"(no subject)"},
        {kMailSubjects, 39, u"'sup?"},
        {kMailSubjects, 50, u"Which one should I buy?"},
        {kSpamSubjects, 0, u"Enjoy your free Sunbed"},
        {kSpamSubjects, 10, u"Congrats!  You Win a Voucher"},
        {kSpamSubjects, 41, u"(no subject)"},
        {kSpamSubjects, 45, u"FedEx Interational N7636"},
        {kSpamSubjects, 50, u"7428456"},
    };
    for (const Case& c : cases) EXPECT_EQ(String(c.table[c.index]), c.text) << "index " << c.index;
}

TEST_F(SubjectsTest, PoundSignIsOneUnit163) {
    struct Case {
        int index;
        size_t at;
        const char16_t* rest;
    };
    const Case cases[] = {{15, 13, u"100 Giftcard"}, {32, 5, u"1,000 TESCO gift card"}};
    for (const Case& c : cases) {
        const String text = kSpamSubjects[c.index];
        ASSERT_GT(text.size(), c.at) << "spam " << c.index;
        EXPECT_EQ(static_cast<int>(text[c.at]), 163) << "spam " << c.index;
        EXPECT_EQ(text.substr(c.at + 1), c.rest) << "spam " << c.index;
    }
    // Every other unit of both tables is printable ASCII.
    for (const auto* table : {kMailSubjects, kSpamSubjects})
        for (int i = 0; i < kSubjectCount; ++i)
            for (char16_t u : String(table[i]))
                if (u != 163) {
                    EXPECT_TRUE(u >= 32 && u < 127) << "index " << i;
                }
}

}  // namespace
