// Response bodies in the Windows build, which has zlib and no brotli: gzip and
// deflate are undone, "br" is left as stored and the Body tab's summary says this
// build cannot decode it, instead of calling it unknown or guessing.

#include <gtest/gtest.h>

#include "bodies/body_view.h"
#include "bodies/content_decoding.h"
#include "core/bodies/zlib_compress.h"
#include "support/fake_cache_files.h"
#include "bodies/body_text.h"

namespace tracewell::win {
namespace {

using tracewell::testing::Deflated;
using tracewell::testing::Gzipped;

const std::string kPage = "<p>" + std::string(2000, 'w') + "\xC3\xA9</p>";
constexpr std::size_t kBound = 1024 * 1024;
constexpr std::u16string_view kStoredFile = u"C:\\cache\\entry[1].htm";

std::u16string Count(std::size_t n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

TEST(WindowsContentDecoding, GzipAndDeflateAreUndone) {
  for (const auto& [body, encoding] : {std::pair{Gzipped(kPage), u"gzip"}, {Gzipped(kPage), u"x-gzip"},
                                       {Deflated(kPage, 15), u"deflate"}, {Deflated(kPage, -15), u"deflate"},
                                       {Gzipped(Deflated(kPage, 15)), u"deflate, gzip"}}) {
    const DecodedContent decoded = DecodeContent(body, encoding, kBound);
    EXPECT_EQ(DecodeStatus::kComplete, decoded.status);
    EXPECT_EQ(kPage, decoded.bytes);
  }
  const DecodedContent cut = DecodeContent(Gzipped(kPage).substr(0, 20), u"gzip", kBound);
  EXPECT_EQ(DecodeStatus::kDamaged, cut.status);
  EXPECT_EQ(u"gzip", cut.encoding);
}

// What stood before brotli's stage is given back: the stored bytes for "gzip, br"
// (br was applied last), the gzip undone for "br, gzip".
TEST(WindowsContentDecoding, BrIsKnownAndLeftAsStored) {
  const std::string stored = "\x1B\x03\x00\xF8 not decoded here";
  const DecodedContent alone = DecodeContent(stored, u"BR", kBound);
  EXPECT_EQ(DecodeStatus::kNotInThisBuild, alone.status);
  EXPECT_EQ(u"br", alone.encoding);
  EXPECT_EQ(stored, alone.bytes);

  EXPECT_EQ(stored, DecodeContent(stored, u"gzip, br", kBound).bytes);
  const DecodedContent inner = DecodeContent(Gzipped(stored), u"br, gzip", kBound);
  EXPECT_EQ(DecodeStatus::kNotInThisBuild, inner.status);
  EXPECT_EQ(stored, inner.bytes);

  EXPECT_EQ(DecodeStatus::kUnknownEncoding, DecodeContent(stored, u"zstd", kBound).status);
}

class WindowsStoredBody : public ::testing::Test {
 protected:
  // A GET whose response the cache keeps in kStoredFile with these headers.
  CHttpTransaction& Stored(std::u16string_view headers, std::string bytes) {
    m_files.files[std::u16string(kStoredFile)] = std::move(bytes);
    m_record.m_strMethod = u"GET";
    m_record.m_pCacheInfoAfter = std::make_unique<CacheEntrySnapshot>();
    m_record.m_pCacheInfoAfter->LocalFileName = kStoredFile;
    m_record.m_pCacheInfoAfter->HeaderInfo = headers;
    return m_record;
  }

  testing::FakeFiles m_files;
  CHttpTransaction m_record;
};

TEST_F(WindowsStoredBody, SummarySaysThisBuildCannotDecodeBr) {
  const std::string stored = "\x8B\x02\x80plain";
  const CHttpTransaction& record = Stored(u"Content-Type: text/plain\r\nContent-Encoding: br\r\n", stored);
  const BodyView view = ResponseBodyView(RecordBodiesOf(record), m_files);
  EXPECT_EQ(BodyKind::kBinary, view.kind);
  EXPECT_EQ(u"Response body: 8 bytes as stored (br), 8 bytes decoded; binary, shown in hex\n"
            u"This build of Tracewell cannot decode \"br\": the body is shown as it was stored.\n",
            view.summary);
  EXPECT_EQ(HexDump(stored), view.text);
  // A body that does not decode whole is left out of a HAR file.
  CStoredBodies bodies(m_files);
  EXPECT_EQ(std::nullopt, bodies.DecodedResponseBody(record));
}

TEST_F(WindowsStoredBody, GzipBodyIsShownDecodedWithBothSizes) {
  const std::string gzip = Gzipped(kPage);
  const CHttpTransaction& record = Stored(u"Content-Type: text/html; charset=utf-8\r\nContent-Encoding: gzip\r\n", gzip);
  const BodyView view = ResponseBodyView(RecordBodiesOf(record), m_files);
  EXPECT_EQ(u"Response body: " + Count(gzip.size()) + u" bytes as stored (gzip), " + Count(kPage.size()) +
                u" bytes decoded; text (UTF-8)\n",
            view.summary);
  EXPECT_EQ(u"<p>" + std::u16string(2000, u'w') + u"\u00E9</p>", view.text);
  CStoredBodies bodies(m_files);
  EXPECT_EQ(kPage, bodies.DecodedResponseBody(record));
}

}  // namespace
}  // namespace tracewell::win
