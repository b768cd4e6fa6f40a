#pragma once
// The "Cache Info" tab: the cache entry of the record's URL before the request and
// after it, as thirteen rows of (description, before, after).

#include <string>

#include "record/clock.h"
#include "record/http_transaction.h"
#include "views/text_rows.h"

namespace tracewell {

// An entry time (UTC) as local "MM-DD-YYYY  HH:MM:SS", or "Invalid DateTime" when it
// cannot be converted to a local date in the years 100 to 9999.
std::u16string FormatCacheTime(FileTime utc, const IClock& clock);

class CCacheInfoViewModel {
 public:
  explicit CCacheInfoViewModel(const IClock& clock) : m_clock(clock) {}

  // Refills the rows; no rows at all when neither snapshot exists.
  void ShowCacheInfo(const CHttpTransaction& record);
  void ClearCacheInfo() { m_rows.clear(); }
  const TextRows& Rows() const { return m_rows; }

 private:
  void FillColumn(std::size_t column, const CacheEntrySnapshot& snapshot);

  const IClock& m_clock;
  TextRows m_rows;
};

}  // namespace tracewell
