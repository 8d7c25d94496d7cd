// Data buffers: the two text encodings, clipping of every peek, poke and copy,
// and the runtime errors of a bad encoding name and a second allocation.
#include "net/databuffer.h"

#include <gtest/gtest.h>

#include <vector>

#include "host/errors.h"
#include "net_support.h"

namespace {

std::vector<int32_t> Bytes(const c_DataBuffer& buffer) {
    return buffer.p_PeekBytes2(0, buffer.Length());
}

std::vector<int32_t> Signed(std::initializer_list<int> bytes) {
    std::vector<int32_t> out;
    for (int b : bytes) out.push_back(static_cast<int8_t>(b));
    return out;
}

TEST(DataBufferEncoding, EncodesEachUnitAndDecodesItBack) {
    struct Case {
        const char* name;
        String text;
        const char16_t* encoding;
        std::vector<int32_t> bytes;
        String decoded;
    };
    const Case cases[] = {
        {"ascii letters", u"Hi!", u"ascii", Signed({0x48, 0x69, 0x21}), u"Hi!"},
        {"ascii keeps the low byte", u"\u20AC\u00E9", u"ascii", Signed({0xAC, 0xE9}),
         u"\u00AC\u00E9"},
        {"utf8 one byte", u"A", u"utf8", Signed({0x41}), u"A"},
        {"utf8 two bytes", u"\u00E9", u"utf8", Signed({0xC3, 0xA9}), u"\u00E9"},
        {"utf8 largest two-byte unit", u"\u07FF", u"utf8", Signed({0xDF, 0xBF}), u"\u07FF"},
        {"utf8 smallest three-byte unit", u"\u0800", u"utf8", Signed({0xE0, 0xA0, 0x80}),
         u"\u0800"},
        {"utf8 euro sign", u"\u20AC", u"utf8", Signed({0xE2, 0x82, 0xAC}), u"\u20AC"},
        {"utf8 each surrogate on its own", u"\U0001F600", u"utf8",
         Signed({0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80}), u"\U0001F600"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto buffer = c_DataBuffer::Create(static_cast<int>(c.bytes.size()));
        EXPECT_EQ(buffer->p_PokeString(0, c.text, c.encoding), static_cast<int>(c.bytes.size()));
        EXPECT_EQ(Bytes(*buffer), c.bytes);
        EXPECT_EQ(buffer->p_PeekString(0, buffer->Length(), c.encoding), c.decoded);
    }
}

TEST(DataBufferEncoding, MalformedUtf8FallsBackToOneSignedUnitPerByte) {
    struct Case {
        const char* name;
        std::vector<int32_t> bytes;
        const char16_t* encoding;
        String decoded;
    };
    const Case cases[] = {
        {"cut-off two-byte sequence", Signed({0xC3}), u"utf8", u"\xFFC3"},
        {"good text before a cut-off sequence", Signed({0x41, 0xC3}), u"utf8", u"\x0041\xFFC3"},
        {"cut-off three-byte sequence", Signed({0xE2, 0x82}), u"utf8", u"\xFFE2\xFF82"},
        {"stray continuation byte", Signed({0x41, 0x80, 0x42}), u"utf8", u"\x0041\xFF80\x0042"},
        {"four-byte form is not accepted", Signed({0xF0, 0x9F, 0x98, 0x80}), u"utf8",
         u"\xFFF0\xFF9F\xFF98\xFF80"},
        {"ascii gives the byte values", Signed({0xC3, 0xFF}), u"ascii", u"\x00C3\x00FF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto buffer = c_DataBuffer::Create(static_cast<int>(c.bytes.size()));
        buffer->p_PokeBytes(0, c.bytes, 0, static_cast<int>(c.bytes.size()));
        EXPECT_EQ(buffer->p_PeekString(0, buffer->Length(), c.encoding), c.decoded);
    }
}

TEST(DataBufferEncoding, PokeStringWritesWhatFitsAndReturnsTheFullLength) {
    auto buffer = c_DataBuffer::Create(4096);
    EXPECT_EQ(buffer->p_PokeString(4090, u"0123456789", u"ascii"), 10);
    EXPECT_EQ(buffer->p_PeekString(4090, 6, u"ascii"), u"012345");

    // Two euro signs need six bytes; only the first three fit.
    auto tail = c_DataBuffer::Create(6);
    EXPECT_EQ(tail->p_PokeString(3, u"\u20AC\u20AC", u"utf8"), 6);
    EXPECT_EQ(Bytes(*tail), Signed({0, 0, 0, 0xE2, 0x82, 0xAC}));

    // Past the end nothing is written, but the length is still reported.
    auto small = c_DataBuffer::Create(4);
    EXPECT_EQ(small->p_PokeString(4, u"abc", u"ascii"), 3);
    EXPECT_EQ(small->p_PokeString(-2, u"abc", u"ascii"), 3);
    EXPECT_EQ(Bytes(*small), Signed({0, 0, 0, 0}));
}

TEST(DataBufferEncoding, PeekStringIsClippedToTheBuffer) {
    auto buffer = c_DataBuffer::Create(5);
    buffer->p_PokeString(0, u"hello", u"ascii");
    EXPECT_EQ(buffer->p_PeekString(3, 100, u"ascii"), u"lo");
    EXPECT_EQ(buffer->p_PeekString(-1, 3, u"ascii"), u"");
    EXPECT_EQ(buffer->p_PeekString(5, 1, u"ascii"), u"");
    EXPECT_EQ(buffer->p_PeekString2(1, u"utf8"), u"ello");
}

TEST(DataBufferBytes, PokesAndPeeksAreClippedToBufferAndArray) {
    struct Case {
        const char* name;
        int address;
        int offset;
        int count;
        std::vector<int32_t> after;  // the 6-byte buffer after poking {1, 2, 3, 4}
    };
    const Case cases[] = {
        {"inside", 1, 0, 4, {0, 1, 2, 3, 4, 0}},
        {"cut at the buffer end", 4, 0, 4, {0, 0, 0, 0, 1, 2}},
        {"cut at the array end", 0, 2, 10, {3, 4, 0, 0, 0, 0}},
        {"negative address", -1, 0, 4, {0, 0, 0, 0, 0, 0}},
        {"address past the end", 6, 0, 4, {0, 0, 0, 0, 0, 0}},
        {"offset past the array", 0, 4, 1, {0, 0, 0, 0, 0, 0}},
        {"negative count", 0, 0, -3, {0, 0, 0, 0, 0, 0}},
    };
    const std::vector<int32_t> source = {1, 2, 3, 4};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto buffer = c_DataBuffer::Create(6);
        buffer->p_PokeBytes(c.address, source, c.offset, c.count);
        EXPECT_EQ(Bytes(*buffer), c.after);
    }
}

TEST(DataBufferBytes, BytesKeepTheirLowEightBitsAndReadBackSigned) {
    auto buffer = c_DataBuffer::Create(4);
    buffer->p_PokeBytes(0, {200, 0x1FF, -1, 127}, 0, 4);
    EXPECT_EQ(Bytes(*buffer), (std::vector<int32_t>{-56, -1, -1, 127}));
    EXPECT_EQ(buffer->p_PeekBytes2(2, 10), (std::vector<int32_t>{-1, 127}));
    EXPECT_TRUE(buffer->p_PeekBytes2(9, 2).empty());

    // Reads stop at the buffer's end and at the array's end.
    std::vector<int32_t> into(4, 9);
    buffer->p_PeekBytes(2, into, 1, 10);
    EXPECT_EQ(into, (std::vector<int32_t>{9, -1, 127, 9}));
    buffer->p_PeekBytes(0, into, 3, 10);
    EXPECT_EQ(into, (std::vector<int32_t>{9, -1, 127, -56}));
}

TEST(DataBufferBytes, CopyHandlesOverlapAndClipsToBothBuffers) {
    const std::vector<int32_t> ramp = {0, 1, 2, 3, 4, 5, 6, 7};
    auto forward = c_DataBuffer::Create(8);
    forward->p_PokeBytes(0, ramp, 0, 8);
    forward->p_CopyBytes(0, forward.get(), 2, 5);
    EXPECT_EQ(Bytes(*forward), (std::vector<int32_t>{0, 1, 0, 1, 2, 3, 4, 7}));

    auto backward = c_DataBuffer::Create(8);
    backward->p_PokeBytes(0, ramp, 0, 8);
    backward->p_CopyBytes(2, backward.get(), 0, 5);
    EXPECT_EQ(Bytes(*backward), (std::vector<int32_t>{2, 3, 4, 5, 6, 5, 6, 7}));

    auto small = c_DataBuffer::Create(3);
    forward->p_CopyBytes(5, small.get(), 1, 10);
    EXPECT_EQ(Bytes(*small), (std::vector<int32_t>{0, 3, 4}));
}

TEST(DataBufferLifetime, DiscardFreesTheDataSoTheBufferCanBeAllocatedAgain) {
    c_DataBuffer buffer;
    buffer.m_new(16);
    EXPECT_EQ(buffer.Length(), 16);
    buffer.Discard();
    EXPECT_EQ(buffer.Length(), 0);
    EXPECT_EQ(buffer.p_PeekString2(0, u"ascii"), u"");
    buffer.m_new(2);
    EXPECT_EQ(buffer.Length(), 2);
}

TEST(DataBufferDeathTest, RuntimeErrors) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto buffer = c_DataBuffer::Create(8);
    EXPECT_EXIT(
        {
            nettest::RouteErrorReportToDeathTest();
            buffer->m_new(8);
        },
        testing::ExitedWithCode(255), "Tarvik Runtime Error : Allocate DataBuffer failed");
    EXPECT_EXIT(
        {
            nettest::RouteErrorReportToDeathTest();
            buffer->p_PokeString(0, u"x", u"latin1");
        },
        testing::ExitedWithCode(255), "Tarvik Runtime Error : Invalid string encoding:latin1");
    EXPECT_EXIT(
        {
            nettest::RouteErrorReportToDeathTest();
            buffer->p_PeekString(0, 1, u"UTF8");
        },
        testing::ExitedWithCode(255), "Tarvik Runtime Error : Invalid string encoding:UTF8");
}

}  // namespace
