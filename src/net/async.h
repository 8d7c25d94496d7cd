// async.h: asynchronous sockets whose blocking calls run on worker threads.
//
// A c_Socket owns a BBSocket and two operation queues: the read queue runs
// connects and receives, the write queue sends. Each queue is a lock-free
// single-producer, single-consumer ring served by a worker thread that is
// started when work arrives and ends when the ring is drained. Results come
// back on the main thread: the game calls bb_asyncevent_UpdateAsyncEvents once
// per update, which completes every finished operation by calling its
// callback.
//
//   auto socket = c_Socket::m_new(u"stream");         // registered as a source
//   socket->p_ConnectAsync(u"example.org", 80, self); // callback on a later update
//   ... in p_OnConnectComplete: socket->p_SendAsync(buffer, 0, n, self);
//   bb_asyncevent_UpdateAsyncEvents();                // once per update
//
// Calls that the socket's state does not allow (send or receive before a
// connect succeeded, connect on a connected socket) do nothing and never call
// back. Network failures reach the callbacks as connected = false or a zero
// or negative count. Runtime errors: "Illegal socket protocol", "Socket open
// failed", "Async event source is already active", "AsyncQueue queue
// overflow!" (more than 255 operations outstanding on one queue).
//
// A caller must not touch a buffer while an operation on it is queued.
#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <vector>

#include "host/text.h"
#include "net/databuffer.h"
#include "net/socket.h"
#include "net/thread.h"

class c_Socket;

// ---------------------------------------------------------------------------
// Interfaces

class c_IAsyncEventSource {
  public:
    virtual ~c_IAsyncEventSource() = default;
    virtual void p_UpdateAsyncEvents() = 0;
};

class c_IOnConnectComplete {
  public:
    virtual ~c_IOnConnectComplete() = default;
    virtual void p_OnConnectComplete(bool connected, const std::shared_ptr<c_Socket>& source) = 0;
};

class c_IOnSendComplete {
  public:
    virtual ~c_IOnSendComplete() = default;
    virtual void p_OnSendComplete(const std::shared_ptr<c_DataBuffer>& data, int offset, int count,
                                  const std::shared_ptr<c_Socket>& source) = 0;
};

class c_IOnReceiveComplete {
  public:
    virtual ~c_IOnReceiveComplete() = default;
    virtual void p_OnReceiveComplete(const std::shared_ptr<c_DataBuffer>& data, int offset,
                                     int count, const std::shared_ptr<c_Socket>& source) = 0;
};

// ---------------------------------------------------------------------------
// Operations

// One queued piece of work: executed on the worker, completed on the main
// thread. Execution touches only the operation's own socket and buffer.
class c_AsyncOp {
  public:
    virtual ~c_AsyncOp() = default;
    virtual void p_Complete(const std::shared_ptr<c_Socket>& source) = 0;
    virtual void p_Execute__UNSAFE__(const std::shared_ptr<c_Socket>& source) = 0;
};

class c_AsyncConnectOp : public c_AsyncOp {
  public:
    c_AsyncConnectOp(std::shared_ptr<BBSocket> socket, const String& host, int port,
                     std::shared_ptr<c_IOnConnectComplete> callback);
    void p_Complete(const std::shared_ptr<c_Socket>& source) override;
    void p_Execute__UNSAFE__(const std::shared_ptr<c_Socket>& source) override;

    std::shared_ptr<BBSocket> m_socket;
    String m_host;
    int m_port;
    std::shared_ptr<c_IOnConnectComplete> m_callback;
    bool m_connected = false;  // written by the worker
};

// A send or receive on a buffer range; m_count holds the call's result once
// executed.
class c_AsyncSocketIoOp : public c_AsyncOp {
  public:
    c_AsyncSocketIoOp(std::shared_ptr<BBSocket> socket, std::shared_ptr<c_DataBuffer> buffer,
                      int offset, int count);

    std::shared_ptr<BBSocket> m_socket;
    std::shared_ptr<c_DataBuffer> m_buffer;
    int m_offset;
    int m_count;
};

class c_AsyncSendOp : public c_AsyncSocketIoOp {
  public:
    c_AsyncSendOp(std::shared_ptr<BBSocket> socket, std::shared_ptr<c_DataBuffer> buffer,
                  int offset, int count, std::shared_ptr<c_IOnSendComplete> callback);
    void p_Complete(const std::shared_ptr<c_Socket>& source) override;
    void p_Execute__UNSAFE__(const std::shared_ptr<c_Socket>& source) override;

    std::shared_ptr<c_IOnSendComplete> m_callback;
};

class c_AsyncReceiveOp : public c_AsyncSocketIoOp {
  public:
    c_AsyncReceiveOp(std::shared_ptr<BBSocket> socket, std::shared_ptr<c_DataBuffer> buffer,
                     int offset, int count, std::shared_ptr<c_IOnReceiveComplete> callback);
    void p_Complete(const std::shared_ptr<c_Socket>& source) override;
    void p_Execute__UNSAFE__(const std::shared_ptr<c_Socket>& source) override;

    std::shared_ptr<c_IOnReceiveComplete> m_callback;
};

// ---------------------------------------------------------------------------
// The queue

// Ring of operations for one socket. The main thread writes the put and
// complete cursors, the worker the execute cursor; each side publishes with a
// release store and reads the other's cursor with an acquire load, so a slot
// is filled before the worker sees it and a result is written before the main
// thread reads it.
class c_AsyncQueue : public c_Thread, public c_IAsyncEventSource {
  public:
    static constexpr int kSlots = 256;  // at most kSlots - 1 outstanding

    c_AsyncQueue* m_new(const std::shared_ptr<c_Socket>& socket);
    // Main thread: queue an operation and make sure a worker runs.
    void p_Enqueue(std::shared_ptr<c_AsyncOp> op);
    // Main thread: restart a worker for stranded work, then complete every
    // executed operation in order.
    void p_UpdateAsyncEvents() override;
    // Worker: execute queued operations until the ring is drained.
    void Run__UNSAFE__() override;

  protected:
    std::shared_ptr<void> KeepAlive() override { return socket_.lock(); }

  private:
    std::weak_ptr<c_Socket> socket_;  // the socket owns its queues
    std::array<std::shared_ptr<c_AsyncOp>, kSlots> slots_;
    std::atomic<int> put_{0};
    std::atomic<int> complete_{0};
    std::atomic<int> execute_{0};
};

// ---------------------------------------------------------------------------
// The asynchronous socket

class c_Socket : public c_IAsyncEventSource, public std::enable_shared_from_this<c_Socket> {
  public:
    // State flags.
    static constexpr int kOpen = 1;
    static constexpr int kConnectedBits = 2 | 4;  // both set by a successful connect
    static constexpr int kConnected = 4;
    static constexpr int kListening = 8;

    // "stream", "server" or "datagram"; opened and started.
    static std::shared_ptr<c_Socket> m_new(const String& protocol);
    // Wraps an existing socket with the given protocol and state, started.
    static std::shared_ptr<c_Socket> m_new2(std::shared_ptr<BBSocket> socket, int protocol,
                                            int state);

    // Creates both queues and registers this socket as an event source.
    void p_Start();
    void p_ConnectAsync(const String& host, int port,
                        std::shared_ptr<c_IOnConnectComplete> callback);
    void p_SendAsync(std::shared_ptr<c_DataBuffer> data, int offset, int count,
                     std::shared_ptr<c_IOnSendComplete> callback);
    void p_ReceiveAsync(std::shared_ptr<c_DataBuffer> data, int offset, int count,
                        std::shared_ptr<c_IOnReceiveComplete> callback);
    // Closes the socket (operations in flight return) and clears the state.
    void p_Close();
    bool p_IsOpen() const { return (m_state & kOpen) != 0; }
    bool p_IsConnected() const { return (m_state & kConnected) != 0; }
    bool p_IsListening() const { return (m_state & kListening) != 0; }
    void p_UpdateAsyncEvents() override;

    std::shared_ptr<BBSocket> m_socket;
    int m_protocol = 0;
    int m_state = 0;
    std::shared_ptr<c_AsyncQueue> m_readQueue;
    std::shared_ptr<c_AsyncQueue> m_writeQueue;
};

// ---------------------------------------------------------------------------
// Event sources

// Every started socket, for the rest of the run.
extern std::vector<std::shared_ptr<c_IAsyncEventSource>> bb_asyncevent__sources;
// The source being updated, or null.
extern c_IAsyncEventSource* bb_asyncevent__current;

// Runtime error "Async event source is already active" if already listed.
void bb_asyncevent_AddAsyncEventSource(std::shared_ptr<c_IAsyncEventSource> source);
// Updates every source in order; returns at once when called from inside an
// update (a completion callback).
void bb_asyncevent_UpdateAsyncEvents();
