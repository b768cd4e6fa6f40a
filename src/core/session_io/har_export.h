#pragma once
// The HAR 1.2 export: every record that is not cleared, in order, as one entry of a
// single page. Times carry the local offset from UTC; the two cache snapshots
// become the entry's cache state before and after the request, every field of them
// kept (HAR's own fields and "_" fields for the rest). A response body that is known
// (carried by the record or kept by a store) is written without its content encoding:
// as text when it is UTF-8, else in base64. UTF-8 JSON, one entry per line.

#include "http_text/record_bodies.h"
#include "record/clock.h"
#include "record/http_transaction.h"
#include "session_io/byte_stream.h"
#include "session_io/file_io.h"
#include "session_io/work_progress.h"

namespace tracewell {

struct HarExportOptions {
  // Leaves out the values of the Cookie, Set-Cookie, Authorization and
  // Proxy-Authorization headers and of every cookie, for files that are shared.
  bool sanitize = false;
  // Writes the response bodies that are known.
  bool bodies = true;
  // Where the bodies of recorded records are found; none: only carried bodies.
  IStoredBodies* storedBodies = nullptr;
};

// Fails only when `progress` stops it.
std::optional<FileError> WriteHarExport(const TransactionArray& records, const IClock& clock,
                                        const HarExportOptions& options, IByteSink& sink,
                                        IWorkProgress* progress = nullptr);

}  // namespace tracewell
