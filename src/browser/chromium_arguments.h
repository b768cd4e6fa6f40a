#pragma once
// How Tracewell starts Chromium: a profile of its own, the debugging pipe instead of a
// port, and none of the browser's own background traffic that can be switched off.

#include <filesystem>
#include <string>
#include <vector>

namespace tracewell::browser {

struct ChromiumOptions {
  std::filesystem::path profile;  // the user-data folder
  bool headless = false;
  // Every host name but "localhost" fails to resolve, so only loopback addresses are
  // reached (tests, and scripts that must not leave the machine).
  bool loopbackOnly = false;
  bool noSandbox = false;  // Chromium refuses to run as root with its sandbox
};

// The command line after the program's name; the browser opens a blank page, and the
// pages to load are navigated to once Tracewell is attached, so none of their
// requests is missed.
std::vector<std::string> ChromiumArguments(const ChromiumOptions& options);

}  // namespace tracewell::browser
