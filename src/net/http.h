// http.h: c_Url and c_HttpRequest, a minimal asynchronous HTTP/1.0 client.
//
// A request parses its URL, connects a "stream" c_Socket, sends the request
// head (and an optional body), reads the response header line by line and
// collects the body until the server closes the connection; then it calls its
// owner back once, on the main thread, during bb_asyncevent_UpdateAsyncEvents.
//
//   auto request = c_HttpRequest::m_new2(u"GET", u"http://host/Scores.php?Game=1", owner);
//   request->p_Send();
//   ... once per update: bb_asyncevent_UpdateAsyncEvents();
//   ... owner->p_OnHttpRequestComplete(request): request->p_ResponseText()
//
// Requests are shared by reference (std::make_shared or m_new2): the socket
// operations keep a running request alive. One request runs at a time per
// object; it must not be reused while running.
//
// Failure: nothing here is fatal. A failed connect, a refused or reset
// connection, a silent server (socket timeout), a header that never ends, a
// status line that is not "HTTP/x code ...", a request head longer than the
// write buffer and a response beyond the size limits all end the request with
// the response text "". A receive error ends it like the end of the stream.
#pragma once

#include <memory>
#include <vector>

#include "host/text.h"
#include "net/async.h"
#include "net/databuffer.h"

// [scheme "://"] [user [":" password] "@"] domain [":" port] [path] ["?" query] ["#" fragment]
class c_Url {
  public:
    c_Url* m_new(const String& url, const String& defaultScheme, int defaultPort);
    void p_Set2(const String& url);
    // Path, then "?" query and "#" fragment when not empty.
    String p_FullPath() const;
    const String& p_Domain() const { return m_domain; }
    int p_Port() const { return m_port; }

    String m_defaultScheme;
    int m_defaultPort = 0;
    String m_url;
    String m_scheme;
    String m_username;
    String m_password;
    String m_domain;
    int m_port = 0;
    String m_path = u"/";
    String m_query;
    String m_fragment;
};

class c_HttpRequest;

class c_IOnHttpRequestComplete {
  public:
    virtual ~c_IOnHttpRequestComplete() = default;
    virtual void p_OnHttpRequestComplete(c_HttpRequest* request) = 0;
};

class c_HttpRequest : public c_IOnConnectComplete,
                      public c_IOnSendComplete,
                      public c_IOnReceiveComplete,
                      public std::enable_shared_from_this<c_HttpRequest> {
  public:
    static constexpr int kWriteBufferSize = 4096;  // the whole request head
    static constexpr int kReadBufferSize = 16384;  // one read; also the longest header line
    static constexpr int kMaxBodyBytes = 1 << 20;  // a longer body fails the request
    static constexpr int kMaxHeaderLines = 100;    // status line included

    // The callback must outlive the request's run (the game object does).
    static std::shared_ptr<c_HttpRequest> m_new2(const String& method, const String& url,
                                                 c_IOnHttpRequestComplete* callback);
    c_HttpRequest();

    // Resets the request and prepares the request line and the Host line.
    void p_Open(const String& method, const String& url, c_IOnHttpRequestComplete* callback);
    // Connects to the URL's domain and port; the rest follows on updates.
    void p_Send();
    // Sends data as a body encoded with "utf8" or "ascii", with
    // Content-Type (when mimeType is not empty) and Content-Length lines.
    void p_Send2(const String& data, const String& mimeType, const String& encoding);
    const String& p_ResponseText() const { return m_responseText; }
    int p_Status() const { return m_status; }
    // Closes the socket, joins the body and calls back; only the first call
    // of a run has an effect.
    void p_Finish();

    void p_OnConnectComplete(bool connected, const std::shared_ptr<c_Socket>& source) override;
    void p_OnSendComplete(const std::shared_ptr<c_DataBuffer>& data, int offset, int count,
                          const std::shared_ptr<c_Socket>& source) override;
    void p_OnReceiveComplete(const std::shared_ptr<c_DataBuffer>& data, int offset, int count,
                             const std::shared_ptr<c_Socket>& source) override;

    String m_method;
    c_Url m_url;
    c_IOnHttpRequestComplete* m_callback = nullptr;
    std::shared_ptr<c_DataBuffer> m_bodyBuffer;
    int m_bodyLength = 0;
    int m_status = -1;
    bool m_hasResponse = false;  // the response chunks exist: the header has ended
    std::vector<String> m_responseChunks;
    String m_responseText;
    std::vector<String> m_headerLines;
    std::shared_ptr<c_Socket> m_socket;
    std::shared_ptr<c_DataBuffer> m_writeBuffer;
    std::shared_ptr<c_DataBuffer> m_readBuffer;

  private:
    void ReceiveAt(int offset);
    void ReadHeader(const std::shared_ptr<c_DataBuffer>& data, int offset, int count);
    // Ends the header at the empty line whose line feed is at lineFeed.
    void EndHeader(const std::shared_ptr<c_DataBuffer>& data, int lineFeed, int end);
    void AppendBody(const std::shared_ptr<c_DataBuffer>& data, int offset, int count);
    // Ends the request with no response: status -1, response text "".
    void Fail();

    int m_bodyBytes = 0;      // body bytes received so far
    bool m_finished = false;  // p_Finish has run for this request
};
