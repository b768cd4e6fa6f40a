#include "chromium_arguments.h"

namespace tracewell::browser {

std::vector<std::string> ChromiumArguments(const ChromiumOptions& options) {
  std::vector<std::string> arguments{
      "--remote-debugging-pipe",
      "--user-data-dir=" + options.profile.string(),
      "--no-first-run",
      "--no-default-browser-check",
      "--disable-background-networking",
      "--disable-component-update",
      "--disable-sync",
      "--disable-extensions",
      "--disable-default-apps",
      "--no-pings",
      "--disable-features=AutofillServerCommunication,NetworkTimeServiceQuerying,"
      "PasswordLeakDetection,OptimizationHints,MediaRouter,Translate",
  };
  if (options.headless) {
    arguments.emplace_back("--headless");
    arguments.emplace_back("--disable-gpu");
  }
  if (options.loopbackOnly) {
    arguments.emplace_back("--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE localhost, EXCLUDE 127.0.0.1, EXCLUDE [::1]");
  }
  if (options.noSandbox) arguments.emplace_back("--no-sandbox");
  arguments.emplace_back("about:blank");
  return arguments;
}

}  // namespace tracewell::browser
