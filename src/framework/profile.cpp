// profile.cpp: profile, save record writing and reading, scrambling setters.
//
// Owns the name entries, the user id halves, the local score table, the
// keyword and its scrambling table, AllowName and the number of game types.
// Reading indexes only the fields a record can have, so a huge or hostile
// state file costs one pass over its text and no more memory than its text.
// Depends on the framework state (settings, random generator, game number),
// the controls (console mode) and the host's date and state file.
#include "framework/profile.h"

#include <algorithm>
#include <climits>
#include <string_view>
#include <vector>

#include "framework/controls.h"
#include "framework/state.h"
#include "host/app.h"

namespace {

constexpr char16_t kHeader[] = u"ZOLT_v2.0";
constexpr int kSavedSettings = 201;  // settings 0..200 travel in the record
constexpr int kSettingsCheckField = 202;
constexpr int kNameField = 203;
constexpr int kUserIdAField = 219;
constexpr int kUserIdBField = 220;
constexpr int kProfileCheckField = 221;
constexpr int kFirstScoreField = 222;
constexpr int kChecksPerBlock = 32;  // score entries per block check
constexpr int kRecordFields = 1 + 201 + 1 + 16 + 3 + 10000 + 312;
constexpr int kMaxNumberUnits = 63;        // units of a field read as a number
constexpr int32_t kMaxUserIdA = 99999999;  // the id halves have 8 and 9 digits
constexpr int32_t kMaxUserIdB = 999999999;
constexpr int kMaxVolume = 10;
constexpr int kMaxOverscan = 10;

// Settings entries the loader checks.
constexpr int kSetMusicVolume = 0;
constexpr int kSetEffectVolume = 1;
constexpr int kSetGameNumber = 6;
constexpr int kSetInvertLeft = 11;
constexpr int kSetInvertRight = 12;
constexpr int kSetOverscan = 21;
constexpr int kSetDebug = 22;
constexpr int kSetScreenshot = 23;

// The pieces of a record split at "|": where the first ones start, and how
// many pieces there are in all.
class RecordPieces {
  public:
    explicit RecordPieces(const String& text) : text_(text) {
        starts_.reserve(std::min<size_t>(text.size() / 2 + 2, kRecordFields + 1));
        starts_.push_back(0);
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] != u'|') continue;
            ++count_;
            if (starts_.size() <= kRecordFields) starts_.push_back(i + 1);
        }
    }
    int64_t Count() const { return count_; }
    bool PieceIs(int64_t index, std::u16string_view expected) const {
        const size_t start = starts_[static_cast<size_t>(index)];
        const size_t end = std::min(text_.find(u'|', start), text_.size());
        return std::u16string_view(text_).substr(start, end - start) == expected;
    }
    int32_t Number(int64_t index) const {
        const size_t start = starts_[static_cast<size_t>(index)];
        const size_t end = std::min(text_.find(u'|', start), text_.size());
        const size_t length = std::min<size_t>(end - start, kMaxNumberUnits);
        return bbStringToInt(text_.substr(start, length));
    }

  private:
    const String& text_;
    std::vector<size_t> starts_;
    int64_t count_ = 1;
};

int32_t Modulus() {
    return bb_zolt_ZOLT_GameNum + 1000;
}
int32_t BlockModulus() {
    return 23 * bb_zolt_ZOLT_GameNum + 1237;
}

// (c + v) rem m in 64 bits: no overflow for any 32-bit value read back.
int32_t AddRem(int64_t c, int64_t v, int64_t m) {
    return static_cast<int32_t>((c + v) % m);
}

int32_t BlockStep(int m, int32_t score, int32_t c) {
    return static_cast<int32_t>((int64_t{m} + 1 + score + bb_zolt_ZOLT_GameNum + c) %
                                BlockModulus());
}

String LastDigits(int32_t value, size_t count) {
    const String digits = String(17, u'0') + bbStringFromInt(value);
    return digits.substr(digits.size() - count);
}

void AppendField(String& record, int32_t value) {
    record += bbStringFromInt(value);
    record += u'|';
}

// Brings the values a record may carry into the ranges the game uses.
void ClampLoadedSettings() {
    int32_t* set = bb_zolt_ZOLT_Set;
    set[kSetMusicVolume] = std::clamp(set[kSetMusicVolume], 0, kMaxVolume);
    set[kSetEffectVolume] = std::clamp(set[kSetEffectVolume], 0, kMaxVolume);
    for (int toggle : {kSetInvertLeft, kSetInvertRight, kSetDebug})
        set[toggle] = set[toggle] != 0 ? 1 : 0;
    if (bb_zolt_isOuya != 1 && set[kSetOverscan] > 0) set[kSetOverscan] = 0;
    set[kSetOverscan] = std::clamp(set[kSetOverscan], 0, kMaxOverscan);
}

bool UserIdFits() {
    return bb_zolt_ZOLT_UserIDA >= 0 && bb_zolt_ZOLT_UserIDA <= kMaxUserIdA &&
           bb_zolt_ZOLT_UserIDB >= 0 && bb_zolt_ZOLT_UserIDB <= kMaxUserIdB;
}

void ReplaceProfile() {
    bb_zolt_ZOLT_UserIDA = 0;
    bb_zolt_ZOLT_UserIDB = 0;
    bb_zolt_NewUser();
}

// Reads settings; false when the record belongs to another game.
bool LoadSettings(const RecordPieces& pieces) {
    const int64_t n = pieces.Count();
    int32_t check = 0;
    for (int position = 1; position <= kSavedSettings; ++position) {
        if (position >= n) continue;
        bb_zolt_ZOLT_Set[position - 1] = pieces.Number(position);
        check = AddRem(check, bb_zolt_ZOLT_Set[position - 1], Modulus());
    }
    if (n > kSettingsCheckField && pieces.Number(kSettingsCheckField) != check)
        bb_zolt_SetDefaults();
    if (bb_zolt_ZOLT_Set[kSetGameNumber] != bb_zolt_ZOLT_GameNum) {
        bb_zolt_SetDefaults();
        return false;
    }
    return true;
}

void LoadProfile(const RecordPieces& pieces) {
    const int64_t n = pieces.Count();
    int32_t check = 0;
    for (int position = kNameField; position < kNameField + kZoltNameEntries; ++position) {
        if (position >= n) continue;
        bb_zolt_ZOLT_Username[position - kNameField] = pieces.Number(position);
        check = AddRem(check, bb_zolt_ZOLT_Username[position - kNameField], Modulus());
    }
    if (n > kUserIdAField) {
        bb_zolt_ZOLT_UserIDA = pieces.Number(kUserIdAField);
        check = AddRem(check, bb_zolt_ZOLT_UserIDA, Modulus());
    }
    if (n > kUserIdBField) {
        bb_zolt_ZOLT_UserIDB = pieces.Number(kUserIdBField);
        check = AddRem(check, bb_zolt_ZOLT_UserIDB, Modulus());
    }
    if (n > kProfileCheckField && pieces.Number(kProfileCheckField) != check) {
        ReplaceProfile();  // name entries 4..15 keep what was read
        return;
    }
    if (bb_zolt_ZOLT_UserIDA == 0) bb_zolt_NewUser();
    // An id that cannot be shown in its 8 + 9 digits is not a usable id.
    if (!UserIdFits()) ReplaceProfile();
}

void LoadScores(const RecordPieces& pieces) {
    const int64_t n = pieces.Count();
    int64_t p = kFirstScoreField;
    int32_t check = 0;
    for (int m = 0; m < kZoltScoreEntries; ++m) {
        if (p < n) bb_zolt_ZOLT_Score[m] = pieces.Number(p);
        check = BlockStep(m, bb_zolt_ZOLT_Score[m], check);
        if (m % kChecksPerBlock == kChecksPerBlock - 1 && p + 1 < n) {
            if (pieces.Number(p + 1) != check)
                std::fill(bb_zolt_ZOLT_Score + m - 31, bb_zolt_ZOLT_Score + m + 1, 0);
            p += 2;
            check = 0;
        } else {
            p += 1;
        }
    }
}

}  // namespace

int32_t bb_zolt_ZOLT_Username[kZoltNameEntries];
int32_t bb_zolt_ZOLT_UserIDA;
int32_t bb_zolt_ZOLT_UserIDB;
int32_t bb_zolt_ZOLT_Score[kZoltScoreEntries];
String bb_zolt_ZOLT_Keyword;
ScrambleTable bb_zolt_ZOLT_Scramble;
int32_t bb_zolt_ZOLT_AllowName;
int32_t bb_zolt_ZOLT_Levels;

void bbInitZoltProfile() {
    std::fill(std::begin(bb_zolt_ZOLT_Username), std::end(bb_zolt_ZOLT_Username), 0);
    bb_zolt_ZOLT_UserIDA = 0;
    bb_zolt_ZOLT_UserIDB = 0;
    std::fill(std::begin(bb_zolt_ZOLT_Score), std::end(bb_zolt_ZOLT_Score), 0);
    bb_zolt_ZOLT_Keyword = u"Keyword";
    bb_zolt_ZOLT_Scramble.fill(0);
    bb_zolt_ZOLT_AllowName = 0;
    bb_zolt_ZOLT_Levels = 3;
}

void bb_zolt_NewUser() {
    bb_zolt_SeedRnd(kZoltSeedFromClock);
    const int32_t name[] = {u'N' - 32, u'a' - 32, u'm' - 32, u'e' - 32};
    std::copy(std::begin(name), std::end(name), bb_zolt_ZOLT_Username);
    const std::vector<int32_t> date = bb_app_GetDate2();
    bb_zolt_ZOLT_UserIDA = date[0] * 10000 + date[1] * 100 + date[2];
    // Wraps like the 32-bit arithmetic it models if a tampered record left a
    // large value behind; such an id is replaced by the caller.
    int64_t b = bb_zolt_ZOLT_UserIDB;
    b += int64_t{date[3]} * 10000000;
    b += int64_t{date[4]} * 100000;
    b += int64_t{date[5]} * 1000;
    b += bb_zolt_Rand(0, 999);
    bb_zolt_ZOLT_UserIDB = static_cast<int32_t>(static_cast<uint32_t>(b));
}

String bb_zolt_MyName() {
    String name;
    for (int i = 0; i < kZoltNameLength; ++i)
        name.push_back(static_cast<char16_t>(int64_t{bb_zolt_ZOLT_Username[i]} + 32));
    if (name == u"Name         ") name = u"Enter Name";
    name.resize(kZoltNameLength, u' ');
    return name;
}

String bb_zolt_MyUserID() {
    return LastDigits(bb_zolt_ZOLT_UserIDA, 8) + LastDigits(bb_zolt_ZOLT_UserIDB, 9);
}

String bbZoltSaveRecord() {
    String record = kHeader;
    record += u'|';
    int32_t check = 0;
    for (int i = 0; i < kSavedSettings; ++i) {
        AppendField(record, bb_zolt_ZOLT_Set[i]);
        check = AddRem(check, bb_zolt_ZOLT_Set[i], Modulus());
    }
    AppendField(record, check);
    check = 0;
    for (int32_t entry : bb_zolt_ZOLT_Username) {
        AppendField(record, entry);
        check = AddRem(check, entry, Modulus());
    }
    AppendField(record, bb_zolt_ZOLT_UserIDA);
    AppendField(record, bb_zolt_ZOLT_UserIDB);
    check = AddRem(AddRem(check, bb_zolt_ZOLT_UserIDA, Modulus()), bb_zolt_ZOLT_UserIDB, Modulus());
    AppendField(record, check);
    check = 0;
    for (int m = 0; m < kZoltScoreEntries; ++m) {
        AppendField(record, bb_zolt_ZOLT_Score[m]);
        check = BlockStep(m, bb_zolt_ZOLT_Score[m], check);
        if (m % kChecksPerBlock == kChecksPerBlock - 1) {
            AppendField(record, check);
            check = 0;
        }
    }
    return record;
}

void bb_zolt_Save() {
    bb_zolt_ZOLT_Set[kSetGameNumber] = bb_zolt_ZOLT_GameNum;
    bb_app_SaveState(bbZoltSaveRecord());
}

void bb_zolt_Load() {
    const String text = bb_app_LoadState();
    const RecordPieces pieces(text);
    bb_zolt_SetDefaults();
    bb_zolt_ZOLT_UserIDA = 0;
    bb_zolt_NewUser();
    if (!pieces.PieceIs(0, kHeader)) return;
    if (!LoadSettings(pieces)) return;
    LoadProfile(pieces);
    ClampLoadedSettings();
    bb_zolt_ZOLT_DebugMode = bb_zolt_ZOLT_Set[kSetDebug];
    bb_zolt_ZOLT_Set[kSetScreenshot] = 0;
    bb_zolt_ZOLT_ScreenshotMode = 0;
    LoadScores(pieces);
}

String bb_zolt_Scramble(const String& text) {
    return bbScrambleText(bb_zolt_ZOLT_Scramble, text);
}

void bb_zolt_Rescramble() {
    bbMakeScrambleTable(bb_zolt_ZOLT_Keyword, bb_zolt_ZOLT_GameNum, bb_zolt_ZOLT_Scramble);
}

void bb_zolt_SetKeyword(const String& keyword) {
    bb_zolt_ZOLT_Keyword = keyword;
    bb_zolt_Rescramble();
}

void bb_zolt_SetGameNumber(int number) {
    const int64_t magnitude = number < 0 ? -int64_t{number} : number;
    bb_zolt_ZOLT_GameNum = static_cast<int32_t>(std::min<int64_t>(magnitude, INT32_MAX));
    bb_zolt_Rescramble();
}

void bb_zolt_AllowName(int flag) {
    bb_zolt_ZOLT_AllowName = flag;
}
void bb_zolt_ShowQuitButton(int flag) {
    bb_zolt_HasQuit = flag;
}
