// host.h: the application host: process entry, window, main loop, files.
//
// The host is a class chain: BBGame (platform-neutral state and the gated
// dispatch of game events to a delegate), BBGlfwGame (the desktop host over
// GLFW 3: window, loop, clock, files, joysticks) and BBTarvikGame (the process
// entry). Exactly one host object exists; BBGame::_game and
// BBGlfwGame::_glfwGame point to it from its construction on.
//
// Use:
//   main() -> BBTarvikGame::Main(argc, argv): glfwInit, construct the host,
//   bbInit(), bbMain() (constructs the application, which registers a
//   delegate), Run() (window, StartGame, loop), glfwTerminate.
//
// Failure: fatal conditions go through bbError (see errors.h), which prints a
// runtime error report and ends the process. Everything here runs on the main
// thread; LoadImageData and LoadAudioData are also safe on worker threads.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "host/text.h"

struct GLFWwindow;

// The base of every exception the program throws on purpose.
class ThrowableObject {
  public:
    virtual ~ThrowableObject() = default;
};

// Receiver of the host's game events (implemented by the application layer).
class BBGameDelegate {
  public:
    virtual ~BBGameDelegate() = default;
    virtual void StartGame() {}
    virtual void SuspendGame() {}
    virtual void ResumeGame() {}
    virtual void UpdateGame() {}
    virtual void RenderGame() {}
    virtual void KeyEvent(int /*event*/, int /*data*/) {}
    virtual void MouseEvent(int /*event*/, int /*data*/, float /*x*/, float /*y*/) {}
    virtual void TouchEvent(int /*event*/, int /*data*/, float /*x*/, float /*y*/) {}
    virtual void MotionEvent(int /*event*/, int /*data*/, float /*x*/, float /*y*/, float /*z*/) {}
    virtual void DiscardGraphics() {}
};

// Game event codes (the first argument of the event operations).
struct c_BBGameEvent {
    static constexpr int KeyDown = 1;
    static constexpr int KeyUp = 2;
    static constexpr int KeyChar = 3;
    static constexpr int MouseDown = 4;
    static constexpr int MouseUp = 5;
    static constexpr int MouseMove = 6;
    static constexpr int TouchDown = 7;
    static constexpr int TouchUp = 8;
    static constexpr int TouchMove = 9;
    static constexpr int MotionAccel = 10;
};

constexpr int kKeyClose = 432;  // game key of the window's close request
constexpr int kKeyBack = 416;   // game key of a platform back button (not on desktop)

struct BBDisplayMode {
    int32_t width = 0;
    int32_t height = 0;
    int32_t format = 0;  // the three trailing fields are always 0 on the desktop
    int32_t hertz = 0;
    int32_t flags = 0;
};

// Platform-neutral host: state and the gated dispatch to the delegate.
class BBGame {
  public:
    BBGame();
    virtual ~BBGame() = default;

    static BBGame* _game;

    virtual void SetDelegate(BBGameDelegate* delegate) { delegate_ = delegate; }
    virtual BBGameDelegate* Delegate() { return delegate_; }
    virtual void SetKeyboardEnabled(bool enabled) { keyboardEnabled = enabled; }
    virtual bool KeyboardEnabled() { return keyboardEnabled; }
    virtual void SetUpdateRate(int rate) { updateRate = rate; }
    virtual int UpdateRate() { return updateRate; }
    virtual bool Started() { return started; }
    virtual bool Suspended() { return suspended; }
    virtual int Millisecs() { return 0; }
    virtual void GetDate(int32_t* date, int count);
    virtual int SaveState(const String& text);
    virtual String LoadState();
    virtual String LoadString(const String& path);
    virtual int CountJoysticks(bool /*update*/) { return 0; }
    virtual bool PollJoystick(int /*port*/, float* /*joyx*/, float* /*joyy*/, float* /*joyz*/,
                              bool* /*buttons*/) {
        return false;
    }
    virtual void OpenUrl(const String& /*url*/) {}
    virtual void SetMouseVisible(bool /*visible*/) {}
    virtual int GetDeviceWidth() { return 0; }
    virtual int GetDeviceHeight() { return 0; }
    virtual void SetDeviceWindow(int /*width*/, int /*height*/, int /*flags*/) {}
    virtual std::vector<BBDisplayMode> GetDisplayModes() { return {}; }
    virtual bool GetDesktopMode(BBDisplayMode& /*mode*/) { return false; }
    virtual void SetSwapInterval(int /*interval*/) {}
    virtual String PathToFilePath(const String& path) { return path; }
    virtual FILE* OpenFile(const String& path, const String& mode);
    // Whole file as bytes; false (length untouched) when it cannot be opened.
    virtual bool LoadData(const String& path, std::vector<uint8_t>& data);

    // Dispatch, gated on the started and suspended flags.
    virtual void StartGame();
    virtual void SuspendGame();
    virtual void ResumeGame();
    virtual void UpdateGame();
    virtual void RenderGame();
    virtual void KeyEvent(int event, int data);
    virtual void MouseEvent(int event, int data, float x, float y);
    virtual void TouchEvent(int event, int data, float x, float y);
    virtual void MotionEvent(int event, int data, float x, float y, float z);
    virtual void DiscardGraphics();

    [[noreturn]] virtual void Die(const ThrowableObject& exception);

  protected:
    template <typename Call>
    void Guarded(Call call);

    BBGameDelegate* delegate_ = nullptr;
    bool keyboardEnabled = false;
    int32_t updateRate = 0;
    bool started = false;
    bool suspended = false;
};

// Desktop host over GLFW 3.
class BBGlfwGame : public BBGame {
  public:
    BBGlfwGame();

    static BBGlfwGame* _glfwGame;

    void SetUpdateRate(int rate) override;
    int Millisecs() override;
    int CountJoysticks(bool update) override;
    bool PollJoystick(int port, float* joyx, float* joyy, float* joyz, bool* buttons) override;
    void OpenUrl(const String& url) override;
    void SetMouseVisible(bool visible) override;
    int GetDeviceWidth() override { return width; }
    int GetDeviceHeight() override { return height; }
    void SetDeviceWindow(int width, int height, int flags) override;
    std::vector<BBDisplayMode> GetDisplayModes() override;
    bool GetDesktopMode(BBDisplayMode& mode) override;
    void SetSwapInterval(int interval) override;
    String PathToFilePath(const String& path) override;

    // Decodes a PNG (the file's own channel count). Null on any failure;
    // the block is released with free(). Implemented in image_file.cpp.
    unsigned char* LoadImageData(const String& path, int* width, int* height, int* channels);
    // Decodes a WAV or Ogg Vorbis file into PCM. Null on any failure; the
    // block is released with free(). Implemented in audio_file.cpp.
    unsigned char* LoadAudioData(const String& path, int* length, int* channels,
                                 int* bytesPerSample, int* rate);

    static double GetTime();
    static void Sleep(double seconds);

    void Run();
    // One pass of the main loop; false when the window asked to close.
    bool RunPass();
    void UpdateEvents();

    GLFWwindow* Window() const { return window; }
    double NextUpdate() const { return nextUpdate; }

    // GLFW callbacks (installed on every window).
    static void OnKey(GLFWwindow* window, int key, int scancode, int action, int mods);
    static void OnChar(GLFWwindow* window, unsigned int codepoint);
    static void OnMouseButton(GLFWwindow* window, int button, int action, int mods);
    static void OnCursorPos(GLFWwindow* window, double x, double y);
    static void OnWindowClose(GLFWwindow* window);
    static void OnWindowSize(GLFWwindow* window, int width, int height);

    static int TransKey(int glfwKey);
    static int KeyToChar(int key);

  protected:
    int32_t desktopMode[6] = {};  // width, height, red, green, blue bits, refresh
    GLFWwindow* window = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t swapInterval = 1;
    bool focus = true;
    double updatePeriod = 0;
    double nextUpdate = 0;
    String appPath;
    String internalPath;
    int32_t joystickIds[4] = {};
    int32_t joystickCount = 0;
    bool joysticksCounted = false;
};

class BBTarvikGame : public BBGlfwGame {
  public:
    static void Main(int argc, char** argv);
};

// Window contexts created so far; the renderer re-creates textures when it changes.
extern int glfwGraphicsSeq;

// Program set-up inside the host: signals, locale, bbInit, bbMain.
int bb_std_main(int argc, char** argv);

// Provided by the program: gives every global its initial value.
void bbInit();
// Provided by the program: constructs the application object.
void bbMain();
