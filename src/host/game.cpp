// game.cpp: BBGame, the platform-neutral host: flags, dispatch and the date.
//
// Owns BBGame::_game. Every game event is gated on the started and suspended
// flags and passed to the delegate under a guard: an exception escaping the
// delegate ends the program through Die.
#include <ctime>

#include "host/errors.h"
#include "host/host.h"

namespace {

constexpr int kDateFields = 7;  // year, month, day, hour, minute, second, ms

}  // namespace

BBGame* BBGame::_game = nullptr;

BBGame::BBGame() {
    _game = this;
}

template <typename Call>
void BBGame::Guarded(Call call) {
    try {
        call();
    } catch (const ThrowableObject& exception) {
        Die(exception);
    }
}

void BBGame::StartGame() {
    if (started) return;
    started = true;
    Guarded([&] { delegate_->StartGame(); });
}

void BBGame::SuspendGame() {
    if (!started || suspended) return;
    suspended = true;
    Guarded([&] { delegate_->SuspendGame(); });
}

void BBGame::ResumeGame() {
    if (!started || !suspended) return;
    suspended = false;
    Guarded([&] { delegate_->ResumeGame(); });
}

void BBGame::UpdateGame() {
    if (!started || suspended) return;
    Guarded([&] { delegate_->UpdateGame(); });
}

void BBGame::RenderGame() {
    if (!started) return;
    Guarded([&] { delegate_->RenderGame(); });
}

void BBGame::KeyEvent(int event, int data) {
    if (!started) return;
    Guarded([&] { delegate_->KeyEvent(event, data); });
}

void BBGame::MouseEvent(int event, int data, float x, float y) {
    if (!started) return;
    Guarded([&] { delegate_->MouseEvent(event, data, x, y); });
}

void BBGame::TouchEvent(int event, int data, float x, float y) {
    if (!started) return;
    Guarded([&] { delegate_->TouchEvent(event, data, x, y); });
}

void BBGame::MotionEvent(int event, int data, float x, float y, float z) {
    if (!started) return;
    Guarded([&] { delegate_->MotionEvent(event, data, x, y, z); });
}

void BBGame::DiscardGraphics() {
    if (!delegate_) return;
    Guarded([&] { delegate_->DiscardGraphics(); });
}

void BBGame::Die(const ThrowableObject&) {
    bbPrint(u"Tarvik Runtime Error : Uncaught Tarvik Exception");
    bbExitProcess(-1);
}

void BBGame::GetDate(int32_t* date, int count) {
    if (count <= 0) return;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int32_t fields[kDateFields] = {local.tm_year + 1900,
                                         local.tm_mon + 1,
                                         local.tm_mday,
                                         local.tm_hour,
                                         local.tm_min,
                                         local.tm_sec,
                                         0};
    for (int i = 0; i < count && i < kDateFields; ++i) date[i] = fields[i];
}
