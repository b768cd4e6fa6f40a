#include "cli/session_file.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "session_io/har_import.h"
#include "session_io/log_file.h"
#include "system_clock.h"
#include "text/utf8.h"

namespace tracewell::cli {
namespace {

bool IsHarPath(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  std::ranges::transform(extension, extension.begin(),
                         [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".har";
}

// A HAR file is taken whole or refused whole.
std::optional<LoadedSession> ReadHar(IByteSource& source, const std::string& path, std::ostream& err) {
  HarLoadResult result = ReadHarFile(source, SystemClock());
  if (result.error) {
    err << "tracewell: " << path << ": " << result.error->message << "\n";
    return std::nullopt;
  }
  return LoadedSession{std::move(result.records), true};
}

std::optional<LoadedSession> ReadLog(IByteSource& source, const std::string& path, std::ostream& err) {
  LogLoadResult result = ReadLogFile(source);
  if (result.message) err << "tracewell: " << path << ": " << ToUtf8(result.message->text) << "\n";
  if (result.message && !result.replacesSession) return std::nullopt;
  return LoadedSession{std::move(result.records), !result.message};
}

}  // namespace

std::optional<LoadedSession> LoadSessionFile(const std::string& path, std::ostream& err) {
  FileError openError;
  const auto source = FileByteSource::Open(path, openError);
  if (!source) {
    err << "tracewell: " << openError.message << "\n";
    return std::nullopt;
  }
  return IsHarPath(path) ? ReadHar(*source, path, err) : ReadLog(*source, path, err);
}

}  // namespace tracewell::cli
