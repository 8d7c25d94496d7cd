// net.h: the networking layer: sockets, asynchronous operations, HTTP client.
//
// Include this for everything the layer offers:
//   socket.h      BBSocket, BBSocketAddress (blocking BSD socket calls)
//   thread.h      BBThread, c_Thread (detached worker runs)
//   databuffer.h  BBDataBuffer, c_DataBuffer (byte buffers, "utf8"/"ascii")
//   async.h       c_Socket, its queues and operations, bb_asyncevent_*
//   http.h        c_Url, c_HttpRequest
// The program calls bbInitNet once at start-up (inside bbInit); then, once per
// update, bb_asyncevent_UpdateAsyncEvents delivers finished operations.
#pragma once

#include "net/async.h"
#include "net/databuffer.h"
#include "net/http.h"
#include "net/socket.h"
#include "net/thread.h"

// Gives the networking globals their start values: no event sources, nothing
// being updated, the default socket timeout.
void bbInitNet();
