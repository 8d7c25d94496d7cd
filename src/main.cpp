// main.cpp: the process entry of the game.
//
// Until the game itself is in place, the executable runs a minimal
// application on the real delegate, renderer, audio engine and input device:
// a window in the play field's green, paced at 60 updates per second, which
// ends with status 0 on its close button or F4.
#include "audio/audio.h"
#include "framework/app.h"
#include "framework/framework.h"
#include "host/app.h"
#include "host/host.h"
#include "host/input.h"
#include "net/net.h"
#include "render/context.h"

namespace {

constexpr int kKeyF4 = 115;

class c_MinimalApp : public c_App {
  public:
    void p_OnCreate() override { bb_app_SetUpdateRate(60); }
    void p_OnUpdate() override {
        if (bb_input_KeyHit(kKeyF4)) bb_app_EndApp();
    }
    void p_OnRender() override {
        bb_graphics_SetColor(13, 64, 26);
        bb_graphics_DrawRect(0, 0, static_cast<float>(bb_app_DeviceWidth()),
                             static_cast<float>(bb_app_DeviceHeight()));
    }
};

}  // namespace

void bbInit() {
    bbInitHost();
    bbInitApp();
    bbInitRender();
    bbInitAudio();
    bbInitNet();
    bbInitFramework();
}

void bbMain() {
    (new c_MinimalApp())->m_new();
}

int main(int argc, char** argv) {
    BBTarvikGame::Main(argc, argv);
    return 0;
}
