#pragma once
// One client connection of the proxy: requests read one after another, each sent to
// its origin over a connection kept for the next request to the same origin and
// answered with the origin's response as it streams in; or a CONNECT tunnel.

#include <atomic>
#include <cstddef>

#include "proxy/asio.h"
#include "capture/scheme_bindings.h"
#include "proxy/host_resolver.h"
#include "proxy/proxy_options.h"
#include "store/response_store.h"

namespace tracewell::proxy {

struct ConnectionServices {
  const ProxyOptions& options;
  IHostResolver& resolver;
  CSchemeBindings& bindings;
  std::atomic<std::size_t>& activeExchanges;  // exchanges started and not yet ended
  // What a private cache would keep of the responses; null: nothing is kept.
  store::CResponseStore* store;
};

// Serves `client` until either side closes it, on the socket's executor, which one
// thread runs.
Task<> ServeClient(Socket client, ConnectionServices services);

}  // namespace tracewell::proxy
