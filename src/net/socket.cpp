// socket.cpp: BBSocket and BBSocketAddress over BSD sockets, IPv4 only.
//
// Owns the socket timeout setting and name resolution. A socket's descriptor
// is pinned by every call in flight, so Close (main thread) can shut it down
// while a worker is blocked on it and the descriptor is released by whichever
// side finishes last; a released number is never used again by this object.
// Depends on net/databuffer.h for the bytes moved.
#include "net/socket.h"

#include <netdb.h>        // getaddrinfo: thread-safe, workers may resolve at once
#include <netinet/tcp.h>  // TCP_NODELAY
#include <sys/socket.h>   // send with MSG_NOSIGNAL
#include <sys/time.h>     // timeval for SO_RCVTIMEO / SO_SNDTIMEO
#include <unistd.h>       // close

#include <algorithm>
#include <cstring>
#include <string>

#include "net/databuffer.h"

namespace {

constexpr size_t kMaxHostLength = 1023;  // longer host names are not looked up
constexpr int kClosing = 1 << 30;        // bit of BBSocket::uses_ set by Close
constexpr int kMaxPort = 65535;

int g_timeoutMs = BBSocket::kDefaultTimeoutMs;

sockaddr_in WildcardAddress(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    return address;
}

void SetTimeouts(int fd, int milliseconds) {
    timeval limit{};
    limit.tv_sec = milliseconds / 1000;
    limit.tv_usec = (milliseconds % 1000) * 1000;
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

// Bytes of a buffer range that a send or receive may touch; 0 when the range
// starts outside the buffer.
int ClipToBuffer(const BBDataBuffer* data, int offset, int count) {
    if (!data || offset < 0 || offset > data->Length() || count <= 0) return 0;
    return std::min(count, data->Length() - offset);
}

}  // namespace

// ---------------------------------------------------------------------------
// Name resolution and addresses

bool ResolveAddress(const String& host, int port, sockaddr_in& address) {
    address = WildcardAddress(port);
    if (host.empty() || host.size() > kMaxHostLength) return false;
    const std::string name = bbStringToBytes(host);
    if (name.find('\0') != std::string::npos) return false;

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;  // one entry per address, not one per socket type
    addrinfo* found = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
    bool resolved = false;
    for (const addrinfo* entry = found; entry; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || entry->ai_addrlen < sizeof(sockaddr_in)) continue;
        address.sin_addr = reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr;
        resolved = true;
        break;
    }
    freeaddrinfo(found);
    return resolved;
}

BBSocketAddress::BBSocketAddress() {
    BBSocket::InitSockets();
    address_ = WildcardAddress(0);
}

void BBSocketAddress::Set(const String& host, int port) {
    ResolveAddress(host, port, address_);
    valid_ = false;
}

void BBSocketAddress::Set(const BBSocketAddress& address) {
    address_ = address.address_;
    valid_ = false;
}

void BBSocketAddress::Set(const sockaddr_in& address) {
    address_ = address;
    valid_ = false;
}

void BBSocketAddress::Validate() {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&address_.sin_addr.s_addr);
    String host;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) host += u".";
        host += bbStringFromInt(bytes[i]);
    }
    host_ = host;
    port_ = ntohs(address_.sin_port);
    valid_ = true;
}

// ---------------------------------------------------------------------------
// Sockets

void BBSocket::InitSockets() {}

void BBSocket::SetTimeout(int milliseconds) {
    g_timeoutMs = std::max(milliseconds, 1);
}

BBSocket::BBSocket() {
    InitSockets();
}

BBSocket::BBSocket(int handle, int protocol) : handle_(handle), protocol_(protocol) {
    InitSockets();
}

BBSocket::~BBSocket() {
    ReleaseHandle();
    if (accepted_ >= 0) ::close(accepted_);
}

int BBSocket::Handle() const {
    if (uses_.load(std::memory_order_acquire) & kClosing) return -1;
    return handle_.load(std::memory_order_acquire);
}

int BBSocket::BeginUse() {
    const int before = uses_.fetch_add(1, std::memory_order_acq_rel);
    const int fd = handle_.load(std::memory_order_acquire);
    if ((before & kClosing) || fd < 0) {
        EndUse();
        return -1;
    }
    return fd;
}

void BBSocket::EndUse() {
    const int after = uses_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (after == kClosing) ReleaseHandle();
}

void BBSocket::ReleaseHandle() {
    const int fd = handle_.exchange(-1, std::memory_order_acq_rel);
    if (fd >= 0) ::close(fd);
}

bool BBSocket::Open(int protocol) {
    if (Handle() >= 0 || protocol <= 0 || protocol > kProtocolDatagram) return false;
    // Reopening needs every call on the old descriptor to have finished.
    int idle = uses_.load(std::memory_order_acquire);
    if (idle != 0 && idle != kClosing) return false;
    if (!uses_.compare_exchange_strong(idle, 0, std::memory_order_acq_rel)) return false;
    int fd = -1;
    if (protocol == kProtocolStream || protocol == kProtocolServer) {
        fd = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (fd >= 0) {
            const int on = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        }
    } else {
        fd = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    }
    if (fd < 0) return false;
    SetTimeouts(fd, g_timeoutMs);
    handle_.store(fd, std::memory_order_release);
    protocol_ = protocol;
    return true;
}

void BBSocket::Close() {
    const int fd = BeginUse();
    if (fd < 0) return;
    uses_.fetch_or(kClosing, std::memory_order_acq_rel);
    // Wakes calls blocked in connect, send or receive; they fail or read 0.
    ::shutdown(fd, SHUT_RDWR);
    EndUse();
}

bool BBSocket::Connect(const String& host, int port) {
    sockaddr_in address{};
    if (port < 0 || port > kMaxPort || !ResolveAddress(host, port, address)) return false;
    const int fd = BeginUse();
    if (fd < 0) return false;
    const int result = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    EndUse();
    return result >= 0;
}

bool BBSocket::Bind(const String& host, int port) {
    sockaddr_in address{};
    ResolveAddress(host, port, address);
    const int fd = BeginUse();
    if (fd < 0) return false;
    const int result = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    EndUse();
    return result >= 0;
}

bool BBSocket::Listen(int backlog) {
    const int fd = BeginUse();
    if (fd < 0) return false;
    const int result = ::listen(fd, backlog);
    EndUse();
    return result >= 0;
}

bool BBSocket::Accept() {
    const int fd = BeginUse();
    if (fd < 0) return false;
    const int accepted = ::accept(fd, nullptr, nullptr);
    EndUse();
    if (accepted_ >= 0) ::close(accepted_);  // never wrapped: ours to release
    accepted_ = accepted;
    return accepted >= 0;
}

std::shared_ptr<BBSocket> BBSocket::Accepted() {
    if (accepted_ < 0) return nullptr;
    auto socket = std::make_shared<BBSocket>(accepted_, protocol_);
    accepted_ = -1;
    return socket;
}

int BBSocket::Send(BBDataBuffer* data, int offset, int count) {
    const int n = ClipToBuffer(data, offset, count);
    const int fd = BeginUse();
    if (fd < 0) return -1;
    const ssize_t result = ::send(fd, n > 0 ? data->Data() + offset : nullptr, n, MSG_NOSIGNAL);
    EndUse();
    return static_cast<int>(result);
}

int BBSocket::Receive(BBDataBuffer* data, int offset, int count) {
    const int n = ClipToBuffer(data, offset, count);
    const int fd = BeginUse();
    if (fd < 0) return -1;
    const ssize_t result = ::recv(fd, n > 0 ? data->Data() + offset : nullptr, n, 0);
    EndUse();
    return static_cast<int>(result);
}

int BBSocket::SendTo(BBDataBuffer* data, int offset, int count, const BBSocketAddress& address) {
    const int n = ClipToBuffer(data, offset, count);
    const int fd = BeginUse();
    if (fd < 0) return -1;
    const sockaddr_in& to = address.Address();
    const ssize_t result = ::sendto(fd, n > 0 ? data->Data() + offset : nullptr, n, MSG_NOSIGNAL,
                                    reinterpret_cast<const sockaddr*>(&to), sizeof to);
    EndUse();
    return static_cast<int>(result);
}

int BBSocket::ReceiveFrom(BBDataBuffer* data, int offset, int count, BBSocketAddress& address) {
    const int n = ClipToBuffer(data, offset, count);
    const int fd = BeginUse();
    if (fd < 0) return -1;
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const ssize_t result = ::recvfrom(fd, n > 0 ? data->Data() + offset : nullptr, n, 0,
                                      reinterpret_cast<sockaddr*>(&from), &length);
    EndUse();
    if (result >= 0) {
        address.Set(from);
        address.Validate();
    }
    return static_cast<int>(result);
}

void BBSocket::GetLocalAddress(BBSocketAddress& address) {
    sockaddr_in local = WildcardAddress(0);
    const int fd = BeginUse();
    if (fd >= 0) {
        socklen_t length = sizeof local;
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) < 0)
            local = WildcardAddress(0);
        EndUse();
    }
    address.Set(local);
    address.Validate();
}

void BBSocket::GetRemoteAddress(BBSocketAddress& address) {
    sockaddr_in remote = WildcardAddress(0);
    const int fd = BeginUse();
    if (fd >= 0) {
        socklen_t length = sizeof remote;
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&remote), &length) < 0)
            remote = WildcardAddress(0);
        EndUse();
    }
    address.Set(remote);
    address.Validate();
}
