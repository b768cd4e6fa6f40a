#pragma once
// The XML export: a root "http-info" with one "item" per record that is not
// cleared, headers and post-data parameters as one element each. UTF-8, CR LF.
// Element text and the url attribute are escaped so that the document is always
// well-formed; a header or parameter name that is not an XML name is written with
// each offending character as _xHHHH_ (its code point in hex).

#include <optional>

#include "record/http_transaction.h"
#include "session_io/byte_stream.h"
#include "session_io/file_io.h"
#include "session_io/work_progress.h"

namespace tracewell {

// Fails only when `progress` stops it.
std::optional<FileError> WriteXmlExport(const TransactionArray& records, IByteSink& sink,
                                        IWorkProgress* progress = nullptr);

}  // namespace tracewell
