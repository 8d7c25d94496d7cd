// type.h: TrueType text rendering for the generator (font, titles, labels).
//
// Owns TypeFace, a TrueType file loaded through stb_truetype, which rasterises
// single glyphs and whole strings into coverage masks that the pictures paint
// with their own colours. The font file is a free one from a Debian package,
// named on the generator's command line.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "canvas.h"

namespace gen {

// A coverage mask (0..1) with the pen origin of its first glyph at (originX, baseline).
struct Mask {
    int w = 0, h = 0;
    float originX = 0, baseline = 0;
    std::vector<float> cover;
    float At(int x, int y) const {
        return (x < 0 || y < 0 || x >= w || y >= h) ? 0.0f : cover[size_t(y) * w + x];
    }
    // Tight box of the ink (cover > 0); empty masks give x0 > x1.
    void InkBox(int& x0, int& y0, int& x1, int& y1) const;
};

class TypeFace {
  public:
    bool Load(const std::string& path);
    // One glyph at `pixelHeight` (em size in pixels), squeezed horizontally by xScale.
    Mask Glyph(int codepoint, float pixelHeight, float xScale = 1.0f) const;
    // A line of text with the font's own advances and kerning, plus `tracking` pixels.
    Mask Line(const std::string& text, float pixelHeight, float xScale = 1.0f,
              float tracking = 0.0f) const;
    // Ascent in pixels at that size.
    float Ascent(float pixelHeight) const;

  private:
    struct Impl;
    std::shared_ptr<Impl> impl_;
};

// Paints a mask onto the canvas with its top-left corner at (x, y).
void PaintMask(Canvas& c, const Mask& m, float x, float y, Color color);
// Paints with a colour that depends on the position inside the mask (0..1 down its height).
void PaintMaskGradient(Canvas& c, const Mask& m, float x, float y, Color top, Color bottom);
// Grows a mask by `radius` pixels (a round dilation), for outlines and shadows.
Mask Dilate(const Mask& m, float radius);
// Simple text label in the centre of a box, for the contact sheet and icons.
void Label(Canvas& c, const TypeFace& face, const std::string& text, float cx, float cy,
           float pixelHeight, Color color);

}  // namespace gen
