#include "session_io/log_file.h"

#include <gtest/gtest.h>

#include <string>

#include "support/sample_session.h"
#include "text/code_page.h"

namespace tracewell {
namespace {

using namespace std::string_literals;
using testing::MakeRealisticSession;
using testing::StoredFieldsEqual;

std::string Save(const TransactionArray& records) {
  StringByteSink sink;
  EXPECT_FALSE(WriteLogFile(records, sink).has_value());
  return sink.data();
}

LogLoadResult Load(const std::string& bytes) {
  MemoryByteSource source(bytes);
  return ReadLogFile(source);
}

// 1 byte sent, size 2, result 200, GET, started Saturday 7 March 2009 09:05:03.045,
// not finished, status flag 1, type flag 0.
std::unique_ptr<CHttpTransaction> ExampleRecord() {
  auto record = std::make_unique<CHttpTransaction>();
  record->m_nSent = 1;
  record->m_nSize = 2;
  record->m_strResult = u"200";
  record->m_strMethod = u"GET";
  record->m_stStarted = {2009, 3, 6, 7, 9, 5, 3, 45};
  record->m_bStatusMatch = 1;
  return record;
}

const std::string kExampleBlock =
    "\x01\0\0\0"s "\x02\0\0\0"s "\0\0\0\0"s
    "\x03\0\0\0" "200"s "\x03\0\0\0" "GET"s + std::string(8 * 4, '\0') +
    "\xD9\x07\x03\0\x06\0\x07\0\x09\0\x05\0\x03\0\x2D\0"s + std::string(16, '\0') + "\x01\0"s;

const std::string kHeader = "ELF1.0.1"s;

std::string Count(std::int32_t n) {
  const auto u = static_cast<std::uint32_t>(n);
  return {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
          static_cast<char>((u >> 16) & 0xFF), static_cast<char>(u >> 24)};
}

TransactionArray SessionOf(std::unique_ptr<CHttpTransaction> record) {
  TransactionArray session;
  session.push_back(std::move(record));
  return session;
}

TEST(LogFileWrite, EmptyOrAllClearedSessionIsTheTwelveByteFile) {
  const std::string empty = "ELF1.0.1\0\0\0\0"s;
  EXPECT_EQ(Save({}), empty);

  auto session = MakeRealisticSession(3);
  for (auto& record : session) record->m_bCleared = 1;
  EXPECT_EQ(Save(session), empty);
}

TEST(LogFileWrite, ExampleRecordIsTheNinetyTwoByteBlock) {
  ASSERT_EQ(kExampleBlock.size(), 92u);
  EXPECT_EQ(Save(SessionOf(ExampleRecord())), kHeader + Count(1) + kExampleBlock);
}

TEST(LogFileWrite, AllEmptyRecordTakesEightySixBytes) {
  const std::string bytes = Save(SessionOf(std::make_unique<CHttpTransaction>()));
  EXPECT_EQ(bytes, kHeader + Count(1) + std::string(86, '\0'));
}

TEST(LogFileWrite, SkipsClearedRecordsAndCountsOnlyTheRest) {
  auto session = MakeRealisticSession(3);
  session[1]->m_bCleared = 1;
  const LogLoadResult loaded = Load(Save(session));
  ASSERT_EQ(loaded.records.size(), 2u);
  EXPECT_TRUE(StoredFieldsEqual(*loaded.records[0], *session[0]));
  EXPECT_TRUE(StoredFieldsEqual(*loaded.records[1], *session[2]));
}

TEST(LogFileWrite, TextOutsideTheCodePageBecomesQuestionMarks) {
  auto record = std::make_unique<CHttpTransaction>();
  record->m_strUrl = u"http://h/\u65E5\u00E9\u20AC";  // CJK, é, €
  const std::string bytes = Save(SessionOf(std::move(record)));
  EXPECT_NE(bytes.find("\x0C\0\0\0http://h/?\xE9\x80"s), std::string::npos);
}

TEST(LogFileRoundTrip, ReproducesEveryStoredFieldInOrder) {
  auto session = MakeRealisticSession(50);
  session[4]->m_nReserved = -7;
  session[4]->m_strReserved = u"spare";
  session[4]->m_strRedirectUrl = u"http://elsewhere.test/";
  session[5]->m_bTypeMatch = 1;
  session[6]->m_pCacheInfoBefore = std::make_unique<CacheEntrySnapshot>();
  const std::string first = Save(session);
  const LogLoadResult loaded = Load(first);

  EXPECT_TRUE(loaded.replacesSession);
  EXPECT_FALSE(loaded.message.has_value());
  ASSERT_EQ(loaded.records.size(), session.size());
  for (std::size_t i = 0; i < session.size(); ++i) {
    EXPECT_TRUE(StoredFieldsEqual(*loaded.records[i], *session[i])) << "record " << i;
    EXPECT_EQ(loaded.records[i]->m_pCacheInfoBefore, nullptr);
    EXPECT_EQ(loaded.records[i]->m_pCacheInfoAfter, nullptr);
    EXPECT_EQ(loaded.records[i]->m_bCleared, 0);
  }
  EXPECT_EQ(Save(loaded.records), first);
}

TEST(LogFileRoundTrip, BytesOfAnotherCodePageComeBackUnchanged) {
  // A file written on a Japanese system: Shift-JIS "日本" in the URL and every byte
  // value in the post data.
  std::string anyBytes;
  for (int b = 1; b < 256; ++b) anyBytes.push_back(static_cast<char>(b));
  const std::string url = "http://h/\x93\xFA\x96\x7B";
  const std::string block = "\0\0\0\0\0\0\0\0\0\0\0\0"s + Count(0) + Count(0) + Count(0) +
                            Count(static_cast<std::int32_t>(url.size())) + url + Count(0) +
                            Count(0) + Count(0) + Count(255) + anyBytes + Count(0) + Count(0) +
                            std::string(34, '\0');
  const std::string file = kHeader + Count(1) + block;

  const LogLoadResult loaded = Load(file);
  ASSERT_EQ(loaded.records.size(), 1u);
  EXPECT_EQ(loaded.records[0]->m_strUrl.size(), url.size());
  EXPECT_EQ(loaded.records[0]->m_strPostData.size(), 255u);
  EXPECT_EQ(Save(loaded.records), file);
}

TEST(LogFileRead, ExampleBlockLoadsItsFields) {
  const LogLoadResult loaded = Load(kHeader + Count(1) + kExampleBlock);
  ASSERT_EQ(loaded.records.size(), 1u);
  EXPECT_TRUE(StoredFieldsEqual(*loaded.records[0], *ExampleRecord()));
}

TEST(LogFileRead, StringEndsAtItsFirstZeroByte) {
  std::string block = Save(SessionOf(ExampleRecord())).substr(12);
  block[17] = '\0';  // "200" -> "2\0" "0"
  const LogLoadResult loaded = Load(kHeader + Count(1) + block);
  ASSERT_EQ(loaded.records.size(), 1u);
  EXPECT_EQ(loaded.records[0]->m_strResult, u"2");
  EXPECT_EQ(loaded.records[0]->m_strMethod, u"GET");
}

struct RefusedFile {
  const char* name;
  std::string bytes;
  std::optional<UserMessage> message;
  friend void PrintTo(const RefusedFile& file, std::ostream* os) { *os << file.name; }
};

class LogFileRefusal : public ::testing::TestWithParam<RefusedFile> {};

TEST_P(LogFileRefusal, LeavesTheSessionAsItWas) {
  const LogLoadResult loaded = Load(GetParam().bytes);
  EXPECT_FALSE(loaded.replacesSession);
  EXPECT_TRUE(loaded.records.empty());
  EXPECT_EQ(loaded.message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, LogFileRefusal,
    ::testing::Values(
        RefusedFile{"EmptyFile", "", kMsgNotLogFile},
        RefusedFile{"ShorterThanSignature", "EL", kMsgNotLogFile},
        RefusedFile{"LowerCaseSignature", "elf1.0.1\x01\0\0\0"s + kExampleBlock, kMsgNotLogFile},
        RefusedFile{"OtherSignature", "PNG1.0.1\0\0\0\0"s, kMsgNotLogFile},
        RefusedFile{"SignatureOnly", "ELF", kMsgWrongLogVersion},
        RefusedFile{"OtherVersion", "ELF1.0.2\x01\0\0\0"s + kExampleBlock, kMsgWrongLogVersion},
        RefusedFile{"NoCount", "ELF1.0.1\x01\0"s, std::nullopt},
        RefusedFile{"ZeroCount", "ELF1.0.1\0\0\0\0"s + kExampleBlock, std::nullopt},
        RefusedFile{"NegativeCount", "ELF1.0.1\xFF\xFF\xFF\xFF"s + kExampleBlock,
                    kMsgRecordReadError}),
    [](const auto& param) { return param.param.name; });

TEST(LogFileRead, CountBeyondTheRecordsKeepsTheWholeOnesAndReportsTheRest) {
  const LogLoadResult loaded = Load(kHeader + Count(3) + kExampleBlock);
  EXPECT_TRUE(loaded.replacesSession);
  EXPECT_EQ(loaded.message, kMsgRecordReadError);
  ASSERT_EQ(loaded.records.size(), 1u);
  EXPECT_TRUE(StoredFieldsEqual(*loaded.records[0], *ExampleRecord()));
}

TEST(LogFileRead, HugeCountDoesNotAllocateForIt) {
  const LogLoadResult loaded = Load(kHeader + Count(0x7FFFFFFF) + kExampleBlock);
  EXPECT_EQ(loaded.records.size(), 1u);
  EXPECT_LE(loaded.records.capacity(), 1u);
  EXPECT_EQ(loaded.message, kMsgRecordReadError);
}

TEST(LogFileRead, BadStringLengthEndsTheLoadWithoutThatRecord) {
  const std::string good = kExampleBlock;
  for (const std::int32_t length : {-1, 0x7FFFFFFF, 200}) {
    std::string bad = kExampleBlock;
    bad.replace(12, 4, Count(length));
    const LogLoadResult loaded = Load(kHeader + Count(2) + good + bad);
    EXPECT_EQ(loaded.records.size(), 1u) << length;
    EXPECT_EQ(loaded.message, kMsgRecordReadError) << length;
  }
}

TEST(LogFileRead, FileCutInsideALaterFieldKeepsEarlierRecords) {
  const std::string file = Save(MakeRealisticSession(3));
  for (std::size_t cut = file.size() - 1; cut > file.size() - 40; --cut) {
    const LogLoadResult loaded = Load(file.substr(0, cut));
    EXPECT_EQ(loaded.records.size(), 2u) << cut;
    EXPECT_EQ(loaded.message, kMsgRecordReadError) << cut;
  }
}

// A source whose reads fail after `goodBytes` bytes, as a failing disk would.
class FailingSource final : public IByteSource {
 public:
  FailingSource(std::string data, std::size_t goodBytes) : m_data(std::move(data)), m_good(goodBytes) {}
  std::size_t Read(char* dest, std::size_t count) override {
    const std::size_t n = std::min({count, m_good - m_position, m_data.size() - m_position});
    std::copy_n(m_data.data() + m_position, n, dest);
    m_position += n;
    if (n < count && m_position == m_good) m_failed = true;
    return n;
  }
  std::uint64_t Remaining() const override { return m_data.size() - m_position; }
  bool Failed() const override { return m_failed; }

 private:
  std::string m_data;
  std::size_t m_good;
  std::size_t m_position = 0;
  bool m_failed = false;
};

TEST(LogFileRead, ReadFailuresAreReportedWithTheirOwnMessages) {
  const std::string file = kHeader + Count(2) + kExampleBlock + kExampleBlock;
  {
    FailingSource source(file, 1);
    const LogLoadResult loaded = ReadLogFile(source);
    EXPECT_EQ(loaded.message, kMsgHeaderReadError);
    EXPECT_FALSE(loaded.replacesSession);
  }
  {
    FailingSource source(file, 5);
    EXPECT_EQ(ReadLogFile(source).message, kMsgHeaderReadError);
  }
  {
    FailingSource source(file, 12 + 92 + 30);
    const LogLoadResult loaded = ReadLogFile(source);
    EXPECT_EQ(loaded.message, kMsgRecordReadError);
    EXPECT_EQ(loaded.records.size(), 1u);
  }
}

}  // namespace
}  // namespace tracewell
