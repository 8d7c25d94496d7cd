// app.h: the application layer's functions and globals over the host.
//
// The game reaches the host through these: the update rate, the clock, the
// date, the device size as last validated, display modes, the state file and
// the way out (bb_app_EndApp). The application object and its delegate are in
// framework/app.h; their pointers are kept here so every layer can see them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "host/host.h"

class c_App;
class c_GameDelegate;

class c_DisplayMode {
  public:
    c_DisplayMode* m_new(int width, int height) {
        this->width = width;
        this->height = height;
        return this;
    }
    c_DisplayMode* m_new2() { return m_new(0, 0); }
    int p_Width() const { return width; }
    int p_Height() const { return height; }

    int32_t width = 0;
    int32_t height = 0;
};

extern BBGame* bb_app__game;
extern c_App* bb_app__app;
extern c_GameDelegate* bb_app__delegate;
extern int32_t bb_app__updateRate;
extern int32_t bb_app__devWidth;
extern int32_t bb_app__devHeight;
extern std::vector<std::shared_ptr<c_DisplayMode>> bb_app__displayModes;
extern std::shared_ptr<c_DisplayMode> bb_app__desktopMode;

// Gives the application layer's globals their initial values.
void bbInitApp();

void bb_app_SetUpdateRate(int hertz);
int bb_app_Millisecs();
void bb_app_GetDate(std::vector<int32_t>& date);
std::vector<int32_t> bb_app_GetDate2();
int bb_app_DeviceWidth();
int bb_app_DeviceHeight();
void bb_app_SetDeviceWindow(int width, int height, int flags);
std::shared_ptr<c_DisplayMode> bb_app_DesktopMode();
void bb_app_EnumDisplayModes();
void bb_app_ValidateDeviceWindow(bool notify);
String bb_app_LoadState();
void bb_app_SaveState(const String& text);
[[noreturn]] void bb_app_EndApp();
