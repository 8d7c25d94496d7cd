// A real window under X: size, title, placement, close request, window switch.
#include <gtest/gtest.h>
#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3.h>
#include <GLFW/glfw3native.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <string>
#include <vector>

#include "host/errors.h"
#include "host/host.h"

namespace {

class RecordingDelegate : public BBGameDelegate {
  public:
    void KeyEvent(int event, int data) override {
        events.push_back({event, data});
        if (event == 1 && data == kKeyClose) bbError(u"");
    }
    std::vector<std::pair<int, int>> events;
};

class WindowTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        ASSERT_TRUE(glfwInit()) << "needs a display (make test starts Xvfb)";
    }
    void SetUp() override {
        static BBGlfwGame host;  // one host for the whole run, like the real one
        host_ = &host;
        host_->SetDelegate(&delegate_);
        host_->StartGame();
    }
    BBGlfwGame* host_ = nullptr;
    RecordingDelegate delegate_;
};

void SendToWindow(GLFWwindow* window, XEvent event) {
    Display* display = glfwGetX11Display();
    event.xany.display = display;
    event.xany.window = glfwGetX11Window(window);
    XSendEvent(display, event.xany.window, False, NoEventMask, &event);
    XFlush(display);
}

void PumpFor(double seconds) {
    const double end = glfwGetTime() + seconds;
    while (glfwGetTime() < end) glfwWaitEventsTimeout(0.01);
}

TEST_F(WindowTest, OpensCentredWithTitleAndSize) {
    const int before = glfwGraphicsSeq;
    host_->SetDeviceWindow(640, 480, 6);
    GLFWwindow* window = host_->Window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(glfwGraphicsSeq, before + 1);
    int w = 0, h = 0;
    glfwGetWindowSize(window, &w, &h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    EXPECT_EQ(host_->GetDeviceWidth(), 640);
    EXPECT_EQ(host_->GetDeviceHeight(), 480);

    char* name = nullptr;
    ASSERT_TRUE(XFetchName(glfwGetX11Display(), glfwGetX11Window(window), &name));
    EXPECT_EQ(std::string(name), "Quorvane");
    XFree(name);

    BBDisplayMode desktop;
    ASSERT_TRUE(host_->GetDesktopMode(desktop));
    int x = 0, y = 0;
    PumpFor(0.2);
    glfwGetWindowPos(window, &x, &y);
    EXPECT_EQ(x, (desktop.width - 640) / 2);
    EXPECT_EQ(y, (desktop.height - 480) / 2);
    EXPECT_TRUE(glfwGetWindowAttrib(window, GLFW_VISIBLE));
}

TEST_F(WindowTest, CloseRequestEndsTheProcessWithStatusZero) {
    EXPECT_EXIT(
        {
            host_->SetDeviceWindow(640, 480, 6);
            XEvent close{};
            close.xclient.type = ClientMessage;
            close.xclient.message_type = XInternAtom(glfwGetX11Display(), "WM_PROTOCOLS", False);
            close.xclient.format = 32;
            close.xclient.data.l[0] =
                static_cast<long>(XInternAtom(glfwGetX11Display(), "WM_DELETE_WINDOW", False));
            close.xclient.data.l[1] = CurrentTime;
            SendToWindow(host_->Window(), close);
            for (int i = 0; i < 200; ++i) host_->RunPass();
            std::exit(7);  // the close request never arrived
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(WindowTest, WindowSwitchReleasesHeldKeys) {
    host_->SetDeviceWindow(640, 480, 6);
    // A synthetic key press can be lost while the new window is still being
    // mapped, so send it until GLFW reports the key held.
    glfwFocusWindow(host_->Window());
    for (int attempt = 0; attempt < 20; ++attempt) {
        XEvent press{};
        press.xkey.type = KeyPress;
        press.xkey.keycode = XKeysymToKeycode(glfwGetX11Display(), XK_a);
        press.xkey.same_screen = True;
        press.xkey.time = 1000 + 100 * attempt;
        SendToWindow(host_->Window(), press);
        PumpFor(0.1);
        if (glfwGetKey(host_->Window(), GLFW_KEY_A) == GLFW_PRESS) break;
    }
    ASSERT_EQ(glfwGetKey(host_->Window(), GLFW_KEY_A), GLFW_PRESS);
    delegate_.events.clear();

    host_->SetDeviceWindow(800, 600, 6);
    ASSERT_FALSE(delegate_.events.empty());
    EXPECT_EQ(delegate_.events.front(), std::make_pair(2, 65));
    EXPECT_EQ(host_->GetDeviceWidth(), 800);
}

}  // namespace
