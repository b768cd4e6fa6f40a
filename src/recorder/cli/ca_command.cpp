#include <exception>
#include <variant>

#include "cli/arguments.h"
#include "cli/cli.h"
#include "cli/commands.h"
#include "tls/ca_directory.h"
#include "tls/certificate_authority.h"

namespace tracewell::cli {

const std::string_view kCaHelp =
    "usage: tracewell ca [--ca-dir DIR] [--export FILE.pem]\n"
    "\n"
    "Shows the certificate authority that signs the certificates the recorder shows\n"
    "its clients for HTTPS, and makes it on first use. It is kept in DIR (default:\n"
    "$XDG_DATA_HOME/tracewell/ca, or ~/.local/share/tracewell/ca); its key never\n"
    "leaves ca.key there.\n"
    "\n"
    "  --ca-dir DIR       the directory of the certificate authority\n"
    "  --export FILE.pem  also write its certificate (not the key) to FILE.pem\n"
    "\n"
    "To trust it: Chromium --ignore-certificate-errors-spki-list=<SPKI SHA-256>, or\n"
    "import FILE.pem as an authority; curl --cacert FILE.pem; for the whole system,\n"
    "copy FILE.pem to /usr/local/share/ca-certificates/tracewell.crt and run\n"
    "update-ca-certificates.\n";

namespace {

constexpr OptionSpec kCaOptions[] = {
    {"--help", "-h", false}, {"--ca-dir", "", true}, {"--export", "", true}};

}  // namespace

int RunCa(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  auto parsed = ParseSubcommand("ca", kCaHelp, args, kCaOptions, out, err);
  if (const int* exitCode = std::get_if<int>(&parsed)) return *exitCode;
  const auto& arguments = std::get<ParsedArguments>(parsed);
  if (!arguments.positional.empty()) {
    err << "tracewell ca: takes no file; name the directory with --ca-dir\n" << kCaHelp;
    return kExitUsage;
  }
  try {
    const auto directory = arguments.Value("--ca-dir");
    const auto loaded = tls::CCertificateAuthority::LoadOrCreate(
        directory ? std::filesystem::path(*directory) : tls::DefaultCaDirectory());
    if (!loaded.authority) {
      err << "tracewell ca: " << loaded.error << "\n";
      return kExitFailed;
    }
    const auto& authority = *loaded.authority;
    out << "Certificate authority: " << authority.Directory().string() << "\n"
        << "SHA-256 fingerprint: " << authority.Sha256Fingerprint() << "\n"
        << "SPKI SHA-256: " << authority.SpkiSha256Base64() << "\n";
    if (const auto exportPath = arguments.Value("--export")) {
      if (const auto error = authority.ExportCertificate(*exportPath)) {
        err << "tracewell ca: " << *error << "\n";
        return kExitFailed;
      }
      out << "Exported the certificate to " << *exportPath << "\n";
    }
    return kExitDone;
  } catch (const std::exception& e) {
    err << "tracewell ca: " << e.what() << "\n";
    return kExitFailed;
  }
}

std::span<const OptionSpec> CaOptions() { return kCaOptions; }

}  // namespace tracewell::cli
