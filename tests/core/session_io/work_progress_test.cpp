// Long loads, saves and exports report their progress and stop when asked, leaving
// the session and the old file as they were.

#include "session_io/work_progress.h"

#include <gtest/gtest.h>

#include <vector>

#include "session_io/session_file.h"
#include "session_io/session_formats.h"
#include "support/fake_clock.h"
#include "support/sample_session.h"
#include "support/temp_dir.h"

namespace tracewell {
namespace {

using testing::ReadWholeFile;
using testing::TempDir;
using testing::WriteWholeFile;

// Hears every report (done, total) and stops the work once `stopAt` units are done.
using Report = std::pair<std::uint64_t, std::uint64_t>;  // done, total

class RecordingProgress final : public IWorkProgress {
 public:
  explicit RecordingProgress(std::uint64_t stopAt = UINT64_MAX) : m_stopAt(stopAt) {}
  bool Continue(std::uint64_t done, std::uint64_t total) override {
    reports.push_back({done, total});
    return done < m_stopAt;
  }
  std::vector<Report> reports;

 private:
  std::uint64_t m_stopAt;
};

TEST(ProgressMeter, ReportsAboutAThousandTimesInOrderAndStaysStopped) {
  RecordingProgress progress;
  CProgressMeter meter(&progress, 1'000'000);
  for (int i = 0; i < 1'000'000; ++i) ASSERT_TRUE(meter.Advance());
  ASSERT_EQ(progress.reports.size(), 1001u);
  EXPECT_EQ(progress.reports.front(), Report(0, 1'000'000));
  EXPECT_EQ(progress.reports.back(), Report(1'000'000, 1'000'000));

  RecordingProgress stopping(10);
  CProgressMeter stopped(&stopping, 100);
  int advanced = 0;
  while (stopped.Advance() && advanced < 1000) ++advanced;
  EXPECT_EQ(advanced, 9);
  EXPECT_FALSE(stopped.Advance());
  EXPECT_TRUE(stopped.Stopped());
  EXPECT_EQ(stopping.reports.back().first, 10u);
}

TEST(ProgressMeter, AMeterWithoutAHostOnlyCounts) {
  CProgressMeter meter(nullptr, 0);
  for (int i = 0; i < 10; ++i) EXPECT_TRUE(meter.Advance(1u << 20));
  EXPECT_FALSE(meter.Stopped());
}

TEST(SessionWriting, StoppedInTheMiddleEveryFormatLeavesTheOldFileAndNoTemporary) {
  const TransactionArray session = testing::MakeRealisticSession(2000);
  for (const SessionFormatInfo& info : kSessionFormats) {
    SCOPED_TRACE(std::string(info.name));
    TempDir dir;
    const auto path = dir / ("old." + std::string(info.name));
    WriteWholeFile(path, "the old file");
    RecordingProgress progress(1000);
    const auto error = WriteSessionFile(info.format, path, session, testing::FakeClock(), {}, {}, &progress);
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->stopped);
    EXPECT_EQ(ReadWholeFile(path), "the old file");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    EXPECT_LT(progress.reports.back().first, 1100u) << "the writer went on after it was stopped";
  }
}

TEST(SessionWriting, AWholeWriteReportsEveryRecordAndMatchesAnUnwatchedOne) {
  const TransactionArray session = testing::MakeRealisticSession(300);
  for (const SessionFormatInfo& info : kSessionFormats) {
    SCOPED_TRACE(std::string(info.name));
    TempDir dir;
    RecordingProgress progress;
    ASSERT_FALSE(WriteSessionFile(info.format, dir / "watched", session, testing::FakeClock(), {}, {}, &progress));
    ASSERT_FALSE(WriteSessionFile(info.format, dir / "plain", session, testing::FakeClock()));
    EXPECT_EQ(ReadWholeFile(dir / "watched"), ReadWholeFile(dir / "plain"));
    EXPECT_EQ(progress.reports.back(), Report(300, 300));
  }
}

TEST(SessionLoading, ReportsTheBytesReadAndAStoppedLoadKeepsNothing) {
  const TransactionArray session = testing::MakeRealisticSession(500);
  for (const SessionFormat format : {SessionFormat::kLog, SessionFormat::kHar}) {
    TempDir dir;
    const auto path = dir / ("session." + std::string(InfoOf(format).name));
    ASSERT_FALSE(WriteSessionFile(format, path, session, testing::FakeClock()));
    const std::uint64_t size = std::filesystem::file_size(path);

    RecordingProgress whole;
    const SessionFileLoad loaded = LoadSessionFile(path, testing::FakeClock(), &whole);
    EXPECT_TRUE(loaded.replacesSession);
    EXPECT_EQ(loaded.records.size(), 500u);
    EXPECT_EQ(whole.reports.back(), Report(size, size));

    RecordingProgress stopping(size / 2);
    const SessionFileLoad stopped = LoadSessionFile(path, testing::FakeClock(), &stopping);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_FALSE(stopped.replacesSession);
    EXPECT_TRUE(stopped.records.empty());
    EXPECT_FALSE(stopped.message.has_value());
    EXPECT_FALSE(stopped.error.has_value());
  }
}

}  // namespace
}  // namespace tracewell
