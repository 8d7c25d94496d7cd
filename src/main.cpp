// main.cpp: the process entry of the game.
//
// Until the game itself is in place, the executable runs a minimal
// application: a window that clears to the play field's green, paced at 60
// updates per second, which ends with status 0 on its close button or F4.
#include <GLFW/glfw3.h>

#include "host/errors.h"
#include "host/host.h"
#include "host/input.h"

namespace {

constexpr int kKeyF4 = 115;

class MinimalDelegate : public BBGameDelegate {
  public:
    void StartGame() override {
        bb_input_SetInputDevice(&input_);
        BBGame::_game->SetUpdateRate(60);
    }
    void UpdateGame() override {
        input_.p_BeginUpdate();
        if (input_.p_KeyHit(kKeyF4)) bbError(String());
        input_.p_EndUpdate();
    }
    void RenderGame() override {
        glClearColor(0.05f, 0.25f, 0.1f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    void KeyEvent(int event, int data) override {
        input_.p_KeyEvent(event, data);
        if (event == 1 && data == kKeyClose) bbError(String());
    }
    void MouseEvent(int event, int data, float x, float y) override {
        input_.p_MouseEvent(event, data, x, y);
    }

  private:
    c_InputDevice input_;
};

}  // namespace

void bbInit() {
    bbInitHost();
}

void bbMain() {
    BBGame::_game->SetDelegate(new MinimalDelegate());
}

int main(int argc, char** argv) {
    BBTarvikGame::Main(argc, argv);
    return 0;
}
