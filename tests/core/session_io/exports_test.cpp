#include <gtest/gtest.h>

#include <cstdlib>

#include "session_io/grid_export.h"
#include "session_io/session_file.h"
#include "session_io/session_formats.h"
#include "session_io/xml_export.h"
#include "support/fake_clock.h"
#include "support/sample_session.h"
#include "support/temp_dir.h"
#include "views/main_commands.h"

namespace tracewell {
namespace {

using namespace std::string_literals;

std::string Xml(const TransactionArray& records) {
  StringByteSink sink;
  WriteXmlExport(records, sink);
  return sink.data();
}

std::string Table(const TransactionArray& records, GridTableFormat format) {
  StringByteSink sink;
  WriteGridTable(records, format, sink);
  return sink.data();
}

const std::string kXmlStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<http-info xmlns=\"urn:tracewell:http-info\"   "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"  \t\t\t"
    "xsi:schemaLocation=\"urn:tracewell:http-info http-info-1.0.xsd\" version=\"1.0\">\r\n"
    " <items>\r\n";
const std::string kXmlEnd = "</items>\r\n</http-info>\r\n";

TransactionArray Session(std::vector<CHttpTransaction*> records) {
  TransactionArray session;
  for (auto* record : records) session.emplace_back(record);
  return session;
}

// A finished POST that was redirected, and a revalidated GET still running.
TransactionArray RealisticSession() {
  auto* post = new CHttpTransaction;
  post->m_nSent = 177;
  post->m_nSize = 0;
  post->m_strResult = u"302";
  post->m_strMethod = u"POST";
  post->m_strMimeType = u"text/html";
  post->m_strUrl = u"http://127.0.0.1:8080/login?next=/home&lang=fr";
  post->m_strRedirectUrl = u"http://127.0.0.1:8080/home";
  post->m_strRequestHeaders =
      u"POST /login?next=/home&lang=fr HTTP/1.1\r\nHost: 127.0.0.1:8080\r\n"
      u"Content-Type: application/x-www-form-urlencoded\r\nCookie: s=1\r\n\r\n";
  post->m_strResponseHeaders =
      u"HTTP/1.1 302 Found\r\nLocation: /home\r\nSet-Cookie: s=2; path=/\r\n\r\n";
  post->m_strPostData = u"user=Ren\u00E9e&pass=a=b&&remember";
  post->m_strIpAddress = u"127.0.0.1";
  post->m_stStarted = {2009, 3, 6, 7, 9, 5, 3, 45};
  post->m_stEnded = {2009, 3, 6, 7, 9, 5, 4, 295};
  auto* cached = new CHttpTransaction;
  cached->m_strResult = u"304";
  cached->m_strMethod = u"GET";
  cached->m_strUrl = u"http://127.0.0.1:8080/style.css";
  cached->m_strResponseHeaders = u"HTTP/1.1 200 OK\r\nETag: \"v1\"\r\n";
  cached->m_stStarted = {2009, 3, 6, 7, 14, 3, 9, 7};
  auto* cleared = new CHttpTransaction;
  cleared->m_strUrl = u"http://127.0.0.1:8080/cleared";
  cleared->m_bCleared = 1;
  return Session({post, cleared, cached});
}

TEST(XmlExport, EmptySessionIsFiveLines) {
  EXPECT_EQ(Xml({}), kXmlStart + kXmlEnd);
  auto* cleared = new CHttpTransaction;
  cleared->m_bCleared = 1;
  EXPECT_EQ(Xml(Session({cleared})), kXmlStart + kXmlEnd);
}

TEST(XmlExport, RealisticSessionByteForByte) {
  EXPECT_EQ(Xml(RealisticSession()),
            kXmlStart +
                "<item url=\"http://127.0.0.1:8080/login?next=/home&amp;lang=fr\">\r\n"
                "  <stated_datetime>3-7-2009 9:5:3 45</stated_datetime>\r\n"
                "  <duration>1.250</duration>\r\n"
                "  <sent>177</sent>\r\n"
                "  <method>POST</method>\r\n"
                "  <statue_code>302</statue_code>\r\n"
                "  <size>0</size>\r\n"
                "  <mime_type>text/html</mime_type>\r\n"
                "  <request>\r\n"
                "    <Request-Line>POST /login?next=/home&amp;lang=fr HTTP/1.1</Request-Line>\r\n"
                "    <Host> 127.0.0.1:8080</Host>\r\n"
                "    <Content-Type> application/x-www-form-urlencoded</Content-Type>\r\n"
                "    <Cookie> s=1</Cookie>\r\n"
                "  </request>\r\n"
                "  <response>\r\n"
                "    <Status-Line>HTTP/1.1 302 Found</Status-Line>\r\n"
                "    <Location> /home</Location>\r\n"
                "    <Set-Cookie> s=2; path=/</Set-Cookie>\r\n"
                "  </response>\r\n"
                "  <post_data>\r\n"
                "    <user>Ren\xC3\xA9" "e</user>\r\n"
                "    <pass>a=b</pass>\r\n"
                "  </post_data>\r\n"
                "</item>\r\n"
                "<item url=\"http://127.0.0.1:8080/style.css\">\r\n"
                "  <stated_datetime>3-7-2009 14:3:9 7</stated_datetime>\r\n"
                "  <duration>0.000</duration>\r\n"
                "  <sent>0</sent>\r\n"
                "  <method>GET</method>\r\n"
                "  <statue_code>304</statue_code>\r\n"
                "  <size>0</size>\r\n"
                "  <mime_type></mime_type>\r\n"
                "  <request>\r\n"
                "  </request>\r\n"
                "  <response>\r\n"
                "    <Status-Line>HTTP/1.1 304 Not Modified</Status-Line>\r\n"
                "    <ETag> \"v1\"</ETag>\r\n"
                "  </response>\r\n"
                "  <post_data>\r\n"
                "  </post_data>\r\n"
                "</item>\r\n" +
                kXmlEnd);
}

TEST(XmlExport, NotModifiedWithoutResponseHeadersHasNoStatusLine) {
  auto* record = new CHttpTransaction;
  record->m_strResult = u"304";
  EXPECT_NE(Xml(Session({record})).find("  <response>\r\n  </response>\r\n"), std::string::npos);
}

TEST(XmlExport, HostileTextIsEscapedAndNamesStayParseable) {
  auto* record = new CHttpTransaction;
  record->m_strUrl = u"http://h/?a=\"<b>\"&c='d'";
  record->m_strRequestHeaders =
      u"GET /<x> HTTP/1.1\r\n1st: a<b>&c\r\nX Y: z\r\nna\u00EFve: \u65E5\r\n\u00B7dot: 1\r\nbad\x01: \x01\x02\r\n";
  record->m_strMethod = u"POST";
  record->m_strPostData = u"a:b=1&x\U0001F600=2&y\U000F0000=3&q=<>\"";
  const std::string xml = Xml(Session({record}));
  EXPECT_NE(xml.find("<item url=\"http://h/?a=&quot;&lt;b&gt;&quot;&amp;c='d'\">"), std::string::npos);
  EXPECT_NE(xml.find("<Request-Line>GET /&lt;x&gt; HTTP/1.1</Request-Line>"), std::string::npos);
  EXPECT_NE(xml.find("<_x0031_st> a&lt;b&gt;&amp;c</_x0031_st>"), std::string::npos);
  EXPECT_NE(xml.find("<X_x0020_Y> z</X_x0020_Y>"), std::string::npos);
  EXPECT_NE(xml.find("<na\xC3\xAFve> \xE6\x97\xA5</na\xC3\xAFve>"), std::string::npos);
  EXPECT_NE(xml.find("<_x00B7_dot> 1</_x00B7_dot>"), std::string::npos);
  EXPECT_NE(xml.find("<bad_x0001_> \xEF\xBF\xBD\xEF\xBF\xBD</bad_x0001_>"), std::string::npos);
  EXPECT_NE(xml.find("<a_x003A_b>1</a_x003A_b>"), std::string::npos);
  EXPECT_NE(xml.find("<x\xF0\x9F\x98\x80>2</x\xF0\x9F\x98\x80>"), std::string::npos);
  EXPECT_NE(xml.find("<y_x000F0000_>3</y_x000F0000_>"), std::string::npos);
  EXPECT_NE(xml.find("<q>&lt;&gt;\"</q>"), std::string::npos);
}

TEST(XmlExport, ParsesWithARealXmlParser) {
  TransactionArray session = RealisticSession();
  auto more = testing::MakeRealisticSession(20);
  for (auto& record : more) session.push_back(std::move(record));
  auto* hostile = new CHttpTransaction;
  hostile->m_strUrl = u"http://h/\"'<>&\x01\u00E9";
  hostile->m_strRequestHeaders = u"GET / HTTP/1.1\r\n9: x\r\n-a: <\r\n.b: &\r\nc\"d: '\r\n:x: y\r\n";
  hostile->m_strResponseHeaders = u"\r\nHTTP/1.1 200 \xD800\r\nxmlns:foo: bar\r\n";
  hostile->m_strMethod = u"POST";
  hostile->m_strPostData = u"<a>=1&&b\r\nc=2&\u00E9t\u00E9=\U0001F600";
  session.emplace_back(hostile);

  testing::TempDir dir;
  const auto path = dir / "session.xml";
  ASSERT_FALSE(WriteSessionFile(SessionFormat::kXml, path, session, testing::FakeClock()).has_value());
  const std::string command = "xmllint --noout '" + path.string() + "' 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << "xmllint rejected " << path;
}

TEST(GridExport, EmptySessionIsTheHeaderLine) {
  EXPECT_EQ(Table({}, GridTableFormat::kCsv),
            "Started,Durations(s),Sent,Method,Result,Size,Type,URL,IpAddress\r\n");
  EXPECT_EQ(Table({}, GridTableFormat::kText),
            "Started Durations(s) Sent Method Result Size Type URL IpAddress\r\n");
}

TEST(GridExport, OneLinePerRecordInSessionOrder) {
  const TransactionArray session = RealisticSession();
  EXPECT_EQ(Table(session, GridTableFormat::kCsv),
            "Started,Durations(s),Sent,Method,Result,Size,Type,URL,IpAddress\r\n"
            "9:5:3 45,1.250,177,POST,302,0,text/html,"
            "http://127.0.0.1:8080/login?next=/home&lang=fr,127.0.0.1\r\n"
            "14:3:9 7,0.000,0,GET,304,0,,http://127.0.0.1:8080/style.css,\r\n");
  EXPECT_EQ(Table(session, GridTableFormat::kText),
            "Started Durations(s) Sent Method Result Size Type URL IpAddress\r\n"
            "9:5:3 45 1.250 177 POST 302 0 text/html "
            "http://127.0.0.1:8080/login?next=/home&lang=fr 127.0.0.1\r\n"
            "14:3:9 7 0.000 0 GET 304 0  http://127.0.0.1:8080/style.css \r\n");
}

TEST(GridExport, CsvQuotesOnlyWhenNeededTextNeverQuotes) {
  auto* record = new CHttpTransaction;
  record->m_strUrl = u"http://h/a,b \"q\"\u20AC\u65E5";
  record->m_strMimeType = u"text/plain\r\n";
  record->m_strIpAddress = u"::1";
  record->m_stStarted = {2026, 12, 1, 7, 10, 0, 0, 0};
  record->m_stEnded = {2026, 12, 1, 7, 9, 59, 59, 0};  // clock went back
  const auto session = Session({record});
  EXPECT_EQ(Table(session, GridTableFormat::kCsv).substr(65),
            "10:0:0 0,-1.000,0,,,0,\"text/plain\r\n\",\"http://h/a,b \"\"q\"\"\x80?\",::1\r\n");
  EXPECT_EQ(Table(session, GridTableFormat::kText).substr(65),
            "10:0:0 0 -1.000 0   0 text/plain\r\n http://h/a,b \"q\"\x80? ::1\r\n");
}

TEST(SessionFormats, ChosenByExtensionInAnyCase) {
  const auto formatOf = [](const char* path) {
    const SessionFormatInfo* info = FormatOfPath(path);
    return info == nullptr ? std::string("none") : std::string(info->name);
  };
  EXPECT_EQ(formatOf("dir/session.HAR"), "har");
  EXPECT_EQ(formatOf("session.elf"), "elf");
  EXPECT_EQ(formatOf("grid.Txt"), "txt");
  EXPECT_EQ(formatOf("session"), "none");
  EXPECT_EQ(formatOf("dir.har/session"), "none");
  EXPECT_EQ(formatOf("session.json"), "none");
  EXPECT_TRUE(IsHarPath("a/B.Har"));
  EXPECT_FALSE(IsHarPath("a.har.elf"));
  EXPECT_EQ(InfoOf(SessionFormat::kLog).filterText, u"Tracewell Log File(*.elf)");
}

TEST(SessionFormats, WrittenByTheSaveAndExportCommands) {
  const auto formatOf = [](int commandId) {
    const SessionFormatInfo* info = FormatWrittenBy(commandId);
    return info == nullptr ? std::string("none") : std::string(info->name);
  };
  EXPECT_EQ(formatOf(command::kSave), "elf");
  EXPECT_EQ(formatOf(command::kSaveAs), "elf");
  EXPECT_EQ(formatOf(command::kExportXml), "xml");
  EXPECT_EQ(formatOf(command::kExportGridCsv), "csv");
  EXPECT_EQ(formatOf(command::kExportGridText), "txt");
  EXPECT_EQ(formatOf(command::kExportHar), "har");
  EXPECT_EQ(formatOf(command::kLoad), "none");
  EXPECT_EQ(formatOf(command::kExportCaCertificate), "none");
}

}  // namespace
}  // namespace tracewell
