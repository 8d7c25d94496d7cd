// http.cpp: URL parsing and the HTTP/1.0 request state machine.
//
// Owns no globals. A request moves through: opened, connect queued, head sent
// and receive running, header phase (lines scanned across reads), body phase
// (chunks until the server closes), finished. Every step is a socket callback
// on the main thread. Depends on net/async.h (c_Socket) and
// net/databuffer.h (encodings).
#include "net/http.h"

#include <cstring>

namespace {

constexpr char16_t kLineFeed = 10;
constexpr char16_t kBlank = 32;  // this and every lower code is trimmed from header lines

String Trim(const String& text) {
    size_t start = 0;
    size_t end = text.size();
    while (start < end && text[start] <= kBlank) ++start;
    while (end > start && text[end - 1] <= kBlank) --end;
    return text.substr(start, end - start);
}

String ToUpper(String text) {
    for (char16_t& unit : text)
        if (unit >= u'a' && unit <= u'z') unit = static_cast<char16_t>(unit - u'a' + u'A');
    return text;
}

std::vector<String> SplitAtSpaces(const String& text) {
    std::vector<String> parts;
    size_t start = 0;
    for (;;) {
        const size_t space = text.find(u' ', start);
        if (space == String::npos) break;
        parts.push_back(text.substr(start, space - start));
        start = space + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

String Join(const std::vector<String>& lines, const String& separator) {
    String out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out += separator;
        out += lines[i];
    }
    return out;
}

// Position of the first `what` at or after `from` and before `end`, or npos.
size_t FindBefore(const String& text, const String& what, size_t from, size_t end) {
    const size_t at = text.find(what, from);
    return at < end ? at : String::npos;
}

String Between(const String& text, size_t from, size_t to) {
    return text.substr(from, to - from);
}

}  // namespace

// ---------------------------------------------------------------------------
// URLs

c_Url* c_Url::m_new(const String& url, const String& defaultScheme, int defaultPort) {
    m_defaultScheme = defaultScheme;
    m_defaultPort = defaultPort;
    p_Set2(url);
    return this;
}

void c_Url::p_Set2(const String& url) {
    constexpr size_t npos = String::npos;
    m_url = url;
    m_scheme = m_defaultScheme;
    m_username = m_password = m_domain = m_query = m_fragment = String();
    m_port = m_defaultPort;
    m_path = u"/";

    size_t query = url.find(u'?');
    const size_t hash = url.find(u'#');
    if (query != npos && hash != npos && query > hash) query = npos;  // "?" inside the fragment
    const size_t end = query != npos ? query : (hash != npos ? hash : url.size());

    size_t start = 0;
    const size_t scheme = FindBefore(url, u"://", 0, end);
    if (scheme != npos) {
        m_scheme = url.substr(0, scheme);
        start = scheme + 3;
    }
    const size_t at = FindBefore(url, u"@", start, end);
    if (at != npos) {
        const String user = Between(url, start, at);
        const size_t colon = user.find(u':');
        if (colon != npos) {
            m_username = user.substr(0, colon);
            m_password = user.substr(colon + 1);
        } else {
            m_username = user;
        }
        start = at + 1;
    }

    const size_t colon = FindBefore(url, u":", start, end);
    const size_t slash = FindBefore(url, u"/", start, end);
    if (colon == npos && slash == npos) {
        m_domain = Between(url, start, end);
    } else if (colon != npos && slash != npos && colon < slash) {
        m_domain = Between(url, start, colon);
        m_port = bbStringToInt(Between(url, colon + 1, slash));
        m_path = Between(url, slash, end);
    } else if (colon != npos && slash == npos) {
        m_domain = Between(url, start, colon);
        m_port = bbStringToInt(Between(url, colon + 1, end));
    } else {
        m_domain = Between(url, start, slash);
        m_path = Between(url, slash, end);
    }

    if (query != npos) m_query = Between(url, query + 1, hash != npos ? hash : url.size());
    if (hash != npos) m_fragment = url.substr(hash + 1);
}

String c_Url::p_FullPath() const {
    String path = m_path;
    if (!m_query.empty()) path += u"?" + m_query;
    if (!m_fragment.empty()) path += u"#" + m_fragment;
    return path;
}

// ---------------------------------------------------------------------------
// Requests: set-up

std::shared_ptr<c_HttpRequest> c_HttpRequest::m_new2(const String& method, const String& url,
                                                     c_IOnHttpRequestComplete* callback) {
    auto request = std::make_shared<c_HttpRequest>();
    request->p_Open(method, url, callback);
    return request;
}

c_HttpRequest::c_HttpRequest()
    : m_writeBuffer(c_DataBuffer::Create(kWriteBufferSize)),
      m_readBuffer(c_DataBuffer::Create(kReadBufferSize)) {}

void c_HttpRequest::p_Open(const String& method, const String& url,
                           c_IOnHttpRequestComplete* callback) {
    m_method = method;
    m_url.m_new(url, u"http", 80);
    m_callback = callback;
    m_bodyBuffer.reset();
    m_bodyLength = 0;
    m_status = -1;
    m_hasResponse = false;
    m_responseChunks.clear();
    m_responseText.clear();
    m_socket.reset();
    m_bodyBytes = 0;
    m_finished = false;
    m_headerLines = {method + u" " + m_url.p_FullPath() + u" HTTP/1.0",
                     u"Host: " + m_url.p_Domain()};
}

void c_HttpRequest::p_Send() {
    m_socket = c_Socket::m_new(u"stream");
    m_socket->p_ConnectAsync(m_url.p_Domain(), m_url.p_Port(), shared_from_this());
}

void c_HttpRequest::p_Send2(const String& data, const String& mimeType, const String& encoding) {
    const size_t capacity = std::min<size_t>(data.size() * 3, INT32_MAX);
    m_bodyBuffer = c_DataBuffer::Create(static_cast<int>(capacity));
    m_bodyLength = m_bodyBuffer->p_PokeString(0, data, encoding);
    if (!mimeType.empty()) m_headerLines.push_back(u"Content-Type: " + mimeType);
    m_headerLines.push_back(u"Content-Length: " + bbStringFromInt(m_bodyLength));
    p_Send();
}

void c_HttpRequest::p_Finish() {
    if (m_finished) return;
    m_finished = true;
    if (m_socket) m_socket->p_Close();
    if (m_hasResponse) {
        m_responseText = Join(m_responseChunks, String());
        m_responseChunks.clear();
    }
    if (m_callback) m_callback->p_OnHttpRequestComplete(this);
}

void c_HttpRequest::Fail() {
    m_status = -1;
    m_hasResponse = false;
    m_responseChunks.clear();
    p_Finish();
}

// ---------------------------------------------------------------------------
// Requests: socket callbacks

void c_HttpRequest::p_OnConnectComplete(bool connected,
                                        const std::shared_ptr<c_Socket>& /*source*/) {
    if (m_finished) return;
    if (!connected) {
        p_Finish();
        return;
    }
    m_headerLines.push_back(String());
    m_headerLines.push_back(String());
    const int headLength = m_writeBuffer->p_PokeString(0, Join(m_headerLines, u"\r\n"), u"ascii");
    m_headerLines.clear();
    // A head cut at the end of the buffer would be a different request.
    if (headLength > m_writeBuffer->Length()) {
        Fail();
        return;
    }
    if (!m_socket->p_IsConnected()) return;
    m_socket->p_SendAsync(m_writeBuffer, 0, headLength, shared_from_this());
    if (m_socket->p_IsConnected()) ReceiveAt(0);
}

void c_HttpRequest::p_OnSendComplete(const std::shared_ptr<c_DataBuffer>& /*data*/, int /*offset*/,
                                     int /*count*/, const std::shared_ptr<c_Socket>& /*source*/) {
    if (m_bodyLength != 0 && !m_finished && m_socket->p_IsConnected())
        m_socket->p_SendAsync(m_bodyBuffer, 0, m_bodyLength, shared_from_this());
    m_bodyLength = 0;
}

void c_HttpRequest::p_OnReceiveComplete(const std::shared_ptr<c_DataBuffer>& data, int offset,
                                        int count, const std::shared_ptr<c_Socket>& /*source*/) {
    if (m_finished) return;
    // 0: the server closed the connection. Negative: the receive failed
    // (reset, timeout); the response ends there in the same way.
    if (count <= 0) {
        p_Finish();
        return;
    }
    if (m_hasResponse) {
        AppendBody(data, offset, count);
        if (!m_finished && m_socket->p_IsConnected()) ReceiveAt(0);
        return;
    }
    ReadHeader(data, offset, count);
}

void c_HttpRequest::ReceiveAt(int offset) {
    m_socket->p_ReceiveAsync(m_readBuffer, offset, kReadBufferSize - offset, shared_from_this());
}

// The buffer holds the unfinished line carried over from earlier reads
// (0..offset-1) followed by the new bytes.
void c_HttpRequest::ReadHeader(const std::shared_ptr<c_DataBuffer>& data, int offset, int count) {
    const int end = offset + count;
    int lineStart = 0;
    for (int i = offset; i < end; ++i) {
        if (data->Data()[i] != kLineFeed) continue;
        const String line = Trim(data->p_PeekString(lineStart, i - lineStart, u"ascii"));
        lineStart = i + 1;
        if (line.empty()) {
            EndHeader(data, i, end);
            return;
        }
        if (static_cast<int>(m_headerLines.size()) >= kMaxHeaderLines) {
            Fail();
            return;
        }
        m_headerLines.push_back(line);
    }
    const int unfinished = end - lineStart;
    if (lineStart != 0 && unfinished > 0)
        std::memmove(data->Data(), data->Data() + lineStart, unfinished);
    if (m_socket->p_IsConnected()) ReceiveAt(unfinished);
}

void c_HttpRequest::EndHeader(const std::shared_ptr<c_DataBuffer>& data, int lineFeed, int end) {
    if (m_headerLines.empty()) {
        p_Finish();
        return;
    }
    const std::vector<String> parts = SplitAtSpaces(ToUpper(m_headerLines.front()));
    if (parts.size() <= 2 || parts[0].compare(0, 5, u"HTTP/") != 0) {
        p_Finish();
        return;
    }
    m_status = bbStringToInt(parts[1]);
    m_hasResponse = true;
    if (lineFeed + 1 < end) AppendBody(data, lineFeed + 1, end - lineFeed - 1);
    if (!m_finished && m_socket->p_IsConnected()) ReceiveAt(0);
}

void c_HttpRequest::AppendBody(const std::shared_ptr<c_DataBuffer>& data, int offset, int count) {
    m_bodyBytes += count;
    if (m_bodyBytes > kMaxBodyBytes) {
        Fail();
        return;
    }
    m_responseChunks.push_back(data->p_PeekString(offset, count, u"utf8"));
}
