#include "cache/cookie_cache_dialog.h"

#include <gtest/gtest.h>

#include "support/fake_cache.h"
#include "support/ordinal_collator.h"
#include "views/column_sort.h"

namespace tracewell {
namespace {

using namespace tracewell::testing;
using Names = std::vector<std::u16string>;

struct Manager {
  FakeEnumerationStore store;
  FakeUrlHostParser urls;
  FakeMessageBox messages;
  FakeFiles files;
  FakeSaveFileDialog saveDialog;
  FakePictureDecoder pictures;
  CCookieCacheDialogModel dialog{{store, urls, messages, files, saveDialog, pictures}};

  TextRows HostRows() const { return RowsOf(dialog.HostList()); }
  TextRows FileRows() const { return RowsOf(dialog.FileList()); }
  static TextRows RowsOf(const CSelectableTextList& list) {
    TextRows rows;
    for (std::size_t row = 0; row < list.RowCount(); ++row) {
      rows.emplace_back(list.Row(row).begin(), list.Row(row).end());
    }
    return rows;
  }
  Names UrlsOfGroup(std::size_t group) const {
    Names names;
    for (const auto& entry : dialog.Entries().Groups().at(group).entries) names.push_back(entry.SourceUrlName);
    return names;
  }
};

TEST(CookieCacheDialog, GroupsHttpEntriesByHostAndListsCookiesAndDropsTheRest) {
  Manager m;
  const std::u16string longest(kHostNameBufferLength - 1, u'h');
  for (const std::u16string& name :
       {std::u16string(u"http://Example.com/a"), std::u16string(u"https://secure.example/"),
        std::u16string(u"HTTP://other:8080/x"), std::u16string(u"http://example.COM/b"),
        std::u16string(u"visited:u@http://example.com/"), std::u16string(u"Cookie:u@example.com/"),
        std::u16string(u"COOKIE:v@other/"), std::u16string(u"ftp://files/"), std::u16string(u"http://bad!/"),
        std::u16string(u"http:/"), u"http://" + longest + u"/", u"http://" + longest + u"x/"}) {
    m.store.Add(name);
  }
  EXPECT_EQ(m.dialog.HostCount(), 0u);
  m.dialog.OnInitDialog();
  EXPECT_EQ(m.HostRows(), (TextRows{{u"Example.com", u"2"}, {u"other", u"1"}, {longest, u"1"}}));
  EXPECT_EQ(m.UrlsOfGroup(0), (Names{u"http://Example.com/a", u"http://example.COM/b"}));
  ASSERT_EQ(m.dialog.Entries().Cookies().size(), 2u);
  EXPECT_EQ(m.dialog.Entries().Cookies()[1].SourceUrlName, u"COOKIE:v@other/");
  EXPECT_EQ(m.dialog.HostCount(), 3u);
  EXPECT_EQ(m.dialog.FileCount(), 0u);
  EXPECT_TRUE(m.FileRows().empty());
  EXPECT_FALSE(m.dialog.Preview().IsTextShown());
  EXPECT_EQ(m.dialog.Preview().Picture(), nullptr);
  EXPECT_TRUE(m.messages.shown.empty());
  EXPECT_TRUE(m.store.deletedNames.empty());
}

TEST(CookieCacheDialog, AFailedLookupKeepsTheHostsReadSoFar) {
  Manager m;
  m.store.Add(u"http://a/1");
  m.store.Add(u"http://b/1");
  m.store.Add(u"http://c/1");
  m.store.nextFailsAtEntry = 2;
  m.store.nextError = 8;
  m.dialog.OnInitDialog();
  EXPECT_EQ(m.HostRows(), (TextRows{{u"a", u"1"}, {u"b", u"1"}}));
  EXPECT_EQ(m.messages.shown, (std::vector<ShownMessage>{{u"8", u"FindNextUrlCacheEntry Init"}}));

  Manager empty;
  empty.store.firstFails = CacheFindResult{CacheQueryStatus::kFailed, 5};
  empty.dialog.OnInitDialog();
  EXPECT_TRUE(empty.HostRows().empty());
  EXPECT_TRUE(empty.messages.shown.empty());
}

TEST(CookieCacheDialog, ShowsAHostsFilesLastEntryFirst) {
  Manager m;
  m.store.AddFile(u"http://a/1", u"C:\\Cache\\X1\\one[1].htm", 10);
  m.store.AddFile(u"http://b/1", u"/var/cache/tw/b/page.css", 20);
  m.store.AddFile(u"http://a/2", u"two.gif", 0x80000000);
  m.store.AddFile(u"http://a/3", u"C:\\Cache\\dir.d\\", 30);
  m.dialog.OnInitDialog();

  m.dialog.OnHostListClick(std::nullopt);  // an empty part of the list
  m.dialog.OnHostListClick(7);
  EXPECT_TRUE(m.FileRows().empty());
  m.dialog.OnHostListClick(0);
  EXPECT_EQ(m.FileRows(), (TextRows{{u"", u"30", u"http://a/3", u"C:\\Cache\\dir.d\\"},
                                    {u"two.gif", u"-2147483648", u"http://a/2", u"two.gif"},
                                    {u"one[1].htm", u"10", u"http://a/1", u"C:\\Cache\\X1\\one[1].htm"}}));
  EXPECT_EQ(m.dialog.FileCount(), 3u);
  m.dialog.OnHostListClick(1);  // replaces the rows
  EXPECT_EQ(m.FileRows(), (TextRows{{u"page.css", u"20", u"http://b/1", u"/var/cache/tw/b/page.css"}}));
  EXPECT_EQ(m.dialog.FileCount(), 1u);

  // Arrow keys show the row next to the last selected one, before the selection moves.
  m.dialog.OnHostListArrowKey(false);  // nothing selected: Up does nothing
  EXPECT_EQ(m.dialog.FileCount(), 1u);
  m.dialog.OnHostListArrowKey(true);  // Down shows the first row
  EXPECT_EQ(m.dialog.FileCount(), 3u);
  m.dialog.HostList().SetSelected(0, true);
  m.dialog.OnHostListArrowKey(false);  // above the first row: nothing
  EXPECT_EQ(m.dialog.FileCount(), 3u);
  m.dialog.OnHostListArrowKey(true);
  EXPECT_EQ(m.dialog.FileCount(), 1u);
  m.dialog.HostList().SetSelected(1, true);
  m.dialog.OnHostListArrowKey(true);  // below the last row: nothing
  m.dialog.OnHostListArrowKey(false);
  EXPECT_EQ(m.dialog.FileCount(), 3u);
}

TEST(CookieCacheDialog, HeaderClicksSortAListAsTextWithItsSelection) {
  OrdinalCollator collator;
  CSelectableTextList list{2};
  const std::u16string prefix(kSortPrefixLength, u'p');
  list.AppendRow({u"b", u"20"});
  list.AppendRow({u"a", u"100"});
  list.AppendRow({u"c", u"3"});
  list.AppendRow({prefix + u"z", u"9"});
  list.AppendRow({prefix + u"a", u"9"});
  list.SetSelected(0, true);
  auto firsts = [&] {
    Names cells;
    for (std::size_t row = 0; row < list.RowCount(); ++row) cells.push_back(list.Cell(row, 0));
    return cells;
  };

  // Numbers as text; rows with equal keys keep their order in both directions.
  list.SortByColumn(1, collator);
  EXPECT_EQ(firsts(), (Names{u"a", u"b", u"c", prefix + u"z", prefix + u"a"}));
  EXPECT_EQ(list.FirstSelectedRow(), 1u);
  EXPECT_EQ(list.SortColumn(), 1u);
  EXPECT_FALSE(list.SortDescending());
  list.SortByColumn(1, collator);
  EXPECT_EQ(firsts(), (Names{prefix + u"z", prefix + u"a", u"c", u"b", u"a"}));
  EXPECT_EQ(list.FirstSelectedRow(), 3u);
  EXPECT_TRUE(list.SortDescending());
  // Only the leading code units count: the two long cells stay as they were.
  list.SortByColumn(0, collator);
  EXPECT_EQ(firsts(), (Names{u"a", u"b", u"c", prefix + u"z", prefix + u"a"}));
  EXPECT_FALSE(list.SortDescending());
  // A row put in later stands where it is put.
  list.InsertRowAtTop({u"z", u"1"});
  EXPECT_EQ(list.Cell(0, 0), u"z");
}

TEST(CookieCacheDialog, ClearCacheDeletesTheTopmostSelectedHostAndLeavesTheCounters) {
  Manager m;
  m.store.Add(u"http://a/1");
  m.store.Add(u"http://b/1");
  m.store.Add(u"https://a/secure");
  m.store.Add(u"http://A/2");
  m.store.Add(u"Cookie:u@a/");
  m.dialog.OnInitDialog();
  m.dialog.OnClearCache();
  EXPECT_EQ(m.messages.shown, (std::vector<ShownMessage>{{u"Please select an item to delete.", u"Delete"}}));
  EXPECT_TRUE(m.store.deletedNames.empty());

  m.dialog.OnHostListClick(0);
  m.dialog.HostList().SetSelected(0, true);
  m.dialog.HostList().SetSelected(1, true);
  m.dialog.OnClearCache();
  EXPECT_EQ(m.store.deletedNames, (Names{u"http://a/1", u"http://A/2"}));
  EXPECT_EQ(m.HostRows(), (TextRows{{u"b", u"1"}}));
  EXPECT_TRUE(m.dialog.HostList().IsSelected(0));
  EXPECT_TRUE(m.FileRows().empty());
  EXPECT_EQ(m.dialog.HostCount(), 2u);  // the counters keep their numbers
  EXPECT_EQ(m.dialog.FileCount(), 2u);
  EXPECT_EQ(m.store.LiveNames(), (Names{u"http://b/1", u"https://a/secure", u"Cookie:u@a/"}));

  m.dialog.OnClearCache();
  EXPECT_TRUE(m.HostRows().empty());
  EXPECT_EQ(m.store.LiveNames(), (Names{u"https://a/secure", u"Cookie:u@a/"}));
  EXPECT_EQ(m.messages.shown.size(), 1u);
}

TEST(CookieCacheDialog, ClearCookieDeletesTheListedCookiesOnceWithoutAsking) {
  Manager m;
  m.store.Add(u"Cookie:u@a/");
  m.store.Add(u"http://a/1");
  m.store.Add(u"cookie:u@b/");
  m.dialog.OnInitDialog();
  m.dialog.OnClearCookie();
  EXPECT_EQ(m.store.deletedNames, (Names{u"Cookie:u@a/", u"cookie:u@b/"}));
  EXPECT_TRUE(m.dialog.Entries().Cookies().empty());
  m.dialog.OnClearCookie();
  EXPECT_EQ(m.store.deletedNames.size(), 2u);
  EXPECT_TRUE(m.messages.shown.empty());
  EXPECT_EQ(m.HostRows(), (TextRows{{u"a", u"1"}}));
}

TEST(CookieCacheDialog, FileListClicksAndArrowsPreviewTheirRow) {
  Manager m;
  m.store.AddFile(u"http://a/1", u"C:\\c\\first.css");
  m.store.AddFile(u"http://a/2", u"C:\\c\\second.js");
  m.files.files = {{u"C:\\c\\first.css", "body{}"}, {u"C:\\c\\second.js", "go()"}};
  m.dialog.OnInitDialog();
  m.dialog.OnHostListClick(0);  // rows: second.js, first.css

  m.dialog.OnFileListClick(true);  // nothing selected
  EXPECT_FALSE(m.dialog.Preview().IsTextShown());
  m.dialog.FileList().SetSelected(1, true);
  m.dialog.OnFileListClick(false);  // an empty part
  EXPECT_FALSE(m.dialog.Preview().IsTextShown());
  m.dialog.FileList().SetSelected(0, true);
  m.dialog.OnFileListClick(true);  // the first selected row
  EXPECT_EQ(m.dialog.Preview().Text(), u"go()");
  m.dialog.FileList().SetSelected(1, false);
  m.dialog.OnFileListArrowKey(false);  // above the first row: nothing
  EXPECT_EQ(m.files.readLimits.size(), 1u);
  m.dialog.OnFileListArrowKey(true);
  EXPECT_EQ(m.dialog.Preview().Text(), u"body{}");

  m.saveDialog.answer = u"/home/u/saved.js";
  m.dialog.OnSaveAs();
  EXPECT_EQ(m.saveDialog.asked.at(0).first, u"second.js");
  EXPECT_EQ(m.files.copies, (std::vector<std::pair<std::u16string, std::u16string>>{
                                {u"C:\\c\\second.js", u"/home/u/saved.js"}}));
}

}  // namespace
}  // namespace tracewell
