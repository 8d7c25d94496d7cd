// submission.cpp: token decoding, unscrambling and the payload's layout checks.
//
// Owns no state. A Cursor walks the payload field by field; each step either
// takes its field or names what was wrong, and the first failure is the
// refusal. Depends on qv_scramble for bbUnscrambleText.
#include "server/submission.h"

namespace scored {

namespace {

// ---- constants ----

constexpr std::string_view kGameKey = "Game=";
constexpr std::string_view kScoreKey = "&Score=";
constexpr int kFourDigits = 4;
constexpr int kModeScores = 0;  // the only mode this game sends
constexpr std::string_view kTrailer = "ZOLT{";
constexpr char kSeparator = '{';
constexpr int kTokenLength = 5;  // "*!" letter "!*"
constexpr char kFirstScrambled = 32;
constexpr char kLastScrambled = 123;

// ---- internal helpers ----

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view text) {
    for (char c : text) {
        if (!IsDigit(c)) return false;
    }
    return !text.empty();
}

// Reads the payload left to right; a failed step leaves `refusal` set and
// every later step fails too, so only the first fault is reported.
class Cursor {
  public:
    explicit Cursor(std::string_view text) : text_(text) {}

    const std::string& refusal() const { return refusal_; }

    // Exactly `length` characters, then the separator.
    std::string_view Fixed(size_t length, const char* fault) {
        if (!refusal_.empty()) return {};
        if (text_.size() - pos_ < length + 1 || text_[pos_ + length] != kSeparator) {
            refusal_ = fault;
            return {};
        }
        std::string_view field = text_.substr(pos_, length);
        pos_ += length + 1;
        return field;
    }

    // A fixed run of digits, then the separator.
    std::string_view FixedDigits(size_t length, const char* fault) {
        std::string_view field = Fixed(length, fault);
        if (refusal_.empty() && !AllDigits(field)) refusal_ = fault;
        return field;
    }

    // A decimal number as the game writes it (no sign, no leading zero),
    // at most `limit`, then the separator.
    int32_t Number(int32_t limit, const char* fault) {
        if (!refusal_.empty()) return 0;
        size_t end = text_.find(kSeparator, pos_);
        if (end == std::string_view::npos) {
            refusal_ = fault;
            return 0;
        }
        std::string_view field = text_.substr(pos_, end - pos_);
        if (!AllDigits(field) || field.size() > kMaxNumberDigits ||
            (field.size() > 1 && field[0] == '0')) {
            refusal_ = fault;
            return 0;
        }
        int64_t value = 0;
        for (char c : field) value = value * 10 + (c - '0');
        if (value > limit) {
            refusal_ = fault;
            return 0;
        }
        pos_ = end + 1;
        return static_cast<int32_t>(value);
    }

    // The trailer, and nothing after it.
    void End(const char* fault) {
        if (!refusal_.empty()) return;
        if (text_.substr(pos_) != kTrailer) refusal_ = fault;
    }

    void Fail(const char* fault) {
        if (refusal_.empty()) refusal_ = fault;
    }

  private:
    std::string_view text_;
    size_t pos_ = 0;
    std::string refusal_;
};

int32_t FourDigitValue(std::string_view field) {
    int32_t value = 0;
    for (char c : field) value = value * 10 + (c - '0');
    return value;
}

Verdict Refuse(std::string reason) {
    Verdict verdict;
    verdict.refusal = std::move(reason);
    return verdict;
}

}  // namespace

// ---- public operations ----

char TokenCharacter(char letter) {
    switch (letter) {
        case 'A':
            return '&';
        case 'B':
            return '\\';
        case 'C':
            return '\'';
        case 'D':
            return '`';
        case 'E':
            return '"';
        case 'F':
            return '/';
        case 'G':
            return '>';
        case 'H':
            return '#';
        case 'I':
            return '^';
        case 'J':
            return '{';
        case 'K':
            return '}';
        case 'L':
            return '<';
        case 'M':
            return '|';
        case 'P':
            return '%';
        case 'Q':
            return '?';
        case 'R':
            return '+';
        case 'S':
            return '$';
        case 'T':
            return ',';
        case 'U':
            return ' ';
        default:
            return 0;
    }
}

std::optional<std::string> DecodeTokens(std::string_view encoded) {
    std::string out;
    out.reserve(encoded.size());
    size_t i = 0;
    while (i < encoded.size()) {
        if (encoded.size() - i >= kTokenLength && encoded[i] == '*' && encoded[i + 1] == '!' &&
            encoded[i + 3] == '!' && encoded[i + 4] == '*') {
            if (char c = TokenCharacter(encoded[i + 2]); c != 0) {
                out.push_back(c);
                i += kTokenLength;
                continue;
            }
        }
        const char c = encoded[i];
        // The space and every character with a token never travel bare.
        if (c <= kFirstScrambled || c > kLastScrambled) return std::nullopt;
        for (char letter = 'A'; letter <= 'U'; ++letter) {
            if (TokenCharacter(letter) == c) return std::nullopt;
        }
        out.push_back(c);
        ++i;
    }
    return out;
}

Verdict ParsePayload(std::string_view payload) {
    if (payload.size() > kMaxPayloadLength) return Refuse("payload too long");
    Cursor cursor(payload);
    Verdict verdict;
    Submission& s = verdict.submission;
    s.userId = std::string(cursor.FixedDigits(kUserIdLength, "bad user id"));
    std::string_view name = cursor.Fixed(kNameLength, "bad name");
    const int32_t game = FourDigitValue(cursor.FixedDigits(kFourDigits, "bad game number"));
    if (cursor.refusal().empty() && game != kExpectedGameNumber) cursor.Fail("wrong game");
    s.version = FourDigitValue(cursor.FixedDigits(kFourDigits, "bad version"));
    const int32_t mode = FourDigitValue(cursor.FixedDigits(kFourDigits, "bad mode"));
    if (cursor.refusal().empty() && mode != kModeScores) cursor.Fail("unsupported mode");
    for (Best& best : s.bests) {
        best.score = cursor.Number(kMaxScore, "bad score");
        best.count = cursor.Number(kMaxCount, "bad count");
        if (cursor.refusal().empty() && best.score != best.count * kPointsPerEmail) {
            cursor.Fail("score does not match count");
        }
    }
    cursor.End("bad trailer");
    if (!cursor.refusal().empty()) return Refuse(cursor.refusal());
    if (name == kUnsetName) return Refuse("no name");
    s.name = CleanName(name);
    return verdict;
}

Verdict DecodeSubmission(std::string_view query, const ScrambleTable& table) {
    if (query.substr(0, kGameKey.size()) != kGameKey) return Refuse("no game");
    query.remove_prefix(kGameKey.size());
    std::string_view game = query.substr(0, kFourDigits);
    if (!AllDigits(game) || game.size() != kFourDigits ||
        FourDigitValue(game) != kExpectedGameNumber) {
        return Refuse("wrong game");
    }
    query.remove_prefix(kFourDigits);
    if (query.substr(0, kScoreKey.size()) != kScoreKey) return Refuse("no score");
    query.remove_prefix(kScoreKey.size());
    if (query.size() > kMaxEncodedLength) return Refuse("payload too long");

    std::optional<std::string> scrambled = DecodeTokens(query);
    if (!scrambled) return Refuse("bad token encoding");
    if (scrambled->size() > kMaxPayloadLength) return Refuse("payload too long");

    const String text = bbUnscrambleText(table, String(scrambled->begin(), scrambled->end()));
    return ParsePayload(std::string(text.begin(), text.end()));
}

std::string CleanName(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == kSeparator || u < 32 || u > 126) c = ' ';
    }
    return out;
}

}  // namespace scored
