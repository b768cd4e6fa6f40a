// Response bodies in the Windows build, which has zlib and no brotli: gzip and
// deflate are undone, "br" is left as stored and the Body tab's summary says this
// build cannot decode it, instead of calling it unknown or guessing.

#include <gtest/gtest.h>

#include "bodies/body_text.h"
#include "bodies/body_view.h"
#include "bodies/content_decoding.h"
#include "core/bodies/zlib_compress.h"
#include "support/fake_cache_files.h"

namespace tracewell::win {
namespace {

using tracewell::testing::Deflated;
using tracewell::testing::Gzipped;

const std::string kPage = "<p>" + std::string(2000, 'w') + "\xC3\xA9</p>";
constexpr std::size_t kBound = 1024 * 1024;
constexpr std::u16string_view kStoredFile = u"C:\\cache\\entry[1].htm";

TEST(WindowsContentDecoding, GzipAndDeflateAreUndone) {
  for (const auto& [body, encoding] : {std::pair{Gzipped(kPage), u"x-gzip"}, {Deflated(kPage, 15), u"deflate"},
                                       {Gzipped(Deflated(kPage, -15)), u"deflate, gzip"}}) {
    const DecodedContent decoded = DecodeContent(body, encoding, kBound);
    EXPECT_EQ(DecodeStatus::kComplete, decoded.status);
    EXPECT_EQ(kPage, decoded.bytes);
  }
}

// What stood before brotli's stage is shown, as bytes, whatever the Content-Type
// says: the stored bytes for "gzip, br" (br was applied last), the gzip undone for
// "br, gzip". A body that does not decode whole is left out of a HAR file.
TEST(WindowsContentDecoding, BrIsLeftAsStoredAndTheSummarySaysSo) {
  const std::string stored = "\x8B\x02\x80plain";
  EXPECT_EQ(stored, DecodeContent(stored, u"gzip, br", kBound).bytes);
  const DecodedContent inner = DecodeContent(Gzipped(stored), u"BR, gzip", kBound);
  EXPECT_EQ(DecodeStatus::kNotInThisBuild, inner.status);
  EXPECT_EQ(u"br", inner.encoding);
  EXPECT_EQ(stored, inner.bytes);

  tracewell::testing::FakeFiles files;
  files.files[std::u16string(kStoredFile)] = stored;
  CHttpTransaction record;
  record.m_strMethod = u"GET";
  auto entry = std::make_shared<CacheEntrySnapshot>();
  entry->LocalFileName = kStoredFile;
  entry->HeaderInfo = u"Content-Type: text/plain\r\nContent-Encoding: br\r\n";
  record.m_pCacheInfoAfter = entry;
  const BodyView view = ResponseBodyView(RecordBodiesOf(record), files);
  EXPECT_EQ(u"Response body: 8 bytes as stored (br), 8 bytes decoded; binary, shown in hex\n"
            u"This build of Tracewell cannot decode \"br\": the body is shown as it was stored.\n",
            view.summary);
  EXPECT_EQ(HexDump(stored), view.text);
  CStoredBodies bodies(files);
  EXPECT_EQ(std::nullopt, bodies.DecodedResponseBody(record));
}

}  // namespace
}  // namespace tracewell::win
