// app.cpp: the bb_app_ functions and the application layer's globals.
//
// Owns bb_app__game, bb_app__app, bb_app__delegate, the validated device size
// and the distinct display modes. Depends on the host object only.
#include "host/app.h"

#include <map>

#include "host/errors.h"

BBGame* bb_app__game = nullptr;
c_App* bb_app__app = nullptr;
c_GameDelegate* bb_app__delegate = nullptr;
int32_t bb_app__updateRate = 0;
int32_t bb_app__devWidth = 0;
int32_t bb_app__devHeight = 0;
std::vector<std::shared_ptr<c_DisplayMode>> bb_app__displayModes;
std::shared_ptr<c_DisplayMode> bb_app__desktopMode;

void bbInitApp() {
    bb_app__game = BBGame::_game;
    bb_app__app = nullptr;
    bb_app__delegate = nullptr;
    bb_app__updateRate = 0;
    bb_app__devWidth = 0;
    bb_app__devHeight = 0;
    bb_app__displayModes.clear();
    bb_app__desktopMode.reset();
}

void bb_app_SetUpdateRate(int hertz) {
    bb_app__updateRate = hertz;
    bb_app__game->SetUpdateRate(hertz);
}

int bb_app_Millisecs() {
    return bb_app__game->Millisecs();
}

void bb_app_GetDate(std::vector<int32_t>& date) {
    bb_app__game->GetDate(date.data(), static_cast<int>(date.size()));
}

std::vector<int32_t> bb_app_GetDate2() {
    std::vector<int32_t> date(7);
    bb_app_GetDate(date);
    return date;
}

int bb_app_DeviceWidth() {
    return bb_app__devWidth;
}
int bb_app_DeviceHeight() {
    return bb_app__devHeight;
}

void bb_app_SetDeviceWindow(int width, int height, int flags) {
    bb_app__game->SetDeviceWindow(width, height, flags);
    bb_app_ValidateDeviceWindow(false);
}

std::shared_ptr<c_DisplayMode> bb_app_DesktopMode() {
    return bb_app__desktopMode;
}

void bb_app_ValidateDeviceWindow(bool /*notify*/) {
    // The resize notification would go to the application's p_OnResize, which
    // does nothing in this program.
    const int w = bb_app__game->GetDeviceWidth();
    const int h = bb_app__game->GetDeviceHeight();
    if (w == bb_app__devWidth && h == bb_app__devHeight) return;
    bb_app__devWidth = w;
    bb_app__devHeight = h;
}

void bb_app_EnumDisplayModes() {
    std::map<int, std::shared_ptr<c_DisplayMode>> seen;
    bb_app__displayModes.clear();
    for (const BBDisplayMode& mode : bb_app__game->GetDisplayModes()) {
        const int key = (mode.width << 16) | mode.height;
        if (seen.count(key)) continue;
        auto entry = std::make_shared<c_DisplayMode>();
        entry->m_new(mode.width, mode.height);
        seen[key] = entry;
        bb_app__displayModes.push_back(entry);
    }
    BBDisplayMode desktop;
    bb_app__desktopMode = std::make_shared<c_DisplayMode>();
    if (bb_app__game->GetDesktopMode(desktop))
        bb_app__desktopMode->m_new(desktop.width, desktop.height);
    else
        bb_app__desktopMode->m_new(bb_app__devWidth, bb_app__devHeight);
}

String bb_app_LoadState() {
    return bb_app__game->LoadState();
}
void bb_app_SaveState(const String& text) {
    bb_app__game->SaveState(text);
}

void bb_app_EndApp() {
    bbError(String());
}
