#pragma once
// The recording proxy: listens (on loopback unless told otherwise), serves each
// client connection on one of a few threads, each running an io_context of its own
// (a connection's steps never cross threads, so they need no strand), and stops
// gracefully.

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "proxy/asio.h"
#include "capture/scheme_bindings.h"
#include "proxy/host_resolver.h"
#include "proxy/proxy_options.h"
#include "store/response_store.h"

namespace tracewell::proxy {

class CProxyServer {
 public:
  // `store` (null: none) keeps what a private cache would of the forwarded responses.
  CProxyServer(ProxyOptions options, IHostResolver& resolver, CSchemeBindings& bindings,
               store::CResponseStore* store = nullptr);
  // Stops at once: running exchanges are cut off and end as aborted.
  ~CProxyServer();
  CProxyServer(const CProxyServer&) = delete;
  CProxyServer& operator=(const CProxyServer&) = delete;

  // Binds the listening address and starts serving; the error when it cannot bind.
  error_code Start();
  // The address clients use (the real port when 0 was asked for).
  tcp::endpoint LocalEndpoint() const { return m_local; }
  // Stops accepting and gives running exchanges up to `grace` to end; then closes
  // every connection. Safe to call more than once.
  void Stop(std::chrono::milliseconds grace);

  std::size_t ActiveExchanges() const { return m_activeExchanges; }

 private:
  using WorkGuard = asio::executor_work_guard<Executor>;

  Task<> AcceptLoop();

  ProxyOptions m_options;
  IHostResolver& m_resolver;
  CSchemeBindings& m_bindings;
  store::CResponseStore* m_store;
  std::atomic<std::size_t> m_activeExchanges{0};
  tcp::endpoint m_local;
  std::vector<std::thread> m_threads;
  // After the members above, so that they go first: their pending handlers reference
  // those members. The first context also accepts.
  std::vector<std::unique_ptr<asio::io_context>> m_contexts;
  std::vector<WorkGuard> m_keepRunning;  // a context without connections waits for some
  std::size_t m_nextContext = 0;
  bool m_saidOutOfDescriptors = false;  // the accept loop's own
  tcp::acceptor::rebind_executor<Executor>::other m_acceptor;
};

}  // namespace tracewell::proxy
