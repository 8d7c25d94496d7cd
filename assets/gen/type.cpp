// type.cpp: stb_truetype rasterisation into coverage masks.
//
// Owns the implementation of type.h; the stb_truetype implementation is
// compiled here, in the generator only.
#include "type.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#define STB_TRUETYPE_IMPLEMENTATION
#include <stb/stb_truetype.h>

namespace gen {

namespace {

constexpr int kPad = 2;  // empty pixels around every rasterised glyph

}  // namespace

struct TypeFace::Impl {
    std::vector<unsigned char> file;
    stbtt_fontinfo info{};
};

void Mask::InkBox(int& x0, int& y0, int& x1, int& y1) const {
    x0 = w, y0 = h, x1 = -1, y1 = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (cover[size_t(y) * w + x] > 0) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
}

bool TypeFace::Load(const std::string& path) {
    auto impl = std::make_shared<Impl>();
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    unsigned char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        impl->file.insert(impl->file.end(), buf, buf + n);
    std::fclose(f);
    if (!stbtt_InitFont(&impl->info, impl->file.data(), 0)) return false;
    impl_ = impl;
    return true;
}

float TypeFace::Ascent(float pixelHeight) const {
    int ascent, descent, gap;
    stbtt_GetFontVMetrics(&impl_->info, &ascent, &descent, &gap);
    return ascent * stbtt_ScaleForMappingEmToPixels(&impl_->info, pixelHeight);
}

Mask TypeFace::Glyph(int codepoint, float pixelHeight, float xScale) const {
    return Line(std::string(1, char(codepoint)), pixelHeight, xScale, 0);
}

Mask TypeFace::Line(const std::string& text, float pixelHeight, float xScale,
                    float tracking) const {
    const stbtt_fontinfo* info = &impl_->info;
    float sy = stbtt_ScaleForMappingEmToPixels(info, pixelHeight), sx = sy * xScale;
    int ascent, descent, gap;
    stbtt_GetFontVMetrics(info, &ascent, &descent, &gap);
    // Lay out pen positions first to size the mask.
    std::vector<float> pens;
    float pen = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        int cp = (unsigned char)text[i];
        pens.push_back(pen);
        int adv, lsb;
        stbtt_GetCodepointHMetrics(info, cp, &adv, &lsb);
        pen += adv * sx + tracking;
        if (i + 1 < text.size())
            pen += stbtt_GetCodepointKernAdvance(info, cp, (unsigned char)text[i + 1]) * sx;
    }
    Mask m;
    m.originX = kPad + pixelHeight * 0.25f;
    m.baseline = kPad + std::ceil(ascent * sy);
    m.w = int(std::ceil(pen + m.originX * 2 + pixelHeight * 0.5f));
    m.h = int(std::ceil((ascent - descent) * sy)) + kPad * 2;
    m.cover.assign(size_t(m.w) * m.h, 0.0f);
    for (size_t i = 0; i < text.size(); ++i) {
        int cp = (unsigned char)text[i];
        float x = m.originX + pens[i];
        float shift = x - std::floor(x);
        int x0, y0, x1, y1;
        stbtt_GetCodepointBitmapBoxSubpixel(info, cp, sx, sy, shift, 0, &x0, &y0, &x1, &y1);
        int gw = x1 - x0, gh = y1 - y0;
        if (gw <= 0 || gh <= 0) continue;
        std::vector<unsigned char> bits(size_t(gw) * gh);
        stbtt_MakeCodepointBitmapSubpixel(info, bits.data(), gw, gh, gw, sx, sy, shift, 0, cp);
        int ox = int(std::floor(x)) + x0, oy = int(m.baseline) + y0;
        for (int y = 0; y < gh; ++y)
            for (int xx = 0; xx < gw; ++xx) {
                int tx = ox + xx, ty = oy + y;
                if (tx < 0 || ty < 0 || tx >= m.w || ty >= m.h) continue;
                float& d = m.cover[size_t(ty) * m.w + tx];
                d = std::min(1.0f, d + bits[size_t(y) * gw + xx] / 255.0f);
            }
    }
    return m;
}

void PaintMask(Canvas& c, const Mask& m, float x, float y, Color color) {
    int ix = int(std::lround(x)), iy = int(std::lround(y));
    for (int j = 0; j < m.h; ++j)
        for (int i = 0; i < m.w; ++i) {
            float a = m.cover[size_t(j) * m.w + i];
            if (a > 0) c.Blend(ix + i, iy + j, color, a);
        }
}

void PaintMaskGradient(Canvas& c, const Mask& m, float x, float y, Color top, Color bottom) {
    int ix = int(std::lround(x)), iy = int(std::lround(y));
    int x0, y0, x1, y1;
    m.InkBox(x0, y0, x1, y1);
    float span = std::max(1, y1 - y0);
    for (int j = 0; j < m.h; ++j)
        for (int i = 0; i < m.w; ++i) {
            float a = m.cover[size_t(j) * m.w + i];
            float t = std::clamp((j - y0) / span, 0.0f, 1.0f);
            if (a > 0) c.Blend(ix + i, iy + j, Mix(top, bottom, t), a);
        }
}

Mask Dilate(const Mask& m, float radius) {
    int r = int(std::ceil(radius));
    Mask out;
    out.w = m.w + 2 * r, out.h = m.h + 2 * r;
    out.originX = m.originX + r, out.baseline = m.baseline + r;
    out.cover.assign(size_t(out.w) * out.h, 0.0f);
    for (int y = 0; y < out.h; ++y)
        for (int x = 0; x < out.w; ++x) {
            float best = 0;
            for (int dy = -r; dy <= r && best < 1; ++dy)
                for (int dx = -r; dx <= r; ++dx) {
                    float d = std::hypot(float(dx), float(dy));
                    if (d > radius + 0.5f) continue;
                    float edge = std::clamp(radius + 0.5f - d, 0.0f, 1.0f);
                    best = std::max(best, m.At(x - r + dx, y - r + dy) * edge);
                }
            out.cover[size_t(y) * out.w + x] = best;
        }
    return out;
}

void Label(Canvas& c, const TypeFace& face, const std::string& text, float cx, float cy,
           float pixelHeight, Color color) {
    Mask m = face.Line(text, pixelHeight);
    int x0, y0, x1, y1;
    m.InkBox(x0, y0, x1, y1);
    if (x1 < x0) return;
    PaintMask(c, m, cx - (x0 + x1 + 1) * 0.5f, cy - (y0 + y1 + 1) * 0.5f, color);
}

}  // namespace gen
