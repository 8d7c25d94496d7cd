// gl_layer.h: the thin seam between the renderer and OpenGL.
//
// Every OpenGL call the renderer makes goes through one GlLayer object, plus
// the one window query it needs (the size of the window whose context is
// current). Production uses the default layer, which calls OpenGL 1.x
// directly. A test installs a recorder derived from GlLayer with bbSetGlLayer
// to count and inspect the draws (reading the vertex arrays at draw time)
// without a GPU, and puts the real layer back with bbSetGlLayer(nullptr).
//
// Main thread only: the layer is used wherever the OpenGL context is current.
#pragma once

#include <GL/gl.h>

class GlLayer {
  public:
    virtual ~GlLayer() = default;

    // Size of the window whose context is current; leaves both untouched when
    // there is no window.
    virtual void WindowSize(int* width, int* height);

    virtual void Viewport(GLint x, GLint y, GLsizei width, GLsizei height);
    virtual void MatrixMode(GLenum mode);
    virtual void LoadIdentity();
    virtual void Ortho(double left, double right, double bottom, double top, double zNear,
                       double zFar);
    virtual void EnableClientState(GLenum array);
    virtual void VertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer);
    virtual void TexCoordPointer(GLint size, GLenum type, GLsizei stride, const void* pointer);
    virtual void ColorPointer(GLint size, GLenum type, GLsizei stride, const void* pointer);
    virtual void Enable(GLenum cap);
    virtual void Disable(GLenum cap);
    virtual void BlendFunc(GLenum source, GLenum destination);
    virtual void Scissor(GLint x, GLint y, GLsizei width, GLsizei height);
    virtual void ClearColor(float red, float green, float blue, float alpha);
    virtual void Clear(GLbitfield mask);
    virtual void DrawArrays(GLenum mode, GLint first, GLsizei count);
    virtual void DrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices);
    virtual GLuint GenTexture();
    virtual void DeleteTexture(GLuint name);
    virtual void BindTexture(GLenum target, GLuint name);
    virtual void TexParameteri(GLenum target, GLenum name, GLint value);
    virtual void TexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                            GLsizei height, GLint border, GLenum format, GLenum type,
                            const void* pixels);
    virtual void TexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei width,
                               GLsizei height, GLenum format, GLenum type, const void* pixels);
    virtual void PixelStorei(GLenum name, GLint value);
    virtual GLenum GetError();
    virtual void ReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format,
                            GLenum type, void* pixels);
};

// The layer in use (the real OpenGL layer unless a test installed another).
GlLayer& bbGl();

// Installs `layer` (not owned; it must outlive its use); null restores the real one.
void bbSetGlLayer(GlLayer* layer);
