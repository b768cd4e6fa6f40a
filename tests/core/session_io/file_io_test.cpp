#include "session_io/file_io.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tracewell {
namespace {

using testing::ReadWholeFile;
using testing::TempDir;
using testing::WriteWholeFile;

FileProducer Writes(std::string bytes) {
  return [bytes](IByteSink& sink) -> std::optional<FileError> {
    sink.Write(bytes);
    return std::nullopt;
  };
}

std::size_t EntriesIn(const std::filesystem::path& dir) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir),
                                                std::filesystem::directory_iterator()));
}

TEST(WriteFileReplacing, CreatesAndReplacesWholeFiles) {
  TempDir dir;
  const auto path = dir / "session.elf";
  EXPECT_FALSE(WriteFileReplacing(path, Writes("first")).has_value());
  EXPECT_EQ(ReadWholeFile(path), "first");
  EXPECT_FALSE(WriteFileReplacing(path, Writes("second, longer")).has_value());
  EXPECT_EQ(ReadWholeFile(path), "second, longer");
  EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(WriteFileReplacing, ProducerFailureKeepsTheOldFileAndLeavesNoTemporary) {
  TempDir dir;
  const auto path = dir / "session.elf";
  WriteWholeFile(path, "old content");
  const auto error = WriteFileReplacing(path, [](IByteSink& sink) -> std::optional<FileError> {
    sink.Write("half of it");
    return FileError{"record 3 has a text over 2 GiB"};
  });
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->message, "record 3 has a text over 2 GiB");
  EXPECT_EQ(ReadWholeFile(path), "old content");
  EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(WriteFileReplacing, ReportsWhyItCannotWrite) {
  TempDir dir;
  const auto missingDir = WriteFileReplacing(dir / "no/such/dir/out.elf", Writes("x"));
  ASSERT_TRUE(missingDir.has_value());
  EXPECT_NE(missingDir->message.find("No such file or directory"), std::string::npos);

  std::filesystem::create_directory(dir / "taken");
  const auto directory = WriteFileReplacing(dir / "taken", Writes("x"));
  ASSERT_TRUE(directory.has_value());
  EXPECT_NE(directory->message.find("Is a directory"), std::string::npos);
  EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(FileByteSource, ReadsInPiecesAndKnowsWhatIsLeft) {
  TempDir dir;
  std::string content(3 << 20, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
  WriteWholeFile(dir / "big", content);

  FileError error;
  auto source = FileByteSource::Open(dir / "big", error);
  ASSERT_NE(source, nullptr);
  std::string back(content.size(), '\0');
  ASSERT_EQ(source->Read(back.data(), 5), 5u);
  EXPECT_EQ(source->Remaining(), content.size() - 5);
  ASSERT_EQ(source->Read(back.data() + 5, content.size()), content.size() - 5);
  EXPECT_EQ(back, content);
  EXPECT_EQ(source->Remaining(), 0u);
  EXPECT_FALSE(source->Failed());
}

TEST(FileByteSource, OpenFailureSaysWhy) {
  TempDir dir;
  FileError error;
  EXPECT_EQ(FileByteSource::Open(dir / "absent.elf", error), nullptr);
  EXPECT_NE(error.message.find("No such file or directory"), std::string::npos);
  EXPECT_EQ(FileByteSource::Open(dir.path(), error), nullptr);
  EXPECT_NE(error.message.find("Is a directory"), std::string::npos);
}

}  // namespace
}  // namespace tracewell
