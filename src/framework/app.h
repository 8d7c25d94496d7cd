// app.h: the application object and the delegate that connects it to the host.
//
// The game derives from c_App and calls c_App::m_new once from its own
// construction: that registers it as the one application and gives the host a
// c_GameDelegate. When the host starts the game, the delegate creates the
// renderer, the audio engine and the input device, registers them with their
// layers and calls p_OnCreate; it then brackets every update with the input
// device's begin and end and every render with the renderer's frame calls.
// A second application raises "App has already been created".
#pragma once

#include "audio/audio.h"
#include "host/app.h"
#include "host/host.h"
#include "host/input.h"
#include "render/graphics.h"

class c_App {
  public:
    virtual ~c_App() = default;
    c_App* m_new();

    virtual void p_OnCreate() {}
    virtual void p_OnResume() {}
    virtual void p_OnUpdate() {}
    virtual void p_OnRender() {}

    void p_OnSuspend() {}
    void p_OnResize() {}
    void p_OnLoading() {}
    [[noreturn]] void p_OnClose() { bb_app_EndApp(); }
    [[noreturn]] void p_OnBack() { bb_app_EndApp(); }
};

class c_GameDelegate : public BBGameDelegate {
  public:
    c_GameDelegate* m_new() { return this; }

    void StartGame() override;
    void SuspendGame() override;
    void ResumeGame() override;
    void UpdateGame() override;
    void RenderGame() override;
    void KeyEvent(int event, int data) override;
    void MouseEvent(int event, int data, float x, float y) override;
    void TouchEvent(int event, int data, float x, float y) override;
    void MotionEvent(int event, int data, float x, float y, float z) override;
    void DiscardGraphics() override;

    gxtkGraphics* graphics = nullptr;
    gxtkAudio* audio = nullptr;
    c_InputDevice* input = nullptr;
};
