// gl_layer.cpp: the default GlLayer, a one-to-one pass-through to OpenGL 1.x.
//
// Owns the installed-layer pointer. Depends on OpenGL and GLFW (for the size
// of the current context's window).
#include "render/gl_layer.h"

#include <GLFW/glfw3.h>

namespace {

GlLayer& RealLayer() {
    // Never destroyed: surfaces released during exit may still call through it.
    static GlLayer* const real = new GlLayer();
    return *real;
}

GlLayer* g_layer = nullptr;

}  // namespace

GlLayer& bbGl() {
    return g_layer ? *g_layer : RealLayer();
}

void bbSetGlLayer(GlLayer* layer) {
    g_layer = layer;
}

void GlLayer::WindowSize(int* width, int* height) {
    GLFWwindow* window = glfwGetCurrentContext();
    if (window) glfwGetWindowSize(window, width, height);
}

void GlLayer::Viewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    glViewport(x, y, width, height);
}
void GlLayer::MatrixMode(GLenum mode) {
    glMatrixMode(mode);
}
void GlLayer::LoadIdentity() {
    glLoadIdentity();
}
void GlLayer::Ortho(double left, double right, double bottom, double top, double zNear,
                    double zFar) {
    glOrtho(left, right, bottom, top, zNear, zFar);
}
void GlLayer::EnableClientState(GLenum array) {
    glEnableClientState(array);
}
void GlLayer::VertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) {
    glVertexPointer(size, type, stride, pointer);
}
void GlLayer::TexCoordPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) {
    glTexCoordPointer(size, type, stride, pointer);
}
void GlLayer::ColorPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) {
    glColorPointer(size, type, stride, pointer);
}
void GlLayer::Enable(GLenum cap) {
    glEnable(cap);
}
void GlLayer::Disable(GLenum cap) {
    glDisable(cap);
}
void GlLayer::BlendFunc(GLenum source, GLenum destination) {
    glBlendFunc(source, destination);
}
void GlLayer::Scissor(GLint x, GLint y, GLsizei width, GLsizei height) {
    glScissor(x, y, width, height);
}
void GlLayer::ClearColor(float red, float green, float blue, float alpha) {
    glClearColor(red, green, blue, alpha);
}
void GlLayer::Clear(GLbitfield mask) {
    glClear(mask);
}
void GlLayer::DrawArrays(GLenum mode, GLint first, GLsizei count) {
    glDrawArrays(mode, first, count);
}
void GlLayer::DrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices) {
    glDrawElements(mode, count, type, indices);
}
GLuint GlLayer::GenTexture() {
    GLuint name = 0;
    glGenTextures(1, &name);
    return name;
}
void GlLayer::DeleteTexture(GLuint name) {
    glDeleteTextures(1, &name);
}
void GlLayer::BindTexture(GLenum target, GLuint name) {
    glBindTexture(target, name);
}
void GlLayer::TexParameteri(GLenum target, GLenum name, GLint value) {
    glTexParameteri(target, name, value);
}
void GlLayer::TexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                         GLsizei height, GLint border, GLenum format, GLenum type,
                         const void* pixels) {
    glTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
}
void GlLayer::TexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei width,
                            GLsizei height, GLenum format, GLenum type, const void* pixels) {
    glTexSubImage2D(target, level, x, y, width, height, format, type, pixels);
}
void GlLayer::PixelStorei(GLenum name, GLint value) {
    glPixelStorei(name, value);
}
GLenum GlLayer::GetError() {
    return glGetError();
}
void GlLayer::ReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format,
                         GLenum type, void* pixels) {
    glReadPixels(x, y, width, height, format, type, pixels);
}
