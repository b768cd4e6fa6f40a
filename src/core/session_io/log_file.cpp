#include "session_io/log_file.h"

#include <array>
#include <cstring>
#include <limits>

#include "session_io/record_writing.h"
#include "text/code_page.h"

namespace tracewell {
namespace {

// ---- writing -------------------------------------------------------------------

template <typename T>
void AppendLittleEndian(std::string& out, T value) {
  using Unsigned = std::make_unsigned_t<T>;
  auto bits = static_cast<Unsigned>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    out.push_back(static_cast<char>(bits & 0xFFu));
    bits = static_cast<Unsigned>(bits >> 8);
  }
}

void PatchLittleEndian32(std::string& out, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFFu);
}

// Appends a length-prefixed string; false when its narrow form exceeds 2^31-1 bytes.
bool AppendString(std::string& out, std::u16string_view text) {
  const std::size_t lengthAt = out.size();
  out.append(4, '\0');
  AppendCodePage(out, text);
  const std::size_t length = out.size() - lengthAt - 4;
  if (length > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return false;
  PatchLittleEndian32(out, lengthAt, static_cast<std::uint32_t>(length));
  return true;
}

void AppendTime(std::string& out, const SystemTime& time) {
  for (std::uint16_t field : {time.wYear, time.wMonth, time.wDayOfWeek, time.wDay, time.wHour,
                              time.wMinute, time.wSecond, time.wMilliseconds}) {
    AppendLittleEndian(out, field);
  }
}

bool AppendRecordBlock(std::string& out, const CHttpTransaction& record) {
  AppendLittleEndian(out, record.m_nSent);
  AppendLittleEndian(out, record.m_nSize);
  AppendLittleEndian(out, record.m_nReserved);
  bool fits = true;
  for (const std::u16string* text : TextFields(record)) fits = AppendString(out, *text) && fits;
  AppendTime(out, record.m_stStarted);
  AppendTime(out, record.m_stEnded);
  out.push_back(static_cast<char>(record.m_bStatusMatch));
  out.push_back(static_cast<char>(record.m_bTypeMatch));
  return fits;
}

// ---- reading -------------------------------------------------------------------

class RecordReader {
 public:
  explicit RecordReader(IByteSource& source) : m_source(source) {}

  // False when the source failed or ended before the field was complete.
  bool ReadBytes(char* dest, std::size_t count) {
    return m_source.Read(dest, count) == count && !m_source.Failed();
  }

  template <typename T>
  bool ReadLittleEndian(T& value) {
    std::array<unsigned char, sizeof(T)> bytes{};
    if (!ReadBytes(reinterpret_cast<char*>(bytes.data()), bytes.size())) return false;
    std::make_unsigned_t<T> bits = 0;
    for (std::size_t i = sizeof(T); i-- > 0;) {
      bits = static_cast<std::make_unsigned_t<T>>((bits << 8) | bytes[i]);
    }
    value = static_cast<T>(bits);
    return true;
  }

  bool ReadString(std::u16string& text) {
    std::int32_t length = 0;
    if (!ReadLittleEndian(length) || length < 0) return false;
    if (static_cast<std::uint64_t>(length) > m_source.Remaining()) return false;
    m_scratch.resize(static_cast<std::size_t>(length));
    if (!ReadBytes(m_scratch.data(), m_scratch.size())) return false;
    text = FromCodePageUntilNul(m_scratch);
    return true;
  }

  bool ReadTime(SystemTime& time) {
    for (std::uint16_t* field : {&time.wYear, &time.wMonth, &time.wDayOfWeek, &time.wDay,
                                 &time.wHour, &time.wMinute, &time.wSecond, &time.wMilliseconds}) {
      if (!ReadLittleEndian(*field)) return false;
    }
    return true;
  }

  bool ReadRecord(CHttpTransaction& record) {
    if (m_source.Remaining() < kMinimumRecordBlockSize) return false;
    if (!ReadLittleEndian(record.m_nSent) || !ReadLittleEndian(record.m_nSize) ||
        !ReadLittleEndian(record.m_nReserved)) {
      return false;
    }
    for (std::u16string* text : TextFields(record)) {
      if (!ReadString(*text)) return false;
    }
    return ReadTime(record.m_stStarted) && ReadTime(record.m_stEnded) &&
           ReadLittleEndian(record.m_bStatusMatch) && ReadLittleEndian(record.m_bTypeMatch);
  }

 private:
  IByteSource& m_source;
  std::string m_scratch;
};

// Reads a fixed header text; the message when it is missing or different.
std::optional<UserMessage> CheckHeaderText(IByteSource& source, std::string_view expected,
                                           const UserMessage& mismatch) {
  std::array<char, 8> bytes{};
  const std::size_t got = source.Read(bytes.data(), expected.size());
  if (source.Failed()) return kMsgHeaderReadError;
  if (std::string_view(bytes.data(), got) != expected) return mismatch;
  return std::nullopt;
}

}  // namespace

std::optional<FileError> WriteLogFile(const TransactionArray& records, IByteSink& sink,
                                      IWorkProgress* progress) {
  BufferedWriter writer(sink);
  std::string& buffer = writer.buffer();
  buffer.append(kLogSignature);
  buffer.append(kLogVersion);
  std::size_t count = 0;
  for (const auto& record : records) count += record->m_bCleared == 0 ? 1 : 0;
  if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    return FileError{"too many records for a log file"};
  }
  AppendLittleEndian(buffer, static_cast<std::int32_t>(count));

  std::size_t index = 0;
  return AppendKeptRecords(records, writer, progress,
                           [&](const CHttpTransaction& record) -> std::optional<FileError> {
                             if (!AppendRecordBlock(buffer, record)) {
                               return FileError{"record " + std::to_string(index) + " has a text over 2 GiB"};
                             }
                             ++index;
                             return std::nullopt;
                           });
}

std::optional<FileError> SaveLogFile(const std::filesystem::path& path,
                                     const TransactionArray& records) {
  return WriteFileReplacing(path, [&](IByteSink& sink) { return WriteLogFile(records, sink); });
}

LogLoadResult ReadLogFile(IByteSource& source) {
  LogLoadResult result;
  if ((result.message = CheckHeaderText(source, kLogSignature, kMsgNotLogFile))) return result;
  if ((result.message = CheckHeaderText(source, kLogVersion, kMsgWrongLogVersion))) return result;

  RecordReader reader(source);
  std::int32_t count = 0;
  if (!reader.ReadLittleEndian(count) || count == 0) return result;
  if (count < 0) {
    result.message = kMsgRecordReadError;
    return result;
  }

  result.replacesSession = true;
  // Never reserve more records than the remaining bytes can hold.
  const std::uint64_t possible = source.Remaining() / kMinimumRecordBlockSize;
  result.records.reserve(static_cast<std::size_t>(std::min(possible, static_cast<std::uint64_t>(count))));
  for (std::int32_t i = 0; i < count; ++i) {
    auto record = std::make_unique<CHttpTransaction>();
    if (!reader.ReadRecord(*record)) {
      result.message = kMsgRecordReadError;
      break;
    }
    result.records.push_back(std::move(record));
  }
  return result;
}

}  // namespace tracewell
