#include "session_io/session_formats.h"

#include <algorithm>
#include <cctype>

#include "session_io/grid_export.h"
#include "session_io/log_file.h"
#include "session_io/xml_export.h"
#include "views/main_commands.h"

namespace tracewell {

const std::array<SessionFormatInfo, 5> kSessionFormats = {{
    {SessionFormat::kLog, "elf", u"Tracewell Log File(*.elf)"},
    {SessionFormat::kXml, "xml", u"XML Files (*.xml)"},
    {SessionFormat::kCsv, "csv", u"CSV Files (*.csv)"},
    {SessionFormat::kText, "txt", u"TEXT Files (*.txt)"},
    {SessionFormat::kHar, "har", u"HAR Files (*.har)"},
}};

const SessionFormatInfo& InfoOf(SessionFormat format) {
  return *std::ranges::find(kSessionFormats, format, &SessionFormatInfo::format);
}

const SessionFormatInfo* FindSessionFormat(std::string_view name) {
  const auto found = std::ranges::find(kSessionFormats, name, &SessionFormatInfo::name);
  return found == kSessionFormats.end() ? nullptr : &*found;
}

const SessionFormatInfo* FormatOfPath(const std::filesystem::path& path) {
  std::string extension = path.extension().string();
  if (extension.empty()) return nullptr;
  std::ranges::transform(extension, extension.begin(),
                         [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return FindSessionFormat(std::string_view(extension).substr(1));
}

const SessionFormatInfo* FormatWrittenBy(int commandId) {
  switch (commandId) {
    case command::kSave:
    case command::kSaveAs:
      return &InfoOf(SessionFormat::kLog);
    case command::kExportXml:
      return &InfoOf(SessionFormat::kXml);
    case command::kExportHar:
      return &InfoOf(SessionFormat::kHar);
    case command::kExportGridCsv:
      return &InfoOf(SessionFormat::kCsv);
    case command::kExportGridText:
      return &InfoOf(SessionFormat::kText);
    default:
      return nullptr;
  }
}

std::optional<FileError> WriteSessionFile(SessionFormat format, const std::filesystem::path& path,
                                          const TransactionArray& records, const IClock& clock,
                                          const HarExportOptions& harOptions,
                                          const TemporaryFileNotice& notice, IWorkProgress* progress) {
  const auto produce = [&](IByteSink& sink) -> std::optional<FileError> {
    switch (format) {
      case SessionFormat::kLog:
        return WriteLogFile(records, sink, progress);
      case SessionFormat::kXml:
        return WriteXmlExport(records, sink, progress);
      case SessionFormat::kCsv:
        return WriteGridTable(records, GridTableFormat::kCsv, sink, progress);
      case SessionFormat::kText:
        return WriteGridTable(records, GridTableFormat::kText, sink, progress);
      case SessionFormat::kHar:
        return WriteHarExport(records, clock, harOptions, sink, progress);
    }
    return FileError{"unknown session format"};
  };
  return WriteFileReplacing(path, produce, notice);
}

}  // namespace tracewell
