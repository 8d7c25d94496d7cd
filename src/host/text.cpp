// text.cpp: conversions between the 16-bit text type, integers and bytes.
//
// Owns no state. Used by every layer for console output, file names, text
// files and the state file.
#include "host/text.h"

#include <climits>

namespace {

constexpr size_t kMaxNumberUnits = 63;  // units of a text read as a number

bool IsBlank(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsContinuation(uint8_t byte) {
    return (byte & 0xC0) == 0x80;
}

String DecodeUtf16(const uint8_t* bytes, size_t length, bool bigEndian) {
    String out;
    out.reserve(length / 2);
    for (size_t i = 0; i + 1 < length; i += 2) {
        const unsigned hi = bigEndian ? bytes[i] : bytes[i + 1];
        const unsigned lo = bigEndian ? bytes[i + 1] : bytes[i];
        out.push_back(static_cast<char16_t>((hi << 8) | lo));
    }
    return out;
}

}  // namespace

String bbStringFromInt(int32_t value) {
    // Work in 64 bits so INT32_MIN has a positive magnitude.
    int64_t magnitude = value < 0 ? -static_cast<int64_t>(value) : value;
    char16_t digits[12];
    int n = 0;
    do {
        digits[n++] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    String out;
    if (value < 0) out.push_back(u'-');
    while (n > 0) out.push_back(digits[--n]);
    return out;
}

int32_t bbStringToInt(const String& text) {
    const size_t end = text.size() < kMaxNumberUnits ? text.size() : kMaxNumberUnits;
    auto byteAt = [&](size_t i) { return static_cast<unsigned char>(text[i] & 0xFF); };
    size_t i = 0;
    while (i < end && IsBlank(byteAt(i))) ++i;
    bool negative = false;
    if (i < end && (byteAt(i) == '-' || byteAt(i) == '+')) {
        negative = byteAt(i) == '-';
        ++i;
    }
    // Accumulate with a ceiling just past the 32-bit range, so 63 digits
    // cannot overflow and the result saturates.
    constexpr int64_t kCeiling = static_cast<int64_t>(INT32_MAX) + 1;
    int64_t magnitude = 0;
    for (; i < end && byteAt(i) >= '0' && byteAt(i) <= '9'; ++i) {
        magnitude = magnitude * 10 + (byteAt(i) - '0');
        if (magnitude > kCeiling) magnitude = kCeiling;
    }
    if (negative) return static_cast<int32_t>(-magnitude);  // -2^31 fits
    return magnitude > INT32_MAX ? INT32_MAX : static_cast<int32_t>(magnitude);
}

String bbStringFromBytes(std::string_view bytes) {
    String out;
    out.reserve(bytes.size());
    for (char c : bytes) out.push_back(static_cast<unsigned char>(c));
    return out;
}

std::string bbStringToBytes(const String& text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t unit : text) out.push_back(static_cast<char>(unit & 0xFF));
    return out;
}

std::string bbStringToUtf8(const String& text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t unit : text) {
        const unsigned c = unit;
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

bool bbDecodeUtf8(const uint8_t* bytes, size_t length, String& out) {
    out.clear();
    out.reserve(length);
    size_t i = 0;
    while (i < length) {
        const uint8_t lead = bytes[i];
        if (lead < 0x80) {
            out.push_back(lead);
            i += 1;
        } else if ((lead & 0xE0) == 0xC0) {
            if (i + 1 >= length || !IsContinuation(bytes[i + 1])) return false;
            out.push_back(static_cast<char16_t>(((lead & 0x1F) << 6) | (bytes[i + 1] & 0x3F)));
            i += 2;
        } else if ((lead & 0xF0) == 0xE0) {
            if (i + 2 >= length || !IsContinuation(bytes[i + 1]) || !IsContinuation(bytes[i + 2]))
                return false;
            out.push_back(static_cast<char16_t>(
                ((lead & 0x0F) << 12) | ((bytes[i + 1] & 0x3F) << 6) | (bytes[i + 2] & 0x3F)));
            i += 3;
        } else {
            return false;  // stray continuation byte or a four-byte lead
        }
    }
    return true;
}

String bbStringFromUtf8(std::string_view bytes) {
    String out;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    if (bbDecodeUtf8(data, bytes.size(), out)) return out;
    return bbStringFromBytes(bytes);
}

String bbDecodeText(const uint8_t* bytes, size_t length) {
    if (length >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF)
        return DecodeUtf16(bytes + 2, length - 2, true);
    if (length >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        return DecodeUtf16(bytes + 2, length - 2, false);
    size_t start = 0;
    if (length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) start = 3;
    String out;
    if (bbDecodeUtf8(bytes + start, length - start, out)) return out;
    // Not UTF-8: the whole file, mark included, is one unit per byte.
    return bbStringFromBytes(std::string_view(reinterpret_cast<const char*>(bytes), length));
}
