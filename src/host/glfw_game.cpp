// glfw_game.cpp: BBGlfwGame, the desktop host: window, main loop, clock, modes.
//
// Owns BBGlfwGame::_glfwGame, glfwGraphicsSeq and the window callbacks that
// turn GLFW events into game events. The loop renders one frame per pass,
// sleeps until the next update is due, pumps events, then runs one to four
// updates; a longer backlog is dropped. Time, sleep, the event pump and focus
// go through the HostPlatform seam (platform.h) so tests can drive the loop.
#include <GLFW/glfw3.h>
#include <unistd.h>  // fork and exec for OpenUrl

#include <cstdlib>
#include <string>

#include "host/errors.h"
#include "host/host.h"
#include "host/platform.h"

namespace {

constexpr int kMaxUpdatesPerPass = 4;  // catch-up limit after a stall
constexpr int kLastGlfwKey = 348;      // GLFW_KEY_LAST
constexpr int kFlagFullscreen = 1;
constexpr int kFlagResizable = 2;
constexpr int kFlagDecorated = 4;
constexpr int kFlagFloating = 8;
constexpr int kFlagDepth = 16;
constexpr int kFlagSingleBuffer = 32;
constexpr int kFlagSecondMonitor = 64;

void ApplyWindowHints(int flags) {
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_RED_BITS, 8);
    glfwWindowHint(GLFW_GREEN_BITS, 8);
    glfwWindowHint(GLFW_BLUE_BITS, 8);
    glfwWindowHint(GLFW_ALPHA_BITS, 0);
    glfwWindowHint(GLFW_DEPTH_BITS, (flags & kFlagDepth) ? 32 : 0);
    glfwWindowHint(GLFW_STENCIL_BITS, 0);
    glfwWindowHint(GLFW_RESIZABLE, (flags & kFlagResizable) ? GLFW_TRUE : GLFW_FALSE);
    glfwWindowHint(GLFW_DECORATED, (flags & kFlagDecorated) ? GLFW_TRUE : GLFW_FALSE);
    glfwWindowHint(GLFW_FLOATING, (flags & kFlagFloating) ? GLFW_TRUE : GLFW_FALSE);
    glfwWindowHint(GLFW_VISIBLE, (flags & kFlagFullscreen) ? GLFW_TRUE : GLFW_FALSE);
    glfwWindowHint(GLFW_DOUBLEBUFFER, (flags & kFlagSingleBuffer) ? GLFW_FALSE : GLFW_TRUE);
    glfwWindowHint(GLFW_SAMPLES, 0);
    glfwWindowHint(GLFW_REFRESH_RATE, 60);
}

// The monitor for full screen, or null when there is none.
GLFWmonitor* FullscreenMonitor(int flags) {
    int count = 0;
    GLFWmonitor** monitors = glfwGetMonitors(&count);
    if (!monitors || count <= 0) return nullptr;
    int index = (flags & kFlagSecondMonitor) ? 1 : 0;
    if (index >= count) index = count - 1;
    return monitors[index];
}

}  // namespace

BBGlfwGame* BBGlfwGame::_glfwGame = nullptr;
int glfwGraphicsSeq = 0;

BBGlfwGame::BBGlfwGame() {
    _glfwGame = this;
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    if (mode) {
        const int32_t values[6] = {mode->width,     mode->height,   mode->redBits,
                                   mode->greenBits, mode->blueBits, mode->refreshRate};
        for (int i = 0; i < 6; ++i) desktopMode[i] = values[i];
    }
}

double BBGlfwGame::GetTime() {
    return bbHostPlatform().now();
}

void BBGlfwGame::Sleep(double seconds) {
    bbHostPlatform().sleepMillis(static_cast<int>(seconds * 1000.0));
}

void BBGlfwGame::SetUpdateRate(int rate) {
    updateRate = rate;
    if (rate != 0) updatePeriod = 1.0 / rate;
    nextUpdate = 0;
}

int BBGlfwGame::Millisecs() {
    return static_cast<int>(GetTime() * 1000.0);
}

void BBGlfwGame::OpenUrl(const String& url) {
    // Hand the text to the desktop's opener without a shell in between.
    const std::string target = bbStringToUtf8(url);
    if (fork() == 0) {
        execlp("xdg-open", "xdg-open", target.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
}

void BBGlfwGame::SetMouseVisible(bool visible) {
    if (window)
        glfwSetInputMode(window, GLFW_CURSOR, visible ? GLFW_CURSOR_NORMAL : GLFW_CURSOR_HIDDEN);
}

void BBGlfwGame::SetSwapInterval(int interval) {
    swapInterval = interval;
    if (interval >= 0 && window) glfwSwapInterval(interval);
}

std::vector<BBDisplayMode> BBGlfwGame::GetDisplayModes() {
    std::vector<BBDisplayMode> modes;
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    int count = 0;
    const GLFWvidmode* list = monitor ? glfwGetVideoModes(monitor, &count) : nullptr;
    for (int i = 0; list && i < count; ++i) {
        if (list[i].refreshRate != 0 && list[i].refreshRate != 60) continue;
        BBDisplayMode mode;
        mode.width = list[i].width;
        mode.height = list[i].height;
        modes.push_back(mode);
    }
    return modes;
}

bool BBGlfwGame::GetDesktopMode(BBDisplayMode& mode) {
    mode = BBDisplayMode{};
    mode.width = desktopMode[0];
    mode.height = desktopMode[1];
    return true;
}

void BBGlfwGame::SetDeviceWindow(int w, int h, int flags) {
    focus = false;
    if (window) {
        // Release every held key first, so none stays down across the switch.
        for (int key = 0; key <= kLastGlfwKey; ++key) {
            const int gameKey = TransKey(key);
            if (gameKey != 0 && glfwGetKey(window, key) == GLFW_PRESS) KeyEvent(2, gameKey);
        }
        glfwDestroyWindow(window);
        window = nullptr;
    }
    GLFWmonitor* monitor = (flags & kFlagFullscreen) ? FullscreenMonitor(flags) : nullptr;
    if (!monitor) flags &= ~kFlagFullscreen;  // no monitor: full screen falls back to a window
    ApplyWindowHints(flags);
    window = glfwCreateWindow(w, h, "Quorvane", monitor, nullptr);
    if (!window) {
        bbPrint(u"glfwCreateWindow FAILED!");
        std::abort();
    }
    if (!monitor) {
        // Centre on the desktop; with no known desktop leave it where it is.
        if (desktopMode[0] > 0 && desktopMode[1] > 0)
            glfwSetWindowPos(window, (desktopMode[0] - w) / 2, (desktopMode[1] - h) / 2);
        glfwShowWindow(window);
    }
    ++glfwGraphicsSeq;
    width = w;
    height = h;
    glfwMakeContextCurrent(window);
    if (swapInterval >= 0) glfwSwapInterval(swapInterval);
    glfwSetKeyCallback(window, OnKey);
    glfwSetCharCallback(window, OnChar);
    glfwSetMouseButtonCallback(window, OnMouseButton);
    glfwSetCursorPosCallback(window, OnCursorPos);
    glfwSetWindowCloseCallback(window, OnWindowClose);
    glfwSetWindowSizeCallback(window, OnWindowSize);
}

void BBGlfwGame::Run() {
    SetDeviceWindow(640, 480, kFlagResizable | kFlagDecorated);
    StartGame();
    while (RunPass()) {
    }
}

bool BBGlfwGame::RunPass() {
    const HostPlatform& platform = bbHostPlatform();
    if (platform.shouldClose(window)) return false;
    RenderGame();
    platform.swapBuffers(window);
    if (nextUpdate != 0) {
        const double delay = nextUpdate - GetTime();
        if (delay > 0) Sleep(delay);
    }
    UpdateEvents();
    if (suspended) return true;
    if (updateRate == 0) {
        UpdateGame();
        return true;
    }
    if (nextUpdate == 0) nextUpdate = GetTime();
    for (int i = 0; i < kMaxUpdatesPerPass; ++i) {
        UpdateGame();
        if (nextUpdate == 0) return true;  // the update changed the rate
        nextUpdate += updatePeriod;
        if (nextUpdate > GetTime()) return true;
    }
    nextUpdate = 0;  // drop the backlog; re-anchor at the next pass
    return true;
}

void BBGlfwGame::UpdateEvents() {
    const HostPlatform& platform = bbHostPlatform();
    if (suspended)
        platform.waitEvents();
    else
        platform.pollEvents();
    if (platform.focused(window)) {
        focus = true;
        if (suspended) {
            ResumeGame();
            nextUpdate = 0;
        }
    } else if (focus && !suspended) {
        SuspendGame();
        nextUpdate = 0;
    }
}

void BBGlfwGame::OnKey(GLFWwindow*, int key, int, int action, int) {
    const int k = TransKey(key);
    if (k == 0) return;
    if (action == GLFW_RELEASE) {
        _glfwGame->KeyEvent(2, k);
    } else if (action == GLFW_PRESS || action == GLFW_REPEAT) {
        _glfwGame->KeyEvent(1, k);
        if (const int c = KeyToChar(k)) _glfwGame->KeyEvent(3, c);
    }
}

void BBGlfwGame::OnChar(GLFWwindow*, unsigned int codepoint) {
    _glfwGame->KeyEvent(3, static_cast<int>(codepoint));
}

void BBGlfwGame::OnMouseButton(GLFWwindow* window, int button, int action, int) {
    if (button > 2) return;
    double x = 0, y = 0;
    glfwGetCursorPos(window, &x, &y);
    if (action == GLFW_PRESS)
        _glfwGame->MouseEvent(4, button, static_cast<float>(x), static_cast<float>(y));
    else if (action == GLFW_RELEASE)
        _glfwGame->MouseEvent(5, button, static_cast<float>(x), static_cast<float>(y));
}

void BBGlfwGame::OnCursorPos(GLFWwindow*, double x, double y) {
    _glfwGame->MouseEvent(6, -1, static_cast<float>(x), static_cast<float>(y));
}

void BBGlfwGame::OnWindowClose(GLFWwindow* window) {
    glfwSetWindowShouldClose(window, GLFW_FALSE);
    _glfwGame->KeyEvent(1, kKeyClose);
    _glfwGame->KeyEvent(2, kKeyClose);
}

void BBGlfwGame::OnWindowSize(GLFWwindow*, int w, int h) {
    _glfwGame->width = w;
    _glfwGame->height = h;
}
