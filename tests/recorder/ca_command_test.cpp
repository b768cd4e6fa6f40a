#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/cli.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"
#include "tls/certificate_authority.h"

namespace tracewell::cli {
namespace {

namespace fs = std::filesystem;
using tracewell::testing::Cli;
using tracewell::testing::CliRun;
using tracewell::testing::ReadWholeFile;
using tracewell::testing::TempDir;
using tracewell::testing::WriteWholeFile;

TEST(CaCommand, ShowsTheCaAndExportsOnlyItsCertificate) {
  TempDir temp;
  const fs::path directory = temp / "ca";
  const fs::path exported = temp / "tracewell.pem";
  const auto shown = Cli({"ca", "--ca-dir", directory.string()});
  const auto exporting = Cli({"ca", "--ca-dir", directory.string(), "--export", exported.string()});
  ASSERT_EQ(shown.code, kExitDone) << shown.err;
  ASSERT_EQ(exporting.code, kExitDone) << exporting.err;

  const auto ca = tls::CCertificateAuthority::LoadOrCreate(directory).authority;
  ASSERT_TRUE(ca);
  const std::string lines = "Certificate authority: " + directory.string() + "\n" +
                            "SHA-256 fingerprint: " + ca->Sha256Fingerprint() + "\n" +
                            "SPKI SHA-256: " + ca->SpkiSha256Base64() + "\n";
  EXPECT_EQ(shown.out, lines);
  EXPECT_EQ(exporting.out, lines + "Exported the certificate to " + exported.string() + "\n");
  EXPECT_EQ(ReadWholeFile(exported), ca->CertificatePem());

  // The key is in ca.key and nowhere else.
  EXPECT_NE(ReadWholeFile(directory / "ca.key").find("PRIVATE KEY"), std::string::npos);
  for (const auto& text : {shown.out, shown.err, exporting.out, exporting.err}) {
    EXPECT_EQ(text.find("PRIVATE KEY"), std::string::npos) << text;
  }
  for (const auto& entry : fs::recursive_directory_iterator(temp.path())) {
    if (!entry.is_regular_file() || entry.path() == directory / "ca.key") continue;
    EXPECT_EQ(ReadWholeFile(entry.path()).find("PRIVATE KEY"), std::string::npos) << entry.path();
  }
}

TEST(CaCommand, FailuresSayWhatWentWrong) {
  TempDir temp;
  const auto unwritable =
      Cli({"ca", "--ca-dir", (temp / "ca").string(), "--export", (temp / "no" / "ca.pem").string()});
  EXPECT_EQ(unwritable.code, kExitFailed);
  EXPECT_TRUE(unwritable.err.starts_with("tracewell ca: cannot write " + (temp / "no" / "ca.pem").string()))
      << unwritable.err;

  fs::create_directory(temp / "damaged");
  WriteWholeFile(temp / "damaged" / "ca.pem", "garbage");
  const auto damaged = Cli({"ca", "--ca-dir", (temp / "damaged").string()});
  EXPECT_EQ(damaged.code, kExitFailed);
  EXPECT_EQ(damaged.out, "");
  EXPECT_TRUE(damaged.err.starts_with("tracewell ca: " + (temp / "damaged" / "ca.key").string() +
                                      " is missing"))
      << damaged.err;

  EXPECT_EQ(Cli({"ca", "extra"}).code, kExitUsage);
  EXPECT_EQ(Cli({"ca", "--key"}).code, kExitUsage);
}

}  // namespace
}  // namespace tracewell::cli
