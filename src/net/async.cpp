// async.cpp: operation queues, the connect/send/receive operations, c_Socket
// and the event-source loop.
//
// Owns bb_asyncevent__sources and bb_asyncevent__current. Worker threads only
// run p_Execute__UNSAFE__ of queued operations and advance their queue's
// execute cursor; everything else runs on the main thread. Depends on
// net/socket.h (blocking calls), net/thread.h (workers), host/errors.h.
#include "net/async.h"

#include <algorithm>

#include "host/errors.h"

// ---------------------------------------------------------------------------
// Globals

std::vector<std::shared_ptr<c_IAsyncEventSource>> bb_asyncevent__sources;
c_IAsyncEventSource* bb_asyncevent__current = nullptr;

// ---------------------------------------------------------------------------
// Internal helpers

namespace {

int NextSlot(int cursor) {
    return (cursor + 1) % c_AsyncQueue::kSlots;
}

int ParseProtocol(const String& protocol) {
    if (protocol == u"stream") return kProtocolStream;
    if (protocol == u"server") return kProtocolServer;
    if (protocol == u"datagram") return kProtocolDatagram;
    bbError(u"Illegal socket protocol");
}

}  // namespace

// ---------------------------------------------------------------------------
// Operations

c_AsyncConnectOp::c_AsyncConnectOp(std::shared_ptr<BBSocket> socket, const String& host, int port,
                                   std::shared_ptr<c_IOnConnectComplete> callback)
    : m_socket(std::move(socket)), m_host(host), m_port(port), m_callback(std::move(callback)) {}

void c_AsyncConnectOp::p_Execute__UNSAFE__(const std::shared_ptr<c_Socket>& /*source*/) {
    m_connected = m_socket->Connect(m_host, m_port);
}

void c_AsyncConnectOp::p_Complete(const std::shared_ptr<c_Socket>& source) {
    // A socket closed while the connect was running stays closed.
    if (m_connected && source && source->p_IsOpen()) source->m_state |= c_Socket::kConnectedBits;
    if (m_callback) m_callback->p_OnConnectComplete(m_connected, source);
}

c_AsyncSocketIoOp::c_AsyncSocketIoOp(std::shared_ptr<BBSocket> socket,
                                     std::shared_ptr<c_DataBuffer> buffer, int offset, int count)
    : m_socket(std::move(socket)), m_buffer(std::move(buffer)), m_offset(offset), m_count(count) {}

c_AsyncSendOp::c_AsyncSendOp(std::shared_ptr<BBSocket> socket, std::shared_ptr<c_DataBuffer> buffer,
                             int offset, int count, std::shared_ptr<c_IOnSendComplete> callback)
    : c_AsyncSocketIoOp(std::move(socket), std::move(buffer), offset, count),
      m_callback(std::move(callback)) {}

void c_AsyncSendOp::p_Execute__UNSAFE__(const std::shared_ptr<c_Socket>& /*source*/) {
    m_count = m_socket->Send(m_buffer.get(), m_offset, m_count);
}

void c_AsyncSendOp::p_Complete(const std::shared_ptr<c_Socket>& source) {
    if (m_callback) m_callback->p_OnSendComplete(m_buffer, m_offset, m_count, source);
}

c_AsyncReceiveOp::c_AsyncReceiveOp(std::shared_ptr<BBSocket> socket,
                                   std::shared_ptr<c_DataBuffer> buffer, int offset, int count,
                                   std::shared_ptr<c_IOnReceiveComplete> callback)
    : c_AsyncSocketIoOp(std::move(socket), std::move(buffer), offset, count),
      m_callback(std::move(callback)) {}

void c_AsyncReceiveOp::p_Execute__UNSAFE__(const std::shared_ptr<c_Socket>& /*source*/) {
    m_count = m_socket->Receive(m_buffer.get(), m_offset, m_count);
}

void c_AsyncReceiveOp::p_Complete(const std::shared_ptr<c_Socket>& source) {
    if (m_callback) m_callback->p_OnReceiveComplete(m_buffer, m_offset, m_count, source);
}

// ---------------------------------------------------------------------------
// The queue

c_AsyncQueue* c_AsyncQueue::m_new(const std::shared_ptr<c_Socket>& socket) {
    socket_ = socket;
    return this;
}

void c_AsyncQueue::p_Enqueue(std::shared_ptr<c_AsyncOp> op) {
    const int put = put_.load(std::memory_order_relaxed);
    const int next = NextSlot(put);
    // Checked before publishing, so the worker never sees an overfull ring.
    if (next == complete_.load(std::memory_order_relaxed)) bbError(u"AsyncQueue queue overflow!");
    slots_[put] = std::move(op);
    put_.store(next, std::memory_order_release);
    if (RunState() != kRunning) Start();
}

void c_AsyncQueue::p_UpdateAsyncEvents() {
    if (execute_.load(std::memory_order_acquire) != put_.load(std::memory_order_relaxed) &&
        RunState() != kRunning) {
        Start();  // work queued while the last worker was already leaving
    }
    const std::shared_ptr<c_Socket> socket = socket_.lock();
    for (;;) {
        const int complete = complete_.load(std::memory_order_relaxed);
        if (complete == execute_.load(std::memory_order_acquire)) break;
        // Taken out of its slot so the operation (and what it holds) is
        // released here on the main thread after its callback.
        std::shared_ptr<c_AsyncOp> op = std::move(slots_[complete]);
        complete_.store(NextSlot(complete), std::memory_order_release);
        op->p_Complete(socket);
    }
}

void c_AsyncQueue::Run__UNSAFE__() {
    const std::shared_ptr<c_Socket> socket = socket_.lock();
    for (;;) {
        const int execute = execute_.load(std::memory_order_relaxed);
        if (execute == put_.load(std::memory_order_acquire)) break;
        slots_[execute]->p_Execute__UNSAFE__(socket);
        execute_.store(NextSlot(execute), std::memory_order_release);
    }
}

// ---------------------------------------------------------------------------
// The asynchronous socket

std::shared_ptr<c_Socket> c_Socket::m_new(const String& protocol) {
    const int number = ParseProtocol(protocol);
    auto socket = std::make_shared<c_Socket>();
    socket->m_socket = std::make_shared<BBSocket>();
    if (!socket->m_socket->Open(number)) bbError(u"Socket open failed");
    socket->m_protocol = number;
    socket->m_state = kOpen;
    socket->p_Start();
    return socket;
}

std::shared_ptr<c_Socket> c_Socket::m_new2(std::shared_ptr<BBSocket> bbSocket, int protocol,
                                           int state) {
    auto socket = std::make_shared<c_Socket>();
    socket->m_socket = std::move(bbSocket);
    socket->m_protocol = protocol;
    socket->m_state = state;
    socket->p_Start();
    return socket;
}

void c_Socket::p_Start() {
    const std::shared_ptr<c_Socket> self = shared_from_this();
    m_readQueue = std::make_shared<c_AsyncQueue>();
    m_readQueue->m_new(self);
    m_writeQueue = std::make_shared<c_AsyncQueue>();
    m_writeQueue->m_new(self);
    bb_asyncevent_AddAsyncEventSource(self);
}

void c_Socket::p_ConnectAsync(const String& host, int port,
                              std::shared_ptr<c_IOnConnectComplete> callback) {
    if (!p_IsOpen() || (m_state & (kConnected | kListening)) != 0) return;
    m_readQueue->p_Enqueue(
        std::make_shared<c_AsyncConnectOp>(m_socket, host, port, std::move(callback)));
}

void c_Socket::p_SendAsync(std::shared_ptr<c_DataBuffer> data, int offset, int count,
                           std::shared_ptr<c_IOnSendComplete> callback) {
    if (!p_IsConnected()) return;
    m_writeQueue->p_Enqueue(std::make_shared<c_AsyncSendOp>(m_socket, std::move(data), offset,
                                                            count, std::move(callback)));
}

void c_Socket::p_ReceiveAsync(std::shared_ptr<c_DataBuffer> data, int offset, int count,
                              std::shared_ptr<c_IOnReceiveComplete> callback) {
    if (!p_IsConnected()) return;
    m_readQueue->p_Enqueue(std::make_shared<c_AsyncReceiveOp>(m_socket, std::move(data), offset,
                                                              count, std::move(callback)));
}

void c_Socket::p_Close() {
    if (m_socket) m_socket->Close();
    m_state = 0;
}

void c_Socket::p_UpdateAsyncEvents() {
    m_readQueue->p_UpdateAsyncEvents();
    m_writeQueue->p_UpdateAsyncEvents();
}

// ---------------------------------------------------------------------------
// Event sources

void bb_asyncevent_AddAsyncEventSource(std::shared_ptr<c_IAsyncEventSource> source) {
    const auto& sources = bb_asyncevent__sources;
    if (std::find(sources.begin(), sources.end(), source) != sources.end())
        bbError(u"Async event source is already active");
    bb_asyncevent__sources.push_back(std::move(source));
}

void bb_asyncevent_UpdateAsyncEvents() {
    if (bb_asyncevent__current) return;
    size_t index = 0;
    // The list may grow inside a callback; its length is read on every pass.
    while (index < bb_asyncevent__sources.size()) {
        const std::shared_ptr<c_IAsyncEventSource> source = bb_asyncevent__sources[index];
        bb_asyncevent__current = source.get();
        source->p_UpdateAsyncEvents();
        if (bb_asyncevent__current) ++index;
    }
    bb_asyncevent__current = nullptr;
}
