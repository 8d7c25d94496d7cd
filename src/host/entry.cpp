// entry.cpp: the process entry: GLFW start-up, program set-up, the loop.
//
// Owns BBTarvikGame::Main, bb_std_main, the GLFW error callback and the stored
// command line (kept, never read). The program object itself comes from
// bbInit and bbMain, which the game provides.
#include <GLFW/glfw3.h>

#include <clocale>
#include <csignal>
#include <cstdio>

#include "host/errors.h"
#include "host/host.h"

namespace {

int g_argc = 0;
char** g_argv = nullptr;

void onGlfwError(int error, const char* description) {
    std::printf("GLFW Error: err=%i, msg=%s\n", error, description ? description : "");
    std::fflush(stdout);
}

}  // namespace

int bb_std_main(int argc, char** argv) {
    g_argc = argc;
    g_argv = argv;
    std::signal(SIGSEGV, sighandler);
    std::signal(SIGILL, sighandler);
    std::signal(SIGFPE, sighandler);
    if (!std::setlocale(LC_CTYPE, "en_US.UTF-8")) std::setlocale(LC_CTYPE, "");
    bbInit();
    bbMain();
    return 0;
}

void BBTarvikGame::Main(int argc, char** argv) {
    glfwSetErrorCallback(onGlfwError);
    if (!glfwInit()) {
        std::puts("glfwInit failed");
        bbExitProcess(-1);
    }
    BBTarvikGame* game = new BBTarvikGame();  // lives until the process ends
    try {
        bb_std_main(argc, argv);
        if (game->Delegate()) game->Run();
        glfwTerminate();
    } catch (const ThrowableObject& exception) {
        glfwTerminate();
        game->Die(exception);
    }
}
