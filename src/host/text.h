// text.h: the program's one text type and its conversions.
//
// Text is a sequence of 16-bit code units (`String`). A character beyond
// U+FFFF is two units (a surrogate pair); the pound sign is the one unit 163.
// Conversion to and from bytes happens only at the edges: console output,
// file names, text files and the state file.
//
//   String s = u"Quorvane";                     // literals are u"..."
//   bbStringFromInt(-42) == u"-42"
//   bbStringToInt(u"  12ab") == 12
//   bbStringToUtf8(s)                           // each unit on its own, 1..3 bytes
//   bbDecodeText(bytes, n)                      // BOMs, UTF-8, else Latin-1
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using String = std::u16string;

// Decimal text of an integer, "-" before negatives.
String bbStringFromInt(int32_t value);

// Integer value of a text: at most its first 63 units, each cut to 8 bits;
// leading blanks skipped, an optional sign, then decimal digits up to the first
// other character. No digits gives 0. A value beyond the 32-bit range
// saturates to INT32_MAX or INT32_MIN.
int32_t bbStringToInt(const String& text);

// One unit per byte (Latin-1): C strings, messages, byte-per-character files.
String bbStringFromBytes(std::string_view bytes);

// The low byte of each unit (how runtime error messages reach the console).
std::string bbStringToBytes(const String& text);

// UTF-8 with each 16-bit unit encoded on its own: below 0x80 one byte, below
// 0x800 two, else three, so a surrogate pair becomes two three-byte sequences.
std::string bbStringToUtf8(const String& text);

// Strict decoding of one-, two- and three-byte UTF-8 sequences, the inverse of
// bbStringToUtf8 (three-byte encodings of surrogates are accepted, so a pair
// written by bbStringToUtf8 reads back as the same two units). Returns false on
// any invalid or incomplete sequence; `out` is then unspecified.
bool bbDecodeUtf8(const uint8_t* bytes, size_t length, String& out);

// UTF-8 when valid, else one unit per byte. For file names and literals.
String bbStringFromUtf8(std::string_view bytes);

// Whole text file decoding: FE FF is UTF-16 big-endian, FF FE little-endian
// (a trailing odd byte ignored); otherwise an EF BB BF mark is skipped and the
// rest is UTF-8, or, if that is not valid, one unit per byte.
String bbDecodeText(const uint8_t* bytes, size_t length);
