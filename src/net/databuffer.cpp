// databuffer.cpp: byte buffers with clipped peeks and pokes, and text encodings.
//
// Owns the "utf8" and "ascii" encoders and decoders used by sockets and the
// HTTP client. Depends on host/text.h (UTF-8 per 16-bit unit) and
// host/errors.h (runtime errors).
#include "net/databuffer.h"

#include <algorithm>
#include <cstring>
#include <new>  // std::nothrow: a failed allocation is reported, not thrown

#include "host/errors.h"

namespace {

enum class Encoding { kUtf8, kAscii };

Encoding ParseEncoding(const String& name) {
    if (name == u"utf8") return Encoding::kUtf8;
    if (name == u"ascii") return Encoding::kAscii;
    bbError(u"Invalid string encoding:" + name);
}

// Bytes of the range start..start+count-1 that lie inside 0..size-1; 0 when
// the range starts outside or the count is not positive.
int ClipCount(int start, int count, int size) {
    if (start < 0 || start >= size || count <= 0) return 0;
    return std::min(count, size - start);
}

int ClipCount(int start, int count, size_t size) {
    return ClipCount(start, count, static_cast<int>(std::min<size_t>(size, INT32_MAX)));
}

int32_t SignedByte(uint8_t byte) {
    return static_cast<int8_t>(byte);
}

String DecodeAscii(const uint8_t* bytes, int count) {
    String out(static_cast<size_t>(count), u'\0');
    for (int i = 0; i < count; ++i) out[i] = bytes[i];
    return out;
}

// A malformed range falls back to one unit per byte, each byte sign-extended
// to 16 bits (so 0xC3 becomes 0xFFC3).
String DecodeUtf8(const uint8_t* bytes, int count) {
    String out;
    if (bbDecodeUtf8(bytes, static_cast<size_t>(count), out)) return out;
    out.assign(static_cast<size_t>(count), u'\0');
    for (int i = 0; i < count; ++i) out[i] = static_cast<char16_t>(SignedByte(bytes[i]));
    return out;
}

std::string Encode(const String& text, Encoding encoding) {
    if (encoding == Encoding::kUtf8) return bbStringToUtf8(text);
    return bbStringToBytes(text);
}

}  // namespace

bool BBDataBuffer::_New(int length) {
    if (data_) return false;
    const int size = std::max(length, 0);
    // One byte at least, so that an empty buffer still counts as allocated.
    data_.reset(new (std::nothrow) uint8_t[std::max(size, 1)]());
    if (!data_) return false;
    length_ = size;
    return true;
}

void BBDataBuffer::Discard() {
    data_.reset();
    length_ = 0;
}

std::shared_ptr<c_DataBuffer> c_DataBuffer::Create(int length) {
    auto buffer = std::make_shared<c_DataBuffer>();
    buffer->m_new(length);
    return buffer;
}

c_DataBuffer* c_DataBuffer::m_new(int length, bool /*direct*/) {
    if (!_New(length)) bbError(u"Allocate DataBuffer failed");
    return this;
}

void c_DataBuffer::p_PokeBytes(int address, const std::vector<int32_t>& bytes, int offset,
                               int count) {
    const int n =
        std::min(ClipCount(address, count, Length()), ClipCount(offset, count, bytes.size()));
    for (int i = 0; i < n; ++i) Data()[address + i] = static_cast<uint8_t>(bytes[offset + i]);
}

void c_DataBuffer::p_PeekBytes(int address, std::vector<int32_t>& bytes, int offset,
                               int count) const {
    const int n =
        std::min(ClipCount(address, count, Length()), ClipCount(offset, count, bytes.size()));
    for (int i = 0; i < n; ++i) bytes[offset + i] = SignedByte(Data()[address + i]);
}

std::vector<int32_t> c_DataBuffer::p_PeekBytes2(int address, int count) const {
    std::vector<int32_t> bytes(static_cast<size_t>(ClipCount(address, count, Length())));
    p_PeekBytes(address, bytes, 0, static_cast<int>(bytes.size()));
    return bytes;
}

void c_DataBuffer::p_CopyBytes(int address, c_DataBuffer* target, int targetAddress,
                               int count) const {
    if (!target) return;
    const int n = std::min(ClipCount(address, count, Length()),
                           ClipCount(targetAddress, count, target->Length()));
    if (n > 0) std::memmove(target->Data() + targetAddress, Data() + address, n);
}

int c_DataBuffer::p_PokeString(int address, const String& text, const String& encoding) {
    const std::string bytes = Encode(text, ParseEncoding(encoding));
    const int length = static_cast<int>(std::min<size_t>(bytes.size(), INT32_MAX));
    const int n = ClipCount(address, length, Length());
    if (n > 0) std::memcpy(Data() + address, bytes.data(), n);
    return length;
}

String c_DataBuffer::p_PeekString(int address, int count, const String& encoding) const {
    const Encoding decoding = ParseEncoding(encoding);
    const int n = ClipCount(address, count, Length());
    if (n == 0) return String();
    const uint8_t* bytes = Data() + address;
    return decoding == Encoding::kUtf8 ? DecodeUtf8(bytes, n) : DecodeAscii(bytes, n);
}

String c_DataBuffer::p_PeekString2(int address, const String& encoding) const {
    return p_PeekString(address, Length() - address, encoding);
}
