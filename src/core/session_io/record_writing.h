#pragma once
// The loop every session writer shares: each record not cleared, in order, appended
// to a buffered writer that passes its buffer on between records, and counted on a
// progress meter whose host may stop the work.

#include <optional>
#include <type_traits>

#include "record/http_transaction.h"
#include "session_io/byte_stream.h"
#include "session_io/file_io.h"
#include "session_io/work_progress.h"

namespace tracewell {

// `append(record)` returns nothing, or an error that abandons the file.
template <typename Append>
std::optional<FileError> AppendKeptRecords(const TransactionArray& records, BufferedWriter& writer,
                                           IWorkProgress* progress, Append&& append) {
  CProgressMeter meter(progress, records.size());
  for (const auto& record : records) {
    if (meter.Stopped()) return WorkStopped();
    if (record->m_bCleared == 0) {
      if constexpr (std::is_void_v<std::invoke_result_t<Append&, const CHttpTransaction&>>) {
        append(*record);
      } else if (auto error = append(*record)) {
        return error;
      }
      writer.FlushIfFull();
    }
    meter.Advance();
  }
  return meter.Stopped() ? std::optional(WorkStopped()) : std::nullopt;
}

}  // namespace tracewell
