#include "session_io/session_formats.h"

#include <algorithm>
#include <cctype>

#include "session_io/grid_export.h"
#include "session_io/log_file.h"
#include "session_io/xml_export.h"

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

std::optional<FileError> WriteSessionFile(SessionFormat format, const std::filesystem::path& path,
                                          const TransactionArray& records, const IClock& clock,
                                          const HarExportOptions& harOptions) {
  switch (format) {
    case SessionFormat::kLog:
      return SaveLogFile(path, records);
    case SessionFormat::kXml:
      return ExportXmlFile(path, records);
    case SessionFormat::kCsv:
      return ExportGridFile(path, records, GridTableFormat::kCsv);
    case SessionFormat::kText:
      return ExportGridFile(path, records, GridTableFormat::kText);
    case SessionFormat::kHar:
      return ExportHarFile(path, records, clock, harOptions);
  }
  return FileError{"unknown session format"};
}

}  // namespace tracewell
