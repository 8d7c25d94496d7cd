// http.h: the HTTP side of the score server, on GNU libmicrohttpd.
//
// Serves one resource, GET /Scores.php?Game=NNNN&Score=PAYLOAD. An accepted
// submission is stored and answered with the boards; anything else gets a
// short plain-text refusal and a status code (400, 404, 405, 414, 429, 503)
// and stores nothing. Every response closes its connection, as the game's
// HTTP/1.0 client expects.
//
//   ScoreServer server(store, table, options);
//   if (!server.Start(error)) ...
//   server.Port();   // the bound port (useful with port 0)
//   ... server.Stop();
//
// Defences: libmicrohttpd's limits on connections (in all and per address),
// per-connection memory (which bounds the request line and headers) and idle
// time; a length limit on the request target; a per-address request budget
// keyed on the socket's address; requests with a body are refused unread.
// Requests run on a small pool of threads and are answered from the store's
// in-memory boards; the store commits to disk on a thread of its own.
// One line per finished request goes to standard output.
#pragma once

#include <cstdint>
#include <string>

#include "framework/scramble.h"
#include "server/ratelimit.h"
#include "server/store.h"

struct MHD_Daemon;

namespace scored {

constexpr uint16_t kDefaultPort = 8512;
constexpr const char* kDefaultAddress = "127.0.0.1";
constexpr unsigned kDefaultTimeoutSeconds = 10;  // an idle connection is closed after this
constexpr int kDefaultRatePerMinute = 60;        // requests per address and minute
constexpr size_t kMaxTargetLength = 1024;        // path and query; a real request needs < 600

struct ServerOptions {
    std::string address = kDefaultAddress;  // IPv4 or IPv6 text form
    uint16_t port = kDefaultPort;           // 0 picks a free port
    unsigned timeoutSeconds = kDefaultTimeoutSeconds;
    int ratePerMinute = kDefaultRatePerMinute;  // 0: no limit
};

class ScoreServer {
  public:
    ScoreServer(ScoreStore& store, const ScrambleTable& table, const ServerOptions& options);
    ScoreServer(const ScoreServer&) = delete;
    ScoreServer& operator=(const ScoreServer&) = delete;
    ~ScoreServer();

    // Binds and starts serving on libmicrohttpd's threads; false with a message.
    bool Start(std::string& error);
    // Stops accepting, finishes or closes open connections, joins the threads.
    void Stop();
    uint16_t Port() const { return port_; }

    // The work of one request once it is known to be a GET of the score
    // resource with this query: the status code and the reply text.
    struct Answer {
        unsigned status;
        std::string body;
        std::string outcome;  // for the log line
    };
    Answer HandleQuery(const std::string& query);

    // Callbacks for libmicrohttpd (public only so the C callbacks can reach them).
    struct Request;
    Answer Handle(Request& request, const char* method, bool hasBody);
    RateLimiter& limiter() { return limiter_; }

  private:
    ScoreStore& store_;
    const ScrambleTable table_;
    const ServerOptions options_;
    RateLimiter limiter_;
    MHD_Daemon* daemon_ = nullptr;
    uint16_t port_ = 0;
};

}  // namespace scored
