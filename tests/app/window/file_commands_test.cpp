// The file commands with the real file dialogs, answered from timers as a user would.

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <functional>

#include "session_io/log_file.h"
#include "support/fake_clock.h"
#include "support/ordinal_collator.h"
#include "support/sample_session.h"
#include "support/fake_message_box.h"
#include "support/temp_dir.h"
#include "text/utf8.h"
#include "views/main_commands.h"
#include "window/file_commands.h"
#include "window_test_support.h"

namespace tracewell::app {
namespace {

using testing::ChooseFile;
using testing::FakeMessageBox;
using testing::TempDir;

// What the test saw of a file dialog before answering it.
struct SeenDialog {
  QStringList filters;
  QString defaultSuffix;
  QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
};

// Runs `answer` on the next visible modal widget of type T, once it is shown.
template <typename T>
void WhenShown(std::function<void(T&)> answer) {
  auto* poll = new QTimer;
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout, [poll, answer] {
    auto* widget = qobject_cast<T*>(QApplication::activeModalWidget());
    if (widget == nullptr || !widget->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    answer(*widget);
  });
  poll->start();
}

// Answers the next file dialog: picks `file` (or cancels when empty) and, when
// `replaceAnswer` is set, answers the overwrite question with it.
void AnswerFileDialog(SeenDialog& seen, const QString& file,
                      std::optional<QMessageBox::StandardButton> replaceAnswer = std::nullopt) {
  WhenShown<QFileDialog>([&seen, file, replaceAnswer](QFileDialog& dialog) {
    seen = {dialog.nameFilters(), dialog.defaultSuffix(), dialog.acceptMode()};
    if (file.isEmpty()) {
      dialog.reject();
      return;
    }
    if (replaceAnswer) {
      WhenShown<QMessageBox>([answer = *replaceAnswer](QMessageBox& box) { box.button(answer)->click(); });
    }
    ChooseFile(dialog, file);
    // A refused overwrite leaves the dialog open: cancel it.
    if (dialog.isVisible()) dialog.reject();
  });
}

QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

// Presses Cancel on the next progress dialog once it shows, and remembers its label.
void CancelProgress(QString& label) {
  WhenShown<QProgressDialog>([&label](QProgressDialog& dialog) {
    label = dialog.labelText();
    dialog.cancel();
  });
}

// A log file of `count` records without text, written block by block: a session far
// larger than the test could hold in memory at once.
void WriteEmptyRecords(const std::filesystem::path& path, std::int32_t count) {
  TransactionArray one;
  one.push_back(std::make_unique<CHttpTransaction>());
  StringByteSink bytes;
  QVERIFY(!WriteLogFile(one, bytes));
  const std::string block = bytes.data().substr(kLogHeaderSize);
  std::string chunk;
  for (int i = 0; i < 10'000; ++i) chunk += block;
  std::ofstream file(path, std::ios::binary);
  file << kLogSignature << kLogVersion;
  file.write(reinterpret_cast<const char*>(&count), sizeof count);  // little-endian here
  for (std::int32_t written = 0; written < count; written += 10'000) file << chunk;
  QVERIFY(file.good());
}

class FileCommandsTest : public QObject {
  Q_OBJECT

 private:
  testing::OrdinalCollator m_collator;
  testing::FakeClock m_clock;

  std::unique_ptr<CMainWindowModel> MakeModel(std::uint32_t records) {
    auto model = std::make_unique<CMainWindowModel>(m_collator, m_clock);
    if (records > 0) model->ReplaceSession(testing::MakeRealisticSession(records));
    return model;
  }

 private slots:
  void SaveWritesTheLogFileWithItsDialogTexts() {
    auto model = MakeModel(3);
    FakeMessageBox messages;
    CFileCommands files(*model, m_clock, messages, nullptr);
    TempDir dir;
    SeenDialog seen;
    AnswerFileDialog(seen, Q(dir / "session"));
    QVERIFY(files.OnCommand(command::kSave));
    QCOMPARE(seen.filters, QStringList{"Tracewell Log File(*.elf)"});
    QCOMPARE(seen.defaultSuffix, QString("elf"));
    QCOMPARE(seen.mode, QFileDialog::AcceptSave);
    // The default extension is added to a name without one.
    const std::string bytes = testing::ReadWholeFile(dir / "session.elf");
    QCOMPARE(bytes.substr(0, 8), std::string("ELF1.0.1"));
    QCOMPARE(static_cast<int>(bytes[8]), 3);
    QVERIFY(messages.shown.empty());

    AnswerFileDialog(seen, Q(dir / "other.elf"));
    QVERIFY(files.OnCommand(command::kSaveAs));
    QCOMPARE(testing::ReadWholeFile(dir / "other.elf"), bytes);
  }

  void CancelAndRefusedOverwriteWriteNothing() {
    auto model = MakeModel(2);
    FakeMessageBox messages;
    CFileCommands files(*model, m_clock, messages, nullptr);
    TempDir dir;
    SeenDialog seen;
    AnswerFileDialog(seen, {});
    QVERIFY(files.OnCommand(command::kExportXml));
    QVERIFY(std::filesystem::is_empty(dir.path()));

    testing::WriteWholeFile(dir / "kept.xml", "old");
    AnswerFileDialog(seen, Q(dir / "kept.xml"), QMessageBox::No);
    QVERIFY(files.OnCommand(command::kExportXml));
    QCOMPARE(testing::ReadWholeFile(dir / "kept.xml"), std::string("old"));

    AnswerFileDialog(seen, Q(dir / "kept.xml"), QMessageBox::Yes);
    QVERIFY(files.OnCommand(command::kExportXml));
    QVERIFY(testing::ReadWholeFile(dir / "kept.xml").starts_with("<?xml"));
    QVERIFY(messages.shown.empty());
  }

  void EachExportHasItsFilterAndExtension() {
    auto model = MakeModel(2);
    FakeMessageBox messages;
    CFileCommands files(*model, m_clock, messages, nullptr);
    TempDir dir;
    struct Case {
      int command;
      const char* filter;
      const char* suffix;
      const char* start;
    };
    const Case cases[] = {{command::kExportXml, "XML Files (*.xml)", "xml", "<?xml"},
                          {command::kExportGridCsv, "CSV Files (*.csv)", "csv", "Started,Durations(s),"},
                          {command::kExportGridText, "TEXT Files (*.txt)", "txt", "Started Durations(s) "},
                          {command::kExportHar, "HAR Files (*.har)", "har", "{"}};
    for (const Case& c : cases) {
      SeenDialog seen;
      AnswerFileDialog(seen, Q(dir / "export"));
      QVERIFY(files.OnCommand(c.command));
      QCOMPARE(seen.filters, QStringList{c.filter});
      QCOMPARE(seen.defaultSuffix, QString(c.suffix));
      const auto written = dir / (std::string("export.") + c.suffix);
      QVERIFY2(testing::ReadWholeFile(written).starts_with(c.start), c.filter);
    }
    QVERIFY(!files.OnCommand(command::kClear));
    QVERIFY(messages.shown.empty());
  }

  void AFailedWriteIsReported() {
    auto model = MakeModel(1);
    FakeMessageBox messages;
    CFileCommands files(*model, m_clock, messages, nullptr);
    SeenDialog seen;
    AnswerFileDialog(seen, "/nonexistent-tracewell-dir/session.csv");
    QVERIFY(files.OnCommand(command::kExportGridCsv));
    QCOMPARE(messages.shown.size(), std::size_t{1});
    QVERIFY(messages.shown[0].text.starts_with(u"File Write Error\n"));
    QCOMPARE(messages.shown[0].caption, std::u16string(u"Error"));
  }

  void LoadReplacesTheSessionFromALogOrHarFile() {
    TempDir dir;
    QVERIFY(!SaveLogFile(dir / "three.elf", testing::MakeRealisticSession(3)));
    auto source = MakeModel(0);
    source->ReplaceSession(testing::MakeHarSampleSession());
    FakeMessageBox messages;
    {
      CFileCommands exporter(*source, m_clock, messages, nullptr);
      SeenDialog seen;
      AnswerFileDialog(seen, Q(dir / "sample.har"));
      exporter.OnCommand(command::kExportHar);
    }

    auto model = MakeModel(5);
    CFileCommands files(*model, m_clock, messages, nullptr);
    SeenDialog seen;
    AnswerFileDialog(seen, Q(dir / "three.elf"));
    QVERIFY(files.OnCommand(command::kLoad));
    QCOMPARE(seen.filters, (QStringList{"Tracewell Log File(*.elf)", "HAR Files (*.har)"}));
    QCOMPARE(seen.mode, QFileDialog::AcceptOpen);
    QCOMPARE(model->Session().size(), std::size_t{3});
    QCOMPARE(model->Grid().RowCount(), std::size_t{3});

    AnswerFileDialog(seen, Q(dir / "sample.har"));
    files.OnCommand(command::kLoad);
    QVERIFY(messages.shown.empty());
    QVERIFY(model->Session().size() > 3);
  }

  void CancelingALoadOfAMillionRecordsKeepsTheSession() {
    TempDir dir;
    WriteEmptyRecords(dir / "million.elf", 1'000'000);
    auto model = MakeModel(4);
    FakeMessageBox messages;
    CFileCommands files(*model, m_clock, messages, nullptr, {.progressDelay = std::chrono::milliseconds(0)});
    SeenDialog seen;
    QString label;
    AnswerFileDialog(seen, Q(dir / "million.elf"));
    CancelProgress(label);
    QVERIFY(files.OnCommand(command::kLoad));
    QCOMPARE(label, QString("Loading million.elf..."));
    QCOMPARE(model->Session().size(), std::size_t{4});
    QCOMPARE(model->Grid().RowCount(), std::size_t{4});
    QVERIFY(messages.shown.empty());
  }

  void CancelingASaveOrExportKeepsTheOldFile() {
    auto model = MakeModel(20'000);
    FakeMessageBox messages;
    CFileCommands files(*model, m_clock, messages, nullptr, {.progressDelay = std::chrono::milliseconds(0)});
    TempDir dir;
    struct Case {
      int command;
      const char* file;
      const char* label;
    };
    const Case cases[] = {{command::kSave, "kept.elf", "Saving kept.elf..."},
                          {command::kExportHar, "kept.har", "Exporting kept.har..."}};
    for (const auto& [commandId, file, expectedLabel] : cases) {
      const auto path = dir / file;
      testing::WriteWholeFile(path, "the old file");
      SeenDialog seen;
      QString label;
      AnswerFileDialog(seen, Q(path), QMessageBox::Yes);
      CancelProgress(label);
      QVERIFY(files.OnCommand(commandId));
      QCOMPARE(label, QString(expectedLabel));
      QCOMPARE(testing::ReadWholeFile(path), std::string("the old file"));
    }
    QCOMPARE(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
    QVERIFY(messages.shown.empty());
  }

  void RefusedFilesLeaveTheSessionAlone() {
    TempDir dir;
    testing::WriteWholeFile(dir / "lower.elf", std::string("elf1.0.1\x01\0\0\0", 12));
    testing::WriteWholeFile(dir / "broken.har", "{\"log\": {\"entries\": [}");
    auto model = MakeModel(4);
    FakeMessageBox messages;
    CFileCommands files(*model, m_clock, messages, nullptr);
    SeenDialog seen;
    AnswerFileDialog(seen, Q(dir / "lower.elf"));
    files.OnCommand(command::kLoad);
    AnswerFileDialog(seen, Q(dir / "broken.har"));
    files.OnCommand(command::kLoad);
    QCOMPARE(model->Session().size(), std::size_t{4});
    QCOMPARE(model->Grid().RowCount(), std::size_t{4});
    QCOMPARE(messages.shown.size(), std::size_t{2});
    QCOMPARE(messages.shown[0].text, std::u16string(u"File isn't eif file"));
    QCOMPARE(messages.shown[0].caption, std::u16string());
    QVERIFY(ToUtf8(messages.shown[1].text).find("broken.har: ") != std::string::npos);
    QCOMPARE(messages.shown[1].caption, std::u16string(u"Error"));
  }
};

}  // namespace
}  // namespace tracewell::app

QTEST_MAIN(tracewell::app::FileCommandsTest)
#include "file_commands_test.moc"
