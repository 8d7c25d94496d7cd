// main.cpp: quorvane-scored, the score server the game submits to.
//
// Reads its flags, opens the database, builds the scrambling table from the
// game's own keyword and game number, serves until SIGINT or SIGTERM, then
// stops the server and closes the database. The signals are blocked in every
// thread and taken synchronously by the main thread, so nothing runs inside a
// signal handler; while it waits, the main thread flushes the request log a
// few times a second, which keeps one write per request off the request path.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "framework/scramble.h"
#include "game/keyword.h"
#include "server/http.h"
#include "server/store.h"

namespace {

constexpr const char* kDefaultDatabase = "quorvane-scores.db";  // in the working folder
constexpr unsigned kMaxTimeoutSeconds = 3600;
constexpr long kLogFlushNanoseconds = 200'000'000;  // log lines reach the file within 0.2 s
constexpr size_t kLogBufferBytes = 64 * 1024;

constexpr const char* kUsage =
    "Usage: quorvane-scored [options]\n"
    "Keeps the Quorvane online scoreboard: answers GET /Scores.php?Game=...&Score=...\n"
    "\n"
    "  --address ADDR     IP address to listen on (default 127.0.0.1)\n"
    "  --port N           TCP port, 0 for any free one (default 8512)\n"
    "  --db PATH          SQLite database file (default ./quorvane-scores.db)\n"
    "  --rate-limit N     requests per client address and minute, 0 for no limit (default 60)\n"
    "  --timeout S        seconds before an idle connection is closed (default 10)\n"
    "  --help             show this text\n"
    "\n"
    "Logs one line per request to standard output; stops on SIGINT or SIGTERM.\n";

struct Flags {
    scored::ServerOptions server;
    std::string database = kDefaultDatabase;
    bool help = false;
};

std::optional<long> ParseNumber(const std::string& text, long low, long high) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || value < low || value > high) return std::nullopt;
    return value;
}

// Accepts "--name value" and "--name=value". False with a message on a bad flag.
bool ParseFlags(int argc, char** argv, Flags& flags, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        std::optional<std::string> value;
        if (const size_t eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        if (name == "--help" || name == "-h") {
            flags.help = true;
            continue;
        }
        if (name != "--address" && name != "--db" && name != "--port" && name != "--rate-limit" &&
            name != "--timeout") {
            error = "unknown option " + name;
            return false;
        }
        if (!value) {
            if (i + 1 >= argc) {
                error = name + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (name == "--address") {
            flags.server.address = *value;
        } else if (name == "--db") {
            flags.database = *value;
        } else if (name == "--port") {
            const auto port = ParseNumber(*value, 0, 65535);
            if (!port) return error = "bad port: " + *value, false;
            flags.server.port = static_cast<uint16_t>(*port);
        } else if (name == "--rate-limit") {
            const auto rate = ParseNumber(*value, 0, 1000000);
            if (!rate) return error = "bad rate limit: " + *value, false;
            flags.server.ratePerMinute = static_cast<int>(*rate);
        } else {  // --timeout
            const auto seconds = ParseNumber(*value, 1, kMaxTimeoutSeconds);
            if (!seconds) return error = "bad timeout: " + *value, false;
            flags.server.timeoutSeconds = static_cast<unsigned>(*seconds);
        }
    }
    if (flags.database.empty()) return error = "--db needs a path", false;
    return true;
}

// Blocks the stop signals in this thread and every thread started after it.
void BlockStopSignals(sigset_t& set) {
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    // A parent may have left them ignored; sigwait needs them delivered.
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    signal(SIGPIPE, SIG_IGN);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IOFBF, kLogBufferBytes);

    Flags flags;
    std::string error;
    if (!ParseFlags(argc, argv, flags, error)) {
        std::fprintf(stderr, "quorvane-scored: %s (see --help)\n", error.c_str());
        return 2;
    }
    if (flags.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }

    sigset_t stopSignals;
    BlockStopSignals(stopSignals);

    ScrambleTable table{};
    bbMakeScrambleTable(kQuorvaneKeyword, kQuorvaneGameNumber, table);

    scored::ScoreStore store;
    if (!store.Open(flags.database, error)) {
        std::fprintf(stderr, "quorvane-scored: cannot open %s: %s\n", flags.database.c_str(),
                     error.c_str());
        return 1;
    }
    scored::ScoreServer server(store, table, flags.server);
    if (!server.Start(error)) {
        std::fprintf(stderr, "quorvane-scored: %s\n", error.c_str());
        return 1;
    }
    std::printf("quorvane-scored listening on %s port %u, database %s\n",
                flags.server.address.c_str(), server.Port(), flags.database.c_str());
    std::fflush(stdout);

    const timespec flushInterval{0, kLogFlushNanoseconds};
    int caught;
    while ((caught = sigtimedwait(&stopSignals, nullptr, &flushInterval)) < 0) std::fflush(stdout);
    std::printf("quorvane-scored stopping on %s\n", strsignal(caught));
    server.Stop();
    store.Close();
    std::printf("quorvane-scored stopped\n");
    return 0;
}
