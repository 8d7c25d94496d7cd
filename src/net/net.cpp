// net.cpp: start values of the networking globals.
//
// Owns bbInitNet; the globals themselves live with their areas (event sources
// in async.cpp, the socket timeout in socket.cpp).
#include "net/net.h"

void bbInitNet() {
    bb_asyncevent__sources.clear();
    bb_asyncevent__current = nullptr;
    BBSocket::SetTimeout(BBSocket::kDefaultTimeoutMs);
}
