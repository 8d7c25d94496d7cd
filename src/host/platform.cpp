// platform.cpp: the GLFW-backed host platform and the switch tests use.
//
// Owns the one HostPlatform table the host calls for time, sleeping, the
// window system's event pump, focus and joystick reads.
#include "host/platform.h"

#include <GLFW/glfw3.h>

#include <ctime>

namespace {

double GlfwNow() {
    return glfwGetTime();
}

void SleepMillis(int ms) {
    if (ms <= 0) return;
    timespec wait{ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&wait, &wait) != 0) {
    }
}

bool GlfwShouldClose(GLFWwindow* w) {
    return w && glfwWindowShouldClose(w);
}
void GlfwSwap(GLFWwindow* w) {
    if (w) glfwSwapBuffers(w);
}
bool GlfwFocused(GLFWwindow* w) {
    return w && glfwGetWindowAttrib(w, GLFW_FOCUSED) != 0;
}
bool GlfwJoystickPresent(int id) {
    return glfwJoystickPresent(id) == GLFW_TRUE;
}
const float* GlfwJoystickAxes(int id, int* count) {
    return glfwGetJoystickAxes(id, count);
}
const unsigned char* GlfwJoystickButtons(int id, int* count) {
    return glfwGetJoystickButtons(id, count);
}

HostPlatform g_platform = bbGlfwHostPlatform();

}  // namespace

HostPlatform bbGlfwHostPlatform() {
    return HostPlatform{GlfwNow,          SleepMillis,        GlfwShouldClose, GlfwSwap,
                        glfwPollEvents,   glfwWaitEvents,     GlfwFocused,     GlfwJoystickPresent,
                        GlfwJoystickAxes, GlfwJoystickButtons};
}

const HostPlatform& bbHostPlatform() {
    return g_platform;
}
void bbSetHostPlatform(const HostPlatform& platform) {
    g_platform = platform;
}
void bbResetHostPlatform() {
    g_platform = bbGlfwHostPlatform();
}
