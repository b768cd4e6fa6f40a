#include <signal.h>

#include <charconv>
#include <filesystem>
#include <optional>
#include <variant>

#include "browse_runner.h"
#include "browser_profile.h"
#include "capture/capture_queue.h"
#include "capture/capture_receiver.h"
#include "capture/capture_registration.h"
#include "capture/no_cache_store.h"
#include "cli/arguments.h"
#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/progress_line.h"
#include "cli/session_output.h"
#include "session_io/session_formats.h"
#include "system_clock.h"

namespace tracewell::cli {

const std::string_view kBrowseHelp =
    "usage: tracewell browse [URL...] [--headless] [-o FILE] [--timeout SECONDS]\n"
    "                        [--profile DIR] [--loopback-only] [--quiet]\n"
    "\n"
    "Starts Chromium (Debian's package 'chromium') and records every request it makes\n"
    "from inside the browser: cache hits, HTTPS and HTTP/2 included, no proxy needed.\n"
    "Each request prints its grid row (as 'show' does) when it finishes.\n"
    "\n"
    "A browser window opens on the first URL, and each further URL in a tab of its\n"
    "own. Closing the browser, Ctrl+C or SIGTERM ends the session, which is saved to\n"
    "FILE (default: tracewell-YYYYMMDD-HHMMSS.elf here; the extension names the\n"
    "format: .elf, .har, .xml, .csv or .txt).\n"
    "\n"
    "  --headless               no window: the URLs load one after another in one\n"
    "                           tab, each until its load event and 500 ms without\n"
    "                           network activity; then the session is saved and the\n"
    "                           command ends (1 when a URL did not finish loading)\n"
    "  --timeout SECONDS        the longest one URL may take with --headless\n"
    "                           (default 30)\n"
    "  --profile DIR            keep the browser's profile in DIR (default: a fresh\n"
    "                           one under $XDG_DATA_HOME/tracewell/profiles, removed\n"
    "                           at the end)\n"
    "  --loopback-only          every host name but localhost fails to resolve, so\n"
    "                           the browser reaches only this machine\n"
    "  --quiet                  print no rows, and no progress line while saving\n";

namespace {

constexpr OptionSpec kBrowseOptions[] = {
    {"--help", "-h", false},    {"--headless", "", false}, {"--output", "-o", true},
    {"--timeout", "", true},    {"--profile", "", true},   {"--loopback-only", "", false},
    {"--quiet", "-q", false}};

using namespace std::chrono_literals;

constexpr auto kDefaultTimeout = 30s;
// The longest wait for the browser to show its first tab.
constexpr auto kStartTimeout = 30s;
constexpr auto kCloseGrace = 3000ms;

std::optional<std::chrono::seconds> SecondsOf(std::string_view text) {
  unsigned seconds = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  if (error != std::errc() || end != text.data() + text.size() || seconds == 0) return std::nullopt;
  return std::chrono::seconds(seconds);
}

// Whether SIGINT or SIGTERM came (they are blocked, and taken here).
bool StopRequested(const sigset_t& signals) {
  const timespec now{0, 0};
  const int signal = sigtimedwait(&signals, nullptr, &now);
  return signal == SIGINT || signal == SIGTERM;
}

// The recording side of the command: the session that the browser's records reach.
class BrowseRun {
 public:
  BrowseRun(const ParsedArguments& arguments, std::ostream& out, std::ostream& err)
      : m_arguments(arguments),
        m_err(err),
        m_printer(out, arguments.Has("--quiet")),
        m_receiver(m_printer),
        m_queue(std::make_shared<CCaptureQueue>()),
        m_registration(m_bindings, CaptureServices{m_clock, m_noCache}),
        m_runner(m_bindings, [this] { Deliver(); },
                 [this](std::string_view reason) { m_err << "tracewell browse: " << reason << "\n"; }) {}

  // Launches the browser with recording on; the reason when it cannot start.
  std::optional<std::string> Start(const browser::CBrowserProfile& profile) {
    m_registration.StartCapture(m_queue);
    return m_runner.Start(browser::LaunchSettings::For(profile, m_arguments.Has("--headless"),
                                                       m_arguments.Has("--loopback-only")),
                          kStartTimeout);
  }

  // Loads each URL in turn until it has settled; false when one did not in time.
  bool LoadHeadless(const std::vector<std::string>& urls, std::chrono::seconds timeout) {
    bool allLoaded = true;
    for (const auto& url : urls) {
      std::string refused;
      const auto result = m_runner.Load(url, timeout, &refused);
      // A refused page is a row of its own; the tab shows an error page.
      if (!refused.empty()) m_err << "tracewell browse: " << url << ": " << refused << "\n";
      if (result == browser::CBrowseRunner::LoadResult::kBrowserEnded) {
        m_err << "tracewell browse: the browser ended while loading " << url << "\n";
        return false;
      }
      if (result == browser::CBrowseRunner::LoadResult::kTimedOut) {
        m_err << "tracewell browse: " << url << " did not finish loading within "
              << timeout.count() << " s\n";
        allLoaded = false;
      }
    }
    return allLoaded;
  }

  // Opens the URLs (the first in the tab, each other in a new tab) and runs until the
  // browser is closed or a stop signal comes.
  void RunWindow(const std::vector<std::string>& urls, const sigset_t& stopSignals) {
    for (std::size_t i = 0; i < urls.size(); ++i) {
      if (i == 0) m_runner.Session().Navigate(urls[i]);
      else m_runner.Session().Client().Send("Target.createTarget", {{"url", urls[i]}});
    }
    while (m_runner.IsOpen() && !StopRequested(stopSignals)) {
      m_runner.RunUntil([] { return false; }, browser::CBrowseRunner::Clock::now() + 100ms);
    }
  }

  // Closes the browser, ends recording and hands over the last records.
  const TransactionArray& Finish() {
    m_runner.Close(kCloseGrace);
    m_registration.StopCapture();
    Deliver();
    return m_printer.Records();
  }

  const IClock& SessionClock() const { return m_clock; }

 private:
  void Deliver() {
    for (auto& message : m_queue->TakeAll()) m_receiver.Deliver(std::move(message));
  }

  const ParsedArguments& m_arguments;
  std::ostream& m_err;
  CRecordPrinter m_printer;
  CCaptureReceiver m_receiver;
  std::shared_ptr<CCaptureQueue> m_queue;
  const SystemClock m_clock;
  CNoCacheStore m_noCache;
  CSchemeBindings m_bindings;
  CCaptureRegistration m_registration;
  browser::CBrowseRunner m_runner;
};

}  // namespace

int RunBrowse(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  auto parsed = ParseSubcommand("browse", kBrowseHelp, args, kBrowseOptions, out, err);
  if (const int* exitCode = std::get_if<int>(&parsed)) return *exitCode;
  const auto& arguments = std::get<ParsedArguments>(parsed);
  const bool headless = arguments.Has("--headless");
  if (headless && arguments.positional.empty()) {
    err << "tracewell browse: --headless needs at least one URL\n" << kBrowseHelp;
    return kExitUsage;
  }
  std::chrono::seconds timeout = kDefaultTimeout;
  if (const auto text = arguments.Value("--timeout")) {
    const auto seconds = SecondsOf(*text);
    if (!seconds) {
      err << "tracewell browse: --timeout needs a whole number of seconds above 0\n";
      return kExitUsage;
    }
    timeout = *seconds;
  }
  const std::string output = arguments.Value("--output").value_or(DefaultOutput());
  const SessionFormatInfo* format = OutputFormat("browse", output, err);
  if (format == nullptr) return kExitUsage;
  if (const auto why = WhyNotWritable(output)) {
    err << "tracewell browse: cannot write " << output << ": " << *why << "\n";
    return kExitFailed;
  }
  const auto folder = arguments.Value("--profile");
  auto profile = browser::CBrowserProfile::Choose(folder ? std::optional<std::filesystem::path>(*folder)
                                                         : std::nullopt);
  if (const auto* error = std::get_if<std::string>(&profile)) {
    err << "tracewell browse: " << *error << "\n";
    return kExitFailed;
  }

  const sigset_t stopSignals = BlockStopSignals();

  BrowseRun run(arguments, out, err);
  if (const auto error = run.Start(std::get<browser::CBrowserProfile>(profile))) {
    err << "tracewell browse: " << *error << "\n";
    run.Finish();
    return kExitFailed;
  }
  bool complete = true;
  if (headless) {
    complete = run.LoadHeadless(arguments.positional, timeout);
  } else {
    err << "Recording the browser. Close it, or press Ctrl+C, to save to " << output << "\n";
    run.RunWindow(arguments.positional, stopSignals);
  }
  const TransactionArray& records = run.Finish();
  const auto write = [&](const std::filesystem::path& path) {
    const auto progress = ProgressLineFor(err, "saving " + path.string(), arguments.Has("--quiet"));
    return WriteSessionFile(format->format, path, records, run.SessionClock(), {}, {}, progress.get());
  };
  const bool saved = SaveSession("browse", output, records, write, err);
  return saved && complete ? kExitDone : kExitFailed;
}

std::span<const OptionSpec> BrowseOptions() { return kBrowseOptions; }

}  // namespace tracewell::cli
