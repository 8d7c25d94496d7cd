// BBSocket and BBSocketAddress against loopback peers: name resolution and
// the refusal to connect to the wildcard address, clipped sends and receives,
// no SIGPIPE from a vanished peer, the timeout of a silent peer, the server
// and datagram forms.
#include "net/socket.h"

#include <gtest/gtest.h>

#include "net/databuffer.h"
#include "net_support.h"

namespace {

using nettest::Gate;
using nettest::LoopbackServer;

class SocketTest : public testing::Test {
  protected:
    void SetUp() override { bbInitNet(); }
    void TearDown() override { bbInitNet(); }
};

TEST_F(SocketTest, HostsThatDoNotResolveFailTheConnectInsteadOfReachingLocalListeners) {
    // Listens on every local address: a connect to 0.0.0.0 would reach it.
    LoopbackServer local([](int&) {}, htonl(INADDR_ANY));
    struct Case {
        const char* name;
        String host;
        int port;
        bool connects;
    };
    const Case cases[] = {
        {"dotted address", u"127.0.0.1", local.Port(), true},
        {"name of the local host", u"localhost", local.Port(), true},
        {"empty host", u"", local.Port(), false},
        {"unknown name", u"no-such-host.invalid", local.Port(), false},
        {"name too long to look up", String(1024, u'a'), local.Port(), false},
        {"zero unit inside the name", String(u"127.0.0.1\0.x", 12), local.Port(), false},
        {"port beyond 65535 does not wrap", u"127.0.0.1", local.Port() + 65536, false},
        {"negative port", u"127.0.0.1", -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BBSocket socket;
        ASSERT_TRUE(socket.Open(kProtocolStream));
        EXPECT_EQ(socket.Connect(c.host, c.port), c.connects);
    }
}

TEST_F(SocketTest, AddressesResolveToDottedTextAndKeepTheWildcardWhenUnknown) {
    struct Case {
        String host;
        int port;
        String text;
    };
    const Case cases[] = {
        {u"127.0.0.1", 8080, u"127.0.0.1"},       {u"localhost", 1, u"127.0.0.1"},
        {u"10.1.2.3", 65535, u"10.1.2.3"},        {u"", 7, u"0.0.0.0"},
        {u"no-such-host.invalid", 9, u"0.0.0.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(bbStringToUtf8(c.host));
        BBSocketAddress address;
        address.Set(c.host, c.port);
        EXPECT_FALSE(address.Valid());
        address.Validate();
        EXPECT_TRUE(address.Valid());
        EXPECT_EQ(address.Host(), c.text);
        EXPECT_EQ(address.Port(), c.port);

        BBSocketAddress copy;
        copy.Set(address);
        EXPECT_FALSE(copy.Valid());
        copy.Validate();
        EXPECT_EQ(copy.Host(), c.text);
    }
}

TEST_F(SocketTest, BindWithoutAHostUsesTheWildcardAddress) {
    BBSocket socket;
    ASSERT_TRUE(socket.Open(kProtocolServer));
    ASSERT_TRUE(socket.Bind(u"", 0));
    BBSocketAddress local;
    socket.GetLocalAddress(local);
    EXPECT_EQ(local.Host(), u"0.0.0.0");
    EXPECT_NE(local.Port(), 0);
}

TEST_F(SocketTest, OpenRefusesASecondOpenAndUnknownProtocols) {
    BBSocket socket;
    EXPECT_FALSE(socket.Open(0));
    EXPECT_FALSE(socket.Open(4));
    EXPECT_EQ(socket.Handle(), -1);
    ASSERT_TRUE(socket.Open(kProtocolStream));
    EXPECT_FALSE(socket.Open(kProtocolDatagram));
    EXPECT_EQ(socket.Protocol(), kProtocolStream);

    socket.Close();
    EXPECT_EQ(socket.Handle(), -1);
    BBSocketAddress closed;
    socket.GetLocalAddress(closed);
    EXPECT_EQ(closed.Host(), u"0.0.0.0");
    EXPECT_EQ(closed.Port(), 0);
    EXPECT_LT(socket.Send(nullptr, 0, 0), 0);
}

TEST_F(SocketTest, SendAndReceiveStayInsideTheBuffer) {
    Gate sent;
    std::string received;
    LoopbackServer server([&](int& fd) {
        received = nettest::ReadBytes(fd, 4);
        nettest::SendText(fd, "ABCDEFGHIJ");
        sent.Post();
        nettest::ReadBytes(fd, 1);  // until the client closes
    });
    BBSocket socket;
    ASSERT_TRUE(socket.Open(kProtocolStream));
    ASSERT_TRUE(socket.Connect(u"127.0.0.1", server.Port()));

    auto buffer = c_DataBuffer::Create(8);
    buffer->p_PokeString(0, u"01234567", u"ascii");
    EXPECT_EQ(socket.Send(buffer.get(), 4, 100), 4);
    EXPECT_EQ(socket.Send(buffer.get(), -1, 4), 0);
    EXPECT_EQ(socket.Send(buffer.get(), 9, 4), 0);

    ASSERT_TRUE(sent.Take());
    EXPECT_EQ(socket.Receive(buffer.get(), 6, 100), 2);
    EXPECT_EQ(buffer->p_PeekString2(0, u"ascii"), u"012345AB");
    socket.Close();
    EXPECT_EQ(received, "4567");
}

TEST_F(SocketTest, SendingToAVanishedPeerFailsWithoutKillingTheProcess) {
    LoopbackServer server([](int& fd) { nettest::Reset(fd); });
    BBSocket socket;
    ASSERT_TRUE(socket.Open(kProtocolStream));
    ASSERT_TRUE(socket.Connect(u"127.0.0.1", server.Port()));
    auto buffer = c_DataBuffer::Create(64);
    EXPECT_LT(socket.Receive(buffer.get(), 0, 64), 0);  // the reset arrived
    // Without MSG_NOSIGNAL this send raises SIGPIPE and ends the test run.
    EXPECT_LT(socket.Send(buffer.get(), 0, 64), 0);
}

TEST_F(SocketTest, ASilentPeerFailsTheBlockedReceiveAfterTheTimeout) {
    Gate done;
    LoopbackServer server([&](int&) { done.Take(); });
    BBSocket::SetTimeout(100);
    BBSocket socket;
    ASSERT_TRUE(socket.Open(kProtocolStream));
    ASSERT_TRUE(socket.Connect(u"127.0.0.1", server.Port()));
    auto buffer = c_DataBuffer::Create(16);
    // Without a timeout this waits until the server gives up and closes: 0.
    EXPECT_LT(socket.Receive(buffer.get(), 0, 16), 0);
    done.Post();
}

TEST_F(SocketTest, ServerSocketHandsOverEachAcceptedConnectionOnce) {
    BBSocket listener;
    ASSERT_TRUE(listener.Open(kProtocolServer));
    ASSERT_TRUE(listener.Bind(u"127.0.0.1", 0));
    ASSERT_TRUE(listener.Listen(4));
    BBSocketAddress local;
    listener.GetLocalAddress(local);
    EXPECT_EQ(local.Host(), u"127.0.0.1");

    BBSocket client;
    ASSERT_TRUE(client.Open(kProtocolStream));
    ASSERT_TRUE(client.Connect(u"127.0.0.1", local.Port()));
    ASSERT_TRUE(listener.Accept());
    std::shared_ptr<BBSocket> accepted = listener.Accepted();
    ASSERT_NE(accepted, nullptr);
    EXPECT_EQ(listener.Accepted(), nullptr);

    BBSocketAddress remote;
    accepted->GetRemoteAddress(remote);
    BBSocketAddress clientLocal;
    client.GetLocalAddress(clientLocal);
    EXPECT_EQ(remote.Host(), u"127.0.0.1");
    EXPECT_EQ(remote.Port(), clientLocal.Port());

    auto buffer = c_DataBuffer::Create(5);
    buffer->p_PokeString(0, u"hello", u"ascii");
    EXPECT_EQ(accepted->Send(buffer.get(), 0, 5), 5);
    auto into = c_DataBuffer::Create(5);
    EXPECT_EQ(client.Receive(into.get(), 0, 5), 5);
    EXPECT_EQ(into->p_PeekString2(0, u"ascii"), u"hello");
}

TEST_F(SocketTest, DatagramsCarryTheSenderAddress) {
    BBSocket receiver;
    BBSocket sender;
    ASSERT_TRUE(receiver.Open(kProtocolDatagram));
    ASSERT_TRUE(sender.Open(kProtocolDatagram));
    ASSERT_TRUE(receiver.Bind(u"127.0.0.1", 0));
    ASSERT_TRUE(sender.Bind(u"127.0.0.1", 0));
    BBSocketAddress to;
    receiver.GetLocalAddress(to);
    BBSocketAddress from;
    sender.GetLocalAddress(from);

    auto out = c_DataBuffer::Create(4);
    out->p_PokeString(0, u"ping", u"ascii");
    EXPECT_EQ(sender.SendTo(out.get(), 0, 4, to), 4);
    auto in = c_DataBuffer::Create(8);
    BBSocketAddress seen;
    EXPECT_EQ(receiver.ReceiveFrom(in.get(), 2, 8, seen), 4);
    EXPECT_EQ(in->p_PeekString(2, 4, u"ascii"), u"ping");
    EXPECT_TRUE(seen.Valid());
    EXPECT_EQ(seen.Host(), u"127.0.0.1");
    EXPECT_EQ(seen.Port(), from.Port());
}

}  // namespace
