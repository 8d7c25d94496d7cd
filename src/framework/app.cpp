// app.cpp: c_App registration and the c_GameDelegate event forwarding.
//
// Owns the construction of the three devices at game start. They, like the
// application and the delegate, live until the process ends.
#include "framework/app.h"

#include "host/errors.h"
#include "render/context.h"

c_App* c_App::m_new() {
    if (bb_app__app) bbError(u"App has already been created");
    bb_app__app = this;
    bb_app__delegate = (new c_GameDelegate())->m_new();
    bb_app__game->SetDelegate(bb_app__delegate);
    return this;
}

void c_GameDelegate::StartGame() {
    graphics = new gxtkGraphics();
    bb_graphics_SetGraphicsDevice(graphics);
    bb_graphics_SetFont(nullptr, 32);
    audio = new gxtkAudio();
    bb_audio_device = audio;
    input = (new c_InputDevice())->m_new();
    bb_input_SetInputDevice(input);
    bb_app_ValidateDeviceWindow(false);
    bb_app_EnumDisplayModes();
    bb_app__app->p_OnCreate();
}

void c_GameDelegate::SuspendGame() {
    audio->Suspend();
    bb_app__app->p_OnSuspend();
}

void c_GameDelegate::ResumeGame() {
    audio->Resume();
    bb_app__app->p_OnResume();
}

void c_GameDelegate::UpdateGame() {
    bb_app_ValidateDeviceWindow(true);
    input->p_BeginUpdate();
    bb_app__app->p_OnUpdate();
    input->p_EndUpdate();
}

void c_GameDelegate::RenderGame() {
    bb_app_ValidateDeviceWindow(true);
    graphics->BeginRender();
    bb_graphics_BeginRender();
    bb_app__app->p_OnRender();
    bb_graphics_EndRender();
    graphics->EndRender();
}

void c_GameDelegate::KeyEvent(int event, int data) {
    input->p_KeyEvent(event, data);
    if (event != c_BBGameEvent::KeyDown) return;
    if (data == kKeyClose) bb_app__app->p_OnClose();
    if (data == kKeyBack) bb_app__app->p_OnBack();
}

void c_GameDelegate::MouseEvent(int event, int data, float x, float y) {
    input->p_MouseEvent(event, data, x, y);
}

void c_GameDelegate::TouchEvent(int event, int data, float x, float y) {
    input->p_TouchEvent(event, data, x, y);
}

void c_GameDelegate::MotionEvent(int event, int data, float x, float y, float z) {
    input->p_MotionEvent(event, data, x, y, z);
}

void c_GameDelegate::DiscardGraphics() {
    graphics->DiscardGraphics();
}
