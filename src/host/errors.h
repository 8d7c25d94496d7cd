// errors.h: console output and the runtime error report.
//
// bbPrint writes a line to standard output. bbError ends the program: with an
// empty message at once with status 0 (the normal way out), otherwise with the
// runtime error report "Tarvik Runtime Error : <message>", which then asks a
// debugger on standard input what to do (none attached: exit status -1).
#pragma once

#include "host/text.h"

// Writes the text as UTF-8 (each unit on its own) and a newline; flushes.
void bbPrint(const String& text);

// Ends the program; see above. Never returns.
[[noreturn]] void bbError(const String& message);

// The runtime error report: message, stack trace, debugger stop; repeated while
// the debugger asks to continue. Never returns.
[[noreturn]] void dbg_error(const char* message);

// Handler for SIGSEGV, SIGILL and SIGFPE.
void sighandler(int sig);

// Ends the process with `status` without running destructors of live devices,
// threads or GL/AL objects: standard output and error are flushed first.
[[noreturn]] void bbExitProcess(int status);
