// Save, Load, Clear and the four exports through the window's commands and the
// system's file dialogs: a recorded session saved, cleared and loaded back shows the
// same rows, and each export's bytes are the core's export of the loaded session (the
// files stay beside this program for the Linux command to export the same session and
// compare, tests/win/compare_host_session.sh). Clear keeps the cleared records out of
// rebuilds, saves and exports; a write that fails is reported in a message box.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "dialog_answer.h"
#include "dialog_driver.h"
#include "loaded_session.h"
#include "loopback_origin.h"
#include "post_callback.h"
#include "session_io/file_io.h"
#include "session_io/log_file.h"
#include "views/main_commands.h"

namespace tracewell::win::test {
namespace {

// The file name box of the system's file dialogs.
constexpr int kFileNameBox = 0x47C;

struct WrittenFormat {
  int commandId;
  const wchar_t* extension;
  const wchar_t* filterText;
  SessionFormat format;
};

constexpr WrittenFormat kExports[] = {
    {command::kExportXml, L".xml", L"XML Files (*.xml)", SessionFormat::kXml},
    {command::kExportGridCsv, L".csv", L"CSV Files (*.csv)", SessionFormat::kCsv},
    {command::kExportGridText, L".txt", L"TEXT Files (*.txt)", SessionFormat::kText},
    {command::kExportHar, L".har", L"HAR Files (*.har)", SessionFormat::kHar},
};

bool Contains(const std::vector<std::wstring>& texts, const std::wstring& text) {
  return std::ranges::find(texts, text) != texts.end();
}

TransactionArray ReadLog(const std::wstring& file) {
  FileError error;
  const auto source = FileByteSource::Open(file, error);
  EXPECT_NE(nullptr, source) << error.message;
  if (source == nullptr) return {};
  return std::move(ReadLogFile(*source).records);
}

class SessionFilesTest : public LoadedSessionTest {
 protected:
  // Runs a file command whose save dialog is given `name` (no extension: the dialog
  // adds its format's); the dialog's texts.
  std::vector<std::wstring> WriteThroughDialog(int commandId, const std::wstring& name) {
    CDialogAnswer save(L"Save As", IDOK, name);
    Command(static_cast<WORD>(commandId));
    return save.Texts();
  }
};

TEST_F(SessionFilesTest, SavedClearedAndLoadedSessionExportsAsTheCoreWritesIt) {
  CLoopbackOrigin origin(4);
  Command(kCommandStart);
  HRESULT result = E_FAIL;
  EXPECT_EQ("<html>hello</html>", Fetch(origin.Url(L"/page.html?word=one&x=a,b"), result));
  EXPECT_EQ("<html>hello</html>", Fetch(origin.Url(L"/moved"), result));
  CPostCallback post("name=value&word=caf\xE9", PostMedium::kGlobalMemory);
  EXPECT_EQ("posted", Fetch(origin.Url(L"/form"), result, post.Callback()));
  const auto recorded = RowsOnceFinished(4);
  ASSERT_EQ(4u, recorded.size());
  Command(kCommandStop);

  const std::wstring session = ProgramFolder() + L"host-exports";
  DeleteFileW((session + L".elf").c_str());
  EXPECT_TRUE(Contains(WriteThroughDialog(command::kSave, session), L"Tracewell Log File(*.elf)"));
  Command(kCommandClear);
  EXPECT_TRUE(Rows().empty());
  CDialogAnswer load(L"Open", IDOK, session + L".elf");
  Command(kCommandLoad);
  load.Texts();
  EXPECT_EQ(recorded, Rows());

  const TransactionArray records = ReadLog(session + L".elf");
  ASSERT_EQ(4u, records.size());
  for (const WrittenFormat& written : kExports) {
    const std::wstring file = session + written.extension;
    DeleteFileW(file.c_str());
    EXPECT_TRUE(Contains(WriteThroughDialog(written.commandId, session), written.filterText)) << written.extension;
    const std::wstring expected = NewTemporaryFile(written.extension);
    ASSERT_FALSE(WriteSessionFile(written.format, expected, records, m_clock).has_value());
    const std::string bytes = ReadText(file);
    EXPECT_FALSE(bytes.empty()) << written.extension;
    EXPECT_EQ(ReadText(expected), bytes) << written.extension;
    DeleteFileW(expected.c_str());
  }
}

// Cleared records have no rows after a rebuild and are left out of the log file and
// the exports; the records that came after the Clear are in them.
TEST_F(SessionFilesTest, ClearedRecordsAreLeftOutOfRebuildsSavesAndExports) {
  LoadSession({{u"http://127.0.0.1/a", u"200", 1, u"text/html"}, {u"http://127.0.0.1/b", u"404", 2, u"text/html"}});
  Command(kCommandClear);
  EXPECT_TRUE(Rows().empty());
  Command(static_cast<WORD>(command::kTurnOffFilter));
  EXPECT_TRUE(Rows().empty());

  const std::wstring csv = NewTemporaryFile(L".csv");
  WriteThroughDialog(command::kExportGridCsv, csv.substr(0, csv.size() - 4));
  EXPECT_EQ("Started,Durations(s),Sent,Method,Result,Size,Type,URL,IpAddress\r\n", ReadText(csv));
  DeleteFileW(csv.c_str());
  const std::wstring log = NewTemporaryFile(L".elf");
  WriteThroughDialog(command::kSaveAs, log.substr(0, log.size() - 4));
  EXPECT_TRUE(ReadLog(log).empty());
  DeleteFileW(log.c_str());
}

// A file that cannot be replaced (another program holds it open, sharing nothing):
// the overwrite prompt answered Yes, the write fails, the message box says so, and the
// file keeps its bytes. The file dialog's prompt has no caption of its own, so the
// system calls it "Error", as the failure's box is captioned.
TEST_F(SessionFilesTest, FailedExportSaysFileWriteErrorAndKeepsTheFile) {
  LoadSession({{u"http://127.0.0.1/a", u"200", 1, u"text/html"}});
  const std::wstring file = NewTemporaryFile(L".txt");
  const HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(handle, "kept", 4, &written, nullptr);

  const auto errorBox = [] {
    const HWND box = FindWindowW(L"#32770", L"Error");
    return box != nullptr && IsWindowVisible(box) ? box : nullptr;
  };
  CDialogDriver save(L"Save As", [&](HWND dialog) {
    // A dialog still setting itself up drops the name and the click: both again, until
    // the prompt comes.
    for (int attempt = 0; attempt < 10 && errorBox() == nullptr; ++attempt) {
      WaitUntil([&] { return GetDlgItem(dialog, kFileNameBox) != nullptr; });
      SetDlgItemTextW(dialog, kFileNameBox, file.c_str());
      PostClick(dialog, IDOK);
      for (int round = 0; round < 20 && errorBox() == nullptr; ++round) Sleep(25);
    }
  });
  std::wstring prompt, failure;
  CDialogDriver answers(L"Error", [&](HWND box) {
    prompt = MessageText(box);
    PostClick(box, IDYES);
    WaitUntil([&] { return !IsWindow(box); });
    HWND failureBox = nullptr;
    WaitUntil([&] { return (failureBox = errorBox()) != nullptr; });
    failure = MessageText(failureBox);
    PostClick(failureBox, IDOK);
  });
  Command(static_cast<WORD>(command::kExportGridText));
  save.Wait();
  ASSERT_TRUE(answers.Wait());
  EXPECT_EQ(L"File already exists.\nDo you want to replace it?", prompt);
  EXPECT_EQ(L"File Write Error\n", failure.substr(0, 17)) << std::string(failure.begin(), failure.end());
  CloseHandle(handle);
  EXPECT_EQ("kept", ReadText(file));
  DeleteFileW(file.c_str());
}

}  // namespace
}  // namespace tracewell::win::test
