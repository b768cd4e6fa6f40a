#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <variant>

#include "cli/arguments.h"
#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/progress_line.h"
#include "cli/session_loading.h"
#include "session_io/session_formats.h"
#include "system_clock.h"

namespace tracewell::cli {

const std::string_view kExportHelp =
    "usage: tracewell export FILE [--format elf|xml|csv|txt|har] [--sanitize] [--no-bodies]\n"
    "                             [--quiet] -o OUT\n"
    "\n"
    "Writes the session in FILE (a .elf log file or a .har file) to OUT. The format\n"
    "is taken from --format, or else from the extension of OUT:\n"
    "  elf  Tracewell log file\n"
    "  xml  XML document, every header and post-data parameter an element\n"
    "  csv  the grid's columns as comma-separated values\n"
    "  txt  the grid's columns separated by spaces\n"
    "  har  HTTP Archive 1.2, for browsers' developer tools and HAR viewers\n"
    "  --sanitize  (har only) leave out the values of the Cookie, Set-Cookie,\n"
    "              Authorization and Proxy-Authorization headers and of every cookie\n"
    "  --no-bodies (har only) leave out the response bodies\n"
    "  --quiet     no progress line while loading and writing\n"
    "OUT is replaced only once it has been written whole; an export stopped by\n"
    "Ctrl+C or SIGTERM leaves OUT as it was.\n";

namespace {

constexpr OptionSpec kExportOptions[] = {{"--help", "-h", false},
                                         {"--format", "", true},
                                         {"--output", "-o", true},
                                         {"--sanitize", "", false},
                                         {"--no-bodies", "", false},
                                         {"--quiet", "-q", false}};

// The format named by --format, or by the output's extension.
const SessionFormatInfo* ChooseFormat(const ParsedArguments& arguments, const std::string& out) {
  const auto name = arguments.Value("--format");
  return name ? FindSessionFormat(*name) : FormatOfPath(out);
}

// While it lives, Ctrl+C, SIGTERM and a closed terminal remove the temporary file
// of the export being written before the command ends by that signal, so that no
// half-written OUT.tmp-NNN is left and the old OUT stays as it was. The handler only
// unlinks a name prepared beforehand and re-raises, both safe in a signal handler.
class CStopRemovesTemporary {
 public:
  CStopRemovesTemporary() {
    struct sigaction stop {};
    stop.sa_handler = &OnStop;
    sigemptyset(&stop.sa_mask);
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
      sigaction(kSignals[i], nullptr, &m_previous[i]);
      // A signal the caller ignores (a job started in the background) stays ignored.
      if (m_previous[i].sa_handler != SIG_IGN) sigaction(kSignals[i], &stop, nullptr);
    }
  }
  ~CStopRemovesTemporary() {
    for (std::size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &m_previous[i], nullptr);
    s_temporary.store(nullptr);
  }
  CStopRemovesTemporary(const CStopRemovesTemporary&) = delete;
  CStopRemovesTemporary& operator=(const CStopRemovesTemporary&) = delete;

  // The temporary file the writer is about to create, or empty once it is gone.
  void Track(const std::filesystem::path& temporary) {
    s_temporary.store(nullptr);
    m_name = temporary.string();
    if (!m_name.empty()) s_temporary.store(m_name.c_str());
  }

 private:
  static constexpr std::array<int, 3> kSignals = {SIGINT, SIGTERM, SIGHUP};
  static_assert(std::atomic<const char*>::is_always_lock_free);

  static void OnStop(int number) {
    if (const char* name = s_temporary.load()) unlink(name);
    signal(number, SIG_DFL);
    raise(number);  // delivered when the handler returns: the command ends by it
  }

  static inline std::atomic<const char*> s_temporary{nullptr};
  std::string m_name;
  std::array<struct sigaction, kSignals.size()> m_previous{};
};

}  // namespace

int RunExport(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  auto parsed = ParseSubcommand("export", kExportHelp, args, kExportOptions, out, err);
  if (const int* exitCode = std::get_if<int>(&parsed)) return *exitCode;
  const auto& arguments = std::get<ParsedArguments>(parsed);
  const auto output = arguments.Value("--output");
  if (arguments.positional.size() != 1 || !output) {
    err << "tracewell export: expects one session file and -o OUT\n" << kExportHelp;
    return kExitUsage;
  }
  const SessionFormatInfo* format = ChooseFormat(arguments, *output);
  if (format == nullptr) {
    err << "tracewell export: unknown format; use --format elf, xml, csv, txt or har\n";
    return kExitUsage;
  }
  const HarExportOptions harOptions{.sanitize = arguments.Has("--sanitize"),
                                    .bodies = !arguments.Has("--no-bodies")};
  if ((harOptions.sanitize || !harOptions.bodies) && format->format != SessionFormat::kHar) {
    err << "tracewell export: --sanitize and --no-bodies go with --format har\n";
    return kExitUsage;
  }
  const bool quiet = arguments.Has("--quiet");
  const auto session = LoadNamedSession(arguments.positional[0], err, quiet);
  if (!session) return kExitFailed;
  if (!session->complete) {
    err << "tracewell export: not writing " << *output << " from a damaged session file\n";
    return kExitFailed;
  }
  CStopRemovesTemporary stop;
  const auto error = [&] {
    const auto progress = ProgressLineFor(err, "writing " + *output, quiet);
    return WriteSessionFile(
        format->format, *output, session->records, SystemClock(), harOptions,
        [&](const std::filesystem::path& temporary) { stop.Track(temporary); }, progress.get());
  }();
  if (error) {
    err << "tracewell: " << error->message << "\n";
    return kExitFailed;
  }
  return kExitDone;
}

std::span<const OptionSpec> ExportOptions() { return kExportOptions; }

}  // namespace tracewell::cli
