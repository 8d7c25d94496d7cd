// canvas.cpp: pixels, signed-distance shapes, noise, frame sheets, PNG output.
//
// Owns the implementation of canvas.h. Depends on stb_image_write (libstb-dev)
// for PNG encoding; its implementation is compiled here, in the generator only.
#include "canvas.h"

#include <algorithm>
#include <cmath>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace gen {

namespace {

constexpr float kPi = 3.14159265358979f;

float Clamp01(float v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}
float Radians(float degrees) {
    return degrees * kPi / 180.0f;
}

uint8_t ToByte(float v) {
    return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0f));
}

float SmoothStep(float t) {
    return t * t * (3 - 2 * t);
}

constexpr int kBlock = 4;             // pixels per side of a skipped block
constexpr float kSlopeAllowance = 3;  // shapes may change distance up to 3x as fast as a true one

// Calls visit(x, y, distance) for every pixel whose distance to the shape is
// below `reach`, skipping 4 x 4 blocks whose centre lies far enough away.
template <typename Visit>
void ForNear(const Canvas& c, const Sdf& shape, float reach, Visit visit) {
    const float skip = reach + kSlopeAllowance * kBlock * 0.7072f + 1;
    for (int by = 0; by < c.Height(); by += kBlock)
        for (int bx = 0; bx < c.Width(); bx += kBlock) {
            if (shape(bx + kBlock * 0.5f, by + kBlock * 0.5f) > skip) continue;
            for (int y = by; y < std::min(by + kBlock, c.Height()); ++y)
                for (int x = bx; x < std::min(bx + kBlock, c.Width()); ++x) {
                    float d = shape(x + 0.5f, y + 0.5f);
                    if (d < reach) visit(x, y, d);
                }
        }
}

}  // namespace

Color Rgb(int r, int g, int b, float a) {
    return {r / 255.0f, g / 255.0f, b / 255.0f, a};
}

Color Mix(Color x, Color y, float t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
            x.a + (y.a - x.a) * t};
}

Color WithAlpha(Color c, float a) {
    return {c.r, c.g, c.b, a};
}

Canvas::Canvas(int width, int height) : w_(width), h_(height), px_(size_t(width) * height) {
    Clear();
}

Color Canvas::Get(int x, int y) const {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return {0, 0, 0, 0};
    return px_[size_t(y) * w_ + x];
}

void Canvas::Set(int x, int y, Color c) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    px_[size_t(y) * w_ + x] = c;
}

void Canvas::Blend(int x, int y, Color c, float coverage) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    float sa = Clamp01(c.a * coverage);
    if (sa <= 0) return;
    Color& d = px_[size_t(y) * w_ + x];
    float oa = sa + d.a * (1 - sa);
    if (oa <= 0) {
        d = {0, 0, 0, 0};
        return;
    }
    d.r = (c.r * sa + d.r * d.a * (1 - sa)) / oa;
    d.g = (c.g * sa + d.g * d.a * (1 - sa)) / oa;
    d.b = (c.b * sa + d.b * d.a * (1 - sa)) / oa;
    d.a = oa;
}

void Canvas::Clear(Color c) {
    std::fill(px_.begin(), px_.end(), c);
}

void Canvas::Draw(const Canvas& src, int x, int y) {
    for (int j = 0; j < src.h_; ++j)
        for (int i = 0; i < src.w_; ++i) Blend(x + i, y + j, src.Get(i, j));
}

Canvas Canvas::Scaled(int factor) const {
    Canvas out(w_ * factor, h_ * factor);
    for (int y = 0; y < out.h_; ++y)
        for (int x = 0; x < out.w_; ++x) out.Set(x, y, Get(x / factor, y / factor));
    return out;
}

Canvas Canvas::Reduced(int factor) const {
    Canvas out(w_ / factor, h_ / factor);
    float n = float(factor * factor);
    for (int y = 0; y < out.h_; ++y)
        for (int x = 0; x < out.w_; ++x) {
            // Average premultiplied colour so transparent pixels do not darken edges.
            float r = 0, g = 0, b = 0, a = 0;
            for (int j = 0; j < factor; ++j)
                for (int i = 0; i < factor; ++i) {
                    Color c = Get(x * factor + i, y * factor + j);
                    r += c.r * c.a, g += c.g * c.a, b += c.b * c.a, a += c.a;
                }
            out.Set(x, y, a > 0 ? Color{r / a, g / a, b / a, a / n} : Color{0, 0, 0, 0});
        }
    return out;
}

bool Canvas::SavePng(const std::string& path) const {
    std::vector<uint8_t> bytes(size_t(w_) * h_ * 4);
    for (size_t i = 0; i < px_.size(); ++i) {
        const Color& c = px_[i];
        uint8_t a = ToByte(c.a);
        // Fully transparent pixels carry no colour, which keeps files small.
        bytes[i * 4 + 0] = a ? ToByte(c.r) : 0;
        bytes[i * 4 + 1] = a ? ToByte(c.g) : 0;
        bytes[i * 4 + 2] = a ? ToByte(c.b) : 0;
        bytes[i * 4 + 3] = a;
    }
    return stbi_write_png(path.c_str(), w_, h_, 4, bytes.data(), w_ * 4) != 0;
}

void FillSdf(Canvas& c, const Sdf& shape, const std::function<Color(float, float)>& paint) {
    ForNear(c, shape, 0.5f, [&](int x, int y, float d) {
        float cover = Clamp01(0.5f - d);
        if (cover > 0) c.Blend(x, y, paint(x + 0.5f, y + 0.5f), cover);
    });
}

void FillSdf(Canvas& c, const Sdf& shape, Color color) {
    FillSdf(c, shape, [color](float, float) { return color; });
}

void StrokeSdf(Canvas& c, const Sdf& shape, float halfWidth, Color color) {
    FillSdf(
        c, [&](float x, float y) { return std::fabs(shape(x, y)) - halfWidth; }, color);
}

void GlowSdf(Canvas& c, const Sdf& shape, float radius, Color color, float strength) {
    ForNear(c, shape, radius, [&](int x, int y, float d) {
        if (d <= 0 || d >= radius) return;
        float t = 1 - d / radius;
        c.Blend(x, y, color, strength * t * t);
    });
}

Sdf Circle(float cx, float cy, float r) {
    return [=](float x, float y) { return std::hypot(x - cx, y - cy) - r; };
}

Sdf Ring(float cx, float cy, float r, float halfWidth) {
    return [=](float x, float y) { return std::fabs(std::hypot(x - cx, y - cy) - r) - halfWidth; };
}

Sdf Box(float cx, float cy, float hw, float hh, float radius) {
    return [=](float x, float y) {
        float qx = std::fabs(x - cx) - hw + radius, qy = std::fabs(y - cy) - hh + radius;
        float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
        return outside + std::min(std::max(qx, qy), 0.0f) - radius;
    };
}

Sdf Segment(float ax, float ay, float bx, float by, float halfWidth) {
    return [=](float x, float y) {
        float pax = x - ax, pay = y - ay, bax = bx - ax, bay = by - ay;
        float len2 = bax * bax + bay * bay;
        float h = len2 > 0 ? Clamp01((pax * bax + pay * bay) / len2) : 0;
        return std::hypot(pax - bax * h, pay - bay * h) - halfWidth;
    };
}

Sdf Polygon(std::vector<float> xy) {
    return [pts = std::move(xy)](float x, float y) {
        size_t n = pts.size() / 2;
        float d = 1e30f;
        bool inside = false;
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            float xi = pts[2 * i], yi = pts[2 * i + 1], xj = pts[2 * j], yj = pts[2 * j + 1];
            float ex = xj - xi, ey = yj - yi, wx = x - xi, wy = y - yi;
            float len2 = ex * ex + ey * ey;
            float h = len2 > 0 ? Clamp01((wx * ex + wy * ey) / len2) : 0;
            d = std::min(d, std::hypot(wx - ex * h, wy - ey * h));
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
        }
        return inside ? -d : d;
    };
}

Sdf RegularPolygon(float cx, float cy, float r, int sides, float rotationDeg) {
    std::vector<float> pts;
    for (int i = 0; i < sides; ++i) {
        float a = Radians(rotationDeg + 360.0f * i / sides - 90);
        pts.push_back(cx + std::cos(a) * r);
        pts.push_back(cy + std::sin(a) * r);
    }
    return Polygon(pts);
}

Sdf Star(float cx, float cy, float outer, float inner, int points, float rotationDeg) {
    std::vector<float> pts;
    for (int i = 0; i < points * 2; ++i) {
        float a = Radians(rotationDeg + 180.0f * i / points - 90);
        float r = (i % 2) ? inner : outer;
        pts.push_back(cx + std::cos(a) * r);
        pts.push_back(cy + std::sin(a) * r);
    }
    return Polygon(pts);
}

Sdf Heart(float cx, float cy, float size) {
    // Two discs over a downward point.
    float r = size * 0.3f;
    Sdf lobes = Union(Circle(cx - r * 0.95f, cy - size * 0.18f, r),
                      Circle(cx + r * 0.95f, cy - size * 0.18f, r));
    Sdf point = Polygon({cx - r * 1.85f, cy - size * 0.08f, cx + r * 1.85f, cy - size * 0.08f, cx,
                         cy + size * 0.5f});
    return Union(lobes, point);
}

Sdf Gear(float cx, float cy, float root, float tip, int teeth, float hole) {
    return [=](float x, float y) {
        float dx = x - cx, dy = y - cy;
        float r = std::hypot(dx, dy);
        float a = std::atan2(dy, dx);
        // Tooth profile: a square wave in angle with sloped flanks.
        float phase = a * teeth / (2 * kPi);
        phase -= std::floor(phase);
        float tooth = Clamp01((0.5f - std::fabs(phase - 0.5f)) * 6.0f - 0.6f);
        float outer = root + (tip - root) * tooth;
        float body = r - outer;
        return std::max(body, hole - r);
    };
}

Sdf Union(Sdf a, Sdf b) {
    return [=](float x, float y) { return std::min(a(x, y), b(x, y)); };
}

Sdf Subtract(Sdf a, Sdf b) {
    return [=](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}

Sdf Intersect(Sdf a, Sdf b) {
    return [=](float x, float y) { return std::max(a(x, y), b(x, y)); };
}

Sdf Offset(Sdf a, float by) {
    return [=](float x, float y) { return a(x, y) - by; };
}

Sdf Rotated(Sdf a, float cx, float cy, float degrees) {
    float c = std::cos(Radians(-degrees)), s = std::sin(Radians(-degrees));
    return [=](float x, float y) {
        float dx = x - cx, dy = y - cy;
        return a(cx + dx * c - dy * s, cy + dx * s + dy * c);
    };
}

float Hash(int x, int y, int seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffffff) / float(0x1000000);
}

float PeriodicNoise(float x, float y, int period, int seed) {
    int ix = int(std::floor(x)), iy = int(std::floor(y));
    float fx = SmoothStep(x - ix), fy = SmoothStep(y - iy);
    auto at = [&](int i, int j) {
        if (period > 0) i = ((i % period) + period) % period, j = ((j % period) + period) % period;
        return Hash(i, j, seed);
    };
    float a = at(ix, iy), b = at(ix + 1, iy), c = at(ix, iy + 1), d = at(ix + 1, iy + 1);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

float ValueNoise(float x, float y, int seed) {
    return PeriodicNoise(x, y, 0, seed);
}

float Fbm(float x, float y, int octaves, int seed) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += ValueNoise(x, y, seed + i * 101) * amp;
        norm += amp;
        x *= 2, y *= 2, amp *= 0.5f;
    }
    return sum / norm;
}

Sheet::Sheet(int frameW, int frameH, int count, int columns)
    : fw_(frameW),
      fh_(frameH),
      count_(count),
      columns_(columns),
      image_(frameW * columns, frameH * ((count + columns - 1) / columns)) {}

void Sheet::Put(int index, const Canvas& frame) {
    image_.Draw(frame, (index % columns_) * fw_, (index / columns_) * fh_);
}

}  // namespace gen
