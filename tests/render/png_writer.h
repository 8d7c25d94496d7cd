// png_writer.h: a minimal PNG encoder for test fixtures and crafted files.
//
// Images are written with filter 0 on every row and stored (uncompressed)
// deflate blocks, so a test knows where every byte lands and can build files
// with any header, any chunk length or any truncation.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace png {

inline const std::string kSignature("\x89PNG\r\n\x1a\n", 8);

inline uint32_t Crc(const std::string& bytes) {
    uint32_t crc = 0xffffffffu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1)));
    }
    return crc ^ 0xffffffffu;
}

inline std::string Be32(uint32_t v) {
    const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    return std::string(b, 4);
}

// A chunk whose length field is `length` (normally the data size).
inline std::string Chunk(const std::string& type, const std::string& data, uint32_t length) {
    return Be32(length) + type + data + Be32(Crc(type + data));
}
inline std::string Chunk(const std::string& type, const std::string& data) {
    return Chunk(type, data, static_cast<uint32_t>(data.size()));
}

inline std::string Ihdr(uint32_t w, uint32_t h, int depth, int colorType) {
    return Chunk("IHDR", Be32(w) + Be32(h) + char(depth) + char(colorType) + std::string(3, '\0'));
}

// zlib stream of stored blocks.
inline std::string Zlib(const std::string& raw) {
    std::string out("\x78\x01", 2);
    size_t pos = 0;
    do {
        const size_t n = std::min<size_t>(raw.size() - pos, 65535);
        const bool last = pos + n == raw.size();
        out += char(last ? 1 : 0);
        out += char(n & 0xff);
        out += char(n >> 8);
        out += char(~n & 0xff);
        out += char((~n >> 8) & 0xff);
        out += raw.substr(pos, n);
        pos += n;
    } while (pos < raw.size());
    uint32_t s1 = 1, s2 = 0;
    for (unsigned char byte : raw) {
        s1 = (s1 + byte) % 65521;
        s2 = (s2 + s1) % 65521;
    }
    return out + Be32((s2 << 16) | s1);
}

inline int ColorType(int channels) {
    const int types[] = {0, 4, 2, 6};
    return types[channels - 1];
}

// An 8- or 16-bit image of `channels` samples per pixel; `samples` holds
// rows top to bottom, each sample one byte (8-bit) or two big-endian bytes.
inline std::string Encode(int w, int h, int channels, const std::vector<uint8_t>& samples,
                          int depth = 8) {
    const size_t rowBytes = static_cast<size_t>(w) * channels * (depth / 8);
    std::string raw;
    for (int y = 0; y < h; ++y) {
        raw += '\0';
        raw.append(reinterpret_cast<const char*>(samples.data()) + y * rowBytes, rowBytes);
    }
    return kSignature + Ihdr(w, h, depth, ColorType(channels)) + Chunk("IDAT", Zlib(raw)) +
           Chunk("IEND", "");
}

inline bool WriteFile(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace png
