#include "session_io/session_file.h"

#include "session_io/har_import.h"
#include "session_io/log_file.h"
#include "session_io/session_formats.h"

namespace tracewell {

bool IsHarPath(const std::filesystem::path& path) {
  const SessionFormatInfo* format = FormatOfPath(path);
  return format != nullptr && format->format == SessionFormat::kHar;
}

bool IsSessionPath(const std::filesystem::path& path) {
  const SessionFormatInfo* format = FormatOfPath(path);
  return format != nullptr && (format->format == SessionFormat::kHar || format->format == SessionFormat::kLog);
}

namespace {

SessionFileLoad ReadSession(const std::filesystem::path& path, IByteSource& source, const IClock& clock) {
  SessionFileLoad load;
  if (IsHarPath(path)) {
    HarLoadResult har = ReadHarFile(source, clock);
    if (har.error) load.error = FileError{path.string() + ": " + har.error->message};
    load.replacesSession = !load.error && !har.records.empty();
    load.records = std::move(har.records);
    return load;
  }
  LogLoadResult log = ReadLogFile(source);
  load.replacesSession = log.replacesSession;
  load.records = std::move(log.records);
  load.message = log.message;
  return load;
}

}  // namespace

SessionFileLoad LoadSessionFile(const std::filesystem::path& path, const IClock& clock,
                                IWorkProgress* progress) {
  FileError openError;
  const auto file = FileByteSource::Open(path, openError);
  if (!file) {
    SessionFileLoad unopened;
    unopened.error = std::move(openError);
    return unopened;
  }
  CProgressMeter meter(progress, file->Remaining());
  CMeteredByteSource source(*file, meter);
  SessionFileLoad load = ReadSession(path, source, clock);
  if (meter.Stopped()) {
    // What a stopped read left half done is dropped whole, with its messages.
    load = SessionFileLoad();
    load.stopped = true;
  }
  return load;
}

}  // namespace tracewell
