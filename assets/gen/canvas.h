// canvas.h: the generator's drawing surface and shape toolkit.
//
// Owns Canvas (straight-alpha RGBA floats), Color, the signed-distance shape
// helpers every picture is built from, frame sheets (frames cut left to right,
// then top to bottom, as the game cuts them) and PNG output through
// stb_image_write. Everything is deterministic: no clocks, no global random
// state; noise comes from Hash().
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace gen {

struct Color {
    float r = 1, g = 1, b = 1, a = 1;  // 0..1, straight alpha
};

constexpr Color kWhite{1, 1, 1, 1};
constexpr Color kBlack{0, 0, 0, 1};
Color Rgb(int r, int g, int b, float a = 1.0f);
Color Mix(Color x, Color y, float t);
Color WithAlpha(Color c, float a);

class Canvas {
  public:
    Canvas() = default;
    Canvas(int width, int height);

    int Width() const { return w_; }
    int Height() const { return h_; }
    Color Get(int x, int y) const;
    void Set(int x, int y, Color c);
    // Source-over blend of c scaled by coverage (0..1).
    void Blend(int x, int y, Color c, float coverage = 1.0f);
    void Clear(Color c = {0, 0, 0, 0});
    // Copies src with its top-left corner at (x, y), blending over.
    void Draw(const Canvas& src, int x, int y);
    // Nearest-neighbour enlargement by an integer factor.
    Canvas Scaled(int factor) const;
    // Box-filtered reduction by an integer factor.
    Canvas Reduced(int factor) const;
    bool SavePng(const std::string& path) const;

  private:
    int w_ = 0, h_ = 0;
    std::vector<Color> px_;
};

// Signed distance in pixels: negative inside, positive outside.
using Sdf = std::function<float(float x, float y)>;

// Fills every pixel whose centre is inside the shape, anti-aliased over one
// pixel, with colour c (optionally a function of position). Only the box
// [x0, x1) x [y0, y1) is visited; with no box, the whole canvas.
void FillSdf(Canvas& c, const Sdf& shape, Color color);
void FillSdf(Canvas& c, const Sdf& shape, const std::function<Color(float, float)>& paint);
// Draws the shape's outline band of the given half-width.
void StrokeSdf(Canvas& c, const Sdf& shape, float halfWidth, Color color);
// A soft glow outside the shape: alpha falls from `strength` to 0 over `radius`.
void GlowSdf(Canvas& c, const Sdf& shape, float radius, Color color, float strength);

// Shape primitives (centre cx, cy).
Sdf Circle(float cx, float cy, float r);
Sdf Ring(float cx, float cy, float r, float halfWidth);
Sdf Box(float cx, float cy, float hw, float hh, float radius = 0);
Sdf Segment(float ax, float ay, float bx, float by, float halfWidth);
Sdf Polygon(std::vector<float> xy);  // x0, y0, x1, y1, ...; any simple polygon
Sdf RegularPolygon(float cx, float cy, float r, int sides, float rotationDeg = 0);
Sdf Star(float cx, float cy, float outer, float inner, int points, float rotationDeg = 0);
Sdf Heart(float cx, float cy, float size);
// Gear: toothed disc between radii inner (root) and outer (tip), with a hole.
Sdf Gear(float cx, float cy, float root, float tip, int teeth, float hole);

Sdf Union(Sdf a, Sdf b);
Sdf Subtract(Sdf a, Sdf b);
Sdf Intersect(Sdf a, Sdf b);
Sdf Offset(Sdf a, float by);  // grows the shape by `by` pixels
Sdf Rotated(Sdf a, float cx, float cy, float degrees);

// Deterministic noise in 0..1.
float Hash(int x, int y, int seed);
float ValueNoise(float x, float y, int seed);                 // smooth, period-free
float PeriodicNoise(float x, float y, int period, int seed);  // tiles every `period` cells
float Fbm(float x, float y, int octaves, int seed);

// A picture cut into equal frames, laid out `columns` frames per row.
class Sheet {
  public:
    Sheet(int frameW, int frameH, int count, int columns);
    Canvas& Image() { return image_; }
    const Canvas& Image() const { return image_; }
    int FrameW() const { return fw_; }
    int FrameH() const { return fh_; }
    int Count() const { return count_; }
    // Draws `frame` into the sheet at its place.
    void Put(int index, const Canvas& frame);

  private:
    int fw_, fh_, count_, columns_;
    Canvas image_;
};

}  // namespace gen
