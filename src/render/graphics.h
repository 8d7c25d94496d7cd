// graphics.h: the batching renderer (gxtkGraphics) and its surfaces (gxtkSurface).
//
// gxtkGraphics turns 2D primitives into OpenGL 1.x client-array draws through
// one CPU-side batch of 1024 vertices. Primitives of the same kind and texture
// share a batch; a change of kind or texture, a full batch, SetBlend,
// SetScissor, ReadPixels and EndRender flush it. Colour and matrix changes are
// baked into each vertex and never flush.
//
// Use, once per frame on the main thread:
//   graphics.BeginRender();            // viewport, projection, arrays, blending
//   graphics.SetColor(...); graphics.DrawRect(...); ...
//   graphics.EndRender();              // flushes the last batch
// Anything queued outside BeginRender/EndRender is dropped by the next BeginRender.
//
// gxtkSurface keeps a premultiplied pixel copy in memory and creates its
// texture lazily at the first Bind; a texture belongs to the window context it
// was made in (glfwGraphicsSeq), so after the host re-creates the window every
// surface re-uploads from its pixel copy at its next Bind.
//
// Failure: a file that cannot be opened or decoded gives a null surface from
// LoadSurface; nothing is reported. Out-of-range rectangles and arrays handed
// to ReadPixels, WritePixels2 and SetSubData are refused (nothing is done).
// All OpenGL calls go through the GlLayer seam (gl_layer.h).
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "host/text.h"

// Constants
constexpr int kBatchVertices = 1024;                // vertices per draw call
constexpr int kBatchQuads = kBatchVertices / 4;     // quads in the shared index table
constexpr int kMinOvalSegments = 12;                // smallest oval fan
constexpr int kMaxSurfaceSide = 16384;              // widest surface CreateSurface accepts
constexpr int64_t kMaxSurfacePixels = 4096 * 4096;  // largest pixel copy a surface holds

// One vertex of the batch: 20 bytes, colour bytes R, G, B, A in memory.
struct gxtkVertex {
    float x, y;
    float u, v;
    uint32_t color;
};
static_assert(sizeof(gxtkVertex) == 20, "the vertex arrays use a 20-byte stride");

class gxtkSurface {
  public:
    gxtkSurface() = default;
    gxtkSurface(const gxtkSurface&) = delete;
    gxtkSurface& operator=(const gxtkSurface&) = delete;
    virtual ~gxtkSurface();

    // Deletes the texture (when it belongs to the current context) and frees the
    // pixel copy. The surface must not be drawn afterwards.
    virtual int Discard();
    virtual int Width() { return width; }
    virtual int Height() { return height; }
    virtual bool Loaded() { return true; }
    virtual void OnUnsafeLoadComplete() { Bind(); }

    // Adopts `data` (allocated with malloc, freed by the surface), sets the size
    // and format, and premultiplies 2- and 4-channel pixels by their alpha.
    void SetData(unsigned char* data, int w, int h, int channels);
    // Writes 0xAARRGGBB values (row r at src + r * pitch) premultiplied into the
    // rectangle at (x, y) and uploads it when the texture is live. RGBA only.
    void SetSubData(int x, int y, int w, int h, const uint32_t* src, int pitch);
    // Makes the texture current, creating and uploading it when needed.
    void Bind();

    unsigned char* pixels = nullptr;  // premultiplied copy, rows top to bottom
    int32_t width = 0;
    int32_t height = 0;
    int32_t bytesPerPixel = 4;
    int32_t glFormat = 0x1908;  // GL_RGBA
    int32_t textureGeneration = -1;
    uint32_t textureName = 0;
    float uScale = 0;
    float vScale = 0;

  private:
    void DefineTexture();
    void Upload(int x, int y, int w, int h);
};

class gxtkGraphics {
  public:
    gxtkGraphics();
    gxtkGraphics(const gxtkGraphics&) = delete;
    gxtkGraphics& operator=(const gxtkGraphics&) = delete;
    virtual ~gxtkGraphics() = default;

    virtual int Width() { return width; }
    virtual int Height() { return height; }
    virtual int BeginRender();
    virtual void EndRender();
    virtual void DiscardGraphics() {}

    virtual std::shared_ptr<gxtkSurface> LoadSurface(const String& path);
    virtual std::shared_ptr<gxtkSurface> CreateSurface(int w, int h);
    // Decodes the file into the surface; makes no OpenGL call.
    virtual bool LoadSurface__UNSAFE__(gxtkSurface& surface, const String& path);

    virtual void Cls(float r, float g, float b);
    virtual void SetAlpha(float a);
    virtual void SetColor(float r, float g, float b);
    virtual void SetBlend(int mode);
    virtual void SetScissor(int x, int y, int w, int h);
    virtual void SetMatrix(float ia, float ib, float ic, float id, float itx, float ity);

    virtual void DrawPoint(float x, float y);
    virtual void DrawRect(float x, float y, float w, float h);
    virtual void DrawLine(float x1, float y1, float x2, float y2);
    virtual void DrawOval(float x, float y, float w, float h);
    // x0, y0, x1, y1, ...: size / 2 vertices.
    virtual void DrawPoly(std::span<const float> verts);
    // x, y, u, v per vertex (u, v in source pixels offset by srcx, srcy).
    virtual void DrawPoly2(std::span<const float> verts,
                           const std::shared_ptr<gxtkSurface>& surface, int srcx, int srcy);
    virtual void DrawSurface(const std::shared_ptr<gxtkSurface>& surface, float x, float y);
    virtual void DrawSurface2(const std::shared_ptr<gxtkSurface>& surface, float x, float y,
                              int srcx, int srcy, int srcw, int srch);
    // Window rectangle with top-left (x, y) as 0xAARRGGBB values, top row at
    // pixels[offset], each next row `pitch` entries later.
    virtual void ReadPixels(std::span<int32_t> pixels, int x, int y, int w, int h, int offset,
                            int pitch);
    virtual void WritePixels2(const std::shared_ptr<gxtkSurface>& surface,
                              std::span<const int32_t> pixels, int x, int y, int w, int h,
                              int offset, int pitch);

    // Reserves `count` vertices of `kind` textured by `surface` (null: none),
    // flushing first when they cannot join the batch.
    gxtkVertex* Begin(int kind, int count, const std::shared_ptr<gxtkSurface>& surface);
    // Draws the queued vertices and empties the batch.
    void Flush();

    int32_t width = 0;
    int32_t height = 0;
    uint32_t packedColor = 0;
    float red = 0, green = 0, blue = 0;
    float alpha = 0;
    float a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
    bool transformed = false;
    gxtkVertex vertexData[kBatchVertices] = {};
    uint16_t quadIndexTable[kBatchQuads * 6] = {};
    int32_t primitiveKind = 0;
    int32_t vertexCount = 0;
    std::shared_ptr<gxtkSurface> batchSurface;

  private:
    void Pack();
    void Place(gxtkVertex& vertex, float x, float y) const;
    void PlaceQuad(gxtkVertex* quad, float x, float y, float w, float h) const;
};

// Segment count of an oval fan for the radii under the matrix (a, b, c, d);
// NaN gives the minimum and anything huge the maximum.
int gxtkOvalSegments(float rx, float ry, bool transformed, float a, float b, float c, float d);

// Saturating float-to-byte conversion of a colour channel (NaN gives 0).
uint32_t gxtkColorByte(float value);
