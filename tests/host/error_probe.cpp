// A probe program for the runtime error tests: argv[1] picks what goes wrong.
#include <csignal>
#include <cstdio>
#include <cstring>

#include "host/errors.h"
#include "host/host.h"

namespace {

class ThrowingDelegate : public BBGameDelegate {
  public:
    void UpdateGame() override { throw ThrowableObject(); }
};

}  // namespace

void bbInit() {}
void bbMain() {}

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "";
    if (!std::strcmp(mode, "error")) bbError(u"Image frame outside surface");
    if (!std::strcmp(mode, "empty")) {
        std::printf("unflushed text");
        bbError(u"");
    }
    if (!std::strcmp(mode, "signal")) {
        std::signal(SIGSEGV, sighandler);
        std::raise(SIGSEGV);
    }
    if (!std::strcmp(mode, "throw")) {
        BBGame host;
        ThrowingDelegate delegate;
        host.SetDelegate(&delegate);
        host.StartGame();
        host.UpdateGame();
    }
    if (!std::strcmp(mode, "main")) BBTarvikGame::Main(argc, argv);
    return 3;
}
