#pragma once
// The "Header" tab: request headers on the left, response headers on the right, as
// name/value rows, with an explanation row when a request got no response headers.

#include "record/http_transaction.h"
#include "views/text_rows.h"

namespace tracewell {

class CHeaderViewModel {
 public:
  // Refills both lists from the record; without a record the lists stay as they are.
  void FillHeaderView(const CHttpTransaction* record);
  void ClearHeaderView();

  const TextRows& RequestRows() const { return m_requestRows; }
  const TextRows& ResponseRows() const { return m_responseRows; }

 private:
  void AddExplanation(const std::u16string& result);

  TextRows m_requestRows;
  TextRows m_responseRows;
};

}  // namespace tracewell
