// loopback.h: the real quorvane-scored as a child process, and a plain client.
//
// ServerProcess starts the built binary on an ephemeral port of 127.0.0.1
// with a database in a fresh folder, reads the port from its first log line
// and collects everything it writes to standard output. Stop sends a signal
// and returns the exit status. Exchange sends raw bytes over one connection
// and reads until the server closes it, the way the game's HTTP/1.0 client
// does; Get sends exactly the head the game sends. Every wait has a deadline
// so a broken server fails a test instead of hanging it.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

extern char** environ;

namespace scoredtest {

constexpr auto kDeadline = std::chrono::seconds(20);  // far beyond any healthy wait

// A fresh folder under /tmp, removed with its content at destruction.
class TempFolder {
  public:
    TempFolder() {
        char pattern[] = "/tmp/scored-test-XXXXXX";
        if (mkdtemp(pattern) != nullptr) path_ = pattern;
    }
    ~TempFolder() {
        if (!path_.empty()) std::filesystem::remove_all(path_);
    }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

class ServerProcess {
  public:
    ServerProcess() = default;
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;
    ~ServerProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (reader_.joinable()) reader_.join();
    }

    // Starts `binary --port 0 --db database` plus `extra`; true once it listens.
    bool Start(const std::string& binary, const std::string& database,
               const std::vector<std::string>& extra = {}) {
        std::vector<std::string> args = {binary, "--port", "0", "--db", database};
        args.insert(args.end(), extra.begin(), extra.end());
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);

        int out[2];
        if (pipe(out) != 0) return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addclose(&actions, out[1]);
        const int rc = posix_spawn(&pid_, binary.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        if (rc != 0) {
            pid_ = -1;
            close(out[0]);
            return false;
        }
        reader_ = std::thread([this, fd = out[0]] { ReadOutput(fd); });
        if (!WaitForLog(" port ")) return false;
        const std::string log = Log();
        port_ = static_cast<uint16_t>(std::atoi(log.c_str() + log.find(" port ") + 6));
        return port_ != 0;
    }

    // Sends `signal` and returns the exit status (-1 if it did not exit normally).
    int Stop(int signal = SIGTERM) {
        if (pid_ <= 0) return -1;
        kill(pid_, signal);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        if (reader_.joinable()) reader_.join();
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    uint16_t port() const { return port_; }

    std::string Log() {
        std::lock_guard<std::mutex> lock(mutex_);
        return log_;
    }

    // Waits until the output holds `text` `times` times.
    bool WaitForLog(std::string_view text, int times = 1) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, kDeadline, [&] {
            return Occurrences(text) >= times || ended_;
        }) && Occurrences(text) >= times;
    }

  private:
    int Occurrences(std::string_view text) const {
        int n = 0;
        for (size_t at = log_.find(text); at != std::string::npos; at = log_.find(text, at + 1))
            ++n;
        return n;
    }

    void ReadOutput(int fd) {
        char buffer[4096];
        ssize_t n;
        while ((n = read(fd, buffer, sizeof buffer)) > 0) {
            std::lock_guard<std::mutex> lock(mutex_);
            log_.append(buffer, static_cast<size_t>(n));
            changed_.notify_all();
        }
        close(fd);
        std::lock_guard<std::mutex> lock(mutex_);
        ended_ = true;
        changed_.notify_all();
    }

    pid_t pid_ = -1;
    uint16_t port_ = 0;
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string log_;
    bool ended_ = false;
};

inline int ConnectLoopback(uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Reads until the peer closes (true) or the deadline passes (false).
inline bool ReadToClose(int fd, std::string& out, std::chrono::milliseconds limit = kDeadline) {
    const auto end = std::chrono::steady_clock::now() + limit;
    char buffer[4096];
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) return true;
        out.append(buffer, static_cast<size_t>(n));
    }
}

struct HttpReply {
    int status = 0;  // 0 when no status line came back
    std::string body;
};

inline HttpReply ParseReply(const std::string& raw) {
    HttpReply reply;
    if (raw.rfind("HTTP/", 0) == 0 && raw.find(' ') != std::string::npos) {
        reply.status = std::atoi(raw.c_str() + raw.find(' ') + 1);
    }
    const size_t end = raw.find("\r\n\r\n");
    if (end != std::string::npos) reply.body = raw.substr(end + 4);
    return reply;
}

// One connection: the bytes go out, the reply comes back until the close.
inline HttpReply Exchange(uint16_t port, std::string_view request) {
    const int fd = ConnectLoopback(port);
    if (fd < 0) return {};
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    std::string raw;
    ReadToClose(fd, raw);
    close(fd);
    return ParseReply(raw);
}

// The request head exactly as the game's HTTP/1.0 client writes it.
inline HttpReply Get(uint16_t port, std::string_view target) {
    return Exchange(port, "GET " + std::string(target) + " HTTP/1.0\r\nHost: localhost\r\n\r\n");
}

}  // namespace scoredtest
