#pragma once
// Sessions of made-up records, written as a log file with the core's writer and
// loaded through the window's Load command and its file dialog, so that a test
// chooses the texts of the grid's rows.

#include <windows.h>

#include <memory>
#include <string>

#include "capture_fixture.h"
#include "dialog_answer.h"
#include "session_io/session_formats.h"

namespace tracewell::win::test {

// Local times as the library's clock gives them.
class CLocalClock final : public IClock {
 public:
  SystemTime LocalNow() const override { return {}; }
  std::optional<FileTime> LocalFromUtc(FileTime utc) const override {
    FILETIME from{static_cast<DWORD>(utc.ticks), static_cast<DWORD>(utc.ticks >> 32)};
    FILETIME local{};
    if (!FileTimeToLocalFileTime(&from, &local)) return std::nullopt;
    return FileTime{(std::uint64_t{local.dwHighDateTime} << 32) | local.dwLowDateTime};
  }
};

struct MadeRecord {
  std::u16string url;
  std::u16string result;
  std::int32_t size;
  std::u16string mimeType;
};

// A finished GET of one second, started at 10:00:`second`.
inline std::unique_ptr<CHttpTransaction> MakeRecord(const MadeRecord& made, std::uint16_t second) {
  auto record = std::make_unique<CHttpTransaction>();
  record->m_strUrl = made.url;
  record->m_strMethod = u"GET";
  record->m_strResult = made.result;
  record->m_nSize = made.size;
  record->m_strMimeType = made.mimeType;
  record->m_strIpAddress = u"127.0.0.1";
  record->m_stStarted = {2026, 12, 4, 10, 10, 0, second, 0};
  record->m_stEnded = {2026, 12, 4, 10, 10, 0, static_cast<std::uint16_t>(second + 1), 0};
  return record;
}

class LoadedSessionTest : public CaptureTest {
 protected:
  // Wide enough for every header of the grid to take a click.
  void SetUp() override {
    CaptureTest::SetUp();
    MoveWindow(BandWindow(), 0, 0, 1400, 600, TRUE);
  }

  // The records become the session through Load, as the user would load their file.
  void LoadSession(std::initializer_list<MadeRecord> made) {
    TransactionArray records;
    std::uint16_t second = 0;
    for (const MadeRecord& record : made) records.push_back(MakeRecord(record, second++));
    LoadRecords(records);
  }

  void LoadRecords(const TransactionArray& records) {
    const std::wstring file = NewTemporaryFile(L".elf");
    const auto error = WriteSessionFile(SessionFormat::kLog, file, records, m_clock);
    ASSERT_FALSE(error.has_value()) << error->message;
    CDialogAnswer load(L"Open", IDOK, file);
    Command(kCommandLoad);
    load.Texts();
    DeleteFileW(file.c_str());
    ASSERT_EQ(records.size(), Rows().size());
  }

  // One column of every row, top to bottom.
  std::vector<std::wstring> Column(int column) const {
    std::vector<std::wstring> cells;
    for (const GridRow& row : Rows()) cells.push_back(row.at(static_cast<std::size_t>(column)));
    return cells;
  }

  CLocalClock m_clock;
};

}  // namespace tracewell::win::test
