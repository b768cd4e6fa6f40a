#include "bodies/body_view.h"

#include <gtest/gtest.h>

#include "bodies/body_text.h"
#include "zlib_compress.h"
#include "support/fake_cache_files.h"
#include "text/format.h"

namespace tracewell {
namespace {

using testing::Gzipped;

constexpr std::u16string_view kStoredFile = u"/store/entry-1";

// A finished GET whose response the store keeps with these headers.
std::unique_ptr<CHttpTransaction> StoredRecord(std::u16string_view storedHeaders) {
  auto record = std::make_unique<CHttpTransaction>();
  record->m_strMethod = u"GET";
  record->m_strUrl = u"http://127.0.0.1:8080/x";
  record->m_strResponseHeaders = u"HTTP/1.1 304 Not Modified\r\nETag: \"1\"\r\n";
  auto entry = std::make_shared<CacheEntrySnapshot>();
  entry->LocalFileName = kStoredFile;
  entry->HeaderInfo = storedHeaders;
  record->m_pCacheInfoAfter = entry;
  return record;
}

std::u16string Count(std::size_t n) { return FormatText("%zu", n); }

class ResponseBody : public ::testing::Test {
 protected:
  BodyView View(std::u16string_view storedHeaders, std::string stored) {
    files.files[std::u16string(kStoredFile)] = std::move(stored);
    return ResponseBodyView(RecordBodiesOf(*StoredRecord(storedHeaders)), files);
  }
  testing::FakeFiles files;
};

TEST_F(ResponseBody, AStoredGzipBodyShowsDecodedWithBothSizes) {
  const std::string gzip = Gzipped("Gr\xC3\xBC\xC3\x9F" "e\n");
  // The stored entry's headers describe the body, not the 304's.
  const BodyView view =
      View(u"HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Encoding: gzip\r\n\r\n", gzip);
  EXPECT_EQ(view.kind, BodyKind::kText);
  EXPECT_EQ(view.summary, u"Response body: " + Count(gzip.size()) +
                              u" bytes as stored (gzip), 8 bytes decoded; text (UTF-8)\n");
  EXPECT_EQ(view.text, u"Grüße\n");
  EXPECT_EQ(files.readLimits, std::vector<std::size_t>{kStoredBodyReadLimit + 1});
}

TEST_F(ResponseBody, JsonIsLaidOutAndBadJsonShownAsText) {
  const BodyView json = View(u"Content-Type: application/problem+json\r\n", R"({"b":[1,2],"a":{"x":"ü"}})");
  EXPECT_EQ(json.kind, BodyKind::kJson);
  EXPECT_EQ(json.summary, u"Response body: 26 bytes; JSON (UTF-8)\n");
  EXPECT_EQ(json.text, u"{\n  \"b\": [\n    1,\n    2\n  ],\n  \"a\": {\n    \"x\": \"ü\"\n  }\n}");

  const BodyView broken = View(u"Content-Type: application/json\r\n", R"({"b":)");
  EXPECT_EQ(broken.kind, BodyKind::kText);
  EXPECT_EQ(broken.summary, u"Response body: 5 bytes; text (UTF-8)\nNot valid JSON: shown as text.\n");
  EXPECT_EQ(broken.text, u"{\"b\":");

  // Nesting deep enough to exhaust the parser's stack is refused before parsing.
  const BodyView deep = View(u"Content-Type: application/json\r\n", std::string(100000, '['));
  EXPECT_EQ(deep.kind, BodyKind::kText);
}

TEST_F(ResponseBody, BinaryIsAHexDumpAndPicturesKeepTheirBytes) {
  const std::string binary("\x00\x01Hello, world!\x7F\xFF", 17);
  const BodyView hex = View(u"Content-Type: application/octet-stream\r\n", binary);
  EXPECT_EQ(hex.kind, BodyKind::kBinary);
  EXPECT_EQ(hex.summary, u"Response body: 17 bytes; binary, shown in hex\n");
  EXPECT_EQ(hex.text,
            u"00000000  00 01 48 65 6c 6c 6f 2c  20 77 6f 72 6c 64 21 7f  |..Hello, world!.|\n"
            u"00000010  ff" + std::u16string(48, u' ') + u"|.|\n");

  const std::string png("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16);
  const BodyView picture = View(u"", png);  // known by its signature
  EXPECT_EQ(picture.kind, BodyKind::kImage);
  EXPECT_EQ(picture.summary, u"Response body: 16 bytes; image\n");
  EXPECT_EQ(picture.image, png);
  EXPECT_EQ(picture.text, HexDump(png));
  EXPECT_EQ(View(u"Content-Type: image/png\r\n", png).summary, u"Response body: 16 bytes; image (image/png)\n");
}

TEST_F(ResponseBody, WhatStoppedTheBodyBeingShownWholeIsSaid) {
  const std::string gzip = Gzipped(std::string(200, 'a'));
  const BodyView damaged = View(u"Content-Encoding: gzip\r\nContent-Type: text/plain\r\n", gzip.substr(0, 12));
  EXPECT_EQ(damaged.summary, u"Response body: 12 bytes as stored (gzip), 1 byte decoded; text (UTF-8)\n"
                             u"The gzip data is damaged: what decoded before the damage is shown.\n");

  const BodyView unknown = View(u"Content-Encoding: compress\r\nContent-Type: text/plain\r\n", "abc");
  EXPECT_EQ(unknown.summary, u"Response body: 3 bytes as stored (compress), 3 bytes decoded; text (UTF-8)\n"
                             u"The content encoding \"compress\" is not known: the body is shown as it was stored.\n");
  // Bytes still under an encoding are not the Content-Type's text: shown by what they are.
  const BodyView stillEncoded =
      View(u"Content-Encoding: compress\r\nContent-Type: text/plain\r\n", std::string("\x1F\x9D\x90\x01", 4));
  EXPECT_EQ(stillEncoded.kind, BodyKind::kBinary);
  EXPECT_EQ(stillEncoded.text, HexDump(std::string("\x1F\x9D\x90\x01", 4)));

  // Many times the bound in zeros, a few kilobytes on the wire.
  const std::string bomb = Gzipped(std::string(kDecodedBodyLimit + 1, '\0'));
  const BodyView stopped = View(u"Content-Encoding: gzip\r\n", bomb);
  EXPECT_EQ(stopped.summary, u"Response body: " + Count(bomb.size()) + u" bytes as stored (gzip), " +
                                 Count(kDecodedBodyLimit) + u" bytes decoded; binary, shown in hex\n" +
                                 u"Decoding stopped at " + Count(kDecodedBodyLimit) +
                                 u" bytes: the rest is not shown.\nThe hex dump shows the first " +
                                 Count(kHexDumpLimit) + u" bytes.\n");
  EXPECT_EQ(stopped.text.size(), kHexDumpLimit / 16 * 79);

  const BodyView large = View(u"Content-Type: text/plain\r\n", std::string(kStoredBodyReadLimit + 10, 'a'));
  EXPECT_EQ(large.summary, u"Response body: " + Count(kStoredBodyReadLimit) + u" bytes; text (UTF-8)\n" +
                               u"Only the first " + Count(kStoredBodyReadLimit) + u" bytes were read.\n");
}

TEST_F(ResponseBody, NoBodySaysWhy) {
  CHttpTransaction notStored;
  notStored.m_strMethod = u"GET";
  EXPECT_EQ(ResponseBodyView(RecordBodiesOf(notStored), files).summary, u"The response's body was not stored.\n");
  const BodyView gone = ResponseBodyView(RecordBodiesOf(*StoredRecord(u"")), files);
  EXPECT_EQ(gone.kind, BodyKind::kNone);
  EXPECT_EQ(BodyViewText(gone), u"The store no longer holds this response's body.\n");
  EXPECT_EQ(BodyViewText(View(u"", "")), u"Response body: 0 bytes\n");
  EXPECT_EQ(BodyViewText(RequestBodyView(RecordBodiesOf(notStored))), u"The request has no body.\n");
}

TEST(RecordBodies, RequestBodiesAndCarriedResponseBodies) {
  CHttpTransaction post;
  post.m_strMethod = u"POST";
  post.m_strRequestHeaders = u"POST /f HTTP/1.1\r\nContent-Type: application/x-www-form-urlencoded\r\n";
  post.m_strPostData = u"name=K\u00f6ln";  // the code page's bytes: one byte for the umlaut
  post.m_strResponseHeaders = u"HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n";
  post.m_pResponseBody = std::make_unique<std::string>(R"([true])");
  testing::FakeFiles files;
  const RecordBodies bodies = RecordBodiesOf(post);
  EXPECT_EQ(BodyViewText(RequestBodyView(bodies)), u"Request body: 9 bytes; text (windows-1252)\nname=Köln\n");
  EXPECT_EQ(BodyViewText(ResponseBodyView(bodies, files)),
            u"Response body: 6 bytes, kept with the record; JSON (UTF-8)\n[\n  true\n]\n");
  EXPECT_TRUE(files.readLimits.empty());

  post.m_strMethod = u"GET";  // only POST and PUT send their post data as a body
  EXPECT_EQ(RequestBodyView(RecordBodiesOf(post)).kind, BodyKind::kNone);
}

TEST(BodyText, CharsetsFromMarksParametersAndTheBytes) {
  struct Case {
    std::string bytes;
    std::u16string_view contentType;
    std::u16string_view text;
    std::u16string_view charset;
  };
  const Case cases[] = {
      {"caf\xE9", u"text/html; charset=ISO-8859-1", u"café", u"windows-1252"},
      {"\x80 5", u"text/plain; charset=\"windows-1252\"", u"€ 5", u"windows-1252"},
      {"caf\xC3\xA9", u"text/plain;charset=UTF-8", u"café", u"UTF-8"},
      {"caf\xE9", u"text/plain", u"café", u"windows-1252"},  // not UTF-8: the code page
      {"\xEF\xBB\xBFok", u"text/plain; charset=iso-8859-1", u"ok", u"UTF-8"},  // the mark wins
      {std::string("\xFF\xFEh\0i\0", 6), u"text/plain", u"hi", u"UTF-16LE"},
      {std::string("\xFE\xFF\0h\0i", 6), u"text/plain", u"hi", u"UTF-16BE"},
      {std::string("h\0i\0!", 5), u"text/plain; charset=utf-16", u"hi\uFFFD", u"UTF-16LE"},
  };
  for (const Case& c : cases) {
    const BodyTextDecoding decoded = DecodeBodyText(c.bytes, c.contentType);
    EXPECT_EQ(decoded.text, c.text) << c.bytes;
    EXPECT_EQ(decoded.charsetName, c.charset) << c.bytes;
  }
}

TEST(BodyText, PicturesAreKnownByTheirWholeSignature) {
  EXPECT_TRUE(HasImageSignature(std::string_view("RIFF\x10\0\0\0WEBPVP8 ", 16)));
  EXPECT_TRUE(HasImageSignature("GIF89a"));
  EXPECT_FALSE(HasImageSignature("RIFFu"));  // too short to say WEBP
  EXPECT_FALSE(HasImageSignature("GIF8"));
}

TEST(StoredBodies, OnlyWholeDecodedBodiesAreGiven) {
  testing::FakeFiles files;
  CStoredBodies bodies(files);
  const auto record = StoredRecord(u"Content-Encoding: gzip\r\n");
  EXPECT_EQ(bodies.DecodedResponseBody(*record), std::nullopt);
  files.files[std::u16string(kStoredFile)] = Gzipped("whole");
  EXPECT_EQ(bodies.DecodedResponseBody(*record), "whole");
  files.files[std::u16string(kStoredFile)] = Gzipped("whole").substr(0, 10);
  EXPECT_EQ(bodies.DecodedResponseBody(*record), std::nullopt);
}

}  // namespace
}  // namespace tracewell
