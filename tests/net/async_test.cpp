// Asynchronous sockets: the operation ring and its limit, worker restarts,
// calls the socket state forbids, the counts handed to callbacks, closing a
// socket under a blocked worker, the event-source loop and its re-entrancy
// guard, and the runtime errors of the layer.
#include "net/async.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <vector>

#include "net_support.h"

namespace {

using nettest::Gate;
using nettest::LoopbackServer;
using nettest::PumpUntil;

class AsyncTest : public testing::Test {
  protected:
    void SetUp() override { bbInitNet(); }
    void TearDown() override { bbInitNet(); }
};

// An operation that only records the order in which it completes.
class RecordingOp : public c_AsyncOp {
  public:
    RecordingOp(int id, std::vector<int>* completed) : id_(id), completed_(completed) {}
    void p_Execute__UNSAFE__(const std::shared_ptr<c_Socket>&) override {}
    void p_Complete(const std::shared_ptr<c_Socket>&) override { completed_->push_back(id_); }

  private:
    int id_;
    std::vector<int>* completed_;
};

struct ConnectRecorder : c_IOnConnectComplete {
    std::vector<bool> results;
    void p_OnConnectComplete(bool connected, const std::shared_ptr<c_Socket>&) override {
        results.push_back(connected);
    }
};

struct IoCall {
    std::shared_ptr<c_DataBuffer> data;
    int offset;
    int count;
    c_Socket* source;
};

struct IoRecorder : c_IOnSendComplete, c_IOnReceiveComplete {
    std::vector<IoCall> sends;
    std::vector<IoCall> receives;
    void p_OnSendComplete(const std::shared_ptr<c_DataBuffer>& data, int offset, int count,
                          const std::shared_ptr<c_Socket>& source) override {
        sends.push_back({data, offset, count, source.get()});
    }
    void p_OnReceiveComplete(const std::shared_ptr<c_DataBuffer>& data, int offset, int count,
                             const std::shared_ptr<c_Socket>& source) override {
        receives.push_back({data, offset, count, source.get()});
    }
};

std::shared_ptr<c_Socket> ConnectedSocket(int port,
                                          const std::shared_ptr<ConnectRecorder>& recorder) {
    auto socket = c_Socket::m_new(u"stream");
    socket->p_ConnectAsync(u"127.0.0.1", port, recorder);
    EXPECT_TRUE(PumpUntil([&] { return !recorder->results.empty(); }));
    return socket;
}

TEST_F(AsyncTest, QueueHolds255OutstandingOperationsAndCompletesThemInOrder) {
    auto socket = c_Socket::m_new(u"stream");
    std::vector<int> completed;
    // Two rounds: the second runs the cursors round the end of the ring.
    for (int round = 0; round < 2; ++round) {
        completed.clear();
        for (int i = 0; i < 255; ++i)
            socket->m_readQueue->p_Enqueue(std::make_shared<RecordingOp>(i, &completed));
        ASSERT_TRUE(PumpUntil([&] { return completed.size() == 255; }));
        for (int i = 0; i < 255; ++i) ASSERT_EQ(completed[i], i) << "round " << round;
    }
}

TEST_F(AsyncTest, QueueOverflowIsARuntimeError) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            nettest::RouteErrorReportToDeathTest();
            auto socket = c_Socket::m_new(u"stream");
            std::vector<int> completed;
            for (int i = 0; i < 256; ++i)
                socket->m_writeQueue->p_Enqueue(std::make_shared<RecordingOp>(i, &completed));
        },
        testing::ExitedWithCode(255), "Tarvik Runtime Error : AsyncQueue queue overflow!");
}

// A queue whose first worker start is lost, as when work is queued while the
// previous worker has already left its loop but not yet marked itself done.
class StrandedQueue : public c_AsyncQueue {
  public:
    void Start() override {
        if (skipNext_) {
            skipNext_ = false;
            return;
        }
        c_AsyncQueue::Start();
    }

  private:
    bool skipNext_ = true;
};

TEST_F(AsyncTest, UpdateRestartsAWorkerForStrandedWork) {
    auto socket = c_Socket::m_new(u"stream");
    auto queue = std::make_shared<StrandedQueue>();
    queue->m_new(socket);
    std::vector<int> completed;
    queue->p_Enqueue(std::make_shared<RecordingOp>(7, &completed));
    EXPECT_EQ(queue->RunState(), BBThread::kNeverStarted);
    ASSERT_TRUE(PumpUntil([&] {
        queue->p_UpdateAsyncEvents();
        return !completed.empty();
    }));
    EXPECT_EQ(completed, std::vector<int>{7});
    ASSERT_TRUE(PumpUntil([&] { return queue->RunState() == BBThread::kFinished; }));
}

class CountingThread : public c_Thread {
  public:
    std::atomic<int> runs{0};
    void Run__UNSAFE__() override { runs.fetch_add(1); }
};

TEST_F(AsyncTest, ThreadRunsOncePerStartAndFinishes) {
    auto thread = std::make_shared<CountingThread>();
    EXPECT_FALSE(thread->IsRunning());
    for (int expected = 1; expected <= 2; ++expected) {
        thread->Start();
        ASSERT_TRUE(PumpUntil([&] { return thread->RunState() == BBThread::kFinished; }));
        EXPECT_EQ(thread->runs.load(), expected);
        EXPECT_FALSE(thread->IsRunning());
    }
}

TEST_F(AsyncTest, CallsTheSocketStateForbidsNeverCallBack) {
    Gate replied;
    LoopbackServer server([&](int& fd) {
        nettest::ReadBytes(fd, 3);
        nettest::SendText(fd, "x");
        replied.Post();
        nettest::ReadBytes(fd, 1);
    });
    auto connects = std::make_shared<ConnectRecorder>();
    auto io = std::make_shared<IoRecorder>();
    auto buffer = c_DataBuffer::Create(16);
    buffer->p_PokeString(0, u"abc", u"ascii");

    // Not connected yet: send and receive are dropped. Each queue runs in
    // order, so a dropped call that had been queued would complete before the
    // calls that follow it on the same queue.
    auto socket = c_Socket::m_new(u"stream");
    socket->p_SendAsync(buffer, 0, 1, io);
    socket->p_ReceiveAsync(buffer, 0, 16, io);
    socket->p_ConnectAsync(u"127.0.0.1", server.Port(), connects);
    ASSERT_TRUE(PumpUntil([&] { return !connects->results.empty(); }));
    ASSERT_EQ(connects->results, std::vector<bool>{true});
    EXPECT_TRUE(io->receives.empty());
    EXPECT_TRUE(socket->p_IsConnected());

    socket->p_SendAsync(buffer, 0, 3, io);
    ASSERT_TRUE(PumpUntil([&] { return !io->sends.empty(); }));
    ASSERT_EQ(io->sends.size(), 1u);
    EXPECT_EQ(io->sends[0].count, 3);

    // Connected: a second connect is dropped.
    ASSERT_TRUE(replied.Take());
    socket->p_ConnectAsync(u"127.0.0.1", server.Port(), connects);
    socket->p_ReceiveAsync(buffer, 0, 16, io);
    ASSERT_TRUE(PumpUntil([&] { return !io->receives.empty(); }));
    EXPECT_EQ(connects->results.size(), 1u);
    EXPECT_EQ(io->receives[0].count, 1);
    socket->p_Close();
}

TEST_F(AsyncTest, CallbacksGetTheBufferRangeAndTheCallResult) {
    LoopbackServer server([](int& fd) {
        nettest::ReadBytes(fd, 5);
        nettest::SendText(fd, "hello world");
    });
    auto connects = std::make_shared<ConnectRecorder>();
    auto socket = ConnectedSocket(server.Port(), connects);
    EXPECT_EQ(connects->results, std::vector<bool>{true});
    EXPECT_EQ(socket->m_state, c_Socket::kOpen | c_Socket::kConnectedBits);

    auto io = std::make_shared<IoRecorder>();
    auto out = c_DataBuffer::Create(8);
    out->p_PokeString(0, u"..12345.", u"ascii");
    socket->p_SendAsync(out, 2, 5, io);
    ASSERT_TRUE(PumpUntil([&] { return io->sends.size() == 1; }));
    EXPECT_EQ(io->sends[0].data, out);
    EXPECT_EQ(io->sends[0].offset, 2);
    EXPECT_EQ(io->sends[0].count, 5);
    EXPECT_EQ(io->sends[0].source, socket.get());

    auto in = c_DataBuffer::Create(32);
    socket->p_ReceiveAsync(in, 4, 28, io);
    ASSERT_TRUE(PumpUntil([&] { return io->receives.size() == 1; }));
    EXPECT_EQ(io->receives[0].data, in);
    EXPECT_EQ(io->receives[0].offset, 4);
    ASSERT_EQ(io->receives[0].count, 11);
    EXPECT_EQ(in->p_PeekString(4, 11, u"ascii"), u"hello world");

    // The server has closed: end of stream.
    socket->p_ReceiveAsync(in, 0, 32, io);
    ASSERT_TRUE(PumpUntil([&] { return io->receives.size() == 2; }));
    EXPECT_EQ(io->receives[1].count, 0);
    EXPECT_TRUE(socket->p_IsConnected());  // counts never change the state
}

TEST_F(AsyncTest, AResetConnectionGivesANegativeCount) {
    LoopbackServer server([](int& fd) { nettest::Reset(fd); });
    auto connects = std::make_shared<ConnectRecorder>();
    auto socket = ConnectedSocket(server.Port(), connects);
    auto io = std::make_shared<IoRecorder>();
    auto in = c_DataBuffer::Create(8);
    socket->p_ReceiveAsync(in, 0, 8, io);
    ASSERT_TRUE(PumpUntil([&] { return io->receives.size() == 1; }));
    EXPECT_LT(io->receives[0].count, 0);
}

TEST_F(AsyncTest, FailedConnectsReportFalseAndLeaveTheSocketUnconnected) {
    const String hosts[] = {u"no-such-host.invalid", u"127.0.0.1"};
    for (const String& host : hosts) {
        SCOPED_TRACE(bbStringToUtf8(host));
        auto connects = std::make_shared<ConnectRecorder>();
        auto socket = c_Socket::m_new(u"stream");
        socket->p_ConnectAsync(host, nettest::RefusedPort(), connects);
        ASSERT_TRUE(PumpUntil([&] { return !connects->results.empty(); }));
        EXPECT_EQ(connects->results, std::vector<bool>{false});
        EXPECT_FALSE(socket->p_IsConnected());
        EXPECT_TRUE(socket->p_IsOpen());
    }
}

TEST_F(AsyncTest, SocketClosedDuringASuccessfulConnectStaysClosed) {
    LoopbackServer server([](int&) {});
    auto connects = std::make_shared<ConnectRecorder>();
    auto socket = c_Socket::m_new(u"stream");
    socket->p_ConnectAsync(u"127.0.0.1", server.Port(), connects);
    ASSERT_TRUE(
        nettest::WaitFor([&] { return socket->m_readQueue->RunState() == BBThread::kFinished; }));
    socket->p_Close();
    ASSERT_TRUE(PumpUntil([&] { return !connects->results.empty(); }));
    EXPECT_EQ(connects->results, std::vector<bool>{true});
    EXPECT_EQ(socket->m_state, 0);
    EXPECT_FALSE(socket->p_IsConnected());
}

TEST_F(AsyncTest, CloseWakesAReceiveBlockedOnTheSocket) {
    // Longer than the hang guard, so only the close can end the receive.
    BBSocket::SetTimeout(60000);
    Gate done;
    LoopbackServer server([&](int&) { done.Take(); });
    auto connects = std::make_shared<ConnectRecorder>();
    auto socket = ConnectedSocket(server.Port(), connects);
    auto io = std::make_shared<IoRecorder>();
    auto in = c_DataBuffer::Create(8);
    socket->p_ReceiveAsync(in, 0, 8, io);
    nettest::PumpUpdates(20);
    EXPECT_TRUE(io->receives.empty());

    socket->p_Close();
    EXPECT_EQ(socket->m_state, 0);
    EXPECT_EQ(socket->m_socket->Handle(), -1);
    // Well before the server's own hang guard would close the connection.
    EXPECT_TRUE(PumpUntil([&] { return !io->receives.empty(); }, std::chrono::seconds(5)));
    if (!io->receives.empty()) {
        EXPECT_LE(io->receives[0].count, 0);
    }
    done.Post();
}

// A source that calls the event loop from inside its own update.
class NestingSource : public c_IAsyncEventSource {
  public:
    void p_UpdateAsyncEvents() override {
        ++updates;
        if (depth_ > 0) {
            ++reentered;
            return;
        }
        ++depth_;
        bb_asyncevent_UpdateAsyncEvents();
        --depth_;
        if (addOnce) {
            bb_asyncevent_AddAsyncEventSource(addOnce);
            addOnce.reset();
        }
    }
    int updates = 0;
    int reentered = 0;
    std::shared_ptr<c_IAsyncEventSource> addOnce;

  private:
    int depth_ = 0;
};

struct CountingSource : c_IAsyncEventSource {
    int updates = 0;
    void p_UpdateAsyncEvents() override { ++updates; }
};

TEST_F(AsyncTest, EventLoopCalledFromAnUpdateReturnsAtOnce) {
    auto nesting = std::make_shared<NestingSource>();
    auto after = std::make_shared<CountingSource>();
    auto added = std::make_shared<CountingSource>();
    nesting->addOnce = added;
    bb_asyncevent_AddAsyncEventSource(nesting);
    bb_asyncevent_AddAsyncEventSource(after);

    bb_asyncevent_UpdateAsyncEvents();
    EXPECT_EQ(nesting->reentered, 0);
    EXPECT_EQ(nesting->updates, 1);
    EXPECT_EQ(after->updates, 1);
    EXPECT_EQ(added->updates, 1);  // added during the pass, reached in the same pass
    EXPECT_EQ(bb_asyncevent__current, nullptr);

    bb_asyncevent_UpdateAsyncEvents();
    EXPECT_EQ(nesting->updates, 2);
    EXPECT_EQ(added->updates, 2);
}

// Completes after calling the event loop from inside its own completion.
class NestingOp : public c_AsyncOp {
  public:
    explicit NestingOp(std::vector<int>* completed) : completed_(completed) {}
    void p_Execute__UNSAFE__(const std::shared_ptr<c_Socket>&) override {}
    void p_Complete(const std::shared_ptr<c_Socket>&) override {
        bb_asyncevent_UpdateAsyncEvents();
        completed_->push_back(0);
    }

  private:
    std::vector<int>* completed_;
};

TEST_F(AsyncTest, CompletionCallbackCallingTheEventLoopDoesNotCompleteOtherOperations) {
    auto first = c_Socket::m_new(u"stream");
    auto second = c_Socket::m_new(u"stream");
    std::vector<int> completed;
    first->m_readQueue->p_Enqueue(std::make_shared<NestingOp>(&completed));
    second->m_readQueue->p_Enqueue(std::make_shared<RecordingOp>(1, &completed));
    // A worker marks itself finished only after its last operation is executed.
    ASSERT_TRUE(nettest::WaitFor([&] {
        return first->m_readQueue->RunState() == BBThread::kFinished &&
               second->m_readQueue->RunState() == BBThread::kFinished;
    }));

    // Both are ready; a nested loop that ran would complete the second socket's
    // operation before the first callback returns.
    bb_asyncevent_UpdateAsyncEvents();
    EXPECT_EQ(completed, (std::vector<int>{0, 1}));
}

TEST_F(AsyncTest, RuntimeErrorsOfTheLayer) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            nettest::RouteErrorReportToDeathTest();
            c_Socket::m_new(u"tcp");
        },
        testing::ExitedWithCode(255), "Tarvik Runtime Error : Illegal socket protocol");
#ifndef __SANITIZE_ADDRESS__
    // The sanitizers' own memory checks need descriptors too, so this case
    // runs in the plain and thread-sanitizer builds only.
    EXPECT_EXIT(
        {
            nettest::RouteErrorReportToDeathTest();
            rlimit none{};
            setrlimit(RLIMIT_NOFILE, &none);  // no descriptor left for a socket
            c_Socket::m_new(u"stream");
        },
        testing::ExitedWithCode(255), "Tarvik Runtime Error : Socket open failed");
#endif
    EXPECT_EXIT(
        {
            nettest::RouteErrorReportToDeathTest();
            auto source = std::make_shared<CountingSource>();
            bb_asyncevent_AddAsyncEventSource(source);
            bb_asyncevent_AddAsyncEventSource(source);
        },
        testing::ExitedWithCode(255),
        "Tarvik Runtime Error : Async event source is already active");
    EXPECT_EXIT(
        {
            nettest::RouteErrorReportToDeathTest();
            c_Socket::m_new(u"datagram")->p_Start();
        },
        testing::ExitedWithCode(255),
        "Tarvik Runtime Error : Async event source is already active");
}

}  // namespace
