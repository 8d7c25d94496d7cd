// socket.h: BBSocket and BBSocketAddress, thin wrappers over BSD sockets (IPv4).
//
// A BBSocket owns one operating-system socket: a TCP stream socket with the
// no-delay option (protocols 1 "stream" and 2 "server") or a UDP socket
// (protocol 3 "datagram"). Its blocking calls (Connect, Send, Receive, ...)
// are made on worker threads by the asynchronous layer (async.h); Open and
// Close are made on the main thread.
//
//   BBSocket s;
//   s.Open(1);                          // TCP, no-delay, send/receive timeouts
//   s.Connect(u"example.org", 80);      // false: lookup failed or refused
//   s.Send(buffer, 0, n);               // bytes sent, negative on error
//   s.Receive(buffer, 0, 16384);        // bytes, 0 at end of stream, negative on error
//   s.Close();                          // safe while another thread is blocked on s
//
// Failure: nothing here is fatal. A host that cannot be resolved makes
// Connect fail without connecting anywhere; a send to a vanished peer returns
// a negative count (never SIGPIPE); a peer that goes silent makes the blocked
// call fail after the socket timeout.
#pragma once

#include <netinet/in.h>  // sockaddr_in

#include <atomic>
#include <memory>

#include "host/text.h"

class BBDataBuffer;

// Protocol numbers shared with c_Socket.
constexpr int kProtocolStream = 1;
constexpr int kProtocolServer = 2;
constexpr int kProtocolDatagram = 3;

// An IPv4 address and port with a cached text form.
class BBSocketAddress {
  public:
    BBSocketAddress();

    // Resolves the host (see ResolveAddress); the valid flag is cleared.
    void Set(const String& host, int port);
    void Set(const BBSocketAddress& address);
    void Set(const sockaddr_in& address);

    // Fills Host() and Port() from the address and sets the valid flag.
    void Validate();

    bool Valid() const { return valid_; }
    const String& Host() const { return host_; }
    int Port() const { return port_; }
    const sockaddr_in& Address() const { return address_; }

  private:
    sockaddr_in address_{};
    bool valid_ = false;
    String host_;
    int port_ = 0;
};

// Starts from the wildcard address 0.0.0.0 and the port in network order, then
// looks the host name up (getaddrinfo, IPv4, first address; each unit cut to 8
// bits). False when the name is empty, longer than 1023 characters, holds a
// zero unit or is not found; the address then stays the wildcard.
bool ResolveAddress(const String& host, int port, sockaddr_in& address);

class BBSocket {
  public:
    BBSocket();
    // Wraps a handle this object now owns (an accepted connection).
    BBSocket(int handle, int protocol);
    ~BBSocket();
    BBSocket(const BBSocket&) = delete;
    BBSocket& operator=(const BBSocket&) = delete;

    // Process-wide socket library start-up; nothing to do on POSIX systems.
    static void InitSockets();

    // Send and receive timeout given to sockets opened from now on; a blocked
    // call fails when the peer stays silent this long. bbInitNet restores the
    // default; tests shorten it.
    static constexpr int kDefaultTimeoutMs = 15000;  // about as long as a player waits
    static void SetTimeout(int milliseconds);

    // False if already open or the protocol is not 1, 2 or 3.
    bool Open(int protocol);
    // Shuts the socket down so that calls blocked on it return at once, and
    // releases the descriptor as soon as no call on it is in flight. The
    // handle reads -1 from here on.
    void Close();

    // Connect fails without connecting when the host does not resolve or the
    // port is outside 0..65535. Bind keeps the wildcard address.
    bool Connect(const String& host, int port);
    bool Bind(const String& host, int port);
    bool Listen(int backlog);
    bool Accept();
    // The last accepted connection as a socket of its own (once), or null.
    std::shared_ptr<BBSocket> Accepted();

    // One call on bytes offset..offset+count-1, clipped to the buffer. The
    // call's result: bytes, 0 at end of stream, negative on error.
    int Send(BBDataBuffer* data, int offset, int count);
    int Receive(BBDataBuffer* data, int offset, int count);
    int SendTo(BBDataBuffer* data, int offset, int count, const BBSocketAddress& address);
    int ReceiveFrom(BBDataBuffer* data, int offset, int count, BBSocketAddress& address);

    // Zero address when the socket is closed.
    void GetLocalAddress(BBSocketAddress& address);
    void GetRemoteAddress(BBSocketAddress& address);

    int Handle() const;
    int Protocol() const { return protocol_; }

  private:
    // Pins the descriptor for one call; -1 if the socket is closed or closing.
    int BeginUse();
    void EndUse();
    void ReleaseHandle();

    std::atomic<int> handle_{-1};
    // Calls in flight on the descriptor, plus a closing bit set by Close.
    std::atomic<int> uses_{0};
    int protocol_ = 0;
    int accepted_ = -1;
};
