#pragma once
// Recording from the loopback origin through urlmon with a sited band: fetching, the
// grid's rows read back once their requests are over, and the toolbar's states.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <urlmon.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "band_fixture.h"
#include "list_controls.h"
#include "views/grid_columns.h"

namespace tracewell::win::test {

constexpr WORD kCommandStart = 32768;
constexpr WORD kCommandStop = 32769;
constexpr WORD kCommandClear = 32772;
constexpr WORD kCommandLoad = 32773;
constexpr WORD kCommandSave = 32774;

using GridRow = std::vector<std::wstring>;

inline GridRow Wide(const GridRowTexts& texts) {
  GridRow row;
  for (const std::u16string& text : texts) row.emplace_back(text.begin(), text.end());
  return row;
}

// The body urlmon delivers for `url`, or the failure of the fetch. `callback`, when
// given, is the caller's side of the binding (a POST's).
inline std::string Fetch(const std::wstring& url, HRESULT& result, IBindStatusCallback* callback = nullptr) {
  ComPtr<IStream> stream;
  result = URLOpenBlockingStreamW(nullptr, url.c_str(), stream.Receive(), 0, callback);
  std::string body;
  if (FAILED(result)) return body;
  char buffer[4096];
  ULONG read = 0;
  while (SUCCEEDED(stream->Read(buffer, sizeof(buffer), &read)) && read > 0) body.append(buffer, read);
  return body;
}

class CaptureTest : public SitedBandTest {
 protected:
  void SetUp() override {
    SitedBandTest::SetUp();
    m_grid = FindWindowExW(BandWindow(), nullptr, WC_LISTVIEWW, nullptr);
    ASSERT_NE(nullptr, m_grid);
  }

  std::vector<GridRow> Rows() const {
    std::vector<GridRow> rows;
    const auto count = SendMessageW(m_grid, LVM_GETITEMCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
      GridRow cells;
      for (int column = 0; column < 10; ++column) cells.push_back(CellText(m_grid, static_cast<int>(row), column));
      rows.push_back(cells);
    }
    return rows;
  }

  // Runs this thread's messages (the capture's hand-over among them) until the grid
  // has `count` rows whose requests are over, or a bounded number of rounds passed.
  std::vector<GridRow> RowsOnceFinished(std::size_t count) {
    for (int round = 0; round < 100; ++round) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      const auto rows = Rows();
      bool finished = rows.size() >= count;
      for (const GridRow& row : rows) finished = finished && !row[2].empty();
      if (finished) return rows;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return Rows();
  }

  // The toolbar, in its rebar band.
  HWND Toolbar() const {
    const HWND rebar = FindWindowExW(GetParent(m_grid), nullptr, REBARCLASSNAMEW, nullptr);
    return FindWindowExW(rebar, nullptr, TOOLBARCLASSNAMEW, nullptr);
  }

  bool Checked(WORD id) const { return SendMessageW(Toolbar(), TB_ISBUTTONCHECKED, id, 0) != 0; }

  HWND m_grid = nullptr;
};

// A file name in the test prefix's temporary folder that is not taken yet, so that no
// overwrite prompt comes up (Wine's process ids repeat from run to run).
inline std::wstring NewTemporaryFile(const wchar_t* extension) {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  const std::wstring file = std::wstring(folder) + L"tracewell-test-" + std::to_wstring(GetTickCount64()) + extension;
  DeleteFileW(file.c_str());
  return file;
}

// This program's folder: the build puts the recorder's rows there, and the sessions
// and exports saved there are read by the Linux command after the Windows tests.
inline std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring program(path);
  return program.substr(0, program.find_last_of(L'\\') + 1);
}

// A file's bytes; empty when it cannot be read.
inline std::string ReadText(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace tracewell::win::test
