#pragma once
// Reading a HAR file (ours or another tool's) into records: header blocks rebuilt
// from HAR's header lists, the result from the status or the error, local start and
// end times, cache snapshots from the cache states. Fields that are not needed are
// ignored; a file that is not HAR, or an entry that lacks what a record needs, is
// refused whole with a message that says what is wrong and where.
//
// Entries are converted one at a time as the file is read, so memory follows the
// largest entry, not the file; an entry of more than 1,000,000 JSON values is
// refused.

#include <optional>

#include "record/clock.h"
#include "record/http_transaction.h"
#include "session_io/byte_stream.h"
#include "session_io/file_io.h"

namespace tracewell {

struct HarLoadResult {
  TransactionArray records;        // empty when the file was refused
  std::optional<FileError> error;  // why it was refused, naming the place
};

HarLoadResult ReadHarFile(IByteSource& source, const IClock& clock);

}  // namespace tracewell
