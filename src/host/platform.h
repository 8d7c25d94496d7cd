// platform.h: the host's seam over the clock, the window system and joysticks.
//
// Production uses GLFW for everything here. A test swaps in functions of its
// own (a clock it advances itself, a scripted focus, a fake joystick) with
// bbSetHostPlatform and puts the defaults back with bbResetHostPlatform.
#pragma once

struct GLFWwindow;

struct HostPlatform {
    double (*now)();                     // seconds since start (glfwGetTime)
    void (*sleepMillis)(int ms);         // block the calling thread
    bool (*shouldClose)(GLFWwindow* w);  // glfwWindowShouldClose
    void (*swapBuffers)(GLFWwindow* w);  // glfwSwapBuffers
    void (*pollEvents)();                // glfwPollEvents
    void (*waitEvents)();                // glfwWaitEvents
    bool (*focused)(GLFWwindow* w);      // window has the input focus
    bool (*joystickPresent)(int id);     // glfwJoystickPresent
    const float* (*joystickAxes)(int id, int* count);
    const unsigned char* (*joystickButtons)(int id, int* count);
};

const HostPlatform& bbHostPlatform();
void bbSetHostPlatform(const HostPlatform& platform);
void bbResetHostPlatform();
// The GLFW-backed functions, for tests that replace only some of them.
HostPlatform bbGlfwHostPlatform();
