// errors.cpp: console output, the runtime error report and process exit.
//
// Owns the debugger-stop protocol on standard input: a developer's debugger
// (or a test) can answer "q" to end with status 0, "r"/"s"/"e"/"l" to repeat
// the report, "?" to be asked again; anything else, or no answer, ends with
// status -1. Depends only on the C library.
#include "host/errors.h"

#include <unistd.h>  // _exit: leave without running destructors

#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kCommandLineLength = 256;  // 255 characters and the terminator

// The source position of the running code; this program never sets one.
const char* g_dbgInfo = nullptr;

void dbg_print(const char* text) {
    std::fputs(text, stderr);
    std::fputs("\n", stderr);
    std::fflush(stderr);
}

String dbg_stacktrace() {
    if (!g_dbgInfo) return String();
    return bbStringFromBytes(g_dbgInfo) + u"\n";
}

// Returns when the debugger asks to go on; otherwise ends the process.
void dbg_stop() {
    // An unset position shows as the empty text.
    std::fprintf(stderr, "{{~~%s~~}}\n", g_dbgInfo ? g_dbgInfo : "");
    dbg_print("");
    char line[kCommandLineLength];
    for (;;) {
        if (!std::fgets(line, sizeof line, stdin)) bbExitProcess(-1);
        const size_t length = std::strlen(line);
        if (length == 0 || line[length - 1] != '\n') bbExitProcess(-1);
        switch (line[0]) {
            case '?':
                continue;
            case 'r':
            case 's':
            case 'e':
            case 'l':
                return;
            case 'q':
                bbExitProcess(0);
            default:
                line[length - 1] = '\0';
                std::printf("????? %s ?????", line);
                bbExitProcess(-1);
        }
    }
}

}  // namespace

void bbPrint(const String& text) {
    const std::string bytes = bbStringToUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void bbExitProcess(int status) {
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(status);
}

void dbg_error(const char* message) {
    for (;;) {
        bbPrint(u"Tarvik Runtime Error : " + bbStringFromBytes(message));
        bbPrint(dbg_stacktrace());
        dbg_stop();
    }
}

void bbError(const String& message) {
    if (message.empty()) bbExitProcess(0);
    dbg_error(bbStringToBytes(message).c_str());
}

void sighandler(int sig) {
    const char* message = "Unknown signal";
    if (sig == SIGILL) message = "Illegal instruction";
    if (sig == SIGFPE) message = "Floating point exception";
    if (sig == SIGSEGV) message = "Memory access violation";
    dbg_error(message);
}
