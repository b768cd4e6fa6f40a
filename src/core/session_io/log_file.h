#pragma once
// The binary session log (.elf): "ELF", "1.0.1", a signed 32-bit record count, then
// one block per record, all little-endian. Strings are a signed 32-bit byte count
// and that many bytes of narrow text; times are eight unsigned 16-bit values.
// Cache snapshots and the Clear flag are not stored.

#include <filesystem>
#include <optional>
#include <string_view>

#include "record/http_transaction.h"
#include "session_io/byte_stream.h"
#include "session_io/file_io.h"
#include "session_io/work_progress.h"
#include "text/user_message.h"

namespace tracewell {

inline constexpr std::string_view kLogSignature = "ELF";
inline constexpr std::string_view kLogVersion = "1.0.1";
inline constexpr std::size_t kLogHeaderSize = 12;
inline constexpr std::size_t kMinimumRecordBlockSize = 86;

inline constexpr UserMessage kMsgNotLogFile{u"File isn't eif file", u""};
inline constexpr UserMessage kMsgWrongLogVersion{u"File's version is error", u""};
inline constexpr UserMessage kMsgHeaderReadError{u"file read error", u"Error"};
inline constexpr UserMessage kMsgRecordReadError{u"file read error.", u""};

// Writes every record whose m_bCleared is 0, in order. Fails for a record whose text
// does not fit the format's 32-bit lengths, and when `progress` stops it.
std::optional<FileError> WriteLogFile(const TransactionArray& records, IByteSink& sink,
                                      IWorkProgress* progress = nullptr);

// Saves to `path`; an existing file is replaced only when the whole file was written.
std::optional<FileError> SaveLogFile(const std::filesystem::path& path,
                                     const TransactionArray& records);

struct LogLoadResult {
  // True when the loaded records replace the session: the header was accepted and
  // the count is positive. Otherwise the session stays as it was.
  bool replacesSession = false;
  TransactionArray records;
  // What to tell the user; set for every refusal and for a damaged record part, in
  // which case `records` holds the records that were read whole.
  std::optional<UserMessage> message;
};

// Reads a log file. Counts and string lengths are checked against the bytes left
// before anything is allocated for them.
LogLoadResult ReadLogFile(IByteSource& source);

}  // namespace tracewell
