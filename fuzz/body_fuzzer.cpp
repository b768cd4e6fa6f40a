// Arbitrary stored bytes under each content encoding and content type through the
// Body tab's view: decoding ends, within its bound, on damaged and hostile streams,
// and the view is built from whatever came out.

#include <array>
#include <cstdint>
#include <cstdlib>

#include "bodies/body_view.h"
#include "support/fake_cache_files.h"

namespace {

using namespace tracewell;

constexpr std::array<std::u16string_view, 6> kEncodings = {u"gzip", u"deflate", u"br", u"gzip, br",
                                                           u"deflate, gzip", u""};
constexpr std::array<std::u16string_view, 5> kTypes = {u"application/json", u"text/plain; charset=utf-16",
                                                       u"image/png", u"application/octet-stream", u""};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  testing::FakeFiles files;
  files.files[u"/store/1"] = std::string(reinterpret_cast<const char*>(data) + 1, size - 1);
  RecordBodies bodies;
  bodies.storedFile = u"/store/1";
  bodies.responseContentEncoding = kEncodings[data[0] % kEncodings.size()];
  bodies.responseContentType = kTypes[data[0] / kEncodings.size() % kTypes.size()];
  const BodyView view = ResponseBodyView(bodies, files);
  if (view.summary.empty()) std::abort();
  return 0;
}
