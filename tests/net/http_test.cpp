// The HTTP client: URL parsing, the request head, and whole requests against
// scripted loopback servers (normal replies, odd header endings, split reads,
// closes, resets, refusals, silence, oversized replies), each of which must
// call its owner back exactly once with the right status and text.
#include "net/http.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net_support.h"

namespace {

using nettest::Gate;
using nettest::LoopbackServer;
using nettest::PumpUntil;

TEST(Url, ParsesEachPartOrKeepsItsDefault) {
    struct Case {
        String url;
        String scheme, username, password, domain;
        int port;
        String path, query, fragment, fullPath;
    };
    const Case cases[] = {
        {u"http://scores.example/Scores.php?Game=0512&Score=x", u"http", u"", u"",
         u"scores.example", 80, u"/Scores.php", u"Game=0512&Score=x", u"",
         u"/Scores.php?Game=0512&Score=x"},
        {u"http://scores.example", u"http", u"", u"", u"scores.example", 80, u"/", u"", u"", u"/"},
        {u"http://scores.example:8080/a", u"http", u"", u"", u"scores.example", 8080, u"/a", u"",
         u"", u"/a"},
        {u"scores.example:8080", u"http", u"", u"", u"scores.example", 8080, u"/", u"", u"", u"/"},
        {u"http://h/p?b#c", u"http", u"", u"", u"h", 80, u"/p", u"b", u"c", u"/p?b#c"},
        {u"http://h/p#c?b", u"http", u"", u"", u"h", 80, u"/p", u"", u"c?b", u"/p#c?b"},
        {u"https://ann:se:cret@h:81/x", u"https", u"ann", u"se:cret", u"h", 81, u"/x", u"", u"",
         u"/x"},
        {u"ann@h", u"http", u"ann", u"", u"h", 80, u"/", u"", u"", u"/"},
        {u"h/a:b", u"http", u"", u"", u"h", 80, u"/a:b", u"", u"", u"/a:b"},
        {u"h?next=ftp://x@y", u"http", u"", u"", u"h", 80, u"/", u"next=ftp://x@y", u"",
         u"/?next=ftp://x@y"},
        {u"http://h:abc/", u"http", u"", u"", u"h", 0, u"/", u"", u"", u"/"},
        {u"", u"http", u"", u"", u"", 80, u"/", u"", u"", u"/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(bbStringToUtf8(c.url));
        c_Url url;
        url.m_new(c.url, u"http", 80);
        EXPECT_EQ(url.m_scheme, c.scheme);
        EXPECT_EQ(url.m_username, c.username);
        EXPECT_EQ(url.m_password, c.password);
        EXPECT_EQ(url.p_Domain(), c.domain);
        EXPECT_EQ(url.p_Port(), c.port);
        EXPECT_EQ(url.m_path, c.path);
        EXPECT_EQ(url.m_query, c.query);
        EXPECT_EQ(url.m_fragment, c.fragment);
        EXPECT_EQ(url.p_FullPath(), c.fullPath);
    }
}

TEST(Url, SetAgainForgetsTheEarlierUrl) {
    c_Url url;
    url.m_new(u"https://ann@h:81/x?q#f", u"http", 80);
    url.p_Set2(u"other");
    EXPECT_EQ(url.m_scheme, u"http");
    EXPECT_EQ(url.m_username, u"");
    EXPECT_EQ(url.p_Domain(), u"other");
    EXPECT_EQ(url.p_Port(), 80);
    EXPECT_EQ(url.p_FullPath(), u"/");
}

// ---------------------------------------------------------------------------
// Whole requests

struct Owner : c_IOnHttpRequestComplete {
    int calls = 0;
    c_HttpRequest* last = nullptr;
    void p_OnHttpRequestComplete(c_HttpRequest* request) override {
        ++calls;
        last = request;
    }
};

class HttpTest : public testing::Test {
  protected:
    void SetUp() override { bbInitNet(); }
    void TearDown() override { bbInitNet(); }

    // Runs updates until the owner is called back, then some more to show
    // that it is called only once.
    void Finish(const std::shared_ptr<c_HttpRequest>& request) {
        ASSERT_TRUE(PumpUntil([&] { return owner_.calls > 0; })) << "no callback";
        nettest::PumpUpdates(10);
        EXPECT_EQ(owner_.calls, 1);
        EXPECT_EQ(owner_.last, request.get());
        EXPECT_FALSE(request->m_socket && request->m_socket->p_IsOpen());
    }

    Owner owner_;
};

// Replies with fixed bytes, then closes or resets.
struct Reply {
    const char* name;
    std::string bytes;
    bool reset;
    int status;
    String text;
};

TEST_F(HttpTest, RepliesGiveTheirStatusAndBody) {
    const Reply replies[] = {
        {"normal reply", "HTTP/1.1 200 OK\r\nServer: loop\r\nX-A: b\r\n\r\nabc", false, 200,
         u"abc"},
        {"lines ended by a line feed alone", "HTTP/1.0 200 OK\nServer: loop\n\nabc", false, 200,
         u"abc"},
        {"error page body is delivered", "HTTP/1.0 404 Not Found\r\n\r\nmissing", false, 404,
         u"missing"},
        {"status line in lower case", "http/1.0 201 created\r\n\r\nok", false, 201, u"ok"},
        {"body text is utf8", "HTTP/1.0 200 OK\r\n\r\nn\xC3\xA9", false, 200, u"n\u00E9"},
        {"no body", "HTTP/1.0 204 No Content\r\n\r\n", false, 204, u""},
        {"two-part status line", "HTTP/1.0 200\r\n\r\nabc", false, -1, u""},
        {"not an HTTP status line", "ICY 200 OK\r\n\r\nabc", false, -1, u""},
        {"empty first line", "\r\nabc", false, -1, u""},
        {"close before the header ends", "HTTP/1.0 200 OK\r\nServer: lo", false, -1, u""},
        {"close without a reply", "", false, -1, u""},
        {"reset before the header ends", "HTTP/1.0 200 OK\r\n", true, -1, u""},
    };
    for (const Reply& reply : replies) {
        SCOPED_TRACE(reply.name);
        bbInitNet();
        owner_ = Owner();
        std::string head;
        {
            LoopbackServer server([&](int& fd) {
                head = nettest::ReadHead(fd);
                nettest::SendText(fd, reply.bytes);
                if (reply.reset) nettest::Reset(fd);
            });
            auto request =
                c_HttpRequest::m_new2(u"GET", server.Url("/Scores.php?Game=0512&Score=x"), &owner_);
            request->p_Send();
            Finish(request);
            EXPECT_EQ(request->p_Status(), reply.status);
            EXPECT_EQ(request->p_ResponseText(), reply.text);
        }
        EXPECT_EQ(head, "GET /Scores.php?Game=0512&Score=x HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
    }
}

TEST_F(HttpTest, SendWithABodyAddsItsHeaderLinesAndSendsTheEncodedBytes) {
    std::string head;
    std::string body;
    LoopbackServer server([&](int& fd) {
        head = nettest::ReadHead(fd);
        body = nettest::ReadBytes(fd, 8);
        nettest::SendText(fd, "HTTP/1.0 200 OK\r\n\r\nstored");
    });
    auto request = c_HttpRequest::m_new2(u"POST", server.Url(""), &owner_);
    request->p_Send2(u"n\u00E9e=\u20AC", u"text/plain", u"utf8");
    Finish(request);
    EXPECT_EQ(head,
              "POST / HTTP/1.0\r\nHost: 127.0.0.1\r\nContent-Type: text/plain\r\n"
              "Content-Length: 8\r\n\r\n");
    EXPECT_EQ(body,
              "n\xC3\xA9"
              "e=\xE2\x82\xAC");
    EXPECT_EQ(request->p_ResponseText(), u"stored");
}

// Tells the server after every receive, so that each piece it sends arrives
// in a read of its own.
class SteppedRequest : public c_HttpRequest {
  public:
    void p_OnReceiveComplete(const std::shared_ptr<c_DataBuffer>& data, int offset, int count,
                             const std::shared_ptr<c_Socket>& source) override {
        counts.push_back(count);
        c_HttpRequest::p_OnReceiveComplete(data, offset, count, source);
        received.Post();
    }
    std::vector<int> counts;
    Gate received;
};

// Sends each piece only after the previous one has been received.
LoopbackServer::Script SendPieces(std::shared_ptr<SteppedRequest> request,
                                  std::vector<std::string> pieces, bool resetAtEnd) {
    return [request, pieces, resetAtEnd](int& fd) {
        nettest::ReadHead(fd);
        for (const std::string& piece : pieces) {
            nettest::SendText(fd, piece);
            if (!request->received.Take()) return;
        }
        if (resetAtEnd) nettest::Reset(fd);
    };
}

TEST_F(HttpTest, HeaderSplitIntoOneByteReadsIsReassembled) {
    const std::string reply = "HTTP/1.0 200 OK\r\nServer: loop\r\n\r\nhello";
    std::vector<std::string> pieces;
    for (char c : reply) pieces.emplace_back(1, c);
    auto request = std::make_shared<SteppedRequest>();
    LoopbackServer server(SendPieces(request, pieces, false));
    request->p_Open(u"GET", server.Url("/"), &owner_);
    request->p_Send();
    Finish(request);
    EXPECT_EQ(request->p_Status(), 200);
    EXPECT_EQ(request->p_ResponseText(), u"hello");
    // Every piece came in a read of its own, then the end of the stream.
    std::vector<int> expected(reply.size(), 1);
    expected.push_back(0);
    EXPECT_EQ(request->counts, expected);
}

TEST_F(HttpTest, BodyOverManyReadsIsJoinedInOrder) {
    auto request = std::make_shared<SteppedRequest>();
    LoopbackServer server(
        SendPieces(request, {"HTTP/1.0 200 OK\r\n\r\nal", "pha ", "beta ", "gam", "ma"}, false));
    request->p_Open(u"GET", server.Url("/"), &owner_);
    request->p_Send();
    Finish(request);
    EXPECT_EQ(request->p_ResponseText(), u"alpha beta gamma");
    EXPECT_EQ(request->counts.size(), 6u);
}

TEST_F(HttpTest, CharacterCutByAReadSpoilsBothPieces) {
    auto request = std::make_shared<SteppedRequest>();
    LoopbackServer server(SendPieces(request, {"HTTP/1.0 200 OK\r\n\r\nx\xC3", "\xA9y"}, false));
    request->p_Open(u"GET", server.Url("/"), &owner_);
    request->p_Send();
    Finish(request);
    EXPECT_EQ(request->p_ResponseText(), u"x\xFFC3\xFFA9y");
}

TEST_F(HttpTest, ResetDuringTheBodyEndsTheRequestOnceWithTheBodySoFar) {
    auto request = std::make_shared<SteppedRequest>();
    LoopbackServer server(SendPieces(request, {"HTTP/1.0 200 OK\r\n\r\npart"}, true));
    request->p_Open(u"GET", server.Url("/"), &owner_);
    request->p_Send();
    Finish(request);
    ASSERT_EQ(request->counts.size(), 2u);
    EXPECT_LT(request->counts[1], 0);
    EXPECT_EQ(request->p_Status(), 200);
    EXPECT_EQ(request->p_ResponseText(), u"part");
}

TEST_F(HttpTest, UnreachableServersEndTheRequestWithAnEmptyResponse) {
    const String urls[] = {
        bbStringFromUtf8("http://127.0.0.1:" + std::to_string(nettest::RefusedPort()) + "/"),
        u"http://no-such-host.invalid/Scores.php",
        u"http:///no-host",
    };
    for (const String& url : urls) {
        SCOPED_TRACE(bbStringToUtf8(url));
        owner_ = Owner();
        auto request = c_HttpRequest::m_new2(u"GET", url, &owner_);
        request->p_Send();
        Finish(request);
        EXPECT_EQ(request->p_Status(), -1);
        EXPECT_EQ(request->p_ResponseText(), u"");
    }
}

TEST_F(HttpTest, SilentServerNeverBlocksTheUpdate) {
    Gate gotRequest;
    Gate release;
    LoopbackServer server([&](int& fd) {
        nettest::ReadHead(fd);
        gotRequest.Post();
        release.Take();
    });
    auto request = c_HttpRequest::m_new2(u"GET", server.Url("/"), &owner_);
    request->p_Send();
    ASSERT_TRUE(PumpUntil([&] { return gotRequest.TryTake(); }));
    // The receive is blocked on its worker; updates go on returning.
    nettest::PumpUpdates(50);
    EXPECT_EQ(owner_.calls, 0);
    release.Post();
    Finish(request);
    EXPECT_EQ(request->p_ResponseText(), u"");
}

TEST_F(HttpTest, SilentServerFailsTheRequestAfterTheSocketTimeout) {
    BBSocket::SetTimeout(200);
    Gate release;
    LoopbackServer server([&](int& fd) {
        nettest::ReadHead(fd);
        release.Take();  // holds the connection open until the request has ended
    });
    auto request = c_HttpRequest::m_new2(u"GET", server.Url("/"), &owner_);
    request->p_Send();
    Finish(request);
    release.Post();
    EXPECT_EQ(request->p_Status(), -1);
    EXPECT_EQ(request->p_ResponseText(), u"");
}

TEST_F(HttpTest, OversizedRepliesFailTheRequest) {
    struct Oversized {
        const char* name;
        std::string bytes;
    };
    std::string manyLines = "HTTP/1.0 200 OK\r\n";
    for (int i = 0; i < c_HttpRequest::kMaxHeaderLines; ++i) manyLines += "X-Pad: 1\r\n";
    manyLines += "\r\nbody";
    const Oversized cases[] = {
        {"too many header lines", manyLines},
        {"body beyond the limit",
         "HTTP/1.0 200 OK\r\n\r\n" + std::string(c_HttpRequest::kMaxBodyBytes + 1, 'a')},
        // Fills the read buffer without a line feed: no room for the rest.
        {"header line longer than the read buffer",
         std::string(c_HttpRequest::kReadBufferSize + 10, 'h')},
    };
    for (const Oversized& c : cases) {
        SCOPED_TRACE(c.name);
        bbInitNet();
        owner_ = Owner();
        Gate release;
        LoopbackServer server([&](int& fd) {
            nettest::ReadHead(fd);
            nettest::SendText(fd, c.bytes);
            release.Take();  // the request must end without the close
        });
        auto request = c_HttpRequest::m_new2(u"GET", server.Url("/"), &owner_);
        request->p_Send();
        Finish(request);
        release.Post();
        EXPECT_EQ(request->p_Status(), -1);
        EXPECT_EQ(request->p_ResponseText(), u"");
    }
}

TEST_F(HttpTest, HeadLongerThanTheWriteBufferIsRefusedNotCut) {
    std::string head = "unset";
    {
        LoopbackServer server([&](int& fd) { head = nettest::ReadHead(fd); });
        const std::string query(c_HttpRequest::kWriteBufferSize, 'q');
        auto request = c_HttpRequest::m_new2(u"GET", server.Url("/?" + query), &owner_);
        request->p_Send();
        Finish(request);
        EXPECT_EQ(request->p_ResponseText(), u"");
        EXPECT_EQ(request->p_Status(), -1);
    }
    // The server saw the connection close without a single byte.
    EXPECT_EQ(head, "");
}

TEST_F(HttpTest, RequestCanBeOpenedAgainAfterItEnded) {
    auto request = std::make_shared<c_HttpRequest>();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        owner_ = Owner();
        LoopbackServer server([&](int& fd) {
            nettest::ReadHead(fd);
            nettest::SendText(fd, "HTTP/1.0 200 OK\r\n\r\nround " + std::to_string(round));
        });
        request->p_Open(u"GET", server.Url("/"), &owner_);
        EXPECT_EQ(request->p_Status(), -1);
        EXPECT_EQ(request->p_ResponseText(), u"");
        request->p_Send();
        Finish(request);
        EXPECT_EQ(request->p_ResponseText(), bbStringFromUtf8("round " + std::to_string(round)));
    }
}

}  // namespace
