// HTTPS load generator that can go through a forward proxy: each connection opens a
// CONNECT tunnel when --proxy is given, does the TLS handshake inside it and sends GET
// requests with keep-alive (or one connection per request) until the time is up.
// Prints one line: requests=N seconds=S rps=R errors=E p99_ms=L.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <coroutine>
#include <cstdint>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>  // before Asio: Boost 1.74's awaitable.hpp needs it
#include <vector>

#include <boost/asio/ssl.hpp>
#include <boost/beast/ssl.hpp>
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

#include "proxy/asio.h"

namespace {

using namespace tracewell::proxy;
namespace ssl = asio::ssl;
using Clock = std::chrono::steady_clock;
using Stream = beast::basic_stream<tcp, Executor>;
using TlsStream = beast::ssl_stream<Stream>;
constexpr asio::use_awaitable_t<Executor> kAwait;

// A request still unanswered this long after the end is abandoned, so the run stops.
constexpr auto kGrace = std::chrono::seconds(3);
// Pause after a failed connection so that a refused port does not become a busy loop.
constexpr auto kRetryPause = std::chrono::milliseconds(10);

struct HostPort {
  std::string host;
  std::string port;
};

struct Options {
  HostPort target;
  std::string path;
  std::optional<HostPort> proxy;
  int connections = 32;
  int threads = 2;
  double seconds = 5;
  bool newConnectionPerRequest = false;
  std::string cacert;
  bool insecure = false;
};

// What one connection measured; each is touched by one thread only.
struct Tally {
  std::vector<std::uint32_t> latenciesUs;
  std::uint64_t errors = 0;
  std::string firstError;
};

// Everything the connections share, read-only once the run starts.
struct Run {
  const Options& options;
  ssl::context& tls;
  tcp::resolver::results_type firstHop;  // the proxy, or the server itself
  std::string connectRequest;
  std::string getRequest;
  Clock::time_point deadline;
};

HostPort SplitHostPort(const std::string& text, const std::string& defaultPort) {
  const auto colon = text.rfind(':');
  if (colon == std::string::npos) return {text, defaultPort};
  return {text.substr(0, colon), text.substr(colon + 1)};
}

// https://host[:port][/path]
bool ParseUrl(const std::string& url, Options& options) {
  const std::string scheme = "https://";
  if (!url.starts_with(scheme)) return false;
  const auto slash = url.find('/', scheme.size());
  const auto authority = url.substr(scheme.size(), slash - scheme.size());
  options.target = SplitHostPort(authority, "443");
  options.path = slash == std::string::npos ? "/" : url.substr(slash);
  return !options.target.host.empty();
}

std::optional<Options> ParseOptions(int argc, char** argv) try {
  Options options;
  bool haveUrl = false;
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw std::invalid_argument(name + " needs a value");
      return argv[++i];
    };
    if (name == "--url") haveUrl = ParseUrl(value(), options);
    else if (name == "--proxy") options.proxy = SplitHostPort(value(), "8080");
    else if (name == "--connections") options.connections = std::stoi(value());
    else if (name == "--threads") options.threads = std::stoi(value());
    else if (name == "--seconds") options.seconds = std::stod(value());
    else if (name == "--new-connection-per-request") options.newConnectionPerRequest = true;
    else if (name == "--cacert") options.cacert = value();
    else if (name == "--insecure") options.insecure = true;
    else return std::nullopt;
  }
  const bool oneTrust = options.insecure != !options.cacert.empty();
  if (!haveUrl || !oneTrust || options.connections < 1 || options.threads < 1 || !(options.seconds > 0))
    return std::nullopt;
  return options;
} catch (const std::exception&) {
  return std::nullopt;
}

// SNI and the name or address the certificate must carry. SNI is for names only, so
// an address literal is sent without it, as browsers do.
void ExpectServer(SSL* session, const Options& options) {
  const char* host = options.target.host.c_str();
  boost::system::error_code notAnAddress;
  asio::ip::make_address(host, notAnAddress);
  // SSL_set_tlsext_host_name, spelled out: the macro's C-style cast fails the warnings.
  if (notAnAddress && SSL_ctrl(session, SSL_CTRL_SET_TLSEXT_HOSTNAME, TLSEXT_NAMETYPE_host_name,
                               const_cast<char*>(host)) != 1)
    throw std::runtime_error("cannot set SNI");
  if (options.insecure) return;
  const int expected = notAnAddress ? SSL_set1_host(session, host)
                                    : X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(session), host);
  if (expected != 1) throw std::runtime_error("cannot expect " + options.target.host);
}

Task<> OpenTunnel(Stream& stream, const Run& run) {
  co_await asio::async_write(stream, asio::buffer(run.connectRequest), kAwait);
  beast::flat_buffer buffer;
  http::response_parser<http::empty_body> parser;
  parser.skip(true);  // a 2xx answer to CONNECT has no body
  co_await http::async_read_header(stream, buffer, parser, kAwait);
  if (parser.get().result_int() / 100 != 2 || buffer.size() != 0)
    throw std::runtime_error("CONNECT answered " + std::to_string(parser.get().result_int()));
}

Task<std::unique_ptr<TlsStream>> Open(const Run& run) {
  auto stream = std::make_unique<TlsStream>(Stream(co_await asio::this_coro::executor), run.tls);
  auto& tcpStream = beast::get_lowest_layer(*stream);
  tcpStream.expires_at(run.deadline + kGrace);  // bounds every later operation too
  co_await tcpStream.async_connect(run.firstHop, kAwait);
  tcpStream.socket().set_option(tcp::no_delay(true));
  if (run.options.proxy) co_await OpenTunnel(tcpStream, run);
  ExpectServer(stream->native_handle(), run.options);
  co_await stream->async_handshake(ssl::stream_base::client, kAwait);
  co_return stream;
}

// One request and its whole response; true when the connection can carry another.
Task<bool> Exchange(TlsStream& stream, beast::flat_buffer& buffer, const Run& run) {
  co_await asio::async_write(stream, asio::buffer(run.getRequest), kAwait);
  http::response<http::string_body> response;
  co_await http::async_read(stream, buffer, response, kAwait);
  if (response.result_int() / 100 != 2)
    throw std::runtime_error("answered " + std::to_string(response.result_int()));
  co_return response.keep_alive();
}

Task<> Connection(const Run& run, Tally& tally) {
  std::unique_ptr<TlsStream> stream;
  beast::flat_buffer buffer;
  while (Clock::now() < run.deadline) {
    const auto started = Clock::now();  // a request's time includes opening its connection
    bool failed = false;
    try {
      if (!stream) {
        buffer.clear();
        stream = co_await Open(run);
      }
      const bool reusable = co_await Exchange(*stream, buffer, run);
      const auto finished = Clock::now();
      if (finished < run.deadline) {
        const auto us = std::chrono::duration_cast<std::chrono::microseconds>(finished - started);
        tally.latenciesUs.push_back(static_cast<std::uint32_t>(us.count()));
      }
      if (!reusable || run.options.newConnectionPerRequest) stream.reset();
    } catch (const std::exception& error) {
      if (tally.errors++ == 0) tally.firstError = error.what();
      stream.reset();
      failed = true;
    }
    if (failed) {
      asio::basic_waitable_timer<Clock, asio::wait_traits<Clock>, Executor> pause(
          co_await asio::this_coro::executor, kRetryPause);
      co_await pause.async_wait(kAwait);
    }
  }
}

void ConfigureTrust(ssl::context& tls, const Options& options) {
  if (options.insecure) {
    tls.set_verify_mode(ssl::verify_none);
    return;
  }
  tls.load_verify_file(options.cacert);
  tls.set_verify_mode(ssl::verify_peer);
}

std::string Authority(const Options& options) { return options.target.host + ":" + options.target.port; }

std::string ConnectRequest(const Options& options) {
  return "CONNECT " + Authority(options) + " HTTP/1.1\r\nHost: " + Authority(options) + "\r\n\r\n";
}

std::string GetRequest(const Options& options) {
  const std::string close = options.newConnectionPerRequest ? "Connection: close\r\n" : "";
  return "GET " + options.path + " HTTP/1.1\r\nHost: " + Authority(options) + "\r\n" + close + "\r\n";
}

// Prints the summary line (and the first error, on stderr); returns the requests answered.
std::size_t Report(const std::vector<Tally>& tallies, double seconds) {
  std::vector<std::uint32_t> latencies;
  std::uint64_t errors = 0;
  std::string firstError;
  for (const auto& tally : tallies) {
    latencies.insert(latencies.end(), tally.latenciesUs.begin(), tally.latenciesUs.end());
    errors += tally.errors;
    if (firstError.empty()) firstError = tally.firstError;
  }
  if (!firstError.empty()) std::cerr << "tracewell_tls_load: first error: " << firstError << "\n";
  std::sort(latencies.begin(), latencies.end());
  const auto count = latencies.size();
  const auto p99Index = static_cast<std::size_t>(std::ceil(0.99 * static_cast<double>(count)));
  const double p99Ms = count == 0 ? 0 : latencies[std::max<std::size_t>(p99Index, 1) - 1] / 1000.0;
  std::cout << "requests=" << count << " seconds=" << seconds
            << " rps=" << static_cast<double>(count) / seconds << " errors=" << errors
            << " p99_ms=" << p99Ms << "\n";
  return count;
}

}  // namespace

int main(int argc, char** argv) try {
  const auto options = ParseOptions(argc, argv);
  if (!options) {
    std::cerr << "usage: tracewell_tls_load --url https://HOST:PORT/PATH [--proxy HOST:PORT]\n"
                 "  [--connections 32] [--threads 2] [--seconds 5] [--new-connection-per-request]\n"
                 "  (--cacert FILE | --insecure)\n";
    return 2;
  }
  ssl::context tls(ssl::context::tls_client);
  ConfigureTrust(tls, *options);
  const auto& firstHop = options->proxy ? *options->proxy : options->target;
  asio::io_context resolverContext;
  Run run{*options, tls, tcp::resolver(resolverContext).resolve(firstHop.host, firstHop.port),
          ConnectRequest(*options), GetRequest(*options), {}};

  std::vector<std::unique_ptr<asio::io_context>> contexts;
  for (int i = 0; i < options->threads; ++i) contexts.push_back(std::make_unique<asio::io_context>(1));
  std::vector<Tally> tallies(static_cast<std::size_t>(options->connections));
  run.deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                    std::chrono::duration<double>(options->seconds));
  for (std::size_t i = 0; i < tallies.size(); ++i)
    asio::co_spawn(contexts[i % contexts.size()]->get_executor(), Connection(run, tallies[i]),
                   asio::detached);
  {
    std::vector<std::jthread> threads;
    for (auto& context : contexts) threads.emplace_back([&context] { context->run(); });
  }
  return Report(tallies, options->seconds) > 0 ? 0 : 1;
} catch (const std::exception& error) {
  std::cerr << "tracewell_tls_load: " << error.what() << "\n";
  return 1;
}
