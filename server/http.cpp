// http.cpp: the libmicrohttpd daemon, its callbacks and the request log.
//
// Owns the daemon. Each request gets a Request record when libmicrohttpd
// first sees its target (the URI log callback, which sees the raw target
// before any unescaping); the access handler answers it at once, and the
// completion callback writes its log line and frees it. Depends on
// libmicrohttpd, the store, the submission decoder and the rate limiter.
#include "server/http.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "server/reply.h"

namespace scored {

namespace {

// ---- constants ----

constexpr unsigned kPoolThreads = 2;                // one per core of the target machine
constexpr unsigned kMaxConnections = 512;           // in all, well below the descriptor limit
constexpr unsigned kMaxConnectionsPerAddress = 64;  // one address cannot take them all
constexpr size_t kConnectionMemory = 8 * 1024;      // request line, headers and reply buffer
constexpr size_t kMaxLoggedPath = 64;               // characters of the path in a log line
constexpr std::string_view kScorePath = "/Scores.php";

using Clock = std::chrono::steady_clock;

// ---- internal helpers ----

std::string AddressText(const sockaddr* address) {
    char text[INET6_ADDRSTRLEN] = "?";
    if (address == nullptr) return text;
    if (address->sa_family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text,
                  sizeof text);
    } else if (address->sa_family == AF_INET6) {
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, text,
                  sizeof text);
    }
    return text;
}

const sockaddr* ClientAddress(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    return info ? info->client_addr : nullptr;
}

// Printable text for the log: at most `limit` characters, others as "?".
std::string LogSafe(std::string_view text, size_t limit) {
    if (text.empty()) return "-";
    std::string out(text.substr(0, limit));
    for (char& c : out) {
        if (c < 33 || c > 126) c = '?';
    }
    if (text.size() > limit) out += "...";
    return out;
}

std::string UtcTimestamp() {
    const time_t now = time(nullptr);
    struct tm t {};
    gmtime_r(&now, &t);
    char text[32];
    strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &t);
    return text;
}

const char* TerminationWord(MHD_RequestTerminationCode code) {
    switch (code) {
        case MHD_REQUEST_TERMINATED_COMPLETED_OK:
            return "sent";
        case MHD_REQUEST_TERMINATED_TIMEOUT_REACHED:
            return "timeout";
        case MHD_REQUEST_TERMINATED_DAEMON_SHUTDOWN:
            return "shutdown";
        case MHD_REQUEST_TERMINATED_CLIENT_ABORT:
            return "client-closed";
        default:
            return "error";
    }
}

void LogToStderr(void*, const char* format, va_list args) {
    std::fputs("quorvane-scored: ", stderr);
    std::vfprintf(stderr, format, args);
}

}  // namespace

// ---- the per-request record ----

struct ScoreServer::Request {
    Clock::time_point start = Clock::now();
    std::string client;
    std::string method;
    std::string target;  // the raw path and query, cut at kMaxTargetLength + 1
    bool answered = false;
    unsigned status = 0;
    std::string outcome;
};

namespace {

ScoreServer::Request* NewRequest(const char* uri, MHD_Connection* connection) {
    auto* request = new ScoreServer::Request;
    request->client = AddressText(ClientAddress(connection));
    if (uri != nullptr) request->target.assign(uri, strnlen(uri, kMaxTargetLength + 1));
    return request;
}

void* OnTarget(void*, const char* uri, MHD_Connection* connection) {
    return NewRequest(uri, connection);
}

bool HasBody(MHD_Connection* connection, size_t uploadSize) {
    if (uploadSize != 0) return true;
    if (MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Transfer-Encoding")) return true;
    const char* length =
        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
    return length != nullptr && std::strcmp(length, "0") != 0;
}

MHD_Result Reply(MHD_Connection* connection, const ScoreServer::Answer& answer) {
    MHD_Response* response = MHD_create_response_from_buffer(
        answer.body.size(), const_cast<char*>(answer.body.data()), MHD_RESPMEM_MUST_COPY);
    if (response == nullptr) return MHD_NO;
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, "text/plain; charset=us-ascii");
    MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, "no-store");
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONNECTION, "close");
    const MHD_Result result = MHD_queue_response(connection, answer.status, response);
    MHD_destroy_response(response);
    return result;
}

MHD_Result OnRequest(void* cls, MHD_Connection* connection, const char*, const char* method,
                     const char*, const char*, size_t* uploadSize, void** context) {
    auto* server = static_cast<ScoreServer*>(cls);
    auto* request = static_cast<ScoreServer::Request*>(*context);
    if (request == nullptr) {
        // Only when the target callback did not run; the target is then unknown.
        request = NewRequest(nullptr, connection);
        *context = request;
    }
    if (request->answered) {
        *uploadSize = 0;  // a body after the answer is discarded unread
        return MHD_YES;
    }
    request->method = method ? method : "";
    ScoreServer::Answer answer;
    if (!server->limiter().Allow(ClientAddress(connection), Clock::now())) {
        answer = {MHD_HTTP_TOO_MANY_REQUESTS, FormatRefusal("too many requests"), "rate-limited"};
    } else {
        answer = server->Handle(*request, method, HasBody(connection, *uploadSize));
    }
    *uploadSize = 0;
    request->answered = true;
    request->status = answer.status;
    request->outcome = std::move(answer.outcome);
    return Reply(connection, answer);
}

void OnCompleted(void*, MHD_Connection*, void** context, MHD_RequestTerminationCode code) {
    auto* request = static_cast<ScoreServer::Request*>(*context);
    *context = nullptr;
    if (request == nullptr) return;
    const double ms =
        std::chrono::duration<double, std::milli>(Clock::now() - request->start).count();
    const std::string_view target = request->target;
    char line[512];
    std::snprintf(line, sizeof line, "%s %s %s %s %u %s %.2fms %s\n", UtcTimestamp().c_str(),
                  request->client.c_str(), LogSafe(request->method, 16).c_str(),
                  LogSafe(target.substr(0, target.find('?')), kMaxLoggedPath).c_str(),
                  request->status, TerminationWord(code), ms,
                  request->answered ? request->outcome.c_str() : "unanswered");
    std::fputs(line, stdout);
    delete request;
}

}  // namespace

// ---- public operations ----

ScoreServer::ScoreServer(ScoreStore& store, const ScrambleTable& table,
                         const ServerOptions& options)
    : store_(store), table_(table), options_(options), limiter_(options.ratePerMinute) {}

ScoreServer::~ScoreServer() {
    Stop();
}

bool ScoreServer::Start(std::string& error) {
    sockaddr_in v4{};
    sockaddr_in6 v6{};
    const sockaddr* address = nullptr;
    unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | MHD_USE_ERROR_LOG;
    if (inet_pton(AF_INET, options_.address.c_str(), &v4.sin_addr) == 1) {
        v4.sin_family = AF_INET;
        v4.sin_port = htons(options_.port);
        address = reinterpret_cast<const sockaddr*>(&v4);
    } else if (inet_pton(AF_INET6, options_.address.c_str(), &v6.sin6_addr) == 1) {
        v6.sin6_family = AF_INET6;
        v6.sin6_port = htons(options_.port);
        address = reinterpret_cast<const sockaddr*>(&v6);
        flags |= MHD_USE_IPv6;
    } else {
        error = "not an IP address: " + options_.address;
        return false;
    }
    daemon_ = MHD_start_daemon(
        flags, options_.port, nullptr, nullptr, &OnRequest, this, MHD_OPTION_EXTERNAL_LOGGER,
        &LogToStderr, nullptr, MHD_OPTION_SOCK_ADDR, address, MHD_OPTION_THREAD_POOL_SIZE,
        kPoolThreads, MHD_OPTION_CONNECTION_LIMIT, kMaxConnections,
        MHD_OPTION_PER_IP_CONNECTION_LIMIT, kMaxConnectionsPerAddress,
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, kConnectionMemory, MHD_OPTION_CONNECTION_TIMEOUT,
        options_.timeoutSeconds, MHD_OPTION_STRICT_FOR_CLIENT, 1, MHD_OPTION_URI_LOG_CALLBACK,
        &OnTarget, nullptr, MHD_OPTION_NOTIFY_COMPLETED, &OnCompleted, nullptr, MHD_OPTION_END);
    if (daemon_ == nullptr) {
        error = "cannot listen on " + options_.address + " port " + std::to_string(options_.port);
        return false;
    }
    const MHD_DaemonInfo* info = MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_BIND_PORT);
    port_ = info ? info->port : options_.port;
    return true;
}

void ScoreServer::Stop() {
    if (daemon_ == nullptr) return;
    MHD_stop_daemon(daemon_);
    daemon_ = nullptr;
}

ScoreServer::Answer ScoreServer::Handle(Request& request, const char* method, bool hasBody) {
    if (method == nullptr || std::strcmp(method, MHD_HTTP_METHOD_GET) != 0) {
        return {MHD_HTTP_METHOD_NOT_ALLOWED, FormatRefusal("only GET"), "refused: method"};
    }
    if (hasBody) return {MHD_HTTP_BAD_REQUEST, FormatRefusal("a body"), "refused: body"};
    if (request.target.size() > kMaxTargetLength) {
        return {MHD_HTTP_URI_TOO_LONG, FormatRefusal("request too long"), "refused: too long"};
    }
    const size_t mark = request.target.find('?');
    if (std::string_view(request.target).substr(0, mark) != kScorePath) {
        return {MHD_HTTP_NOT_FOUND, FormatRefusal("not found"), "not-found"};
    }
    return HandleQuery(mark == std::string::npos ? "" : request.target.substr(mark + 1));
}

ScoreServer::Answer ScoreServer::HandleQuery(const std::string& query) {
    const Verdict verdict = DecodeSubmission(query, table_);
    if (!verdict.ok()) {
        return {MHD_HTTP_BAD_REQUEST, FormatRefusal(verdict.refusal),
                "refused: " + verdict.refusal};
    }
    const int64_t now = time(nullptr);
    Boards boards;
    if (!store_.Record(verdict.submission, now, boards)) {
        return {MHD_HTTP_SERVICE_UNAVAILABLE, FormatRefusal("busy, try again later"),
                "refused: store busy"};
    }
    return {MHD_HTTP_OK, FormatBoardReply(boards, now), "stored " + verdict.submission.userId};
}

}  // namespace scored
