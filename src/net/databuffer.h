// databuffer.h: BBDataBuffer and c_DataBuffer, fixed-size byte buffers.
//
// Sockets send from and receive into data buffers; the HTTP client encodes its
// request into one and decodes the response from another. Every peek, poke
// and copy is clipped to the buffer (and to the array it reads or fills), so
// no call touches memory outside it. Bytes read back as signed values.
//
//   auto buffer = c_DataBuffer::Create(4096);
//   int n = buffer->p_PokeString(0, u"GET / HTTP/1.0\r\n", u"ascii");
//   String text = buffer->p_PeekString(0, n, u"utf8");
//
// Text encodings: "utf8" (each 16-bit unit on its own, one to three bytes;
// a malformed or cut-off sequence makes the whole range decode one unit per
// signed byte) and "ascii" (one byte per unit). Any other encoding name, and
// allocating a buffer twice, are runtime errors.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "host/text.h"

class BBDataBuffer {
  public:
    BBDataBuffer() = default;
    virtual ~BBDataBuffer() = default;
    BBDataBuffer(const BBDataBuffer&) = delete;
    BBDataBuffer& operator=(const BBDataBuffer&) = delete;

    // Allocates length zeroed bytes (negative counts as 0); false if the
    // buffer already has data or the memory is not there.
    bool _New(int length);
    // Frees the data; the length becomes 0.
    void Discard();

    int Length() const { return length_; }
    uint8_t* Data() { return data_.get(); }
    const uint8_t* Data() const { return data_.get(); }

  private:
    std::unique_ptr<uint8_t[]> data_;
    int length_ = 0;
};

class c_DataBuffer : public BBDataBuffer {
  public:
    // A buffer of length bytes, shared by reference.
    static std::shared_ptr<c_DataBuffer> Create(int length);

    // Runtime error "Allocate DataBuffer failed" if the buffer already has
    // data. The flag is not used.
    c_DataBuffer* m_new(int length, bool direct = false);

    // Writes the low 8 bits of bytes[offset..] at address.
    void p_PokeBytes(int address, const std::vector<int32_t>& bytes, int offset, int count);
    // Reads signed bytes into bytes[offset..].
    void p_PeekBytes(int address, std::vector<int32_t>& bytes, int offset, int count) const;
    // A new array of count signed bytes (fewer when clipped).
    std::vector<int32_t> p_PeekBytes2(int address, int count) const;
    // Copies into target; correct when both ranges overlap in one buffer.
    void p_CopyBytes(int address, c_DataBuffer* target, int targetAddress, int count) const;

    // Writes as many encoded bytes as fit before the end of the buffer and
    // returns the full encoded length.
    int p_PokeString(int address, const String& text, const String& encoding);
    String p_PeekString(int address, int count, const String& encoding) const;
    // From address to the end of the buffer.
    String p_PeekString2(int address, const String& encoding) const;
};
