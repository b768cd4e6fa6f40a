#pragma once
// How long a record took: end minus start on the FILETIME scale, in seconds.

#include <optional>
#include <string>

#include "record/http_transaction.h"

namespace tracewell {

// Seconds from m_stStarted to m_stEnded; none when either time is not a valid
// calendar time (a running record's all-zero end, or damaged times from a file).
std::optional<double> DurationSeconds(const CHttpTransaction& record);

// The "Duration(s)" text of a row being added: "0.000" while the record has no end
// time (year 0), empty when the end lies before the start or a time is invalid,
// otherwise the seconds with three decimals.
std::u16string DurationTextForNewRow(const CHttpTransaction& record);

// The duration as the exports write it: "0.000" while the record has no end time,
// the seconds with their sign otherwise, empty when a time is not a valid calendar
// time.
std::u16string DurationTextForExport(const CHttpTransaction& record);

// The duration an update writes into the grid: the plain difference, negative
// included; empty when a time is not a valid calendar time.
std::u16string DurationTextForUpdate(const CHttpTransaction& record);

}  // namespace tracewell
