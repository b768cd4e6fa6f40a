#include "bodies/content_decoding.h"

#include <gtest/gtest.h>

#include "bodies/cache_files_chain.h"
#include "compress.h"
#include "support/fake_cache_files.h"

namespace tracewell {
namespace {

using testing::Brotli;
using testing::Deflated;
using testing::Gzipped;

const std::string kPage = "<html><body>" + std::string(3000, 'x') + "\xC3\xBC</body></html>";
constexpr std::size_t kBound = 1024 * 1024;

void ExpectDecoded(const std::string& body, std::u16string_view encoding, const std::string& expected) {
  const DecodedContent decoded = DecodeContent(body, encoding, kBound);
  EXPECT_EQ(decoded.status, DecodeStatus::kComplete) << std::string(encoding.begin(), encoding.end());
  EXPECT_EQ(decoded.bytes, expected);
}

TEST(ContentDecoding, EachEncodingServersUse) {
  ExpectDecoded(Gzipped(kPage), u"gzip", kPage);
  ExpectDecoded(Gzipped(kPage), u"X-GZIP", kPage);
  ExpectDecoded(Deflated(kPage, 15), u"deflate", kPage);   // zlib-wrapped, as the standard says
  ExpectDecoded(Deflated(kPage, -15), u"deflate", kPage);  // raw, as some servers send it
  ExpectDecoded(Brotli(kPage), u"br", kPage);
  ExpectDecoded(kPage, u"", kPage);
  ExpectDecoded(kPage, u"identity", kPage);
  // Two gzip members one after the other make one body.
  ExpectDecoded(Gzipped("first half, ") + Gzipped("second half"), u"gzip", "first half, second half");
}

TEST(ContentDecoding, ChainedEncodingsAreUndoneLastFirst) {
  ExpectDecoded(Brotli(Gzipped(kPage)), u"gzip, br", kPage);
  ExpectDecoded(Gzipped(Deflated(kPage, 15)), u"deflate,identity, gzip", kPage);
}

TEST(ContentDecoding, DamageAndUnknownEncodingsKeepWhatCanBeShown) {
  const std::string gzip = Gzipped(kPage);
  // Cut short: the part that decoded is kept.
  DecodedContent cut = DecodeContent(gzip.substr(0, gzip.size() - 20), u"gzip", kBound);
  EXPECT_EQ(cut.status, DecodeStatus::kDamaged);
  EXPECT_EQ(cut.encoding, u"gzip");
  EXPECT_TRUE(kPage.starts_with(cut.bytes));

  std::string corrupt = Brotli(kPage);
  corrupt[corrupt.size() / 2] = static_cast<char>(corrupt[corrupt.size() / 2] ^ 0x5A);
  EXPECT_EQ(DecodeContent(corrupt, u"br", kBound).status, DecodeStatus::kDamaged);
  EXPECT_EQ(DecodeContent("not deflate at all", u"deflate", kBound).status, DecodeStatus::kDamaged);

  const DecodedContent unknown = DecodeContent(gzip, u"gzip, compress", kBound);
  EXPECT_EQ(unknown.status, DecodeStatus::kUnknownEncoding);
  EXPECT_EQ(unknown.encoding, u"compress");
  EXPECT_EQ(unknown.bytes, gzip);
}

TEST(ContentDecoding, ABombStopsAtTheBound) {
  const std::string zeros(16 * 1024 * 1024, '\0');
  for (const auto& [encoding, body] : {std::pair<std::u16string, std::string>{u"gzip", Gzipped(zeros)},
                                       {u"br", Brotli(zeros)},
                                       {u"gzip, br", Brotli(Gzipped(zeros))}}) {
    ASSERT_LT(body.size(), 128u * 1024);
    const DecodedContent decoded = DecodeContent(body, encoding, kBound);
    EXPECT_EQ(decoded.status, DecodeStatus::kLimitReached);
    EXPECT_EQ(decoded.bytes, zeros.substr(0, kBound));
  }
  // Exactly the bound is still whole.
  EXPECT_EQ(DecodeContent(Gzipped(zeros.substr(0, kBound)), u"gzip", kBound).status, DecodeStatus::kComplete);
}

TEST(CacheFilesChain, TheFirstStoreThatAnswersWins) {
  testing::FakeFiles proxyStore;
  testing::FakeFiles browserStore;
  proxyStore.files[u"/proxy/1"] = "proxied";
  browserStore.files[u"/browser/1"] = "from the browser";
  browserStore.files[u"/proxy/1"] = "never asked";
  CCacheFilesChain chain;
  EXPECT_EQ(chain.ReadFileBytes(u"/proxy/1", 10), std::nullopt);
  EXPECT_EQ(chain.CopyFileReplacing(u"/proxy/1", u"/tmp/x"), 2u);
  chain.Add(proxyStore);
  chain.Add(browserStore);
  EXPECT_EQ(chain.ReadFileBytes(u"/proxy/1", 4), "prox");
  EXPECT_EQ(chain.ReadFileBytes(u"/browser/1", 100), "from the browser");
  EXPECT_EQ(chain.ReadFileBytes(u"/gone", 100), std::nullopt);
  EXPECT_EQ(browserStore.readLimits, (std::vector<std::size_t>{100, 100}));

  proxyStore.copyError = 2;
  EXPECT_EQ(chain.CopyFileReplacing(u"/browser/1", u"/tmp/y"), std::nullopt);
  browserStore.copyError = 5;
  EXPECT_EQ(chain.CopyFileReplacing(u"/gone", u"/tmp/z"), 5u);
}

}  // namespace
}  // namespace tracewell
