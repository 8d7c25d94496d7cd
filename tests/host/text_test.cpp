// Text conversions: integers, UTF-8 of 16-bit units, text file decoding.
#include "host/text.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values) out.push_back(static_cast<uint8_t>(v));
    return out;
}

String Decode(const std::vector<uint8_t>& bytes) {
    return bbDecodeText(bytes.data(), bytes.size());
}

TEST(Text, IntegersBecomeDecimalText) {
    EXPECT_EQ(bbStringFromInt(0), u"0");
    EXPECT_EQ(bbStringFromInt(-42), u"-42");
    EXPECT_EQ(bbStringFromInt(INT32_MAX), u"2147483647");
    EXPECT_EQ(bbStringFromInt(INT32_MIN), u"-2147483648");
}

TEST(Text, TextBecomesIntegerByLeadingDigits) {
    struct Case {
        String text;
        int32_t value;
    };
    const Case cases[] = {
        {u"", 0},
        {u"abc", 0},
        {u"  \t12ab", 12},
        {u"-17", -17},
        {u"+5", 5},
        {u"- 5", 0},
        {u"2147483647", INT32_MAX},
        {u"-2147483648", INT32_MIN},
        // Beyond 32 bits the value saturates; 63 digits cannot overflow.
        {u"2147483648", INT32_MAX},
        {u"-99999999999", INT32_MIN},
        {String(63, u'9'), INT32_MAX},
        // Each unit is cut to 8 bits: U+0131 reads as '1'.
        {u"\u0131\u0132", 12},
    };
    for (const Case& c : cases) EXPECT_EQ(bbStringToInt(c.text), c.value) << bbStringToUtf8(c.text);
}

TEST(Text, OnlyTheFirst63UnitsAreRead) {
    String text = String(62, u' ') + u"7" + u"8";
    EXPECT_EQ(bbStringToInt(text), 7);
}

TEST(Text, Utf8EncodesEachUnitOnItsOwn) {
    EXPECT_EQ(bbStringToUtf8(u"A"), "A");
    EXPECT_EQ(bbStringToUtf8(u"\u00e9"), "\xC3\xA9");
    EXPECT_EQ(bbStringToUtf8(u"\u00a3"), "\xC2\xA3");
    EXPECT_EQ(bbStringToUtf8(u"\u20ac"), "\xE2\x82\xAC");
    // U+1F600 is the pair D83D DE00: two three-byte sequences, not one four-byte one.
    EXPECT_EQ(bbStringToUtf8(u"\U0001F600"), "\xED\xA0\xBD\xED\xB8\x80");
}

TEST(Text, SurrogatePairsRoundTripThroughUtf8) {
    const String text = u"Zo\U0001F600\u00e9!";
    const std::string bytes = bbStringToUtf8(text);
    String back;
    ASSERT_TRUE(bbDecodeUtf8(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), back));
    EXPECT_EQ(back, text);
    EXPECT_EQ(Decode(std::vector<uint8_t>(bytes.begin(), bytes.end())), text);
}

TEST(Text, FilesAreDecodedByTheirMarks) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        String text;
    };
    const Case cases[] = {
        {"empty", {}, u""},
        {"utf-16 big-endian", Bytes({0xFE, 0xFF, 0x00, 0x41, 0x20, 0xAC}), u"A\u20ac"},
        {"utf-16 little-endian, odd byte ignored", Bytes({0xFF, 0xFE, 0x41, 0x00, 0x7A}), u"A"},
        {"utf-8 mark skipped", Bytes({0xEF, 0xBB, 0xBF, 0x68, 0xC3, 0xA9}), u"h\u00e9"},
        {"plain utf-8", Bytes({0x68, 0xC3, 0xA9}), u"h\u00e9"},
        {"latin-1 fallback", Bytes({0x63, 0x61, 0x66, 0xE9}), u"caf\u00e9"},
        {"cut-off sequence falls back", Bytes({0x41, 0xE2, 0x82}), u"A\u00e2\u0082"},
        {"four-byte lead falls back", Bytes({0xF0, 0x9F, 0x98, 0x80}), u"\u00f0\u009f\u0098\u0080"},
        {"stray continuation falls back", Bytes({0x80, 0x41}), u"\u0080A"},
        {"fallback keeps the whole file", Bytes({0xEF, 0xBB, 0xBF, 0xFF}),
         u"\u00ef\u00bb\u00bf\u00ff"},
    };
    for (const Case& c : cases) EXPECT_EQ(Decode(c.bytes), c.text) << c.name;
}

TEST(Text, BytesKeepTheLowByteOfEachUnit) {
    EXPECT_EQ(bbStringToBytes(u"A\u0142"), std::string("A\x42"));
    EXPECT_EQ(bbStringFromBytes("\xE9"), u"\u00e9");
}

}  // namespace
