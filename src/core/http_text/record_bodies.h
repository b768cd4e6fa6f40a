#pragma once
// What a record says about its two bodies, copied out of it so that a view can show
// them after the record is gone: the request body it sent, and where its response
// body is found (carried by the record from a HAR file, or kept by a store under the
// after snapshot's LocalFileName).

#include <optional>
#include <string>
#include <string_view>

#include "record/http_transaction.h"

namespace tracewell {

struct RecordBodies {
  std::string requestBody;  // the post data of a POST or PUT in the code page's bytes
  std::u16string requestContentType;
  // Of the headers that describe the stored body: the after snapshot's, else the
  // record's response headers.
  std::u16string responseContentType;
  std::u16string responseContentEncoding;
  std::optional<std::string> carriedBody;  // without content encoding
  std::u16string storedFile;               // empty when no store kept the body
};

RecordBodies RecordBodiesOf(const CHttpTransaction& record);

// The response bodies of recorded records, decoded, for the HAR export.
class IStoredBodies {
 public:
  virtual ~IStoredBodies() = default;
  // Nothing when no store holds the record's body or it does not decode whole.
  virtual std::optional<std::string> DecodedResponseBody(const CHttpTransaction& record) = 0;
};

}  // namespace tracewell
