#pragma once
// The session the export benchmarks write: 100,000 realistic records, made once for
// the whole run.

#include "support/sample_session.h"

namespace tracewell::bench {

inline constexpr std::uint32_t kExportRecords = 100'000;

inline const TransactionArray& ExportSession() {
  static const TransactionArray session = testing::MakeRealisticSession(kExportRecords);
  return session;
}

}  // namespace tracewell::bench
