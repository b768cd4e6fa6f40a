#include <signal.h>

#include <charconv>
#include <filesystem>
#include <variant>

#include "capture/capture_queue.h"
#include "capture/capture_receiver.h"
#include "cli/arguments.h"
#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/progress_line.h"
#include "cli/session_output.h"
#include "proxy/interception.h"
#include "recorder.h"
#include "bodies/body_view.h"
#include "session_io/session_formats.h"
#include "system_clock.h"
#include "tls/ca_directory.h"
#include "views/recording_switch.h"

namespace tracewell::cli {

const std::string_view kRecordHelp =
    "usage: tracewell record [--listen ADDR:PORT] [-o FILE] [--quiet]\n"
    "                        [--allow-remote-clients [--allow-remote-to-loopback]]\n"
    "                        [--loopback-only] [--ca-dir DIR] [--no-intercept]\n"
    "                        [--pass-through HOST]... [--upstream-ca FILE.pem]...\n"
    "                        [--insecure-upstream] [--store-size MB | --no-store]\n"
    "\n"
    "Runs the recording proxy, by default on 127.0.0.1:8877: set it as the HTTP and\n"
    "HTTPS proxy of a browser or any HTTP client. Recording is on from the start;\n"
    "each request prints its grid row (as 'show' does) when it finishes. Ctrl+C or\n"
    "SIGTERM stops: running requests get 5 seconds to finish, then the session is\n"
    "saved to FILE (default: tracewell-YYYYMMDD-HHMMSS.elf here; the extension names\n"
    "the format: .elf, .har (with the bodies the store holds), .xml, .csv or .txt).\n"
    "A FILE that cannot be written is refused at the start; if it still cannot be\n"
    "written at the end, the session goes to tracewell-YYYYMMDD-HHMMSS-PID with FILE's\n"
    "extension here, else in $TMPDIR or /tmp, and the command says where and exits\n"
    "with 1.\n"
    "\n"
    "  --listen ADDR:PORT       where to listen (port 0: any free port)\n"
    "  --allow-remote-clients   serve clients from other machines too (only\n"
    "                           loopback clients are served otherwise)\n"
    "  --allow-remote-to-loopback\n"
    "                           let clients from other machines reach this one's\n"
    "                           own services (loopback, the proxy's own address)\n"
    "  --loopback-only          forward only to literal loopback addresses\n"
    "  --quiet                  print no rows, no line for each request that was\n"
    "                           refused or whose server failed, and no progress\n"
    "                           line while saving\n"
    "\n"
    "HTTPS is recorded in the clear: the proxy answers each CONNECT with TLS of its\n"
    "own, showing the client a certificate issued by Tracewell's certificate\n"
    "authority (see 'tracewell ca' for how to trust it), and forwards each request\n"
    "inside to the server over TLS, checking the server's certificate.\n"
    "  --ca-dir DIR             the certificate authority kept in DIR (default:\n"
    "                           $XDG_DATA_HOME/tracewell/ca)\n"
    "  --no-intercept           pass every HTTPS connection through as a tunnel:\n"
    "                           one row per connection, with its host and bytes\n"
    "  --pass-through HOST      tunnel HOST (an exact name, or *.SUFFIX for the\n"
    "                           names below SUFFIX) unread; may be repeated\n"
    "  --upstream-ca FILE.pem   trust the authorities in FILE for servers too,\n"
    "                           besides the system's; may be repeated\n"
    "  --insecure-upstream      do not check servers' certificates\n"
    "\n"
    "The proxy keeps what a private HTTP cache would of the responses it forwards\n"
    "(it never answers from them): the records' cache entries before and after\n"
    "each request come from there. The store is $XDG_CACHE_HOME/tracewell/store\n"
    "(default: ~/.cache/tracewell/store); one Tracewell at a time uses it.\n"
    "  --store-size MB          keep at most MB megabytes of bodies, the least\n"
    "                           recently used going first (default: 512)\n"
    "  --no-store               keep no responses: records have no cache entries\n";

namespace {

constexpr OptionSpec kRecordOptions[] = {
    {"--help", "-h", false},          {"--listen", "", true},
    {"--output", "-o", true},         {"--quiet", "-q", false},
    {"--allow-remote-clients", "", false}, {"--allow-remote-to-loopback", "", false},
    {"--loopback-only", "", false},   {"--ca-dir", "", true},
    {"--no-intercept", "", false},    {"--pass-through", "", true, true},
    {"--upstream-ca", "", true, true}, {"--insecure-upstream", "", false},
    {"--store-size", "", true},       {"--no-store", "", false}};

constexpr std::chrono::seconds kShutdownGrace{5};
// How often the session takes what the exchanges posted: small batches keep the
// hand-over from competing with the proxy in bursts.
constexpr timespec kDeliveryTick{0, 10'000'000};

// "ADDR:PORT" with a literal address ("[::1]:8877" for IPv6); port 0 picks a free one.
std::optional<proxy::tcp::endpoint> ListenEndpoint(std::string_view text) {
  const auto colon = text.rfind(':');
  if (colon == std::string_view::npos) return std::nullopt;
  std::string_view host = text.substr(0, colon);
  if (host.starts_with('[') && host.ends_with(']')) host = host.substr(1, host.size() - 2);
  const std::string_view portText = text.substr(colon + 1);
  unsigned port = 0;
  const auto [end, error] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
  proxy::error_code ec;
  const auto address = proxy::asio::ip::make_address(std::string(host), ec);
  if (ec || portText.empty() || error != std::errc() || end != portText.data() + portText.size() ||
      port > 65535) {
    return std::nullopt;
  }
  return proxy::tcp::endpoint(address, static_cast<unsigned short>(port));
}

// The response store the options ask for: none with --no-store; a message when
// --store-size is not a whole number of megabytes.
std::variant<std::optional<store::StoreSettings>, std::string> StoreOf(const ParsedArguments& arguments) {
  const auto size = arguments.Value("--store-size");
  if (arguments.Has("--no-store")) {
    if (size) return std::string("--store-size and --no-store exclude each other");
    return std::optional<store::StoreSettings>();
  }
  std::uint64_t megabytes = store::kDefaultStoreBytes >> 20;
  if (size) {
    const auto [end, error] = std::from_chars(size->data(), size->data() + size->size(), megabytes);
    if (size->empty() || error != std::errc() || end != size->data() + size->size() || megabytes > (1ull << 40)) {
      return "--store-size needs a whole number of megabytes, not '" + *size + "'";
    }
  }
  return std::optional(store::DefaultStoreSettings(megabytes << 20, proxy::StandardErrorLog("tracewell record: ")));
}

// The HTTPS interception the options ask for: none with --no-intercept.
std::variant<std::shared_ptr<proxy::CInterception>, std::string> InterceptionOf(
    const ParsedArguments& arguments) {
  if (arguments.Has("--no-intercept")) return std::shared_ptr<proxy::CInterception>();
  proxy::InterceptionSettings settings;
  settings.authorityDirectory = arguments.Value("--ca-dir").value_or(tls::DefaultCaDirectory());
  for (const auto& file : arguments.Values("--upstream-ca")) settings.upstreamAuthorities.emplace_back(file);
  settings.verifyUpstream = !arguments.Has("--insecure-upstream");
  settings.passThrough = arguments.Values("--pass-through");
  auto made = proxy::CInterception::Make(std::move(settings));
  if (!made.interception) return std::move(made.error);
  return std::move(made.interception);
}

// How HTTPS is handled, for the start message.
std::string HttpsText(const proxy::CInterception* interception) {
  if (interception == nullptr) return "HTTPS passes through as tunnels.";
  std::string text = "HTTPS is intercepted with the certificate authority in " +
                     interception->Authority().Directory().string() +
                     " ('tracewell ca' says how to trust it).";
  if (!interception->VerifiesUpstream()) text += " Servers' certificates are NOT checked.";
  return text;
}

}  // namespace

int RunRecord(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  auto parsed = ParseSubcommand("record", kRecordHelp, args, kRecordOptions, out, err);
  if (const int* exitCode = std::get_if<int>(&parsed)) return *exitCode;
  const auto& arguments = std::get<ParsedArguments>(parsed);
  if (!arguments.positional.empty()) {
    err << "tracewell record: takes no file; name the output with -o\n" << kRecordHelp;
    return kExitUsage;
  }
  proxy::ProxyOptions options;
  if (const auto listen = arguments.Value("--listen")) {
    const auto endpoint = ListenEndpoint(*listen);
    if (!endpoint) {
      err << "tracewell record: --listen needs an address and a port, e.g. 127.0.0.1:8877\n";
      return kExitUsage;
    }
    options.listen = *endpoint;
  }
  auto store = StoreOf(arguments);
  if (const auto* error = std::get_if<std::string>(&store)) {
    err << "tracewell record: " << *error << "\n";
    return kExitUsage;
  }
  options.allowRemoteClients = arguments.Has("--allow-remote-clients");
  options.allowRemoteToLoopback = arguments.Has("--allow-remote-to-loopback");
  options.loopbackUpstreamOnly = arguments.Has("--loopback-only");
  if (!arguments.Has("--quiet")) options.failureLog = proxy::StandardErrorLog("tracewell record: ");
  const std::string output = arguments.Value("--output").value_or(DefaultOutput());
  if (const auto why = WhyNotWritable(output)) {
    err << "tracewell record: cannot write " << output << ": " << *why << "\n";
    return kExitFailed;
  }
  const SessionFormatInfo* format = OutputFormat("record", output, err);
  if (format == nullptr) return kExitUsage;
  auto interception = InterceptionOf(arguments);
  if (const auto* error = std::get_if<std::string>(&interception)) {
    err << "tracewell record: " << *error << "\n";
    return kExitFailed;
  }
  options.interception = std::get<std::shared_ptr<proxy::CInterception>>(interception);

  // The signals are taken by this thread alone, between deliveries.
  const sigset_t stopSignals = BlockStopSignals();

  auto queue = std::make_shared<CCaptureQueue>();
  CRecordPrinter printer(out, arguments.Has("--quiet"));
  CCaptureReceiver receiver(printer);
  auto deliver = [&] {
    for (auto& message : queue->TakeAll()) receiver.Deliver(std::move(message));
  };
  proxy::CSystemResolver resolver;
  const SystemClock clock;
  CRecorder recorder(options, resolver, clock, queue,
                     std::move(std::get<std::optional<store::StoreSettings>>(store)));
  if (const auto ec = recorder.Listen()) {
    err << "tracewell record: cannot listen on " << options.listen << ": " << ec.message() << "\n";
    return kExitFailed;
  }
  {
    CRecordingSwitch recording(recorder);
    recording.Start();
    err << "Recording on " << recorder.Endpoint()
        << " - use it as the HTTP and HTTPS proxy. " << HttpsText(options.interception.get())
        << "\nCtrl+C stops and saves to " << output << "\n";
    for (;;) {
      const int signal = sigtimedwait(&stopSignals, nullptr, &kDeliveryTick);
      deliver();
      if (signal == SIGINT || signal == SIGTERM) break;
    }
  }  // recording off: nothing new is recorded, running requests go on
  recorder.Shutdown(kShutdownGrace);
  deliver();
  // A HAR file keeps the bodies the store still holds.
  std::optional<CStoredBodies> storedBodies;
  if (recorder.Store() != nullptr) storedBodies.emplace(*recorder.Store());
  HarExportOptions har;
  har.storedBodies = storedBodies ? &*storedBodies : nullptr;
  const auto write = [&](const std::filesystem::path& path) {
    const auto progress = ProgressLineFor(err, "saving " + path.string(), arguments.Has("--quiet"));
    return WriteSessionFile(format->format, path, printer.Records(), clock, har, {}, progress.get());
  };
  return SaveSession("record", output, printer.Records(), write, err) ? kExitDone : kExitFailed;
}

std::span<const OptionSpec> RecordOptions() { return kRecordOptions; }

}  // namespace tracewell::cli
