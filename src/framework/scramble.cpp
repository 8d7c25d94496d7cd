// scramble.cpp: the scrambling table and the scrambling of text.
//
// Owns no state: callers keep the table (the framework's global table, or
// the score server's own). A running offset, advanced by the table entry of
// each position, is added to every character modulo 92.
#include "framework/scramble.h"

namespace {

constexpr int kFirstCode = 32;  // space
constexpr int kLastCode = 123;  // "{"

}  // namespace

bool bbMakeScrambleTable(const String& keyword, int32_t gameNumber, ScrambleTable& table) {
    if (keyword.empty() || gameNumber <= 0) return false;
    for (int i = 0; i < kScrambleTableSize; ++i) {
        const int64_t code = keyword[static_cast<size_t>(i) % keyword.size()];
        table[i] = static_cast<int32_t>((code + i + gameNumber) % kScrambleRange);
    }
    return true;
}

String bbScrambleText(const ScrambleTable& table, const String& text) {
    String out(text.size(), u' ');
    int32_t offset = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const int c = text[i];
        const int d = (c >= kFirstCode && c <= kLastCode) ? c - kFirstCode : 0;
        offset = (offset + table[i % kScrambleTableSize]) % kScrambleRange;
        out[i] = static_cast<char16_t>((d + offset) % kScrambleRange + kFirstCode);
    }
    return out;
}

String bbUnscrambleText(const ScrambleTable& table, const String& scrambled) {
    String out(scrambled.size(), u' ');
    int32_t offset = 0;
    for (size_t i = 0; i < scrambled.size(); ++i) {
        const int e = scrambled[i] - kFirstCode;
        offset = (offset + table[i % kScrambleTableSize]) % kScrambleRange;
        out[i] = static_cast<char16_t>(
            ((e - offset) % kScrambleRange + kScrambleRange) % kScrambleRange + kFirstCode);
    }
    return out;
}
