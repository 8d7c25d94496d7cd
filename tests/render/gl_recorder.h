// gl_recorder.h: a GlLayer that records what the renderer asks of OpenGL.
//
// Install it with bbSetGlLayer(&recorder). Draws copy the vertices they use out
// of the vertex array at draw time (indexed draws resolve their indices), so a
// test sees exactly what a GPU would have been given. Textures get names
// 1, 2, 3...; a test can queue GL errors, or make the recorder refuse
// textures whose sides are not powers of two, as some drivers do.
#pragma once

#include <cstdint>
#include <cstring>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "render/gl_layer.h"
#include "render/graphics.h"

struct RecordedDraw {
    GLenum mode = 0;
    std::vector<gxtkVertex> vertices;
    std::vector<uint16_t> indices;  // indexed draws only
    bool textured = false;          // GL_TEXTURE_2D enabled at the draw
    GLuint texture = 0;             // texture bound at the draw
};

struct RecordedTexImage {
    GLuint texture;
    int width, height;
    GLenum format;
    bool withData;
};

struct RecordedSubImage {
    GLuint texture;
    int x, y, width, height;
    std::vector<uint8_t> bytes;  // 4 bytes per pixel (RGBA surfaces)
};

class GlRecorder : public GlLayer {
  public:
    GlRecorder() { bbSetGlLayer(this); }
    ~GlRecorder() override { bbSetGlLayer(nullptr); }

    void WindowSize(int* w, int* h) override {
        *w = windowWidth;
        *h = windowHeight;
    }
    void Viewport(GLint x, GLint y, GLsizei w, GLsizei h) override {
        Note("Viewport");
        viewport = {x, y, w, h};
    }
    void MatrixMode(GLenum) override { Note("MatrixMode"); }
    void LoadIdentity() override { Note("LoadIdentity"); }
    void Ortho(double l, double r, double b, double t, double n, double f) override {
        Note("Ortho");
        ortho = {l, r, b, t, n, f};
    }
    void EnableClientState(GLenum array) override {
        Note("EnableClientState");
        clientStates.insert(array);
    }
    void VertexPointer(GLint, GLenum, GLsizei s, const void* p) override {
        Note("VertexPointer");
        vertexPointer = p;
        stride = s;
    }
    void TexCoordPointer(GLint, GLenum, GLsizei, const void* p) override {
        Note("TexCoordPointer");
        texCoordPointer = p;
    }
    void ColorPointer(GLint, GLenum, GLsizei, const void* p) override {
        Note("ColorPointer");
        colorPointer = p;
    }
    void Enable(GLenum cap) override {
        Note("Enable");
        enabled.insert(cap);
    }
    void Disable(GLenum cap) override {
        Note("Disable");
        enabled.erase(cap);
    }
    void BlendFunc(GLenum s, GLenum d) override {
        Note("BlendFunc");
        blend = {s, d};
    }
    void Scissor(GLint x, GLint y, GLsizei w, GLsizei h) override {
        Note("Scissor");
        scissor = {x, y, w, h};
    }
    void ClearColor(float r, float g, float b, float a) override {
        Note("ClearColor");
        clearColor = {r, g, b, a};
    }
    void Clear(GLbitfield) override { Note("Clear"); }
    void DrawArrays(GLenum mode, GLint first, GLsizei count) override {
        Note("DrawArrays");
        RecordedDraw draw = Draw(mode);
        for (GLsizei i = 0; i < count; ++i) draw.vertices.push_back(Vertex(first + i));
        draws.push_back(draw);
    }
    void DrawElements(GLenum mode, GLsizei count, GLenum, const void* indices) override {
        Note("DrawElements");
        RecordedDraw draw = Draw(mode);
        const auto* index = static_cast<const uint16_t*>(indices);
        for (GLsizei i = 0; i < count; ++i) {
            draw.indices.push_back(index[i]);
            draw.vertices.push_back(Vertex(index[i]));
        }
        draws.push_back(draw);
    }
    GLuint GenTexture() override {
        Note("GenTexture");
        return ++lastTexture;
    }
    void DeleteTexture(GLuint name) override {
        Note("DeleteTexture");
        deleted.push_back(name);
    }
    void BindTexture(GLenum, GLuint name) override {
        Note("BindTexture");
        bound = name;
    }
    void TexParameteri(GLenum, GLenum, GLint) override { Note("TexParameteri"); }
    void TexImage2D(GLenum, GLint, GLint, GLsizei w, GLsizei h, GLint, GLenum format, GLenum,
                    const void* pixels) override {
        Note("TexImage2D");
        texImages.push_back({bound, w, h, format, pixels != nullptr});
        if (rejectNonPowerOfTwo && (!PowerOfTwo(w) || !PowerOfTwo(h)))
            errors.push_back(GL_INVALID_VALUE);
    }
    void TexSubImage2D(GLenum, GLint, GLint x, GLint y, GLsizei w, GLsizei h, GLenum, GLenum,
                       const void* pixels) override {
        Note("TexSubImage2D");
        const auto* bytes = static_cast<const uint8_t*>(pixels);
        subImages.push_back({bound, x, y, w, h, std::vector<uint8_t>(bytes, bytes + w * h * 4)});
    }
    void PixelStorei(GLenum, GLint) override { Note("PixelStorei"); }
    GLenum GetError() override {
        if (errors.empty()) return GL_NO_ERROR;
        const GLenum error = errors.front();
        errors.pop_front();
        return error;
    }
    void ReadPixels(GLint x, GLint y, GLsizei w, GLsizei h, GLenum, GLenum, void* out) override {
        Note("ReadPixels");
        readRect = {x, y, w, h};
        // Each value names its GL row (counted bottom-up) and column: row * 1000 + column.
        auto* values = static_cast<int32_t*>(out);
        for (GLsizei r = 0; r < h; ++r)
            for (GLsizei c = 0; c < w; ++c) values[r * w + c] = (y + r) * 1000 + (x + c);
    }

    int Count(const std::string& name) const {
        int n = 0;
        for (const std::string& call : calls) n += call == name;
        return n;
    }
    void Forget() {
        calls.clear();
        draws.clear();
        texImages.clear();
        subImages.clear();
        deleted.clear();
    }

    int windowWidth = 640;
    int windowHeight = 480;
    bool rejectNonPowerOfTwo = false;
    std::deque<GLenum> errors;

    std::vector<std::string> calls;
    std::vector<RecordedDraw> draws;
    std::vector<RecordedTexImage> texImages;
    std::vector<RecordedSubImage> subImages;
    std::vector<GLuint> deleted;
    std::set<GLenum> enabled;
    std::set<GLenum> clientStates;
    std::vector<int> viewport, scissor, readRect;
    std::vector<double> ortho;
    std::vector<float> clearColor;
    std::vector<GLenum> blend;
    const void* vertexPointer = nullptr;
    const void* texCoordPointer = nullptr;
    const void* colorPointer = nullptr;
    GLsizei stride = 0;
    GLuint bound = 0;
    GLuint lastTexture = 0;

  private:
    static bool PowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }
    void Note(const char* name) { calls.emplace_back(name); }
    RecordedDraw Draw(GLenum mode) const {
        RecordedDraw draw;
        draw.mode = mode;
        draw.textured = enabled.count(GL_TEXTURE_2D) != 0;
        draw.texture = bound;
        return draw;
    }
    gxtkVertex Vertex(int i) const {
        gxtkVertex v;
        std::memcpy(&v, static_cast<const uint8_t*>(vertexPointer) + i * stride, sizeof v);
        return v;
    }
};
