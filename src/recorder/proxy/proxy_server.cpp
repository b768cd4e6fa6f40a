#include "proxy/proxy_server.h"

#include <sys/resource.h>

#include <algorithm>
#include <cstring>

#include "proxy/body_splice.h"
#include "proxy/client_connection.h"
#include "proxy/forwarding_rules.h"

namespace tracewell::proxy {

namespace {

// 0 threads: one per two processors, at least one.
unsigned ThreadCount(const ProxyOptions& options) {
  return options.threads != 0 ? options.threads
                              : std::max(1u, std::thread::hardware_concurrency() / 2);
}

std::vector<std::unique_ptr<asio::io_context>> MakeContexts(unsigned count) {
  std::vector<std::unique_ptr<asio::io_context>> contexts;
  for (unsigned i = 0; i < count; ++i) contexts.push_back(std::make_unique<asio::io_context>(1));
  return contexts;
}

// While every descriptor is taken, accepting fails at once: the next try waits this
// long, so that the loop does not spin while existing connections go on.
constexpr std::chrono::milliseconds kOutOfDescriptorsPause{100};

bool IsOutOfDescriptors(const error_code& ec) {
  return ec == asio::error::no_descriptors ||
         ec == boost::system::errc::too_many_files_open_in_system;
}

// Each connection takes two descriptors (client and origin): the soft limit is raised
// as far as the hard one allows.
void RaiseDescriptorLimit(const FailureLog& log) {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max) return;
  limit.rlim_cur = limit.rlim_max;
  if (setrlimit(RLIMIT_NOFILE, &limit) != 0 && log) {
    log(std::string("cannot raise the open file limit: ") + std::strerror(errno));
  }
}

}  // namespace

CProxyServer::CProxyServer(ProxyOptions options, IHostResolver& resolver,
                           CSchemeBindings& bindings, store::CResponseStore* store)
    : m_options(options),
      m_resolver(resolver),
      m_bindings(bindings),
      m_store(store),
      m_contexts(MakeContexts(ThreadCount(options))),
      m_acceptor(*m_contexts.front()) {}

CProxyServer::~CProxyServer() { Stop(std::chrono::milliseconds(0)); }

error_code CProxyServer::Start() {
  error_code ec;
  m_acceptor.open(m_options.listen.protocol(), ec);
  if (!ec) m_acceptor.set_option(tcp::acceptor::reuse_address(true), ec);
  if (!ec) m_acceptor.bind(m_options.listen, ec);
  if (!ec) m_acceptor.listen(asio::socket_base::max_listen_connections, ec);
  if (ec) {
    m_acceptor.close();
    return ec;
  }
  m_local = m_acceptor.local_endpoint();
  RaiseDescriptorLimit(m_options.failureLog);
  asio::co_spawn(m_acceptor.get_executor(), AcceptLoop(),
                 LogEscapes(m_options.failureLog, "the proxy stopped accepting clients"));
  for (const auto& context : m_contexts) {
    m_keepRunning.push_back(asio::make_work_guard(context->get_executor()));
    m_threads.emplace_back([&io = *context] {
      BlockBrokenPipeSignal();
      io.run();
    });
  }
  return {};
}

void CProxyServer::Stop(std::chrono::milliseconds grace) {
  if (m_threads.empty()) return;
  asio::post(m_acceptor.get_executor(), [this] {
    error_code ignored;
    m_acceptor.close(ignored);
  });
  const auto deadline = std::chrono::steady_clock::now() + grace;
  while (m_activeExchanges > 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  for (const auto& context : m_contexts) context->stop();
  for (auto& thread : m_threads) thread.join();
  m_threads.clear();
  m_keepRunning.clear();
}

Task<> CProxyServer::AcceptLoop() {
  const ConnectionServices services{m_options, m_resolver, m_bindings, m_activeExchanges, m_store};
  for (;;) {
    error_code ec;
    // Each connection stays on the context it is accepted for, in turn.
    asio::io_context& context = *m_contexts[m_nextContext++ % m_contexts.size()];
    Socket client = co_await m_acceptor.async_accept(context.get_executor(), Await(ec));
    if (ec == asio::error::operation_aborted || !m_acceptor.is_open()) co_return;
    if (IsOutOfDescriptors(ec)) {
      if (!m_saidOutOfDescriptors && m_options.failureLog) {
        m_options.failureLog("cannot accept new clients: " + ec.message() +
                             "; trying again every 100 ms, serving the connected ones");
      }
      m_saidOutOfDescriptors = true;
      Timer pause(m_acceptor.get_executor(), kOutOfDescriptorsPause);
      co_await pause.async_wait(Await(ec));
      continue;
    }
    if (ec) continue;  // a client that went away while being accepted
    const tcp::endpoint peer = client.remote_endpoint(ec);
    // A refused client's socket closes here.
    if (ec || !IsAdmittedClient(peer.address(), m_options.allowRemoteClients)) continue;
    const auto executor = client.get_executor();
    asio::co_spawn(executor, ServeClient(std::move(client), services),
                   LogEscapes(m_options.failureLog, "client " + peer.address().to_string()));
  }
}

}  // namespace tracewell::proxy
