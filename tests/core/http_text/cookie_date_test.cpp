#include "http_text/cookie_date.h"

#include <gtest/gtest.h>

namespace tracewell {
namespace {

std::optional<SystemTime> Parsed(std::u16string_view text) {
  const auto time = ParseCookieDate(text);
  return time ? FileTimeToSystemTime(*time) : std::nullopt;
}

TEST(CookieDate, ReadsTheFormsServersSend) {
  const SystemTime newYear{2009, 1, 4, 1, 0, 0, 0, 0};
  EXPECT_EQ(Parsed(u"Thu, 01-Jan-2009 00:00:00 GMT"), newYear);
  EXPECT_EQ(Parsed(u"Thu, 01 Jan 2009 00:00:00 GMT"), newYear);
  EXPECT_EQ(Parsed(u"Thursday, 01-Jan-09 00:00:00 GMT"), newYear);
  EXPECT_EQ(Parsed(u"Thu Jan  1 00:00:00 2009"), newYear);
  EXPECT_EQ(Parsed(u"1 JANUARY 2009 00:00:00"), newYear);
  EXPECT_EQ(Parsed(u"Wed, 31-Dec-1969 23:59:59 GMT"), (SystemTime{1969, 12, 3, 31, 23, 59, 59, 0}));
  EXPECT_EQ(Parsed(u"Sat, 01 Jan 2050 7:5:3 GMT"), (SystemTime{2050, 1, 6, 1, 7, 5, 3, 0}));
}

TEST(CookieDate, RefusesWhatNamesNoInstant) {
  for (const char16_t* text :
       {u"", u"never", u"Thu, 01-Jan-2009", u"01-Jan-2009 24:00:00", u"31-Feb-2009 00:00:00",
        u"01-Foo-2009 00:00:00", u"001-Jan-2009 00:00:00", u"01-Jan-1600 00:00:00",
        u"01-Jan-20090 00:00:00", u"01-Jan-2009 00:60:00"}) {
    EXPECT_FALSE(ParseCookieDate(text).has_value()) << static_cast<int>(std::u16string_view(text).size());
  }
}

// HTTP's own date form is read in its fixed places; the instant is the one the
// token scan finds in the same text (spaced out here so that only the scan reads it).
TEST(CookieDate, AnHttpDateInItsFixedFormNamesTheInstantTheScanFinds) {
  for (const std::u16string_view text :
       {u"Sun, 06 Nov 1994 08:49:37 GMT", u"tue, 29 Feb 2028 23:59:59 GMT", u"Mon, 01 jan 0069 00:00:00 GMT",
        u"Thu, 01 Jan 1600 00:00:00 GMT", u"Sat, 31 Feb 2026 00:00:00 GMT", u"Fri, 01 Jan 2026 24:00:00 GMT",
        u"Wed, 0x Jan 2026 00:00:00 GMT", u"Jan, 06 Nov 1994 08:49:37 GMT", u"Sun, 06 Nov 1994 08:49:37 UTC"}) {
    std::u16string spaced(text.substr(0, 5));
    spaced += u' ';
    spaced.append(text.substr(5));
    EXPECT_EQ(ParseCookieDate(text), ParseCookieDate(spaced)) << static_cast<int>(text[0]);
  }
  EXPECT_EQ(Parsed(u"Sun, 06 Nov 1994 08:49:37 GMT"), (SystemTime{1994, 11, 0, 6, 8, 49, 37, 0}));
  // A first word that is a month, not a day name, is the month, as the scan reads it.
  EXPECT_EQ(Parsed(u"Jan, 06 Nov 1994 08:49:37 GMT"), (SystemTime{1994, 1, 4, 6, 8, 49, 37, 0}));
  EXPECT_EQ(Parsed(u"Mon, 01 jan 0069 00:00:00 GMT"), (SystemTime{2069, 1, 2, 1, 0, 0, 0, 0}));
  EXPECT_EQ(Parsed(u"Sat, 31 Feb 2026 00:00:00 GMT"), std::nullopt);
}

}  // namespace
}  // namespace tracewell
