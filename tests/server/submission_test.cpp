// submission_test.cpp: the decoder and validator of score submissions.
//
// Submissions are made by the game-side helper (game_payload.h), whose own
// output is first pinned against hand-written text, then fed to the decoder
// intact, damaged field by field, truncated, tampered with and oversized.
#include "server/submission.h"

#include <gtest/gtest.h>

#include <string>

#include "server/game_payload.h"

namespace {

using scored::DecodeSubmission;
using scored::DecodeTokens;
using scored::Verdict;
using scoredtest::GamePayload;
using scoredtest::GameSubmission;
using scoredtest::QueryForPayload;
using scoredtest::SubmissionQuery;

const ScrambleTable& Table() {
    static const ScrambleTable table = scoredtest::GameTable();
    return table;
}

GameSubmission Typical() {
    return {"20251211123456789", "Ada Lovelace ", {{{120, 12}, {0, 0}, {4570, 457}}}};
}

// ---- the helper builds what the game builds ----

TEST(GamePayloadHelper, JoinsTheFieldsInTheGamesLayout) {
    EXPECT_EQ(GamePayload(Typical()),
              "20251211123456789{Ada Lovelace {0512{0001{0000{120{12{0{0{4570{457{ZOLT{");

    GameSubmission other = Typical();
    other.version = 12345;  // four digits keep the last four
    other.mode = 3;         // a mode other than 0 carries no scores
    EXPECT_EQ(GamePayload(other), "20251211123456789{Ada Lovelace {0512{2345{0003{ZOLT{");
}

TEST(GamePayloadHelper, ReplacesEverySpecialCharacterByItsToken) {
    EXPECT_EQ(scoredtest::EncodeTokens("a&b\\c'd`e\"f/g>h#i^j{k}l<m|n%o?p+q$r,s t!*:=@[]"),
              "a*!A!*b*!B!*c*!C!*d*!D!*e*!E!*f*!F!*g*!G!*h*!H!*i*!I!*j*!J!*k*!K!*l*!L!*m*!M!*"
              "n*!P!*o*!Q!*p*!R!*q*!S!*r*!T!*s*!U!*t!*:=@[]");
}

// ---- tokens ----

TEST(DecodeTokens, UndoesTheGamesEncodingOfEveryScrambledCharacter) {
    std::string all;
    for (int c = 32; c <= 123; ++c) all += static_cast<char>(c);
    EXPECT_EQ(DecodeTokens(scoredtest::EncodeTokens(all)), all);
}

TEST(DecodeTokens, KeepsAnUnknownTokenAsItsFiveCharacters) {
    EXPECT_EQ(DecodeTokens("x*!N!*y*!O!*"), "x*!N!*y*!O!*");
    EXPECT_EQ(DecodeTokens("*!A!"), "*!A!");  // cut short: not a token
}

TEST(DecodeTokens, RefusesCharactersTheGameNeverSendsBare) {
    const char* cases[] = {"a b", "a&b", "a{b", "a%41", "a+b",   "a/b",   "a#b",
                           "a?b", "a|b", "a}b", "a~b",  "a\x7f", "a\x01", "a\xc3\xa9"};
    for (const char* text : cases) EXPECT_FALSE(DecodeTokens(text)) << text;
}

// ---- accepted submissions ----

TEST(DecodeSubmission, ReadsEveryFieldOfWhatTheGameSends) {
    struct Case {
        GameSubmission sent;
        std::string storedName;
    };
    const Case cases[] = {
        {Typical(), "Ada Lovelace "},
        {{"19991231235959999", "{brace}{x   {", {{{10, 1}, {20, 2}, {30, 3}}}}, " brace  x    "},
        // "|" and "}" lie outside the scrambled range: the game's scrambling
        // already turns them into spaces.
        {{"20260101000000000", "a|b c|d  e  |", {{{0, 0}, {0, 0}, {0, 0}}}}, "a b c d  e   "},
        {{"20260101000000000", "&\\'`\"/>#^<%?$", {{{1000000, 100000}, {0, 0}, {70, 7}}}, 512, 7},
         "&\\'`\"/>#^<%?$"},
    };
    for (const Case& c : cases) {
        const Verdict v = DecodeSubmission(SubmissionQuery(c.sent), Table());
        ASSERT_TRUE(v.ok()) << c.sent.name << ": " << v.refusal;
        EXPECT_EQ(v.submission.userId, c.sent.userId);
        EXPECT_EQ(v.submission.name, c.storedName);
        EXPECT_EQ(v.submission.version, c.sent.version);
        for (int t = 0; t < 3; ++t) {
            EXPECT_EQ(v.submission.bests[t].score, c.sent.bests[t].first) << c.sent.name << t;
            EXPECT_EQ(v.submission.bests[t].count, c.sent.bests[t].second) << c.sent.name << t;
        }
    }
}

// ---- refused submissions ----

TEST(DecodeSubmission, RefusesPayloadsTheGameWouldNeverBuild) {
    const std::string good = GamePayload(Typical());
    auto with = [&](std::string_view from, std::string_view to) {
        std::string payload = good;
        payload.replace(payload.find(from), from.size(), to);
        return payload;
    };
    GameSubmission otherGame = Typical();
    otherGame.gameNumber = 513;
    GameSubmission modeOne = Typical();
    modeOne.mode = 1;
    GameSubmission noName = Typical();
    noName.name = "Enter Name   ";
    GameSubmission forged = Typical();
    forged.bests[0] = {130, 12};  // a point that no email earned
    GameSubmission huge = Typical();
    huge.bests[2] = {1000010, 100001};

    struct Case {
        const char* what;
        std::string payload;
    };
    const Case cases[] = {
        {"letter in the user id", with("20251211123456789", "2025121112345678x")},
        {"short user id", with("20251211123456789", "2025121112345678")},
        {"long name", with("Ada Lovelace ", "Ada Lovelace  ")},
        {"short name", with("Ada Lovelace ", "Ada Lovelace")},
        {"another game", GamePayload(otherGame)},
        {"game number not digits", with("{0512{", "{05x2{")},
        {"negative version", with("{0001{", "{00-1{")},
        {"mode 1", GamePayload(modeOne)},
        {"name never entered", GamePayload(noName)},
        {"score not ten per email", GamePayload(forged)},
        {"count beyond bounds", GamePayload(huge)},
        {"leading zero", with("{120{12{", "{0120{12{")},
        {"signed score", with("{120{12{", "{+120{12{")},
        {"empty score", with("{0{0{", "{{0{")},
        {"eight-digit score", with("{4570{457{", "{10000000{1000000{")},
        {"a fourth game type", with("ZOLT{", "10{1{ZOLT{")},
        {"no trailer", with("ZOLT{", "")},
        {"wrong trailer", with("ZOLT{", "ZOLX{")},
        {"text after the trailer", good + "x"},
        {"empty payload", ""},
    };
    for (const Case& c : cases) {
        const Verdict v = DecodeSubmission(QueryForPayload(c.payload), Table());
        EXPECT_FALSE(v.ok()) << c.what;
    }
}

TEST(DecodeSubmission, NamesTheFirstFaultAsTheReason) {
    GameSubmission forged = Typical();
    forged.bests[1] = {50, 4};
    EXPECT_EQ(DecodeSubmission(SubmissionQuery(forged), Table()).refusal,
              "score does not match count");
    GameSubmission otherGame = Typical();
    otherGame.gameNumber = 511;
    EXPECT_EQ(DecodeSubmission(QueryForPayload(GamePayload(otherGame)), Table()).refusal,
              "wrong game");
}

TEST(DecodeSubmission, RefusesEveryTruncation) {
    const std::string payload = GamePayload(Typical());
    for (size_t length = 0; length < payload.size(); ++length) {
        EXPECT_FALSE(DecodeSubmission(QueryForPayload(payload.substr(0, length)), Table()).ok())
            << length;
    }
    // Cutting the encoded text instead can split a token.
    const std::string query = SubmissionQuery(Typical());
    for (size_t cut = 1; cut < 40; ++cut) {
        EXPECT_FALSE(DecodeSubmission(query.substr(0, query.size() - cut), Table()).ok()) << cut;
    }
}

TEST(DecodeSubmission, RefusesAnyTamperingWithTheGameModeScoresOrLayoutAfterTheName) {
    // The scrambling shifts each character by an amount that depends only on
    // its position, so a changed character changes exactly one payload
    // character: after the name that breaks the game number, the mode, the
    // layout or score = 10 x count. Only the version may be any four digits.
    const std::string payload = GamePayload(Typical());
    const std::string scrambled = scoredtest::Scramble(payload);
    const size_t game = payload.find("{0512{") + 1;
    const size_t version = game + 5;
    for (size_t i = game - 1; i < scrambled.size(); ++i) {
        if (i >= version && i < version + 4) continue;
        std::string tampered = scrambled;
        tampered[i] = static_cast<char>(tampered[i] == 123 ? 33 : tampered[i] + 1);
        const std::string query = "Game=0512&Score=" + scoredtest::EncodeTokens(tampered);
        EXPECT_FALSE(DecodeSubmission(query, Table()).ok()) << "position " << i;
    }
}

TEST(DecodeSubmission, RefusesMalformedQueries) {
    const std::string score = SubmissionQuery(Typical()).substr(std::string("Game=0512").size());
    const std::string cases[] = {
        "",
        "Score" + score.substr(6),
        "Game=512" + score,
        "Game=0513" + score,
        "Game=05x2" + score,
        "game=0512" + score,
        "Game=0512&Score=",
        "Game=0512" + score + "&x=1",
        "Game=0512&Other=1" + score,
        "Game=0512" + std::string(scored::kMaxEncodedLength + 8, 'a'),
    };
    for (const std::string& query : cases) {
        EXPECT_FALSE(DecodeSubmission(query, Table()).ok()) << query.substr(0, 60);
    }
}

TEST(DecodeSubmission, RefusesAnOversizedPayloadBeforeDecodingIt) {
    const std::string longPayload = GamePayload(Typical()) + std::string(200, '0');
    EXPECT_EQ(DecodeSubmission(QueryForPayload(longPayload), Table()).refusal, "payload too long");
    const std::string manyTokens =
        "Game=0512&Score=" + std::string(scored::kMaxEncodedLength + 5, '!');
    EXPECT_EQ(DecodeSubmission(manyTokens, Table()).refusal, "payload too long");
}

TEST(CleanName, TurnsTheSeparatorAndNonPrintableCharactersIntoSpaces) {
    EXPECT_EQ(scored::CleanName("a{b|c d~e"), "a b|c d~e");
    EXPECT_EQ(scored::CleanName(std::string("x\x01y\x7fz\xff", 6)), "x y z ");
}

}  // namespace
