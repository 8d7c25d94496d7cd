// The save record: round trip, every kind of tampering, bad files, the profile.
#include "framework/profile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "framework/controls.h"
#include "framework/state.h"
#include "game/keyword.h"
#include "host/app.h"
#include "host/host.h"

namespace {

using Fields = std::vector<String>;

Fields Split(const String& record) {
    Fields fields;
    size_t start = 0;
    for (size_t bar; (bar = record.find(u'|', start)) != String::npos; start = bar + 1)
        fields.push_back(record.substr(start, bar - start));
    return fields;
}

String Join(const Fields& fields) {
    String record;
    for (const String& field : fields) record += field + u"|";
    return record;
}

int Number(const String& field) {
    return bbStringToInt(field);
}
String Text(int value) {
    return bbStringFromInt(value);
}

// Settings check of fields 1..201 as defined: sum rem (game number + 1000).
int SettingsCheck(const Fields& fields) {
    int c = 0;
    for (int i = 1; i <= 201; ++i) c = (c + Number(fields[i])) % 1512;
    return c;
}

constexpr int kFieldSetting0 = 1;
constexpr int kFieldSettingsCheck = 202;
constexpr int kFieldName0 = 203;
constexpr int kFieldIdA = 219;
constexpr int kFieldProfileCheck = 221;

// The field that holds score entry m.
int ScoreField(int m) {
    return 222 + m + m / 32;
}

class ProfileTest : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorvane-profile-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        ASSERT_NE(getcwd(previous_, sizeof previous_), nullptr);
        ASSERT_EQ(chdir(folder_.c_str()), 0);
        Restart();
    }
    void TearDown() override {
        ASSERT_EQ(chdir(previous_), 0);
        std::system(("rm -rf " + folder_).c_str());
    }

    // Everything back to its start value, as at program start, then the game's set-up.
    void Restart() {
        bbInitApp();
        bbInitZoltState();
        bbInitZoltControls();
        bbInitZoltProfile();
        bb_zolt_SetGameNumber(kQuorvaneGameNumber);
        bb_zolt_SetKeyword(kQuorvaneKeyword);
    }

    // A played profile: chosen settings, name "Ada", id 20200102 / 30405060, scores.
    void FillProfile() {
        for (int i = 0; i <= 200; ++i) bb_zolt_ZOLT_Set[i] = 1000 + i * 7;
        bb_zolt_ZOLT_Set[0] = 3;
        bb_zolt_ZOLT_Set[1] = 9;
        bb_zolt_ZOLT_Set[11] = 0;
        bb_zolt_ZOLT_Set[12] = 1;
        bb_zolt_ZOLT_Set[21] = 0;
        bb_zolt_ZOLT_Set[22] = 1;
        bb_zolt_ZOLT_Set[23] = 0;
        const String name = u"Ada";
        for (int i = 0; i < 16; ++i)
            bb_zolt_ZOLT_Username[i] = i < 3 ? name[i] - 32 : (i == 15 ? 9 : 0);
        bb_zolt_ZOLT_UserIDA = 20200102;
        bb_zolt_ZOLT_UserIDB = 30405060;
        for (int m = 0; m < 10000; ++m) bb_zolt_ZOLT_Score[m] = (m * 37) % 1000;
    }

    void Store(const String& record) { bb_app_SaveState(record); }
    String Saved() { return bb_app_LoadState(); }
    int Today() {
        const std::vector<int32_t> d = bb_app_GetDate2();
        return d[0] * 10000 + d[1] * 100 + d[2];
    }
    void ExpectDefaultsFor0_1_11_12_21_22() {
        EXPECT_EQ(bb_zolt_ZOLT_Set[0], 7);
        EXPECT_EQ(bb_zolt_ZOLT_Set[1], 7);
        EXPECT_EQ(bb_zolt_ZOLT_Set[11], 1);
        EXPECT_EQ(bb_zolt_ZOLT_Set[12], 1);
        EXPECT_EQ(bb_zolt_ZOLT_Set[21], 0);
        EXPECT_EQ(bb_zolt_ZOLT_Set[22], 0);
    }

    std::string folder_;
    char previous_[4096] = {};
    BBGlfwGame host_;
};

TEST_F(ProfileTest, SavedRecordReadsBackExactly) {
    FillProfile();
    bb_zolt_Save();
    const String record = Saved();
    EXPECT_EQ(record.substr(0, 10), u"ZOLT_v2.0|");
    EXPECT_EQ(record.back(), u'|');
    EXPECT_EQ(Split(record).size(), 1u + 201 + 1 + 16 + 3 + 10000 + 312);

    int32_t settings[201], scores[10000], name[16];
    std::copy(bb_zolt_ZOLT_Set, bb_zolt_ZOLT_Set + 201, settings);
    std::copy(bb_zolt_ZOLT_Score, bb_zolt_ZOLT_Score + 10000, scores);
    std::copy(bb_zolt_ZOLT_Username, bb_zolt_ZOLT_Username + 16, name);
    Restart();
    bb_zolt_Load();
    EXPECT_EQ(std::vector<int32_t>(bb_zolt_ZOLT_Set, bb_zolt_ZOLT_Set + 201),
              std::vector<int32_t>(settings, settings + 201));
    EXPECT_EQ(bb_zolt_ZOLT_Set[6], 512);
    EXPECT_EQ(std::vector<int32_t>(bb_zolt_ZOLT_Username, bb_zolt_ZOLT_Username + 16),
              std::vector<int32_t>(name, name + 16));
    EXPECT_EQ(bb_zolt_ZOLT_UserIDA, 20200102);
    EXPECT_EQ(bb_zolt_ZOLT_UserIDB, 30405060);
    EXPECT_EQ(std::vector<int32_t>(bb_zolt_ZOLT_Score, bb_zolt_ZOLT_Score + 10000),
              std::vector<int32_t>(scores, scores + 10000));
    EXPECT_EQ(bb_zolt_ZOLT_DebugMode, 1);
    EXPECT_EQ(bb_zolt_MyName(), u"Ada          ");
    EXPECT_EQ(bb_zolt_MyUserID(), u"20200102030405060");
}

TEST_F(ProfileTest, NoStateFileGivesDefaultsAndAFreshProfile) {
    bb_zolt_ZOLT_Set[0] = 2;
    bb_zolt_Load();
    ExpectDefaultsFor0_1_11_12_21_22();
    EXPECT_EQ(bb_zolt_MyName(), u"Enter Name   ");
    EXPECT_EQ(bb_zolt_ZOLT_UserIDA, Today());
    EXPECT_GE(bb_zolt_ZOLT_UserIDB, 0);
    EXPECT_LT(bb_zolt_ZOLT_UserIDB, 240000000);
    EXPECT_EQ(bb_zolt_MyUserID().size(), 17u);
    for (int m = 0; m < 10000; ++m) ASSERT_EQ(bb_zolt_ZOLT_Score[m], 0);
}

TEST_F(ProfileTest, ChangedSettingResetsOnlyTheDefaultedEntries) {
    FillProfile();
    bb_zolt_Save();
    Fields fields = Split(Saved());
    fields[kFieldSetting0 + 50] = Text(Number(fields[kFieldSetting0 + 50]) + 1);
    Store(Join(fields));
    Restart();
    bb_zolt_Load();
    ExpectDefaultsFor0_1_11_12_21_22();
    EXPECT_EQ(bb_zolt_ZOLT_Set[50], 1000 + 50 * 7 + 1);  // the read value stands
    EXPECT_EQ(bb_zolt_ZOLT_UserIDA, 20200102);           // profile and scores still read
    EXPECT_EQ(bb_zolt_ZOLT_Score[100], (100 * 37) % 1000);
}

TEST_F(ProfileTest, ChangedNameMakesNewIdsAndKeepsTheRestOfTheName) {
    FillProfile();
    bb_zolt_Save();
    Fields fields = Split(Saved());
    fields[kFieldName0 + 5] = u"44";
    Store(Join(fields));
    Restart();
    bb_zolt_Load();
    EXPECT_EQ(bb_zolt_ZOLT_UserIDA, Today());
    EXPECT_NE(bb_zolt_ZOLT_UserIDB, 30405060);
    EXPECT_EQ(bb_zolt_MyName(), u"Name L       ");  // entry 5 is 44: "L"
    EXPECT_EQ(bb_zolt_ZOLT_Username[15], 9);
    EXPECT_EQ(bb_zolt_ZOLT_Score[5], (5 * 37) % 1000);
}

TEST_F(ProfileTest, ChangedScoreZeroesExactlyItsBlock) {
    FillProfile();
    bb_zolt_Save();
    Fields fields = Split(Saved());
    fields[ScoreField(70)] = u"999";  // block 64..95
    fields[ScoreField(9990)] = u"5";  // the unchecked tail
    Store(Join(fields));
    Restart();
    bb_zolt_Load();
    for (int m = 64; m < 96; ++m) EXPECT_EQ(bb_zolt_ZOLT_Score[m], 0) << m;
    EXPECT_EQ(bb_zolt_ZOLT_Score[63], (63 * 37) % 1000);
    EXPECT_EQ(bb_zolt_ZOLT_Score[96], (96 * 37) % 1000);
    EXPECT_EQ(bb_zolt_ZOLT_Score[9990], 5);
}

TEST_F(ProfileTest, RecordOfAnotherGameKeepsOnlyItsUncheckedSettings) {
    FillProfile();
    bb_zolt_Save();
    Fields fields = Split(Saved());
    fields[kFieldSetting0 + 6] = u"513";
    fields[kFieldSettingsCheck] = Text(SettingsCheck(fields));
    Store(Join(fields));
    Restart();
    bb_zolt_Load();
    ExpectDefaultsFor0_1_11_12_21_22();
    EXPECT_EQ(bb_zolt_ZOLT_Set[50], 1000 + 50 * 7);
    EXPECT_EQ(bb_zolt_MyName(), u"Enter Name   ");
    EXPECT_EQ(bb_zolt_ZOLT_UserIDA, Today());
    EXPECT_EQ(bb_zolt_ZOLT_Score[100], 0);
}

TEST_F(ProfileTest, ShortAndForeignRecordsReadWhatTheyHave) {
    FillProfile();
    bb_zolt_Save();
    const Fields full = Split(Saved());

    Fields shortRecord(full.begin(), full.begin() + ScoreField(40));  // cut inside block 32..63
    Store(Join(shortRecord));
    Restart();
    bb_zolt_Load();
    EXPECT_EQ(bb_zolt_ZOLT_UserIDA, 20200102);
    EXPECT_EQ(bb_zolt_ZOLT_Score[31], (31 * 37) % 1000);
    EXPECT_EQ(bb_zolt_ZOLT_Score[39], (39 * 37) % 1000);
    EXPECT_EQ(bb_zolt_ZOLT_Score[40], 0);

    Fields noHeader = full;
    noHeader[0] = u"ZOLT_v1.0";
    Store(Join(noHeader));
    Restart();
    bb_zolt_Load();
    EXPECT_EQ(bb_zolt_ZOLT_Set[50], 0);
    EXPECT_EQ(bb_zolt_ZOLT_UserIDA, Today());
}

TEST_F(ProfileTest, LatinOneBytesLoadOneCharacterPerByte) {
    FillProfile();
    bb_zolt_Save();
    std::string bytes = bbStringToUtf8(Saved());
    const size_t nameField = bytes.find("|33|68|65|");  // "A", "d", "a" as entries
    ASSERT_NE(nameField, std::string::npos);
    bytes.insert(nameField + 3, "\xE9");  // "33\xE9" still reads as 33
    std::ofstream(".tarvikstate", std::ios::binary) << bytes;
    Restart();
    bb_zolt_Load();
    EXPECT_EQ(bb_zolt_MyName(), u"Ada          ");
    EXPECT_EQ(bb_zolt_ZOLT_UserIDA, 20200102);
}

TEST_F(ProfileTest, ScreenshotModeNeverSurvivesARestart) {
    FillProfile();
    bb_zolt_ZOLT_Set[23] = 1;
    bb_zolt_ZOLT_ScreenshotMode = 1;
    bb_zolt_Save();
    Restart();
    bb_zolt_ZOLT_ScreenshotMode = 1;
    bb_zolt_Load();
    EXPECT_EQ(bb_zolt_ZOLT_Set[23], 0);
    EXPECT_EQ(bb_zolt_ZOLT_ScreenshotMode, 0);
}

// Values that pass their checks but lie outside what the game uses.
TEST_F(ProfileTest, ReadValuesAreBroughtIntoTheirRanges) {
    FillProfile();
    bb_zolt_ZOLT_Set[0] = 55;
    bb_zolt_ZOLT_Set[11] = 5;
    bb_zolt_ZOLT_Set[22] = -2;
    bb_zolt_ZOLT_Set[21] = -3;
    bb_zolt_ZOLT_UserIDA = 123456789;  // nine digits do not fit the first half
    bb_zolt_Save();
    Restart();
    bb_zolt_Load();
    EXPECT_EQ(bb_zolt_ZOLT_Set[0], 10);
    EXPECT_EQ(bb_zolt_ZOLT_Set[11], 1);
    EXPECT_EQ(bb_zolt_ZOLT_Set[22], 1);
    EXPECT_EQ(bb_zolt_ZOLT_Set[21], 0);
    EXPECT_EQ(bb_zolt_ZOLT_UserIDA, Today());
    EXPECT_EQ(bb_zolt_MyUserID().substr(0, 8), bbStringFromInt(Today()));
}

TEST_F(ProfileTest, HugeNumbersSaturateWithoutOverflowingTheChecks) {
    FillProfile();
    bb_zolt_Save();
    Fields fields = Split(Saved());
    fields[kFieldSetting0 + 40] = String(60, u'9');
    fields[kFieldIdA] = u"-99999999999999";
    fields[ScoreField(3)] = u"2147483647";
    Store(Join(fields));
    Restart();
    bb_zolt_Load();  // UBSan would report a signed overflow here
    EXPECT_EQ(bb_zolt_ZOLT_Set[40], 2147483647);
    ExpectDefaultsFor0_1_11_12_21_22();
    EXPECT_EQ(bb_zolt_ZOLT_UserIDA, Today());
    EXPECT_EQ(bb_zolt_ZOLT_Score[3], 0);
}

TEST_F(ProfileTest, HugeStateFilesLoadAndFallBack) {
    std::string bytes = "ZOLT_v2.0|";
    bytes.reserve(24 << 20);
    while (bytes.size() < (24u << 20)) bytes += "1|";  // millions of fields
    std::ofstream(".tarvikstate", std::ios::binary) << bytes;
    bb_zolt_Load();
    ExpectDefaultsFor0_1_11_12_21_22();  // settings entry 6 is 1, not 512
    EXPECT_EQ(bb_zolt_ZOLT_UserIDA, Today());
    EXPECT_EQ(bb_zolt_ZOLT_Score[0], 0);

    std::ofstream(".tarvikstate", std::ios::binary) << std::string(8 << 20, '\xFF');
    bb_zolt_Load();
    EXPECT_EQ(bb_zolt_MyName(), u"Enter Name   ");
}

TEST_F(ProfileTest, GameNumberIsStoredWithoutItsSign) {
    bb_zolt_SetGameNumber(-512);
    EXPECT_EQ(bb_zolt_ZOLT_GameNum, 512);
    ScrambleTable expected{};
    bbMakeScrambleTable(kQuorvaneKeyword, 512, expected);
    EXPECT_EQ(bb_zolt_ZOLT_Scramble, expected);
    EXPECT_EQ(bb_zolt_Scramble(u""), u"");
}

}  // namespace
